#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavex {

// One serial port as the system lists it, learnt without opening it: an
// open can pulse DTR and reset a keyboard.
struct SerialPortEntry {
    std::string device;                  // /dev/ttyUSB0; COM3 on Windows
    std::vector<int> comNumbers;         // the COM numbers that name it here
    std::optional<std::uint16_t> vendorId;
    std::optional<std::uint16_t> productId;
    std::string manufacturer;
    std::string product;
    std::string serialNumber;
    std::string driver;                  // the kernel driver (Linux)
    std::string systemName;              // the system's own device name (Windows: \Device\Serial0)
    std::optional<long> holderPid;       // the program that holds it, where a live lock file says so
};

// COM n and the device it names on this machine.
struct ComMapping {
    int comNumber = 0;
    std::string device;
};

} // namespace tavex
