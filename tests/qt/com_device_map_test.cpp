#include "serial/qt/com_device_map.h"

#include "scoped_environment.h"

#include <QSettings>

#include <gtest/gtest.h>

#include <optional>

namespace tavex {
namespace {

using test::ScopedEnvironment;

// The settings folder is a scratch one (see the test main).
void PutPortSetting(int comNumber, const std::optional<QString>& device)
{
    QSettings settings(QStringLiteral("Norwick Inc."), QStringLiteral("TavexDownloader"));
    const QString key = QStringLiteral("Ports/COM%1").arg(comNumber);
    if (device) {
        settings.setValue(key, *device);
    } else {
        settings.remove(key);
    }
}

struct Source {
    const char* name;
    int comNumber;
    std::optional<std::string> environment;
    std::optional<QString> setting;
    QString device;
};

TEST(ComDeviceName, TakesTheEnvironmentThenTheUserSettingThenTheSerialDevice)
{
    const Source cases[] = {
        {"environment wins", 3, "/dev/ttyUSB0", QStringLiteral("/dev/ttyACM1"), QStringLiteral("/dev/ttyUSB0")},
        {"setting next", 3, std::nullopt, QStringLiteral("/dev/ttyACM1"), QStringLiteral("/dev/ttyACM1")},
        {"empty variable is no choice", 3, "", QStringLiteral("/dev/ttyACM1"), QStringLiteral("/dev/ttyACM1")},
        {"default for COM1", 1, std::nullopt, std::nullopt, QStringLiteral("/dev/ttyS0")},
        {"default for COM16", 16, std::nullopt, std::nullopt, QStringLiteral("/dev/ttyS15")},
        {"another port's setting is not this one's", 4, std::nullopt, std::nullopt, QStringLiteral("/dev/ttyS3")},
    };
    PutPortSetting(5, QStringLiteral("/dev/ttyUSB5"));
    for (const Source& source : cases) {
        SCOPED_TRACE(source.name);
        const ScopedEnvironment variable("TAVEXDL_COM" + std::to_string(source.comNumber), source.environment);
        PutPortSetting(source.comNumber, source.setting);
        EXPECT_EQ(ComDeviceName(source.comNumber), source.device);
        PutPortSetting(source.comNumber, std::nullopt);
    }
    PutPortSetting(5, std::nullopt);
}

} // namespace
} // namespace tavex
