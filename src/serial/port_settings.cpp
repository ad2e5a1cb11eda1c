#include "serial/port_settings.h"

namespace tavex {

namespace {

template <std::size_t N>
std::string_view Entry(const std::array<std::string_view, N>& list, std::int32_t index)
{
    return index >= 0 && static_cast<std::size_t>(index) < N ? list[static_cast<std::size_t>(index)]
                                                             : std::string_view();
}

} // namespace

PortSettings MainWindowPortSettings()
{
    PortSettings settings;
    settings.portIndex = 0;
    settings.baudIndex = kBaudIndex19200;
    settings.handshakeIndex = port_lists::kHandshakeRts;
    settings.rThreshold = 1;
    settings.rtsEnable = true;
    settings.dtrEnable = false;
    settings.inputModeIndex = port_lists::kInputModeBinary;
    return settings;
}

std::string LineSettingsString(const PortSettings& settings)
{
    std::string text(Entry(port_lists::kBaudRates, settings.baudIndex));
    text += ',';
    text += Entry(port_lists::kParityLetters, settings.parityIndex);
    text += ',';
    text += Entry(port_lists::kDataBits, settings.dataBitsIndex);
    text += ',';
    text += Entry(port_lists::kStopBits, settings.stopBitsIndex);
    return text;
}

std::string PortListEntry(std::int32_t portIndex) { return std::to_string(portIndex + 1); }

} // namespace tavex
