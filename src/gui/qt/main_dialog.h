#pragma once

// The program's main window: the file field, Browse, the COM list, Download,
// the status line, the progress bar and button 1. It hosts the download
// session: the step message is an event posted to the window, the watchdog a
// window timer, a message a modal warning box.

#include "session/download_session.h"

#include <QDialog>
#include <QElapsedTimer>

#include <functional>
#include <memory>

namespace Ui {
class CTavexDLDlg;
}

namespace tavex {

class CTavexDLDlg : public QDialog, private ISessionHost, private ISessionWindow {
public:
    CTavexDLDlg(ICommControlHost& controls, IImageFiles& files, QWidget* parent = nullptr);
    ~CTavexDLDlg() override;

    // The window's initialisation, then its modal run.
    int exec() override;
    void InitDialog();

    DownloadSession& Session() { return session_; }

    // How a message is shown and an image chosen; tests watch them instead.
    std::function<void(const QString& text, const QString& detail)> presentMessage;
    std::function<QString()> chooseImageFile;
    std::function<void(const QString& text)> statusShown;  // optional observer

protected:
    bool event(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    void OnBrowse();
    void ShowAbout();
    void ShowWarning(const QString& text, const QString& detail);
    QString ChooseWithFileDialog();

    // ISessionHost
    std::uint32_t TickCount() override;
    void PostStepMessage() override;
    unsigned StartTimer(unsigned timerId, unsigned periodMs) override;
    bool StopTimer(unsigned timerId) override;
    void Pause(unsigned milliseconds) override;
    void ShowMessage(const std::string& text, const SystemReason& detail) override;
    void SetStatusLine(const std::string& text) override;
    void SetProgress(int percent) override;
    void EnableInputControls(bool enable) override;
    void SetButtonText(const std::string& text) override;
    void FillComList(int entryCount, int selectedIndex) override;
    int ComSelection() override;
    std::string FileFieldText() override;
    void EndDialog(int endCode) override;

    std::unique_ptr<Ui::CTavexDLDlg> ui_;
    QElapsedTimer clock_;        // started before the session, which reads it at once
    int watchdogTimer_ = 0;      // the Qt timer behind the session's timer 1
    unsigned watchdogId_ = 0;
    DownloadSession session_;
};

} // namespace tavex
