// Control IDs and class names of the main window. The end-to-end test driver finds the controls by these IDs,
// so a change here is a change of the program's outside interface.
#pragma once

namespace tavix::ids {

inline constexpr wchar_t kMainWindowClass[] = L"TavixvCardMainWindow";
inline constexpr wchar_t kPageContainerClass[] = L"TavixvCardPages";
inline constexpr wchar_t kHyperlinkClass[] = L"TavixvCardHyperlink";

// Left column, on the window itself.
inline constexpr int k按钮_txt转vcard = 1001;
inline constexpr int k按钮_设置 = 1002;
inline constexpr int k按钮_关于 = 1003;
inline constexpr int k透明标签9 = 1004;
inline constexpr int k超级链接框1 = 1005;
inline constexpr int k透明标签8 = 1006;
inline constexpr int k高级选择夹1 = 1007;

// Page 1, "TXT转vCard" (children of the page container).
inline constexpr int k透明标签1 = 1101;
inline constexpr int k按钮_导入文本 = 1102;
inline constexpr int k透明标签4 = 1103;
inline constexpr int k按钮_转换输出 = 1104;
inline constexpr int k透明标签6 = 1105;

// Page 2, "设置".
inline constexpr int k透明标签2 = 1201;
inline constexpr int k单选框_姓名_手机号 = 1202;
inline constexpr int k单选框_姓名_自定义 = 1203;
inline constexpr int k编辑框_姓名_自定义 = 1204;
inline constexpr int k透明标签3 = 1205;
inline constexpr int k分组框2 = 1206;
inline constexpr int k单选框_自定义_序号 = 1207;  // child of the group box 分组框2
inline constexpr int k透明标签7 = 1208;
inline constexpr int k选择框_过滤空格 = 1209;
inline constexpr int k选择框_过滤斜杠 = 1210;

// Page 3, "关于".
inline constexpr int k透明标签5 = 1301;

}  // namespace tavix::ids
