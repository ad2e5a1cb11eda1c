// The five bootloader commands, each one frame written in a single write.

#include "protocol/bootloader_frames.h"
#include "protocol/com_port_event_handler.h"

#include <algorithm>

namespace tavex {

namespace {

// The receive thresholds: the length of the reply each command awaits.
constexpr auto kIdentificationLength = static_cast<std::int16_t>(bootloader::kIdentification.size());
constexpr auto kStatusLength = static_cast<std::int16_t>(bootloader::kStatusReplyLength);
constexpr auto kKeyboardIdLength = static_cast<std::int16_t>(bootloader::kKeyboardIdLength);

} // namespace

bool ComPortEventHandler::OpenPort()
{
    openFailure_ = {};
    if (port_ == nullptr) {
        return false;
    }
    try {
        if (port_->IsPortOpen()) {
            return false;
        }
        port_->SetPortOpen(true);
        if (!ntPlatform_) {
            port_->SetRTSEnable(true);
        }
        return true;
    } catch (const CommControlError& error) {
        openFailure_ = {error.what(), error.Category()};
        return false;
    }
}

bool ComPortEventHandler::ClosePort()
{
    if (port_ == nullptr) {
        return false;
    }
    try {
        if (port_->IsPortOpen()) {
            port_->SetPortOpen(false);
        }
        if (!ntPlatform_) {
            port_->SetRTSEnable(true);
        }
        return true;
    } catch (const CommControlError&) {
        return false;
    }
}

void ComPortEventHandler::DiscardInput()
{
    rxCount_ = 0;
    if (port_ == nullptr) {
        return;
    }
    try {
        if (port_->IsPortOpen()) {
            port_->DropInput();
        }
    } catch (const CommControlError&) {
        // Nothing to drop from a port that cannot be read.
    }
}

void ComPortEventHandler::AppendChecksum(std::int32_t length)
{
    const auto end = static_cast<std::size_t>(length);
    txBuffer_[end] = bootloader::FrameChecksum(std::span(txBuffer_).subspan(2, end - 2));
}

// Writes the txLength bytes built in txBuffer, then enters the SENT state.
// The state is set right after the write so that the reply is collected.
bool ComPortEventHandler::WriteFrame(std::int16_t replyLength, ProtocolState sentState)
{
    if (port_ == nullptr) {
        return false;
    }
    try {
        port_->SetRThreshold(replyLength);
        if (!ntPlatform_) {
            port_->SetRTSEnable(false);
        }
        port_->WriteOutput(txBuffer_.data(), static_cast<std::size_t>(txLength_));
        if (!ntPlatform_) {
            port_->SetRTSEnable(true);
        }
    } catch (const CommControlError&) {
        return false;
    }
    state_ = sentState;
    return true;
}

// Builds `frame` at the start of txBuffer, with its checksum appended when
// the command carries a computed one.
bool ComPortEventHandler::PutFrame(std::span<const std::uint8_t> frame, bool appendChecksum)
{
    const std::size_t length = frame.size() + (appendChecksum ? 1 : 0);
    if (!FrameFits(length)) {
        return false;
    }
    std::copy(frame.begin(), frame.end(), txBuffer_.begin());
    txLength_ = static_cast<std::int32_t>(length);
    if (appendChecksum) {
        AppendChecksum(txLength_ - 1);
    }
    return true;
}

bool ComPortEventHandler::SendPing()
{
    constexpr std::uint8_t frame[] = {bootloader::kPing[0], bootloader::kPing[1], 0x01, 0xFE};
    return PutFrame(frame, false) && WriteFrame(kIdentificationLength, bpStateSENT_C0);
}

bool ComPortEventHandler::SendFlashSector(std::uint8_t sector)
{
    const std::uint8_t frame[] = {bootloader::kFlashSector[0], bootloader::kFlashSector[1], 0x04,
                                  bootloader::kFlashSectorKey[0], bootloader::kFlashSectorKey[1], sector};
    return PutFrame(frame, true) && WriteFrame(kStatusLength, bpStateSENT_C1);
}

bool ComPortEventHandler::SendWriteBlock(std::uint32_t address, const std::uint8_t* data, std::int32_t count)
{
    if (count < 0 || (count > 0 && data == nullptr)) {
        return false;
    }
    std::vector<std::uint8_t> frame = {bootloader::kWriteBlock[0],
                                       bootloader::kWriteBlock[1],
                                       static_cast<std::uint8_t>(count + 4),
                                       static_cast<std::uint8_t>(address >> 16),
                                       static_cast<std::uint8_t>(address >> 8),
                                       static_cast<std::uint8_t>(address)};
    frame.insert(frame.end(), data, data + count);
    return PutFrame(frame, true) && WriteFrame(kStatusLength, bpStateSENT_S2);
}

bool ComPortEventHandler::SendTerminate()
{
    constexpr std::uint8_t frame[] = {bootloader::kEndOfTable[0], bootloader::kEndOfTable[1], 0x04, 0xFF, 0xFF, 0xFF};
    return PutFrame(frame, true) && WriteFrame(kStatusLength, bpStateSENT_S8);
}

bool ComPortEventHandler::SendReadId()
{
    constexpr std::uint8_t frame[] = {bootloader::kReadId[0], bootloader::kReadId[1], 0x01, 0xFE};
    if (!PutFrame(frame, false) || !WriteFrame(kKeyboardIdLength, bpStateSENT_T7)) {
        return false;
    }
    keyboardId_.fill(0);
    return true;
}

} // namespace tavex
