// A switch file run as a preview and for real, saving the settings, on the Chinese XP machine:
// the preview changes nothing (but writes the same saved file) and lists what the real run does;
// the saved file, loaded on a fresh copy of the machine, gives the same settings and file.
#include <set>

#include "fuzz/fuzz.h"

using namespace testing_support;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    ModelFixture a, preview, fresh;
    seedXpWithSample(a);
    fresh.m = a.m;
    a.m.system.addFile(kProgramFolder + "f.txt", std::string(reinterpret_cast<const char*>(bytes), size));
    preview.m = a.m;
    const platform::MemoryMachine before = a.m;
    const std::string args = "/load:f.txt /save:s.txt", saveFile = kProgramFolder + "s.txt";
    // The file's own preview, log or save switch would change what these runs are.
    auto options = cli::buildSwitchList(a.m.system.commandLineText + args, a.m.system).options;
    if (options.whatif || !options.logFile.empty() || options.saveFile != saveFile) return 0;
    uint32_t previewStatus;
    std::string previewed = withoutPreviewWords(runProgram(preview, "/whatif " + args, &previewStatus));
    std::string done = withoutPreviewWords(runProgram(a, args));
    // A preview cannot know what an install makes: it counts one as a change and goes on as if
    // it produced no layout, so what follows one may differ.
    bool installs = done.find("call: install input method") != std::string::npos;
    require(installs || previewed == done, "a preview lists what the run does", [&] { return previewed + "--\n" + done; });
    auto& files = a.m.system.files;
    if (installs) preview.m.system.files[saveFile] = files[saveFile];
    require(preview.m.registry == before.registry && preview.m.system.calls == before.system.calls &&
                preview.m.system.files == files, "a preview changes nothing but its saved file", [&] { return preview.written(); });
    // What a run changes: the registry, the loaded layouts or the programs running.
    auto running = [](auto& s) { std::set<std::string> n; for (auto& p : s.processTable) n.insert(p.exeFile); return n; };
    bool changed = !(a.m.registry == before.registry) || a.m.system.loadedLayouts != before.system.loadedLayouts ||
                   running(a.m.system) != running(before.system) || installs;
    require(bool(previewStatus & cli::kWouldChange) == changed, "a preview says whether the run changes", [&] { return done; });

    fresh.m.system.addFile(saveFile, files[saveFile]);
    runProgram(fresh, "/load:s.txt /save:t.txt");
    // An input method installed or removed from the catalogue is so on the first machine only.
    auto& model = a.start(true);
    if (model.catalogue().entries() != fresh.start(true).catalogue().entries()) return 0;
    require(fresh.m.system.files[kProgramFolder + "t.txt"] == files[saveFile], "a saved file saves the same", [] { return ""; });
    // The rows show their hot keys; the records' numbers and other entries' keys are no settings.
    auto settingsOf = [&](auto& m) { return data(m, a.m.system.codePage, {"row ", "toggle ", "indicator ", "caps "}); };
    std::string settings = settingsOf(model), loaded = settingsOf(*fresh.model);
    require(files[saveFile].find("not saved") != std::string::npos || settings == loaded, "saved settings load the same",
            [&] { return settings + "--\n" + loaded; });
    return 0;
}
