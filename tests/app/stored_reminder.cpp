#include "stored_reminder.h"

#include <QFile>
#include <QSettings>

namespace tavex::test {

namespace {

const QString kOrganisation = QStringLiteral("Norwick Inc.");
const QString kApplication = QStringLiteral("TavexDownloader");
const QString kValueName = QStringLiteral("Startup Reminder");

} // namespace

QVariant StoredReminder()
{
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication);
    return settings.value(kValueName);
}

void StoreReminder(const QVariant& value)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication);
    settings.setValue(kValueName, value);
}

QString ReminderFileText()
{
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication);
    QFile file(settings.fileName());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

void ForgetReminder()
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication);
    settings.remove(kValueName);
}

void NoStoredReminder::SetUp() { ForgetReminder(); }

} // namespace tavex::test
