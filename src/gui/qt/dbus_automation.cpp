#include "gui/qt/dbus_automation.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace tavex {

bool RegisterAutomationObject(QObject* owner)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    auto* object = new QObject(owner);  // no methods, no properties
    bus.registerObject(QString::fromLatin1(kAutomationObjectPath), object, QDBusConnection::ExportAllContents);
    return bus.registerService(QString::fromLatin1(kProgId));
}

void RefreshAutomationRegistration(const QString& programPath)
{
    const QString directory =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/dbus-1/services");
    if (!QDir().mkpath(directory)) {
        return;
    }
    QFile entry(directory + QStringLiteral("/%1.service").arg(QString::fromLatin1(kProgId)));
    if (!entry.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        return;
    }
    entry.write(QStringLiteral("[D-BUS Service]\nName=%1\nExec=%2 -Automation\n")
                    .arg(QString::fromLatin1(kProgId), programPath)
                    .toUtf8());
}

} // namespace tavex
