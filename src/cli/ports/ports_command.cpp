#include "cli/ports/ports_command.h"

#include "cli/command_arguments.h"
#include "cli/exit_codes.h"
#include "cli/host/device_access.h"
#include "cli/host/serial_port_list.h"
#include "cli/output/console_output.h"
#include "cli/output/json_writer.h"
#include "cli/output/terminal_text.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

namespace tavex {

namespace {

std::string Hex16(std::uint16_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04x", static_cast<unsigned>(value));
    return text;
}

std::string UsbIds(const SerialPortEntry& port)
{
    if (!port.vendorId || !port.productId) {
        return {};
    }
    return "usb " + Hex16(*port.vendorId) + ":" + Hex16(*port.productId);
}

std::string ComNames(const SerialPortEntry& port)
{
    std::string names;
    for (const int comNumber : port.comNumbers) {
        names += names.empty() ? "COM" : ",COM";
        names += std::to_string(comNumber);
    }
    return names;
}

// ttyS2 before ttyS10, COM2 before COM10: a number at the end counts as one.
bool NaturallyBefore(const SerialPortEntry& left, const SerialPortEntry& right)
{
    const auto split = [](const std::string& name) {
        const std::size_t digits = name.find_last_not_of("0123456789") + 1;
        return std::make_tuple(name.substr(0, digits), name.size() - digits, name.substr(digits));
    };
    return split(left.device) < split(right.device);
}

} // namespace

std::vector<SerialPortEntry> WithComMappings(std::vector<SerialPortEntry> ports, const std::vector<ComMapping>& mappings)
{
    std::sort(ports.begin(), ports.end(), NaturallyBefore);
    for (const ComMapping& mapping : mappings) {
        const std::string key = SameDeviceKey(mapping.device);
        const auto named = std::find_if(ports.begin(), ports.end(), [&](const SerialPortEntry& port) {
            return SameDeviceKey(port.device) == key;
        });
        if (named != ports.end()) {
            named->comNumbers.push_back(mapping.comNumber);
        } else if (DevicePresent(mapping.device)) {
            SerialPortEntry added;
            added.device = mapping.device;
            added.comNumbers.push_back(mapping.comNumber);
            ports.push_back(std::move(added));
        }
    }
    return ports;
}

std::string PortLine(const SerialPortEntry& port)
{
    std::string line = TerminalSafe(port.device);
    const std::string usbIds = UsbIds(port);
    const std::string serial = port.serialNumber.empty() ? "" : "serial " + port.serialNumber;
    const std::string driver = port.driver.empty() ? "" : "driver " + port.driver;
    const std::string holder = port.holderPid ? "in use by process " + std::to_string(*port.holderPid) : "";
    for (const std::string& part :
         {ComNames(port), usbIds, port.manufacturer, port.product, serial, driver, port.systemName, holder}) {
        if (!part.empty()) {
            line += "  " + TerminalSafe(part);
        }
    }
    return line + "\n";
}

std::string PortJson(const SerialPortEntry& port)
{
    JsonObject json;
    json.Add("device", port.device);
    std::string comNumbers = "[";
    for (const int comNumber : port.comNumbers) {
        if (comNumbers.size() > 1) {
            comNumbers += ',';
        }
        comNumbers += std::to_string(comNumber);
    }
    json.AddRaw("com", comNumbers + "]");
    json.AddTextOrNull("vendorId", port.vendorId ? Hex16(*port.vendorId) : "");
    json.AddTextOrNull("productId", port.productId ? Hex16(*port.productId) : "");
    json.AddTextOrNull("manufacturer", port.manufacturer);
    json.AddTextOrNull("product", port.product);
    json.AddTextOrNull("serialNumber", port.serialNumber);
    json.AddTextOrNull("driver", port.driver);
    json.AddTextOrNull("systemName", port.systemName);
    json.Add("busy", port.holderPid.has_value());
    if (port.holderPid) {
        json.Add("holderPid", std::int64_t{*port.holderPid});
    } else {
        json.AddNull("holderPid");
    }
    return json.Text() + "\n";
}

int RunPortsCommand(std::span<const std::string_view> argumentList)
{
    bool json = false;
    CommandArguments arguments("tavexdl-cli ports", argumentList);
    while (arguments.Next()) {
        if (arguments.IsOption() && arguments.Current() == "--json") {
            json = true;
        } else {
            std::fprintf(stderr, "tavexdl-cli ports: unexpected argument '%s'\nusage: tavexdl-cli ports [--json]\n",
                         TerminalSafe(arguments.Current()).c_str());
            return kExitUsage;
        }
    }
    std::vector<SerialPortEntry> ports = WithComMappings(ListSerialPorts(), ComPortMappings());
    for (SerialPortEntry& port : ports) {
        port.holderPid = PortHolder(port.device);
    }
    if (ports.empty() && !json) {
        WriteErr("tavexdl-cli ports: the system lists no serial port\n");
    }
    std::string text;
    for (const SerialPortEntry& port : ports) {
        text += json ? PortJson(port) : PortLine(port);
    }
    WriteOut(text);
    return kExitOk;
}

} // namespace tavex
