// Captions of the hot-key editor.
#include <gtest/gtest.h>

#include <iterator>

#include "hotkey/editor_texts.h"
#include "tests/support/text_checks.h"

using testing_support::kLanguages;

namespace {

TEST(EditorTexts, CaptionsByLanguage) {
    // None item, OK and Cancel: 无 确定 取消 in GBK, 無 確認 放棄 in Big5.
    const char* const expected[][3] = {
        {"None", "OK", "Cancel"},
        {"\xCE\xDE", "\xC8\xB7\xB6\xA8", "\xC8\xA1\xCF\xFB"},
        {"\xB5\x4C", "\xBD\x54\xBB\x7B", "\xA9\xF1\xB1\xF3"},
    };
    for (size_t i = 0; i < std::size(kLanguages); ++i) {
        const auto& c = kLanguages[i];
        hotkey::EditorTexts t = hotkey::editorTexts(c.language);
        EXPECT_EQ(expected[i][0], t.noKey) << c.name;
        EXPECT_EQ(expected[i][1], t.ok) << c.name;
        EXPECT_EQ(expected[i][2], t.cancel) << c.name;
        for (const std::string* text : {&t.title, &t.keyGroup, &t.left, &t.right, &t.enableHotkey}) {
            EXPECT_FALSE(text->empty()) << c.name;
            EXPECT_EQ(!c.chinese, testing_support::isAscii(*text)) << c.name << ": " << *text;
            EXPECT_EQ(0, testing_support::questionMarks(*text)) << c.name << ": " << *text;
        }
    }
}

}  // namespace
