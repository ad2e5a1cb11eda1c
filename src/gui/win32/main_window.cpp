#include "gui/win32/main_window.h"

#include "gui/win32/app_dialogs.h"
#include "gui/win32/program_name.h"
#include "resource_ids.h"
#include "serial/port_settings.h"
#include "session/end_codes.h"
#include "text/message_box_text.h"
#include "text/string_table.h"

#include <commctrl.h>
#include <commdlg.h>

#include <vector>

namespace tavex {

namespace {

// The step message's number, WM_USER+1, is also the dialog manager's
// DM_SETDEFID: the step carries a mark in lParam that a DM_SETDEFID from
// elsewhere does not, and anything else goes on to the dialog manager.
constexpr LPARAM kStepMark = 0x54415658;  // "TAVX"

std::wstring TextOf(HWND control)
{
    const int length = GetWindowTextLengthW(control);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

std::wstring Wide(std::string_view text) { return WideFromUtf8(std::string(text)); }

} // namespace

std::wstring FileDialogFilter(std::string_view pipeSeparated)
{
    std::wstring filter = Wide(pipeSeparated);
    for (wchar_t& c : filter) {
        if (c == L'|') {
            c = L'\0';
        }
    }
    // A list that does not end in "||" still ends in two NULs.
    filter.push_back(L'\0');
    filter.push_back(L'\0');
    return filter;
}

CTavexDLDlg::CTavexDLDlg(ICommControlHost& controls, IImageFiles& files, bool ntPlatform)
    : bigIcon_(AppIcon(false)), smallIcon_(AppIcon(true)), session_(*this, *this, controls, files, ntPlatform)
{
}

CTavexDLDlg::~CTavexDLDlg() = default;

int CTavexDLDlg::Run(HWND owner)
{
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_TAVEXDL_DIALOG), owner,
                                           Procedure, reinterpret_cast<LPARAM>(this));
    return static_cast<int>(result);
}

INT_PTR CALLBACK CTavexDLDlg::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
        reinterpret_cast<CTavexDLDlg*>(lParam)->window_ = window;
    }
    auto* self = reinterpret_cast<CTavexDLDlg*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return FALSE;
    }
    // Nothing may unwind through the system's dispatch.
    try {
        return self->Handle(message, wParam, lParam);
    } catch (...) {
        std::terminate();
    }
}

INT_PTR CTavexDLDlg::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        return TRUE;
    case kStepMessage:
        if (lParam != kStepMark) {
            return FALSE;
        }
        session_.OnStep();
        return TRUE;
    case WM_TIMER:
        session_.OnTimer(static_cast<unsigned>(wParam));
        return TRUE;
    case WM_COMMAND:
        return OnCommand(wParam) ? TRUE : FALSE;
    case WM_SYSCOMMAND:
        return OnSysCommand(wParam) ? TRUE : FALSE;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        // The caption's icon neither opens the system menu nor closes.
        return wParam == HTSYSMENU ? TRUE : FALSE;
    case WM_CONTEXTMENU:
        return TRUE;
    case WM_PAINT:
        if (IsIconic(window_)) {
            PaintMinimised();
            return TRUE;
        }
        return FALSE;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(bigIcon_);
    case WM_DESTROY:
        WinHelpW(window_, nullptr, HELP_QUIT, 0);
        if (windowChanged) {
            windowChanged(nullptr);
        }
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        window_ = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

void CTavexDLDlg::OnInitDialog()
{
    // The file field and the status line start empty.
    SetDlgItemTextW(window_, IDC_FILE_EDIT, L"");
    SetDlgItemTextW(window_, IDC_STATUS, L"");
    SendDlgItemMessageW(window_, IDC_PROGRESS, PBM_SETRANGE32, 0, 100);

    const std::string_view aboutItem = LoadString(string_id::kAboutMenuItem);
    if (HMENU systemMenu = GetSystemMenu(window_, FALSE); systemMenu != nullptr && !aboutItem.empty()) {
        AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, Wide(aboutItem).c_str());
    }
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));

    if (windowChanged) {
        windowChanged(window_);
    }
    session_.OnInitSession();
}

bool CTavexDLDlg::OnCommand(WPARAM wParam)
{
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    switch (id) {
    case IDOK:
        session_.OnOK();
        return true;
    case IDCANCEL:
        // Escape, and the dialog manager's answer to WM_CLOSE.
        if (code != 0) {
            return false;
        }
        session_.EndSession(kEndOperatorClose);
        return true;
    case IDC_DOWNLOAD:
        if (code != BN_CLICKED) {
            return false;
        }
        session_.OnDownload();
        return true;
    case IDC_BROWSE:
        if (code != BN_CLICKED) {
            return false;
        }
        OnBrowse();
        return true;
    default:
        return false;
    }
}

