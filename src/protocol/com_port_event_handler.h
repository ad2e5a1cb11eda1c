#pragma once

// Owner of the protocol state and of the transmit and receive buffers: it
// sends the five bootloader commands and turns the keyboard's replies, as the
// comm control delivers them, into protocol states.

#include "protocol/notify_window.h"
#include "protocol/protocol_state.h"
#include "serial/ccomport.h"
#include "serial/comm_event.h"
#include "serial/port_settings.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tavex {

class ComPortEventHandler {
public:
    // ntPlatform: writes are not framed by RTS changes (see the senders).
    explicit ComPortEventHandler(bool ntPlatform) : ntPlatform_(ntPlatform) {}
    virtual ~ComPortEventHandler() = default;

    bool Configure(CComPort& port, PortSettings settings, INotifyWindow& window, std::uint32_t message);
    void ReleaseBuffers();

    // Port and senders: true when every control operation succeeded.
    bool OpenPort();
    // Why the last OpenPort failed, as the comm control told it; empty when
    // it did not say.
    const SystemReason& OpenFailure() const { return openFailure_; }
    bool ClosePort();
    // Drops what has arrived and is not yet recognised.
    void DiscardInput();
    bool SendPing();
    bool SendFlashSector(std::uint8_t sector);
    bool SendWriteBlock(std::uint32_t address, const std::uint8_t* data, std::int32_t count);
    bool SendTerminate();
    bool SendReadId();
    void AppendChecksum(std::int32_t length);

    // Receiver.
    void OnCommEvent(int eventCode);
    void TimeoutRead();

    ProtocolState GetState() const { return state_; }
    void SetState(ProtocolState state) { state_ = state; }
    int GetLastEvent() const { return lastEvent_; }
    bool IsTimedOut() const { return timedOut_; }
    void ClearTimedOut() { timedOut_ = false; }
    const std::array<std::uint8_t, 16>& KeyboardId() const { return keyboardId_; }

    // The frame last built and the reply bytes collected so far.
    std::int32_t TxLength() const { return txLength_; }
    const std::vector<std::uint8_t>& RxBuffer() const { return rxBuffer_; }
    std::int32_t RxCount() const { return rxCount_; }

private:
    static void Notify(void* context, int eventCode);
    void Post();
    bool WriteFrame(std::int16_t replyLength, ProtocolState sentState);
    bool FrameFits(std::size_t length) const { return length <= txBuffer_.size(); }
    bool PutFrame(std::span<const std::uint8_t> frame, bool appendChecksum);
    bool Collect();
    std::size_t Append(const std::vector<std::uint8_t>& bytes);
    bool RxStartsWith(const std::array<std::uint8_t, 2>& pair) const;
    void RecognizeIdentification();
    void RecognizeStatus();
    void RecognizeDataReply();
    void RecognizeKeyboardId();

    bool timedOut_ = false;
    CComPort* port_ = nullptr;
    INotifyWindow* notifyWindow_ = nullptr;
    std::uint32_t notifyMessage_ = 0;
    ProtocolState state_ = bpStateNONE;
    std::vector<std::uint8_t> txBuffer_;
    std::vector<std::uint8_t> rxBuffer_;
    std::int32_t txLength_ = 0;
    std::int32_t rxCount_ = 0;
    bool ntPlatform_;
    SystemReason openFailure_;
    int lastEvent_ = kEventNone;
    std::array<std::uint8_t, 16> keyboardId_{};
};

} // namespace tavex
