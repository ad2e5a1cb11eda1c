#include "cli/host/serial_port_list.h"

#include "cli/host/device_access.h"
#include "serial/posix/port_lock_files.h"

#include <QFileInfo>
#include <QSerialPortInfo>

namespace tavex {

namespace {

// The kernel driver behind a tty, from sysfs: ftdi_sio, cp210x, serial8250.
std::string DriverOf(const QSerialPortInfo& info)
{
    const QFileInfo driver(QStringLiteral("/sys/class/tty/%1/device/driver").arg(info.portName()));
    return driver.exists() ? QFileInfo(driver.symLinkTarget()).fileName().toStdString() : std::string();
}

} // namespace

std::vector<SerialPortEntry> ListSerialPorts()
{
    std::vector<SerialPortEntry> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialPortEntry port;
        port.device = info.systemLocation().toStdString();
        if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
            port.vendorId = info.vendorIdentifier();
            port.productId = info.productIdentifier();
        }
        port.manufacturer = info.manufacturer().toStdString();
        port.product = info.description().toStdString();
        port.serialNumber = info.serialNumber().toStdString();
        port.driver = DriverOf(info);
        ports.push_back(std::move(port));
    }
    return ports;
}

std::optional<long> PortHolder(const std::string& device) { return LiveLockHolder(device); }

std::vector<ComMapping> ComPortMappings()
{
    std::vector<ComMapping> mappings;
    for (int comNumber = 1; comNumber <= 16; ++comNumber) {
        mappings.push_back({comNumber, ComDevicePath(comNumber)});
    }
    return mappings;
}

} // namespace tavex