bool CTavexDLDlg::OnSysCommand(WPARAM wParam)
{
    if ((wParam & 0xFFF0) == IDM_ABOUTBOX || (wParam & 0xFFF0) == SC_CONTEXTHELP) {
        RunAboutBox(window_);
        return true;
    }
    switch (wParam & 0xFFF0) {
    case SC_KEYMENU:
        return true;
    case SC_CLOSE:
        session_.EndSession(kEndOperatorClose);
        return true;
    default:
        return false;
    }
}

void CTavexDLDlg::OnBrowse()
{
    if (session_.PortIsOpen()) {
        return;
    }
    const std::wstring filter = FileDialogFilter(StringText<string_id::kFileFilter>);
    const std::wstring defaultExtension = Wide(StringText<string_id::kDefaultExtension>);
    std::vector<wchar_t> path(32768, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrDefExt = defaultExtension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;

    if (!GetOpenFileNameW(&dialog)) {
        if (CommDlgExtendedError() == 0) {
            return;  // cancelled: the field keeps what it had
        }
        path[0] = L'\0';  // the dialog failed: it chose nothing
    }
    const std::wstring chosen(path.data());
    SetDlgItemTextW(window_, IDC_FILE_EDIT, chosen.c_str());
    session_.ChooseFile(Utf8FromWide(chosen));
}

void CTavexDLDlg::PaintMinimised()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    SendMessageW(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const int iconWidth = GetSystemMetrics(SM_CXICON);
    const int iconHeight = GetSystemMetrics(SM_CYICON);
    RECT client;
    GetClientRect(window_, &client);
    const int x = (client.right - client.left - iconWidth + 1) / 2;
    const int y = (client.bottom - client.top - iconHeight + 1) / 2;
    DrawIcon(dc, x, y, bigIcon_);
    EndPaint(window_, &paint);
}

std::uint32_t CTavexDLDlg::TickCount() { return GetTickCount(); }

void CTavexDLDlg::PostStepMessage() { PostMessageW(window_, kStepMessage, 0, kStepMark); }

unsigned CTavexDLDlg::StartTimer(unsigned timerId, unsigned periodMs)
{
    return static_cast<unsigned>(SetTimer(window_, timerId, periodMs, nullptr));
}

bool CTavexDLDlg::StopTimer(unsigned timerId) { return KillTimer(window_, timerId) != FALSE; }

void CTavexDLDlg::Pause(unsigned milliseconds) { Sleep(milliseconds); }

void CTavexDLDlg::ShowMessage(const std::string& text, const SystemReason& detail)
{
    MessageBoxW(window_, WideFromUtf8(MessageBoxText(text, detail.text)).c_str(), ProgramName().c_str(),
                MB_OK | MB_ICONEXCLAMATION);
}

void CTavexDLDlg::SetStatusLine(const std::string& text)
{
    SetDlgItemTextW(window_, IDC_STATUS, WideFromUtf8(text).c_str());
}

void CTavexDLDlg::SetProgress(int percent)
{
    SendDlgItemMessageW(window_, IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

void CTavexDLDlg::EnableInputControls(bool enable)
{
    const int inputs[] = {IDC_COM_LIST, IDC_FILE_EDIT, IDC_BROWSE, IDC_DOWNLOAD};
    if (!enable) {
        // A disabled control that keeps the focus leaves the keyboard with
        // nowhere to go: Escape and Enter (Cancel) must still work.
        const HWND focus = GetFocus();
        for (int id : inputs) {
            if (focus != nullptr && focus == Control(id)) {
                SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(IDOK)), TRUE);
                break;
            }
        }
    }
    for (int id : inputs) {
        EnableWindow(Control(id), enable ? TRUE : FALSE);
    }
    // At once: the thread may block before the next paint.
    UpdateWindow(Control(IDC_COM_LIST));
}

void CTavexDLDlg::SetButtonText(const std::string& text)
{
    SetDlgItemTextW(window_, IDOK, WideFromUtf8(text).c_str());
}

void CTavexDLDlg::FillComList(int entryCount, int selectedIndex)
{
    const HWND list = Control(IDC_COM_LIST);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < entryCount; ++i) {
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromUtf8(PortListEntry(i)).c_str()));
    }
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(selectedIndex), 0);
}

int CTavexDLDlg::ComSelection() { return static_cast<int>(SendDlgItemMessageW(window_, IDC_COM_LIST, CB_GETCURSEL, 0, 0)); }

std::string CTavexDLDlg::FileFieldText() { return Utf8FromWide(TextOf(Control(IDC_FILE_EDIT))); }

void CTavexDLDlg::EndDialog(int endCode) { ::EndDialog(window_, endCode); }

} // namespace tavex
