#include "cli/help_text.h"

#include <iterator>

#include "settings/trilingual.h"

namespace cli {
namespace {

using settings::Trilingual;
using settings::UiLanguage;

// A line of the help: the switch form, the tabs and the description. Lines that carry on
// a description have no switch form and no tabs, and the text is the whole line.
struct HelpLine {
    const char* switchForm;
    int tabs;
    Trilingual text;
};

const HelpLine kHelpLines[] = {
    {"", 0, {"Command Line Switches", "命令行参数", "命令行參數"}},
    {"/? /h /help", 3, {"Show help (This message box)", "显示此帮助", "顯示此說明"}},
    {"/on", 4, {"Enable internat.exe or ctfmon.exe", "启用 internat.exe 或 ctfmon.exe", "啟用 internat.exe 或 ctfmon.exe"}},
    {"/off", 4, {"Disable internat.exe or ctfmon.exe", "禁用 internat.exe 或 ctfmon.exe", "禁用 internat.exe 或 ctfmon.exe"}},
    {"/internat", 4, {"Use internat.exe", "输入法指示器风格（internat.exe）", "輸入法指示器風格（internat.exe）"}},
    {"/ctfmon", 4, {"Text Servies (ctfmon.exe)", "高级文字服务风格（ctfmon.exe）", "高級文字服務風格（ctfmon.exe）"}},
    {"/status:<0/1>", 3, {"<0/1>: OFF/ON IME status line", "<0/1>: 关闭/显示输入法状态条", "<0/1>: 關閉/顯示輸入法狀態列"}},
    {"/caps", 4, {"Close uppercase with CapsLock key", "用 Caps 键关闭大写", "用 Caps 鍵關閉大寫"}},
    {"/shift", 4, {"Close uppercase with Shift key", "用 Shift 键关闭大写", "用 Shift 鍵關閉大寫"}},
    {"/switch:<0/1/2/3><a/b>", 2,
     {"<0>: Disable switch input languages and switch keyboard",
      "<0>: 不使用切换语言和切换键盘布局热键。",
      "<0>: 不使用切換語言和切換鍵盤布局熱鍵。"}},
    {"", 0,
     {"     layouts hotkey; <1>: Only use switch input languages hotkey; <2>: Only use switch keyboard",
      "     <1>: 仅使用切换语言热键；<2>: 仅使用切换键盘布局热键； <3>: 同时使用切",
      "     <1>: 僅使用切換語言熱鍵；<2>: 僅使用切換鍵盤布局熱鍵； <3>: 同時使用切"}},
    {"", 0,
     {"     layouts hotkey; <3>: Enable switch input languages and switch keyboard layouts hotkey.",
      "     换语言和切换键盘布局热键。<a>: 切换语言热键使用Ctrl+Shift；<b>: 切换键盘",
      "     換語言和切換鍵盤布局熱鍵。<a>: 切換語言熱鍵使用Ctrl+Shift；<b>: 切換鍵盤"}},
    {"", 0,
     {"     <a>: Ctrl+Shift switches input languages and Alt+Shift keyboard layouts; <b>: the other way round.",
      "     布局热键使用Ctrl+Shift。",
      "     布局熱鍵使用Ctrl+Shift。"}},
    {"/hotkey:<1/2/3/a/b/c>,[hotkey]", 1,
     {"Set IME hotkey.<1/2/3..>: Set hotkey for  the 1st\xA1\xA2" "2nd\xA1\xA2",
      "指定输入法热键。<1/2/3..>: 指定第1、2、3..",
      "指定輸入法熱鍵。<1/2/3..>: 指定第1、2、3.."}},
    {"", 0,
     {"     3rd.. IME; <a>: set IME/NoIME toggle hotkey; <b>: set shape (full-width/half-width) toggle hotkey;",
      "     个输入法的热键；<a>: 指定打开/关闭输入法的热键；<b>: 指定全角/半角切换",
      "     個輸入法的熱鍵；<a>: 指定打開/關閉輸入法的熱鍵；<b>: 指定全角/半角切換"}},
    {"", 0,
     {"     <c>: set symbol (Chinese/English punctuation) toggle hotkey. [hotkey]: Hotkey name, for example: ctrl+space",
      "     的热键；<c>: 指定中英文标点切换的热键。[hotkey]: 热键值，如：ctrl+space",
      "     的熱鍵；<c>: 指定中英文標點切換的熱鍵。[hotkey]: 熱鍵值，例如：ctrl+space"}},
    {"/add1:<name>,[hotkey]", 2, {"Add IME to list by name", "按名称添加输入法到列表", "依名稱將輸入法加入清單"}},
    {"/add2:<filename>,[hotkey]", 2, {"Add IME to list with filename", "按文件名添加输入法到列表", "依檔名將輸入法加入清單"}},
    {"/add3:<id>,[hotkey]", 2, {"Add IME to list by IME ID", "按 ID 添加输入法到列表", "依 ID 將輸入法加入清單"}},
    {"/del1:<1/2/3>", 3, {"Delete IME from list by order", "按顺序从列表中删除输入法", "依順序從清單中刪除輸入法"}},
    {"/del2:<name>", 3, {"Delete IME from list by name", "按名称从列表中删除输入法", "依名稱從清單中刪除輸入法"}},
    {"/del3:<filename>", 3, {"Delete IME from list by filename", "按文件名从列表中删除输入法", "依檔名從清單中刪除輸入法"}},
    {"/del4:<IME ID>", 3, {"Delete IME from list by IME ID", "按 ID 从列表中删除输入法", "依 ID 從清單中刪除輸入法"}},
    {"/install:[name],<filename>,[hotkey]", 1, {"Install IME to registry", "安装输入法", "安裝輸入法"}},
    {"/uninstall1:<name>", 2, {"Delete IME from registry by name", "按名称从注册表删除输入法", "依名稱從登錄檔刪除輸入法"}},
    {"/uninstall2:<filename>", 2, {"Delete IME from registry by filename", "按文件从注册表删除输入法", "依檔名從登錄檔刪除輸入法"}},
    {"/uninstall3:<ID>", 3, {"Delete IME from registry by IME ID", "按 ID 从注册表删除输入法", "依 ID 從登錄檔刪除輸入法"}},
    {"/move1:<name>,<number>", 2, {"Move IME by name", "按名称调整输入法顺序", "依名稱調整輸入法順序"}},
    {"/move2:<filename>,<number>", 1, {"Move IME by filename", "按文件名调整输入法顺序", "依檔名調整輸入法順序"}},
    {"/move3:<ID>,<number>", 2, {"Move IME by ID", "按 ID 调整输入法顺序", "依 ID 調整輸入法順序"}},
    {"/load:<filename>", 3, {"load switches from file", "从配置文件调入参数", "從設定檔載入參數"}},
    {"", 0,
     {"[hotkey] format: Ctrl+Shift_8_Left\xA1\xA2" "Alt_del\xA1\xA2" "alt+shift_?_right",
      "[hotkey] 格式示例: Ctrl+Shift_8_Left、Alt_del、alt+shift_?_right",
      "[hotkey] 格式範例: Ctrl+Shift_8_Left、Alt_del、alt+shift_?_right"}},
};

// The switches for scripts, which the help box leaves out: a console or a log shows them.
const HelpLine kRunLines[] = {
    {"/quiet", 4, {"Show no message box: what it would say goes to the output", "不显示消息框，其内容写到输出",
                   "不顯示訊息框，其內容寫到輸出"}},
    {"/whatif", 4, {"Preview: change nothing, list what applying would change", "预览：不做更改，列出应用将更改的内容",
                    "預覽：不做變更，列出套用將變更的內容"}},
    {"/log:<filename>", 3, {"Append the output to a log file (UTF-8)", "把输出追加到日志文件（UTF-8）",
                            "把輸出附加到記錄檔（UTF-8）"}},
    {"/save:<filename>", 3, {"Save the settings as a switch file for /load:", "把设置保存为可用 /load: 调入的参数文件",
                             "把設定儲存為可用 /load: 載入的參數檔"}},
    {"/clear", 4, {"Remove every IME from the list", "从列表中删除所有输入法", "從清單中刪除所有輸入法"}},
    {"", 0,
     {"Exit status: 0 done; +1 an item did nothing; +2 Windows refused a change; +4 (/whatif) applying would change "
      "something",
      "退出码：0 完成；+1 有参数未执行；+2 Windows 拒绝了更改；+4（/whatif）应用将会更改设置",
      "結束代碼：0 完成；+1 有參數未執行；+2 Windows 拒絕了變更；+4（/whatif）套用將會變更設定"}},
};

std::string join(const HelpLine* lines, size_t count, UiLanguage language, const char* separator,
                 CodePageConversion convert) {
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) text += separator;
        text += lines[i].switchForm;
        text.append(static_cast<size_t>(lines[i].tabs), '\t');
        text += settings::utf8For(lines[i].text, language);
    }
    if (language == UiLanguage::English) return text;
    return convert(text, settings::codePageFor(language));
}

}  // namespace

std::string helpText(UiLanguage language, CodePageConversion convert) {
    return join(kHelpLines, std::size(kHelpLines), language, "\r", convert);
}

std::string consoleHelpText(UiLanguage language, CodePageConversion convert) {
    return join(kHelpLines, std::size(kHelpLines), language, "\r\n", convert) + "\r\n" +
           join(kRunLines, std::size(kRunLines), language, "\r\n", convert);
}

}  // namespace cli
