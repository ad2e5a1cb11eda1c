#include "session/download_session.h"

#include "image/sha256.h"
#include "session/end_codes.h"
#include "text/format.h"

namespace tavex {

namespace {

std::string EndCodeMessage(int endCode)
{
    switch (endCode) {
    case kEndPortSettingsRefused:
        return std::string(StringText<string_id::kSessionNotInitialized>);
    case kEndNoEventWindow:
        return std::string(StringText<string_id::kNoEventHandler>);
    case kEndNoCommControl:
        return std::string(StringText<string_id::kNoCommControl>);
    case kEndNoTimer:
        return std::string(StringText<string_id::kNoTimer>);
    default:
        return Message<string_id::kInternalErrorNumber>(endCode);
    }
}

} // namespace

DownloadSession::DownloadSession(ISessionHost& host, ISessionWindow& window, ICommControlHost& controls,
                                 IImageFiles& files, bool ntPlatform)
    : commControl(controls), portHandler(ntPlatform), replyStopwatch(host), host_(host), window_(window),
      files_(files)
{
}

void DownloadSession::PostMessage(std::uint32_t) { PostStep(); }

void DownloadSession::SetMachineState(ProtocolState state)
{
    machineState = state;
    portHandler.SetState(state);
}

bool DownloadSession::ConfigurePort() { return portHandler.Configure(commControl, portSettings, *this, kStepMessage); }

void DownloadSession::OnInitSession()
{
    imageFile.reset();
    image = {};
    timerId = 0;
    portOpen = false;
    directiveParser.fileKind = FileKind::None;
    cancelRequested = false;
    SetStatus(string_id::kStatusOffLine);
    buttonText = std::string(StringText<string_id::kButtonClose>);
    window_.SetButtonText(buttonText);
    if (!commControl.CreateEventWindow()) {
        EndSession(kEndNoEventWindow);
        return;
    }
    if (!commControl.CreateControl()) {
        EndSession(kEndNoCommControl);
        return;
    }
    portSettings = MainWindowPortSettings();
    if (!ConfigurePort()) {
        EndSession(kEndPortSettingsRefused);
        return;
    }
    timerId = host_.StartTimer(kWatchdogTimerId, kWatchdogPeriodMs);
    if (timerId == 0) {
        EndSession(kEndNoTimer);
        return;
    }
    portHandler.SetState(bpStateNONE);
    window_.FillComList(port_lists::kPortCount, portSettings.portIndex);
    initialized = true;
}

void DownloadSession::OnDownload()
{
    if (closed_) {
        return;
    }
    sessionMessage.clear();
    sessionDetail = {};
    cancelled_ = false;
    keyboardHardware_.reset();
    dataBytesSent_ = 0;
    imageSha256_.clear();
    OpenedImage opened = OpenImage(files_, window_.FileFieldText());
    fileName = opened.fileName;
    if (!opened.imageFile) {
        window_.ShowMessage(opened.message, opened.detail);
        return;
    }
    imageFile = std::move(opened.imageFile);
    HoldSnapshot(opened.fileLength);
    directiveParser.fileKind = opened.fileKind;
    directiveParser.Reset();
    portHandler.SetState(bpStateGOONLINE);
    blockCount = 0;
    portSettings.portIndex = window_.ComSelection();
    buttonText = std::string(StringText<string_id::kButtonCancel>);
    window_.SetButtonText(buttonText);
    window_.EnableInputControls(false);
    baudRetried = false;
    GoOnlineAt(kBaudIndex19200);
}

// The file stays open and locked until the download ends, but the transfer
// reads this copy of it.
void DownloadSession::HoldSnapshot(std::uint64_t fileLength)
{
    snapshot_ = files_.Snapshot(window_.FileFieldText(), *imageFile, fileLength);
    snapshotSource_ = std::make_unique<MemoryByteSource>(snapshot_->bytes, snapshot_->readFailed);
    imageSha256_ = snapshot_->sha256;
    image = {snapshotSource_.get(), fileLength, 0, 0, fileName};
}

// Configures the port at this speed and sends the machine on-line; a port
// that refuses its settings closes the window.
void DownloadSession::GoOnlineAt(std::int32_t baudIndex)
{
    portSettings.baudIndex = baudIndex;
    if (!ConfigurePort()) {
        EndSession(kEndPortSettingsRefused);
        return;
    }
    SetMachineState(bpStateGOONLINE);
    PostStep();
}

void DownloadSession::OnStep()
{
    if (closed_) {
        return;
    }
    switch (directiveParser.fileKind) {
    case FileKind::S19:
        RunS19Step();
        break;
    case FileKind::S20:
        RunS20Step();
        break;
    case FileKind::None:
        break;
    }
}

void DownloadSession::FallBackTo57600()
{
    portHandler.ClosePort();
    baudRetried = true;
    GoOnlineAt(kBaudIndex57600);
}

void DownloadSession::OnTimer(unsigned tickedTimer)
{
    if (closed_ || tickedTimer != timerId || timerId == 0) {
        return;
    }
    const ProtocolState state = portHandler.GetState();
    const bool late = replyStopwatch.Elapsed() > kReplyLimitMs;
    switch (state) {
    case bpStateSENT_C0:
    case bpStateSENT_T7:
        if (!late) {
            return;
        }
        if (!baudRetried) {
            FallBackTo57600();
            return;
        }
        sessionMessage = state == bpStateSENT_C0 ? std::string(StringText<string_id::kNoCommunication>) : std::string(StringText<string_id::kNoKeyboardId>);
        SetMachineState(bpStateRECEIVE_UK);
        baudRetried = false;
        PostStep();
        return;
    case bpStateSENT_C1:
    case bpStateSENT_S2:
    case bpStateSENT_S8:
        if (late) {
            portHandler.TimeoutRead();
            PostStep();
        }
        return;
    case bpStateREADYNEXTTABLE:
    case bpStateREADYNEXTSLOT:
    case bpStateSEND_CA:
    case bpStateSEND_N2:
    case bpStateSEND_T0:
    case bpStateSEND_T7:
    case bpStateSENT_CA:
    case bpStateSENT_N2:
    case bpStateSENT_T0:
    case bpStateRECEIVE_DT:
        break;
    default:
        if (state <= kLastProtocolState) {
            return;  // states a tick leaves alone
        }
        break;
    }
    SetMachineState(bpStateER_INTERNAL);
    PostStep();
}

void DownloadSession::OnOK()
{
    if (closed_) {
        return;
    }
    const ProtocolState state = portHandler.GetState();
    if (initialized && state != bpStateSENT_C0) {
        if (state == bpStateNONE) {
            fileName = window_.FileFieldText();
            EndSession(kEndOperatorClose);
            return;
        }
        cancelRequested = true;
        cancelled_ = true;
        host_.Pause(kTerminatePauseMs);
        // A reply that came during the pause answers a command the cancel
        // ends; left in, it would run into the end-of-table's own "OK" and
        // neither would be recognised.
        portHandler.DiscardInput();
        portHandler.SendTerminate();
        return;
    }
    cancelled_ = cancelled_ || state != bpStateNONE;
    SetMachineState(bpStateGOOFFLINE);
    SetStatus(string_id::kStatusOffLine);
    PostStep();
}

void DownloadSession::EndSession(int endCode)
{
    if (closed_) {
        return;
    }
    const ProtocolState state = portHandler.GetState();
    cancelled_ = cancelled_ || (endCode == kEndOperatorClose && state != bpStateNONE);
    if (state != bpStateNONE && state != bpStateSENT_C0) {
        host_.Pause(kTerminatePauseMs);
        portHandler.SendTerminate();
    }
    if (portOpen && portHandler.ClosePort()) {
        portOpen = false;
    }
    if (timerId != 0 && host_.StopTimer(kWatchdogTimerId)) {
        timerId = 0;
    }
    portHandler.ReleaseBuffers();
    CloseImage();
    closed_ = true;
    if (endCode != kEndOperatorClose) {
        if (sessionMessage.empty()) {
            sessionMessage = EndCodeMessage(endCode);
        }
        window_.ShowMessage(sessionMessage, sessionDetail);
    }
    window_.EndDialog(endCode);
}

void DownloadSession::CloseImage()
{
    imageFile.reset();
    image.imageFile = nullptr;
    snapshotSource_.reset();
    snapshot_.reset();
}

void DownloadSession::ErrorEnd(FileKind machine, ProtocolState stepState)
{
    if (portOpen && portHandler.ClosePort()) {
        portOpen = false;
    }
    CloseImage();
    if (sessionMessage.empty()) {
        sessionMessage = Message<string_id::kInternalErrorCode>(InternalErrorCode(machine, stepState));
    }
    window_.ShowMessage(sessionMessage, sessionDetail);
    if (portOpen) {
        ShowStatus(string_id::kStatusError);
    } else {
        ShowStatus(string_id::kStatusOffLine);
        window_.EnableInputControls(true);
        buttonText = std::string(StringText<string_id::kButtonClose>);
        window_.SetButtonText(buttonText);
    }
    window_.SetProgress(0);
    SetMachineState(bpStateNONE);
}

void DownloadSession::ReturnToIdle()
{
    ShowStatus(string_id::kStatusOffLine);
    window_.EnableInputControls(true);
    buttonText = std::string(StringText<string_id::kButtonClose>);
    window_.SetButtonText(buttonText);
    window_.SetProgress(0);
    SetMachineState(bpStateNONE);
}

void DownloadSession::ShowStatus(int stringId)
{
    statusText = std::string(LoadString(stringId));
    window_.SetStatusLine(statusText);
}

// Only the PING step names the line's speed, and pauses so that the operator
// can read it.
void DownloadSession::SetStatus(int stringId)
{
    statusText = std::string(LoadString(stringId));
    const bool pingStep = portHandler.GetState() == bpStateSEND_C0;
    if (pingStep) {
        statusText += portSettings.baudIndex == kBaudIndex19200 ? StringText<string_id::kPingAt19200>
                                                                : StringText<string_id::kPingAt57600>;
    }
    window_.SetStatusLine(statusText);
    if (pingStep) {
        host_.Pause(kPingPauseMs);
    }
}

template <int Id>
void DownloadSession::SetStatusNumber(int number)
{
    statusText = Message<Id>(number);
    window_.SetStatusLine(statusText);
}
template void DownloadSession::SetStatusNumber<string_id::kStatusWritingBlock>(int);

// Computed in 64 bits: the 32-bit product wrapped for images past 42 MB.
void DownloadSession::UpdateProgress()
{
    const std::uint64_t percent = image.fileLength == 0 ? 0 : image.bytesRead * 100 / image.fileLength;
    window_.SetProgress(static_cast<int>(percent));
}

} // namespace tavex
