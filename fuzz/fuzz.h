// What the fuzz targets share: the machine they start from, the invariants of apply, and a
// broken invariant aborting, so that libFuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "tests/support/machines.h"
#include "cli/switch_processor.h"
#include "ui/main_controller.h"

// AddressSanitizer records allocations two calls deep and keeps the last 16 MB freed (many inputs'
// worth) out of use, so that an input costs less than half as much: a use after free within
// those inputs is still caught. ASAN_OPTIONS=malloc_context_size=30 shows whole allocation
// stacks when a finding is run again.
extern "C" const char* __asan_default_options() { return "malloc_context_size=2:quarantine_size_mb=16"; }

// The detail (a callable giving text) is made only when the invariant is broken.
template <typename Detail>
void require(bool ok, const char* what, const Detail& detail) {
    if (ok) return;
    std::string text = "broken: " + std::string(what) + "\n" + detail() + "\n";  // NULs too
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::abort();
}

// The Simplified Chinese XP machine (a copy of one set up once per process) with a sample input
// method to install, and internat.exe, so that both indicators can start and the reload sees
// what apply chose.
inline void seedXpWithSample(testing_support::ModelFixture& f) {
    testing_support::seedXpChinese(f);
    f.m.addIme("SAMPLE.IME", "Sample");
    f.m.system.addFile(f.m.systemPath("internat.exe"));
}

// The snapshot's data in the dump, without the window state that a load leaves as the window
// had it (the Delete button, the key choice of a switch that is off).
inline std::string data(const settings::SettingsModel& model, unsigned codePage,
                        std::initializer_list<const char*> kinds = {"row ", "addable ", "record ", "toggle ", "indicator ", "caps "}) {
    std::string out, dump = testing_support::dump(model, codePage);
    for (size_t start = 0, end; start < dump.size(); start = end + 1) {
        end = dump.find('\n', start);
        std::string line = dump.substr(start, end - start);
        for (const char* kind : kinds) {
            if (line.rfind(kind, 0) == 0) out += line + "\n";
        }
    }
    return out;
}

// Apply writes the rows it holds (less those whose input-method file is gone, whose entries it
// deletes) and deletes no usable catalogue entry.
// A command-line run that changed nothing and asked nothing of the indicator applies nothing: it
// writes nothing and calls nothing (false). Otherwise true.
inline bool applyKeepsWhatItHolds(testing_support::ModelFixture& f, settings::SettingsModel& model) {
    if (!model.switchesIndicator && !model.changedSinceLoad()) {
        platform::MemoryRegistry before = f.m.registry;
        size_t calls = f.m.system.calls.size();
        bool applied = model.apply();
        require(!applied && f.m.registry == before && f.m.system.calls.size() == calls,
                "a run that changed nothing applies nothing", [] { return ""; });
        return false;
    }
    std::string expected;
    for (const auto& r : model.snapshot.rows) {
        if (!model.catalogue().lostItsFile(r.klid)) expected += (expected.empty() ? "" : " ") + r.klid;
    }
    std::vector<std::string> usable;
    for (const auto& klid : model.catalogue().entries()) {
        if (model.catalogue().isUsable(klid)) usable.push_back(klid);
    }
    model.apply();
    std::string rows = testing_support::rowOrder(model);
    require(rows == expected, "apply keeps the rows", [&] { return expected + " -> " + rows; });
    for (const auto& klid : usable) require(model.catalogue().exists(klid), "a usable entry stays", [&] { return klid; });
    return true;
}

// Then a fresh load (of the same kind of run) sees what the reload saw. A second apply may still
// settle what the first could not (the list it wrote before those entries went; the indicator
// values when neither indicator runs afterwards) but shows the same; a third changes nothing in
// the registry.
inline void applyIsAFixedPoint(testing_support::ModelFixture& f, settings::SettingsModel& model, bool commandLine) {
    unsigned cp = f.m.system.codePage;
    if (!applyKeepsWhatItHolds(f, model)) return;
    std::string seen = testing_support::dump(model, cp);
    model.apply();
    require(testing_support::dump(model, cp) == seen, "a second apply shows the same",
            [&] { return seen + "\n--\n" + testing_support::dump(model, cp); });
    platform::MemoryRegistry written = f.m.registry;
    model.apply();
    require(f.m.registry == written, "a third apply changes nothing", [&] {
        std::string after = f.written();
        f.m.registry = written;
        return f.written() + "\n--\n" + after;
    });
    seen = data(model, cp);
    f.start(commandLine);
    require(data(*f.model, cp) == seen, "a fresh load sees what the reload saw",
            [&] { return seen + "\n--\n" + data(*f.model, cp); });
}

// A run with these arguments on that machine, with `file` as the switch file f.txt of the
// program's folder: the switch list, every switch, apply and the reload.
inline void runCommandLine(const std::string& arguments, const std::string& file) {
    testing_support::ModelFixture f;
    seedXpWithSample(f);
    auto& s = f.m.system;
    s.addFile(testing_support::kProgramFolder + "f.txt", file);
    s.commandLineText += arguments;
    cli::SwitchList list = cli::buildSwitchList(s.commandLine(), s);
    // A preview's model sees what its run records, not the machine: the preview target checks it.
    if (list.options.whatif) return;
    ui::MainController controller(f.registry, s, f.prompts);
    controller.create();
    auto& model = controller.model();
    model.load();
    model.switchesIndicator = !cli::hasArguments(s.commandLine()) || cli::SwitchProcessor::asksForIndicator(list.items);
    cli::Report report;
    cli::SwitchProcessor(model, controller.installer(), s)
        .ProcessSwitches(list.items, report, [&] { applyIsAFixedPoint(f, model, cli::hasArguments(s.commandLine())); });
}
