#pragma once

// One download from the Download click to its end, and the machinery around
// it for the life of the main window: the step message, the watchdog, the
// status line, the progress bar and the ways a session ends.

#include "image/directive_parser.h"
#include "image/image_cursor.h"
#include "image/image_snapshot.h"
#include "image/memory_byte_source.h"
#include "protocol/com_port_event_handler.h"
#include "protocol/protocol_state.h"
#include "serial/ccomport.h"
#include "session/image_file_checks.h"
#include "session/internal_error_code.h"
#include "session/session_host.h"
#include "session/stopwatch.h"

#include <memory>
#include <optional>
#include <string>

namespace tavex {

inline constexpr std::uint32_t kStepMessage = 0x401;  // WM_USER+1
inline constexpr unsigned kWatchdogTimerId = 1;
inline constexpr unsigned kWatchdogPeriodMs = 1000;
inline constexpr std::uint32_t kReplyLimitMs = 6000;
inline constexpr unsigned kPingPauseMs = 800;
inline constexpr unsigned kTerminatePauseMs = 500;

namespace test {
struct SessionInspector;  // what the tests look at inside a session
}

class DownloadSession : private INotifyWindow {
public:
    // ntPlatform: whether writes go without RTS framing (true off Windows).
    DownloadSession(ISessionHost& host, ISessionWindow& window, ICommControlHost& controls, IImageFiles& files,
                    bool ntPlatform = true);

    // Window messages.
    void OnInitSession();          // the window's initialisation
    void OnDownload();             // the Download button
    void OnStep();                 // the step message
    void OnTimer(unsigned timerId);
    void OnOK();                   // button 1 or Enter: Close or Cancel
    void EndSession(int endCode);  // closes the window

    bool IsClosed() const { return closed_; }
    ProtocolState State() const { return portHandler.GetState(); }

    // What the last download did, for a report of it once it has ended.
    // Cancelled: the operator cancelled it (or closed the window) while it
    // ran, whatever the keyboard had received by then.
    bool WasCancelled() const { return cancelled_; }
    // The keyboard's hardware version, once its ID has been accepted.
    std::optional<int> KeyboardHardware() const { return keyboardHardware_; }
    std::uint64_t DataBytesSent() const { return dataBytesSent_; }
    int BlockCount() const { return blockCount; }
    // The SHA-256 of the image as the download read it, in hexadecimal;
    // empty when no image was read.
    const std::string& ImageSha256() const { return imageSha256_; }

    // Browse is refused while the port is open; what it chose becomes the
    // session's file name.
    bool PortIsOpen() const { return portOpen; }
    void ChooseFile(std::string name) { fileName = std::move(name); }

private:
    friend struct test::SessionInspector;

    // Session data.
    std::string fileName;
    std::string statusText;
    std::string buttonText;
    std::string sessionMessage;
    SystemReason sessionDetail;  // the system's reason behind sessionMessage, if any
    bool initialized = false;
    bool cancelRequested = false;
    PortSettings portSettings;
    CComPort commControl;
    ComPortEventHandler portHandler;
    ProtocolState machineState = bpStateNONE;
    unsigned timerId = 0;
    CStopwatch replyStopwatch;
    std::unique_ptr<IByteSource> imageFile;
    ImageCursor image;  // fileLength, bytesRead, lineNumber and the quoted file name
    bool portOpen = false;
    int blockCount = 0;
    bool baudRetried = false;
    RecordFields record;
    CDirectiveParser directiveParser;

    void PostMessage(std::uint32_t message) override;

    // Status line and progress.
    void SetStatus(int stringId);
    template <int Id>
    void SetStatusNumber(int number);
    void ShowStatus(int stringId);  // without the PING step's suffix and pause
    void UpdateProgress();

    // Closing sequences.
    void ReturnToIdle();
    void ErrorEnd(FileKind machine, ProtocolState stepState);
    void CloseImage();
    void HoldSnapshot(std::uint64_t fileLength);
    bool ImagePassesFor(FileKind machine, int hardware);
    void SetMachineState(ProtocolState state);
    void PostStep() { host_.PostStepMessage(); }
    bool ConfigurePort();
    void GoOnlineAt(std::int32_t baudIndex);
    void FallBackTo57600();

    // The transfer machines.
    void RunS19Step();
    void RunS20Step();
    void RunStep(FileKind machine);
    void CancelCheckS19();
    void CancelCheckS20();
    void DoGoOnline(FileKind machine, ProtocolState s);
    void DoReceiveKeyboardId(FileKind machine, ProtocolState s);
    void DoReadNextRecord(FileKind machine, ProtocolState s);
    void DoSendRecord(FileKind machine, ProtocolState s);
    void DoReceiveOk(FileKind machine, ProtocolState s);
    void DoGoOffline(FileKind machine, ProtocolState s);
    void FinishSend(bool sent, FileKind machine, ProtocolState s);

    ISessionHost& host_;
    ISessionWindow& window_;
    IImageFiles& files_;
    bool closed_ = false;
    bool cancelled_ = false;
    std::optional<int> keyboardHardware_;
    std::uint64_t dataBytesSent_ = 0;
    std::string imageSha256_;
    // The transfer reads the snapshot; imageFile stays open and locked.
    std::shared_ptr<const ImageSnapshot> snapshot_;
    std::unique_ptr<MemoryByteSource> snapshotSource_;
};

} // namespace tavex
