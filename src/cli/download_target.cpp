#include "cli/download_target.h"

#include "serial/qt/com_device_map.h"

namespace tavex {

std::string DownloadTarget::DevicePath() const
{
    return device.empty() ? ComDeviceName(comNumber).toStdString() : device;
}

} // namespace tavex
