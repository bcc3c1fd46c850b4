#include "settings/settings_texts.h"

#include "platform/codepage.h"
#include "settings/trilingual.h"

namespace settings {
namespace {

// The English internat message and the Traditional one end in a blank.
const Trilingual kCtfmonNotFound = {
    "Not found \"ctfmon.exe\".",
    "找不到 ctfmon.exe。",
    "找不到 ctfmon.exe",
};
const Trilingual kInternatNotFound = {
    "Not found \"Internat.exe\", If your system is XP or later, please copy internat.exe and "
    "indicdll.dll from Windows2000. ",
    "无法运行输入法指示器 internat.exe，如果你的系统为 Windows XP 或 Windows 2003，"
    "请自行拷贝 Windows2000 中的 internat.exe 和 indicdll.dll 文件到系统目录并运行。",
    "無法運行輸入法指示器 internat.exe，如果你的系統為 Windows XP 或 Windows 2003，"
    "請自行拷貝 Windows2000 中的 internat.exe 和 indicdll.dll 文件到系統目錄並運行。 ",
};
const Trilingual kSwitchIme = {"Switch IME", "切换输入法", "切換輸入法"};
const Trilingual kSwitchInputLanguages = {"Switch input languages", "切换输入语言", "切換輸入語言"};

const Trilingual kUsLayout = {"US", "美国英语", "美式英文"};
const char* const kTraditionalChineseUsLayout = "中文 (繁體) - 美式鍵盤";
const char* const kSimplifiedChineseUsLayout = "中文 (简体) - 美式键盘";

}  // namespace

SettingsTexts settingsTexts(UiLanguage language) {
    SettingsTexts t;
    t.ctfmonNotFound = localise(kCtfmonNotFound, language);
    t.internatNotFound = localise(kInternatNotFound, language);
    t.switchIme = localise(kSwitchIme, language);
    t.switchInputLanguages = localise(kSwitchInputLanguages, language);
    return t;
}

RepairLayoutTexts repairLayoutTexts(UiLanguage language) {
    RepairLayoutTexts t;
    t.us = localise(kUsLayout, language);
    t.traditionalChinese = platform::utf8ToCodePage(
        kTraditionalChineseUsLayout, codePageFor(UiLanguage::TraditionalChinese));
    t.simplifiedChinese = platform::utf8ToCodePage(
        kSimplifiedChineseUsLayout, codePageFor(UiLanguage::SimplifiedChinese));
    return t;
}

}  // namespace settings
