#include "serial/ccomport.h"

#include "serial/comm_event.h"

namespace tavex {

void CComEventWnd::OnComm() { owner_.ForwardNotification(); }

CComPort::~CComPort()
{
    control_.reset();
    eventWindow_.reset();
}

bool CComPort::CreateEventWindow()
{
    if (!host_.CreateEventReceiver()) {
        return false;
    }
    eventWindow_ = std::make_unique<CComEventWnd>(*this);
    return true;
}

bool CComPort::CreateControl()
{
    if (control_ || !eventWindow_) {
        return false;
    }
    control_ = host_.CreateControl();
    if (!control_) {
        return false;
    }
    CComEventWnd* receiver = eventWindow_.get();
    control_->SetOnComm([receiver] { receiver->OnComm(); });
    return true;
}

ICommControl& CComPort::Control()
{
    if (!control_) {
        throw CommControlError("the comm control has not been created");
    }
    return *control_;
}

bool CComPort::ApplySettings(PortSettings settings)
{
    try {
        ICommControl& control = Control();
        const bool open = control.GetPortOpen();
        if (!open) {
            control.SetCommPort(static_cast<std::int16_t>(settings.portIndex + 1));
        }
        control.SetSettings(LineSettingsString(settings));
        control.SetHandshaking(settings.handshakeIndex);
        if (!open) {
            control.SetInBufferSize(settings.inBufferSize);
        }
        control.SetRThreshold(settings.rThreshold);
        control.SetInputLen(settings.inputLen);
        if (!open) {
            control.SetOutBufferSize(settings.outBufferSize);
        }
        control.SetSThreshold(settings.sThreshold);
        control.SetEOFEnable(settings.eofEnable);
        control.SetNullDiscard(settings.nullDiscard);
        control.SetRTSEnable(settings.rtsEnable);
        control.SetDTREnable(settings.dtrEnable);
        control.SetParityReplace(settings.parityReplace);
        control.SetInputMode(settings.inputModeIndex);
        return true;
    } catch (const CommControlError&) {
        return false;
    }
}

void CComPort::SetNotify(void* context, NotifyFunction function)
{
    notifyContext_ = context;
    notifyFunction_ = function;
}

void CComPort::SelectPort(std::int32_t portIndex)
{
    Control().SetCommPort(static_cast<std::int16_t>(portIndex + 1));
}

bool CComPort::IsPortOpen() { return Control().GetPortOpen(); }

void CComPort::SetPortOpen(bool open) { Control().SetPortOpen(open); }

void CComPort::SetRThreshold(std::int16_t count) { Control().SetRThreshold(count); }

void CComPort::SetRTSEnable(bool assert) { Control().SetRTSEnable(assert); }

void CComPort::WriteOutput(const std::uint8_t* bytes, std::size_t count)
{
    Control().SetOutput(std::vector<std::uint8_t>(bytes, bytes + count));
}

std::vector<std::uint8_t> CComPort::ReadInput() { return Control().GetInput(); }

void CComPort::DropInput() { Control().SetInBufferCount(0); }

void CComPort::ForwardNotification()
{
    if (notifyFunction_ == nullptr) {
        return;
    }
    std::int16_t commEvent = 0;
    try {
        commEvent = Control().GetCommEvent();
    } catch (const CommControlError&) {
        return;  // the notification is lost
    }
    notifyFunction_(notifyContext_, MapCommEvent(commEvent));
}

} // namespace tavex
