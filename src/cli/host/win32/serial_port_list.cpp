#include "cli/host/serial_port_list.h"

#include "platform/win32/windows_api.h"

namespace tavex {

// The system's list of its COM ports is the SERIALCOMM device map: a value
// per port, named by the kernel's device (\Device\Serial0, \Device\VCP0),
// holding the port's name (COM3). USB adapters' drivers enter theirs there
// too.
std::vector<SerialPortEntry> ListSerialPorts()
{
    std::vector<SerialPortEntry> ports;
    HKEY deviceMap = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE, &deviceMap) !=
        ERROR_SUCCESS) {
        return ports;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        wchar_t port[256];
        DWORD nameLength = 256;
        DWORD portBytes = sizeof port - sizeof(wchar_t);
        DWORD type = 0;
        const LONG result = RegEnumValueW(deviceMap, index, name, &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(port), &portBytes);
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (result != ERROR_SUCCESS || type != REG_SZ) {
            continue;
        }
        port[portBytes / sizeof(wchar_t)] = L'\0';
        SerialPortEntry entry;
        entry.device = Utf8FromWide(port);
        entry.systemName = Utf8FromWide(name);
        ports.push_back(std::move(entry));
    }
    RegCloseKey(deviceMap);
    return ports;
}

// COM n is the port COMn itself.
std::vector<ComMapping> ComPortMappings() { return {}; }

// Only an open would tell, and a listing never opens a port.
std::optional<long> PortHolder(const std::string&) { return std::nullopt; }

} // namespace tavex
