// The command line (and a switch file holding the same text) on the Chinese XP machine:
// splitting, the switch list, every switch, apply and the reload.
#include "cli/switch_list.h"
#include "cli/switch_processor.h"
#include "fuzz/fuzz.h"
#include "ui/texts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    testing_support::ModelFixture f;
    testing_support::seedXpChinese(f);
    std::string text(reinterpret_cast<const char*>(data), size);
    auto& s = f.m.system;
    s.addFile("C:\\Program Files\\Kestrine\\f.txt", text);
    f.m.addIme("SAMPLE.IME", "Sample");
    s.addFile(f.m.systemPath("internat.exe"));  // both indicators can start: the reload sees what apply chose
    s.commandLineText += text;
    auto& model = f.start(true);
    auto texts = ui::windowTexts(settings::UiLanguage::SimplifiedChinese);
    cli::Installer installer(model, f.registry, s, f.prompts,
                             {texts.warningCaption, texts.deleteQuestionPrefix, texts.deleteQuestionSuffix});
    cli::SwitchProcessor processor(model, installer, s);
    cli::Report report;
    processor.ProcessSwitches(cli::buildSwitchList(s.commandLine(), s).items, report, [&f] { applyIsAFixedPoint(f); });
    return 0;
}
