#include "protocol/com_port_event_handler.h"

#include <algorithm>

namespace tavex {

bool ComPortEventHandler::Configure(CComPort& port, PortSettings settings, INotifyWindow& window,
                                    std::uint32_t message)
{
    port_ = &port;
    if (!port.ApplySettings(settings)) {
        return false;
    }
    port.SetNotify(this, &ComPortEventHandler::Notify);
    notifyWindow_ = &window;
    notifyMessage_ = message;
    txBuffer_.assign(static_cast<std::size_t>(std::max<std::int16_t>(settings.outBufferSize, 0)), 0);
    rxBuffer_.assign(static_cast<std::size_t>(std::max<std::int16_t>(settings.inBufferSize, 0)), 0);
    txLength_ = 0;
    rxCount_ = 0;
    return true;
}

void ComPortEventHandler::ReleaseBuffers()
{
    txBuffer_ = {};
    rxBuffer_ = {};
}

void ComPortEventHandler::Notify(void* context, int eventCode)
{
    static_cast<ComPortEventHandler*>(context)->OnCommEvent(eventCode);
}

void ComPortEventHandler::Post()
{
    if (notifyWindow_ != nullptr) {
        notifyWindow_->PostMessage(notifyMessage_);
    }
}

} // namespace tavex
