#include "gui/reminder_setting.h"

#include "text/settings_scope.h"

#include <QSettings>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <limits>
#include <optional>

namespace tavex {

namespace {

const QString kOrganisation = QString::fromLatin1(kSettingsOrganisation);
const QString kApplication = QString::fromLatin1(kSettingsApplication);
const QString kValueName = QStringLiteral("Startup Reminder");

#ifdef Q_OS_WIN
// The registry keeps a REG_SZ apart from a REG_DWORD; only the latter counts.
constexpr bool kTextHoldsNumbers = false;
#else
// A settings file keeps every value as text, numbers included.
constexpr bool kTextHoldsNumbers = true;
#endif

// A decimal number that fits in 32 bits, signed or not, as a DWORD holds it.
std::optional<std::uint32_t> DwordFromText(const QString& text)
{
    bool isNumber = false;
    const qlonglong number = text.toLongLong(&isNumber);
    if (!isNumber || number < std::numeric_limits<std::int32_t>::min() ||
        number > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(number);
}

std::optional<std::uint32_t> StoredDword(const QVariant& stored)
{
    switch (stored.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
        return stored.toUInt();
    case QMetaType::QString:
        if (kTextHoldsNumbers) {
            return DwordFromText(stored.toString());
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

} // namespace

bool ReadReminderSetting()
{
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication);
    const std::optional<std::uint32_t> stored = StoredDword(settings.value(kValueName));
    if (settings.status() != QSettings::NoError || !stored) {
        return true;
    }
    // Only the low-order byte was ever looked at, so 256 turns the reminder off.
    return (*stored & 0xFFu) != 0;
}

void WriteReminderSetting(int state)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication);
    settings.setValue(kValueName, static_cast<int>(state != 0));
}

} // namespace tavex
