#pragma once

// The program's main window on Windows, a modal dialog from its template:
// the file field, Browse, the COM list, Download, the status line, the
// progress bar and button 1. It hosts the download session: the step
// message is posted to the window, the watchdog is a window timer, a
// message is a modal warning box.

#include "platform/win32/windows_api.h"
#include "session/download_session.h"

#include <functional>
#include <string>
#include <string_view>

namespace tavex {

// Filter string 103 ("label|pattern|...||") as the file-open dialog takes
// it: each '|' a NUL, the list ending in two.
std::wstring FileDialogFilter(std::string_view pipeSeparated);

class CTavexDLDlg : private ISessionHost, private ISessionWindow {
public:
    CTavexDLDlg(ICommControlHost& controls, IImageFiles& files, bool ntPlatform);
    ~CTavexDLDlg() override;
    CTavexDLDlg(const CTavexDLDlg&) = delete;
    CTavexDLDlg& operator=(const CTavexDLDlg&) = delete;

    // Shows the window and runs it until it closes; answers its end code,
    // or -1 when the window could not be made.
    int Run(HWND owner = nullptr);

    // Told the window once it exists, and null when it is being destroyed.
    std::function<void(HWND)> windowChanged;

    HWND Window() const { return window_; }

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    bool OnCommand(WPARAM wParam);
    bool OnSysCommand(WPARAM wParam);
    void OnBrowse();
    void PaintMinimised();
    HWND Control(int id) const { return GetDlgItem(window_, id); }

    // ISessionHost
    std::uint32_t TickCount() override;
    void PostStepMessage() override;
    unsigned StartTimer(unsigned timerId, unsigned periodMs) override;
    bool StopTimer(unsigned timerId) override;
    void Pause(unsigned milliseconds) override;
    // ISessionWindow
    void ShowMessage(const std::string& text, const SystemReason& detail) override;
    void SetStatusLine(const std::string& text) override;
    void SetProgress(int percent) override;
    void EnableInputControls(bool enable) override;
    void SetButtonText(const std::string& text) override;
    void FillComList(int entryCount, int selectedIndex) override;
    int ComSelection() override;
    std::string FileFieldText() override;
    void EndDialog(int endCode) override;

    HWND window_ = nullptr;
    HICON bigIcon_;
    HICON smallIcon_;
    DownloadSession session_;
};

} // namespace tavex
