// The two transfer machines. Each step reads the protocol state, does that
// state's work, and either posts the next step itself or leaves it to the
// keyboard's reply or to the watchdog. The .s20 machine is the .s19 machine
// with the directive parser wired in and a cancel check of its own.

#include "image/image_scan.h"
#include "image/next_line.h"
#include "protocol/bootloader_frames.h"
#include "serial/comm_event.h"
#include "session/download_session.h"
#include "text/format.h"

namespace tavex {

namespace {

// The state whose step sends a record of this kind.
ProtocolState SendStateOf(RecordKind kind)
{
    switch (kind) {
    case RecordKind::FlashSector:
        return bpStateSEND_C1;
    case RecordKind::WriteBlock:
        return bpStateSEND_S2;
    case RecordKind::EndOfTable:
        break;
    }
    return bpStateSEND_S8;
}

bool IsRecordCommand(ProtocolState state)
{
    return state == bpStateSEND_C1 || state == bpStateSEND_S2 || state == bpStateSEND_S8;
}

// States in which a cancel takes the machine off-line at its next step.
// A step never runs in SENT_S8 but when a cancel's end-of-table went out
// while that step was already queued (an "OK" in, its step not yet run):
// the cancel has done its work there too, and the step must not report it
// as an internal error.
bool CancelGoesOffline(ProtocolState state, ProtocolState machineState)
{
    switch (state) {
    case bpStateSENT_S8:
    case bpStateREADYNEXTRECORD:
    case bpStateSEND_C0:
    case bpStateSEND_C1:
    case bpStateSEND_S2:
    case bpStateSEND_S8:
    case bpStateSEND_T7:
    case bpStateRECEIVE_C0:
    case bpStateRECEIVE_T7:
        return true;
    case bpStateRECEIVE_OK:
        return IsRecordCommand(machineState);
    default:
        return false;
    }
}

} // namespace

void DownloadSession::RunS19Step() { RunStep(FileKind::S19); }

void DownloadSession::RunS20Step() { RunStep(FileKind::S20); }

void DownloadSession::CancelCheckS19()
{
    cancelRequested = false;
    const ProtocolState state = portHandler.GetState();
    if (state == bpStateGOONLINE) {
        SetMachineState(bpStateNONE);
    } else if (CancelGoesOffline(state, machineState)) {
        SetMachineState(bpStateGOOFFLINE);
    }
}

// Unlike the .s19 check, the request stays set on the way off-line, where it
// keeps an open "#if-hardware" block from being reported.
void DownloadSession::CancelCheckS20()
{
    const ProtocolState state = portHandler.GetState();
    if (state == bpStateGOONLINE) {
        SetMachineState(bpStateNONE);
        cancelRequested = false;
    } else if (CancelGoesOffline(state, machineState)) {
        SetMachineState(bpStateGOOFFLINE);
    } else if (state != bpStateGOOFFLINE && state >= 0 && state <= kLastProtocolState) {
        cancelRequested = false;
    }
}

void DownloadSession::RunStep(FileKind machine)
{
    if (cancelRequested) {
        machine == FileKind::S19 ? CancelCheckS19() : CancelCheckS20();
    }
    const ProtocolState s = portHandler.GetState();
    switch (s) {
    case bpStateGOONLINE:
        DoGoOnline(machine, s);
        return;
    case bpStateSEND_C0:
        SetStatus(string_id::kStatusSendingPing);
        FinishSend(portHandler.SendPing(), machine, s);
        return;
    case bpStateRECEIVE_C0:
        SetStatus(string_id::kStatusReceivedPong);
        SetMachineState(bpStateSEND_T7);
        PostStep();
        return;
    case bpStateSEND_T7:
        SetStatus(string_id::kStatusReadingId);
        FinishSend(portHandler.SendReadId(), machine, s);
        return;
    case bpStateRECEIVE_T7:
        DoReceiveKeyboardId(machine, s);
        return;
    case bpStateREADYNEXTRECORD:
        DoReadNextRecord(machine, s);
        return;
    case bpStateSEND_C1:
    case bpStateSEND_S2:
    case bpStateSEND_S8:
        DoSendRecord(machine, s);
        return;
    case bpStateRECEIVE_OK:
        DoReceiveOk(machine, s);
        return;
    case bpStateRECEIVE_CE:
        sessionMessage = std::string(StringText<string_id::kCommunicationError>);
        ErrorEnd(machine, s);
        return;
    case bpStateRECEIVE_FE:
        sessionMessage = std::string(StringText<string_id::kCommandError>);
        ErrorEnd(machine, s);
        return;
    case bpStateRECEIVE_UK:
        // Without the time-out flag the watchdog's message (or none) stands.
        if (portHandler.IsTimedOut()) {
            portHandler.ClearTimedOut();
            sessionMessage = std::string(StringText<string_id::kTimedOut>);
        }
        ErrorEnd(machine, s);
        return;
    case bpStateEX_RECEIVE:
    case bpStateEX_OTHER:
    case StateEX_USERDEF:
    case bpStateEX_UNDEF:
    case bpStateER_INTERNAL:
        sessionMessage = Message<string_id::kInternalErrorCode>(InternalErrorCode(machine, s, portHandler.GetLastEvent()));
        // The controls raise the DCB line error only for a device gone.
        if (portHandler.GetLastEvent() == MapCommEvent(comm_event::kDcb)) {
            sessionDetail.category = ErrorCategory::kLost;
        }
        ErrorEnd(machine, s);
        return;
    case bpStateGOOFFLINE:
        DoGoOffline(machine, s);
        return;
    default:
        SetMachineState(bpStateER_INTERNAL);
        ErrorEnd(machine, s);
        return;
    }
}

void DownloadSession::DoGoOnline(FileKind machine, ProtocolState s)
{
    SetStatus(string_id::kStatusEstablishing);
    portSettings.portIndex = window_.ComSelection();
    if (machine == FileKind::S20) {
        directiveParser.Reset();
    }
    const int comNumber = portSettings.portIndex + 1;
    try {
        commControl.SelectPort(portSettings.portIndex);
    } catch (const CommControlError& error) {
        sessionMessage = Message<string_id::kSelectPortFailed>(comNumber);
        sessionDetail = {error.what(), error.Category()};
        ErrorEnd(machine, s);
        return;
    }
    if (!portHandler.OpenPort()) {
        sessionMessage = Message<string_id::kPortNotOpened>(comNumber);
        sessionDetail = portHandler.OpenFailure();
        ErrorEnd(machine, s);
        return;
    }
    portOpen = true;
    SetMachineState(bpStateSEND_C0);
    PostStep();
}

void DownloadSession::DoReceiveKeyboardId(FileKind machine, ProtocolState s)
{
    SetStatus(string_id::kStatusIdReceived);
    const int hardware = portHandler.KeyboardId()[bootloader::kHardwareVersionIndex];
    keyboardHardware_ = hardware;
    if (machine == FileKind::S20) {
        // The image's "#hardware" line decides for an .s20 image.
        directiveParser.keyboardHardware = hardware;
    } else if (hardware != 0 && hardware != 1) {
        sessionMessage = Message<string_id::kHardwareUnsupported>(fileName, "0, 1", hardware);
        ErrorEnd(machine, s);
        return;
    }
    if (!ImagePassesFor(machine, hardware)) {
        ErrorEnd(machine, s);
        return;
    }
    SetMachineState(bpStateREADYNEXTRECORD);
    PostStep();
}

// The whole image is read for this keyboard before its first record is sent,
// silently: a faulty line then ends the download while the keyboard has had
// only PING and read-ID, with the message the transfer would give there.
bool DownloadSession::ImagePassesFor(FileKind machine, int hardware)
{
    MemoryByteSource source(snapshot_->bytes, snapshot_->readFailed);
    ImageCursor cursor{&source, image.fileLength, 0, 0, fileName};
    const ScanPass pass = machine == FileKind::S19 ? ScanS19(cursor, hardware) : ScanS20(cursor, hardware);
    if (!pass.passes) {
        sessionMessage = pass.message;
    }
    return pass.passes;
}

void DownloadSession::DoReadNextRecord(FileKind machine, ProtocolState s)
{
    const NextLine line = machine == FileKind::S19
                              ? NextS19Line(image, record, sessionMessage)
                              : NextS20Line(image, record, directiveParser, sessionMessage);
    switch (line.outcome) {
    case LineOutcome::EndOfImage:
        SetMachineState(bpStateGOOFFLINE);
        PostStep();
        return;
    case LineOutcome::Failed:
        ErrorEnd(machine, s);
        return;
    case LineOutcome::Consumed:
    case LineOutcome::Dropped:
        PostStep();
        return;
    case LineOutcome::Record:
        SetMachineState(SendStateOf(line.kind));
        PostStep();
        return;
    }
}

void DownloadSession::DoSendRecord(FileKind machine, ProtocolState s)
{
    bool sent = false;
    if (s == bpStateSEND_C1) {
        SetStatus(string_id::kStatusFlashingSector);
        sent = portHandler.SendFlashSector(static_cast<std::uint8_t>(record.sectorNumber));
    } else if (s == bpStateSEND_S2) {
        // Counts across C1 and S8 records: the first block of a download is 1.
        ++blockCount;
        SetStatusNumber<string_id::kStatusWritingBlock>(blockCount);
        sent = portHandler.SendWriteBlock(record.blockAddress, record.recordBuffer.data() + record.recordData,
                                          record.recordLength);
        if (sent) {
            dataBytesSent_ += static_cast<std::uint64_t>(record.recordLength);
        }
    } else {
        SetStatus(string_id::kStatusTableFinished);
        sent = portHandler.SendTerminate();
    }
    if (sent) {
        UpdateProgress();
    }
    FinishSend(sent, machine, s);
}

// The reply stopwatch restarts right after every command sent.
void DownloadSession::FinishSend(bool sent, FileKind machine, ProtocolState s)
{
    replyStopwatch.Restart();
    if (!sent) {
        ErrorEnd(machine, s);
    }
}

void DownloadSession::DoReceiveOk(FileKind machine, ProtocolState s)
{
    if (!IsRecordCommand(machineState)) {
        // An "OK" that acknowledges no command of this machine.
        SetMachineState(bpStateER_INTERNAL);
        ErrorEnd(machine, s);
        return;
    }
    if (machineState == bpStateSEND_C1) {
        SetStatus(string_id::kStatusSectorFlashed);
    }
    SetMachineState(bpStateREADYNEXTRECORD);
    PostStep();
}

void DownloadSession::DoGoOffline(FileKind machine, ProtocolState s)
{
    if (machine == FileKind::S20) {
        if (!cancelRequested && directiveParser.insideIf) {
            directiveParser.ReportOpenIf();
            sessionMessage = directiveParser.message;
            ErrorEnd(machine, s);
            return;
        }
        cancelRequested = false;
    }
    const bool closed = portHandler.ClosePort();
    if (closed) {
        portOpen = false;
    }
    CloseImage();
    if (closed) {
        ReturnToIdle();
    } else {
        ErrorEnd(machine, s);
    }
}

} // namespace tavex
