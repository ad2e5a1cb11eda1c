#include "serial/qt/com_device_map.h"

#include "text/settings_scope.h"

#include <QByteArray>
#include <QSettings>
#include <QtGlobal>

namespace tavex {

namespace {

#ifndef Q_OS_WIN
QString ConfiguredDevice(int comNumber)
{
    const QByteArray variable = "TAVEXDL_COM" + QByteArray::number(comNumber);
    const QString fromEnvironment = qEnvironmentVariable(variable.constData());
    if (!fromEnvironment.isEmpty()) {
        return fromEnvironment;
    }
    const QSettings settings(QString::fromLatin1(kSettingsOrganisation), QString::fromLatin1(kSettingsApplication));
    return settings.value(QStringLiteral("Ports/COM%1").arg(comNumber)).toString();
}
#endif

} // namespace

QString ComDeviceName(int comNumber)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(comNumber);
#else
    const QString configured = ConfiguredDevice(comNumber);
    return configured.isEmpty() ? QStringLiteral("/dev/ttyS%1").arg(comNumber - 1) : configured;
#endif
}

} // namespace tavex
