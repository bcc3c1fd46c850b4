#include "hotkey/editor_texts.h"

#include <utility>

#include "settings/trilingual.h"

namespace hotkey {
namespace {

using settings::Trilingual;

const std::pair<std::string EditorTexts::*, Trilingual> kEditorTexts[] = {
    {&EditorTexts::title, {"Hotkey", "热键", "熱鍵"}},
    {&EditorTexts::keyGroup, {"Hotkey", "热键", "熱鍵"}},
    {&EditorTexts::noKey, {"None", "无", "無"}},
    {&EditorTexts::left, {"Left", "左", "左"}},
    {&EditorTexts::right, {"Right", "右", "右"}},
    {&EditorTexts::enableHotkey, {"Enable hotkey", "启用热键", "啟用熱鍵"}},
    {&EditorTexts::ok, {"OK", "确定", "確認"}},
    {&EditorTexts::cancel, {"Cancel", "取消", "放棄"}},
};

}  // namespace

EditorTexts editorTexts(settings::UiLanguage language) {
    EditorTexts t;
    for (const auto& [field, text] : kEditorTexts) t.*field = settings::localise(text, language);
    return t;
}

}  // namespace hotkey
