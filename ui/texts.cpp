#include "ui/texts.h"

#include <utility>

#include "settings/settings_texts.h"
#include "settings/trilingual.h"

namespace ui {
namespace {

using settings::Trilingual;
using settings::UiLanguage;

const char* const kCaption = "Kestrine";
const char* const kVersion = " 2.8.2";
const char* const kAuthorLine = "Kestrine developers";
const char* const kWebAddress = "https://kestrine.example/";

// Exclamation and question marks of the Chinese messages are the full-width forms.
const std::pair<std::string WindowTexts::*, Trilingual> kWindowTexts[] = {
    {&WindowTexts::normalTab, {"Normal", "常规", "常規"}},
    {&WindowTexts::otherTab, {"Other", "其它", "其它"}},
    {&WindowTexts::advancedTab, {"Advanced", "高级", "高級"}},

    {&WindowTexts::ok, {"&OK", "确定", "確認"}},
    {&WindowTexts::apply, {"&Apply", "应用", "套用"}},
    {&WindowTexts::exit, {"E&xit", "退出", "退出"}},
    {&WindowTexts::up, {"&Up", "向上", "向上"}},
    {&WindowTexts::down, {"&Down", "向下", "向下"}},
    {&WindowTexts::deleteEntry, {"De&lete", "删除", "刪除"}},
    {&WindowTexts::add, {"&Add", "添加", "添加"}},
    {&WindowTexts::hotkey, {"&Hotkey", "热键", "熱鍵"}},
    {&WindowTexts::property, {"&Property", "属性", "屬性"}},
    {&WindowTexts::keyboard, {"&KeyBoard", "键盘", "鍵盤"}},
    {&WindowTexts::nameColumn, {"Name", "名称", "名稱"}},
    {&WindowTexts::hotkeyColumn, {"Hotkey", "热键", "熱鍵"}},

    {&WindowTexts::enableDisable, {"Enable/Disable", "启用/禁用", "啟用/禁用"}},
    {&WindowTexts::imeStyle, {"IME Style", "输入法风格", "輸入法風格"}},
    {&WindowTexts::inputLocales, {"Input Locales", "输入法指示器", "輸入法指示器"}},
    {&WindowTexts::textServices, {"Text Services", "高级文字服务", "高級文字服務"}},
    {&WindowTexts::switchKeyboardLayouts, {"Switch keyboard layouts", "切换键盘布局", "切換鍵盤布局"}},
    {&WindowTexts::turnOffCapsLock, {"Turn off Caps Lock", "关闭 Caps Lock: ", "關閉大寫鍵"}},
    {&WindowTexts::showStatus, {"Show Status", "输入法指示条", "輸入法指示條"}},
    {&WindowTexts::otherToggleGroup, {"Other IME Toggle Key", "其它切换热键", "其它切換熱鍵"}},
    {&WindowTexts::imeToggle, {"Ime/NonIme Toggle", "打开/关闭输入法", "打開/關閉輸入法"}},
    {&WindowTexts::shapeToggle, {"Shape Toggle", "全角/半角切换", "全角/半角切換"}},
    {&WindowTexts::symbolToggle, {"Symbol Toggle", "中英文标点切换", "中英文標點切換"}},

    {&WindowTexts::deleteFromRegistryGroup, {"Delete from Registry", "从注册表删除", "從注冊表刪除"}},
    {&WindowTexts::registryDelete, {"Delete", "删除", "刪除"}},
    {&WindowTexts::installImeGroup, {"Install IME", "安装输入法", "安裝輸入法"}},
    {&WindowTexts::layoutTextLabel, {"Layout Text: ", "输入法名称: ", "輸入法名稱: "}},
    {&WindowTexts::imeFileLabel, {"IME file: ", "IME 文件: ", "IME 檔案: "}},
    {&WindowTexts::install, {"Install", "安装", "安裝"}},

    {&WindowTexts::duplicateHotkey, {"Duplicate hotkey!", "热键重复！", "熱鍵重復！"}},
    {&WindowTexts::leftPrefix, {"Left ", "左 ", "左 "}},
    {&WindowTexts::rightPrefix, {"Right ", "右 ", "右 "}},
    {&WindowTexts::warningCaption, {"Warning!", "警告！", "警告！"}},
    {&WindowTexts::deleteQuestionPrefix, {"Do you want to delete ", "确定要删除 ", "確定要刪除 "}},
    {&WindowTexts::deleteQuestionSuffix, {"\" ?", "\" 吗？", "\" 嗎？"}},

    {&WindowTexts::commandLineSwitchesItem, {"&Command Line Switches", "命令行参数(&P)", "命令行參數"}},
    {&WindowTexts::aboutItem, {"&About...", "关于(&A)...", "版本信息..."}},
    {&WindowTexts::aboutCaption, {"Version Infermation", "版本信息", "版本信息"}},
};

const Trilingual kAboutDate = {"Date: 2009.9.22", "日期: 2009.9.22", "日期: 2009.9.22"};

const std::pair<std::string KeyboardDialogTexts::*, Trilingual> kKeyboardDialogTexts[] = {
    {&KeyboardDialogTexts::title, {"KeyBoard", "键盘", "鍵盤"}},
    {&KeyboardDialogTexts::ok, {"OK", "确认", "確定"}},
    {&KeyboardDialogTexts::cancel, {"Cancel", "取消", "放棄"}},
    {&KeyboardDialogTexts::currentLabel, {"Current: ", "当前: ", "當前: "}},
    {&KeyboardDialogTexts::newLabel, {"New: ", "修改为: ", "修改為: "}},
};

}  // namespace

KeyboardDialogTexts keyboardDialogTexts(UiLanguage language) {
    KeyboardDialogTexts t;
    for (const auto& [field, text] : kKeyboardDialogTexts) t.*field = settings::localise(text, language);
    return t;
}

WindowTexts windowTexts(UiLanguage language) {
    WindowTexts t;
    t.caption = kCaption;
    t.version = kVersion;
    t.windowTitle = t.caption + t.version;
    for (const auto& [field, text] : kWindowTexts) t.*field = settings::localise(text, language);

    // Loading picks the language switch's caption from the same texts.
    settings::SettingsTexts shared = settings::settingsTexts(language);
    t.switchInputLanguages = shared.switchInputLanguages;
    t.switchIme = shared.switchIme;

    t.aboutText = std::string(kAuthorLine) + '\r' + settings::localise(kAboutDate, language) + '\r' + kWebAddress;
    t.keyboardDialog = keyboardDialogTexts(language);
    return t;
}

settings::ModelTexts modelTexts(UiLanguage language) {
    WindowTexts window = windowTexts(language);
    settings::ModelTexts texts;
    texts.appCaption = window.caption;
    texts.hotkeyColumn = window.hotkeyColumn;
    texts.sides = {window.leftPrefix, window.rightPrefix};
    texts.settings = settings::settingsTexts(language);
    texts.repair = settings::repairLayoutTexts(language);
    return texts;
}

}  // namespace ui
