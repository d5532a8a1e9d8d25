// One running instance of the program, driven the way a user drives it: by clicks on visible, enabled controls,
// by keys, through the open-file dialog and the outcome box.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "check.h"

namespace e2e {

inline constexpr wchar_t kMainClass[] = L"TavixvCardMainWindow";
inline constexpr wchar_t kPageContainerClass[] = L"TavixvCardPages";
inline constexpr wchar_t kHyperlinkClass[] = L"TavixvCardHyperlink";
inline constexpr wchar_t kTitle[] = L"TavixvCard(vcf)手机通讯录转换生成器免费版 V1.0";
inline constexpr wchar_t kOutputName[] = L"Tavix软件_生成.vcf";
inline constexpr wchar_t kBoxTitle[] = L"信息：";
inline constexpr wchar_t kSuccess[] = L"数据生成成功(根目录会有VCF文件)";
inline constexpr wchar_t kFailure[] = L"数据生成失败";
inline constexpr wchar_t kDialogTitle[] = L"请选择文本";
inline constexpr wchar_t kImportCaptionInitial[] = L"选择文件";
inline constexpr wchar_t kAddress[] = L"https://tavix.example.com/";

// Control IDs of the main window (the program's window_ids.h).
namespace id {
inline constexpr int kPageTxt = 1001;          // 按钮_txt转vcard
inline constexpr int kPageSettings = 1002;     // 按钮_设置
inline constexpr int kPageAbout = 1003;        // 按钮_关于
inline constexpr int kLabelNewVersion = 1004;  // 透明标签9
inline constexpr int kLink = 1005;             // 超级链接框1
inline constexpr int kLabelVersion = 1006;     // 透明标签8
inline constexpr int kPages = 1007;            // 高级选择夹1
inline constexpr int kLabelTxt = 1101;         // 透明标签1
inline constexpr int kImport = 1102;           // 按钮_导入文本
inline constexpr int kLabelHint = 1103;        // 透明标签4
inline constexpr int kGenerate = 1104;         // 按钮_转换输出
inline constexpr int kLabelRules = 1105;       // 透明标签6
inline constexpr int kLabelName = 1201;        // 透明标签2
inline constexpr int kRadioPhone = 1202;       // 单选框_姓名_手机号
inline constexpr int kRadioCustom = 1203;      // 单选框_姓名_自定义
inline constexpr int kEditCustom = 1204;       // 编辑框_姓名_自定义
inline constexpr int kLabelPlus = 1205;        // 透明标签3
inline constexpr int kGroup = 1206;            // 分组框2
inline constexpr int kRadioSequence = 1207;    // 单选框_自定义_序号
inline constexpr int kLabelFilters = 1208;     // 透明标签7
inline constexpr int kCheckSpaces = 1209;      // 选择框_过滤空格
inline constexpr int kCheckDashes = 1210;      // 选择框_过滤斜杠
inline constexpr int kAboutText = 1301;        // 透明标签5
}  // namespace id

// The dialog's file-name box and file-type list (IDs of the system's open-file dialog).
inline constexpr int kDialogFileName = 0x47C;
inline constexpr int kDialogFileType = 0x470;

// What the page "设置" should hold before a generate.
struct Settings {
    bool stripDashes = false;
    bool stripSpaces = false;
    bool customName = false;                // the name rule "自定义" instead of "手机号"
    std::optional<std::wstring> typedText;  // typed into the edit box; nullopt leaves its text alone
};

// A fresh folder under the run's work folder, named after `name` (made unique).
std::wstring NewFolder(Context& ctx, const std::wstring& name);
// Asks the wrapper for a screenshot of the whole screen and waits until it is taken; nothing without --screens.
void Screenshot(Context& ctx, const std::string& name);

class App {
  public:
    explicit App(Context& ctx) : ctx_(ctx) {}
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Copies the program into `folder` and starts it there, with the driver's own directory as its current
    // directory; waits for its main window.
    bool Start(const std::wstring& folder);
    HWND Main() const { return main_; }
    HANDLE Process() const { return process_; }
    DWORD ProcessId() const { return processId_; }
    const std::wstring& Folder() const { return folder_; }
    std::wstring OutputPath() const;
    bool Alive() const;

    // A control of the main window by its ID; records a failure when it is missing.
    HWND Control(int controlId);
    // A click as a user makes it: the button must be visible and enabled, and so must its top-level window.
    bool Click(int controlId);
    bool ClickWindow(HWND button, const std::string& what);
    bool ShowPage(int pageButtonId);
    std::optional<bool> Checked(int controlId);
    bool WaitChecked(int controlId, bool checked);

    // The outcome boxes ("信息：") of the program that are up now.
    std::vector<HWND> Boxes() const;
    std::wstring BoxText(HWND box) const;
    bool DismissBox(HWND box);
    // Shows page 1, clicks "生成", waits for the outcome box, reads and closes it.
    bool Generate(std::wstring& outcome);
    bool GenerateExpecting(const std::wstring& outcome);

    // Shows page 1, clicks "选择文件" and waits for the open-file dialog.
    HWND OpenDialog();
    // Types `path` into the dialog's file-name box and presses Open.
    bool ChooseInDialog(HWND dialog, const std::wstring& path, bool expectClose = true);
    bool CancelDialog(HWND dialog);
    // The names the dialog's file list shows now (waits until it shows something).
    std::vector<std::wstring> DialogListing(HWND dialog);
    // A whole import; waits for the caption to become `expectedCaption`.
    bool Import(const std::wstring& path, const std::wstring& expectedCaption);
    std::wstring ImportCaption();

    bool Apply(const Settings& settings);

    // Closes the main window (as its close button does) and waits for the process to end with exit code 0.
    bool Close();
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode);

    // The folder holds exactly these names: nothing left behind by a generate.
    bool FolderHoldsOnly(std::vector<std::wstring> names, const std::string& when);

  private:
    Context& ctx_;
    std::wstring folder_;
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    HWND main_ = nullptr;
};

}  // namespace e2e
