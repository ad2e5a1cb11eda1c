#include "gui/reminder_setting.h"

#include "stored_reminder.h"

#include <QVariant>

#include <gtest/gtest.h>

namespace tavex {
namespace {

using test::ForgetReminder;
using test::NoStoredReminder;
using test::ReminderFileText;
using test::StoredReminder;
using test::StoreReminder;

#ifdef Q_OS_WIN
constexpr bool kTextHoldsNumbers = false;  // a REG_SZ is never a number
#else
constexpr bool kTextHoldsNumbers = true;   // a settings file holds only text
#endif

struct StoredCase {
    const char* what;
    QVariant stored;  // invalid: nothing stored
    bool shown;
};

using ReadReminder = NoStoredReminder;

TEST_F(ReadReminder, FollowsTheLowOrderByteOfAStoredNumber)
{
    const StoredCase cases[] = {
        {"nothing stored", QVariant(), true},
        {"zero", QVariant(0), false},
        {"one", QVariant(1), true},
        {"two", QVariant(2), true},
        {"256, whose low byte is zero", QVariant(256), false},
        {"257", QVariant(257), true},
        {"a DWORD with only high bits set", QVariant(0xFFFFFF00u), false},
        {"text that is no number", QVariant(QStringLiteral("abc")), true},
        {"empty text", QVariant(QStringLiteral("")), true},
    };
    for (const StoredCase& c : cases) {
        SCOPED_TRACE(c.what);
        ForgetReminder();
        if (c.stored.isValid()) {
            StoreReminder(c.stored);
        }
        EXPECT_EQ(ReadReminderSetting(), c.shown);
    }
}

TEST_F(ReadReminder, CountsNumbersWrittenAsTextOnlyWhereTextHoldsNumbers)
{
    const StoredCase cases[] = {
        {"text 0", QVariant(QStringLiteral("0")), !kTextHoldsNumbers},
        {"text 256", QVariant(QStringLiteral("256")), !kTextHoldsNumbers},
        {"text -256", QVariant(QStringLiteral("-256")), !kTextHoldsNumbers},
        {"text 7", QVariant(QStringLiteral("7")), true},
        {"text wider than a DWORD", QVariant(QStringLiteral("4294967296")), true},
        {"text 12abc", QVariant(QStringLiteral("12abc")), true},
    };
    for (const StoredCase& c : cases) {
        SCOPED_TRACE(c.what);
        StoreReminder(c.stored);
        EXPECT_EQ(ReadReminderSetting(), c.shown);
    }
}

TEST_F(ReadReminder, NeverCreatesTheValue)
{
    EXPECT_TRUE(ReadReminderSetting());
    EXPECT_FALSE(StoredReminder().isValid());
}

using WriteReminder = NoStoredReminder;

TEST_F(WriteReminder, StoresZeroOrOneAsAnInteger)
{
    struct Case {
        int state;
        int stored;
        bool shown;
    };
    const Case cases[] = {{0, 0, false}, {1, 1, true}, {2, 1, true}, {-1, 1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        WriteReminderSetting(c.state);
        const QVariant stored = StoredReminder();
        EXPECT_EQ(stored.typeId(), QMetaType::Int);
        EXPECT_EQ(stored.toInt(), c.stored);
        EXPECT_EQ(ReadReminderSetting(), c.shown);
    }
}

TEST_F(WriteReminder, ReplacesAValueOfAnotherType)
{
    StoreReminder(QStringLiteral("abc"));
    WriteReminderSetting(0);
    EXPECT_EQ(StoredReminder(), QVariant(0));
    EXPECT_FALSE(ReadReminderSetting());
}

#ifndef Q_OS_WIN
TEST_F(WriteReminder, ReachesTheSettingsFileAtOnce)
{
    WriteReminderSetting(0);
    EXPECT_TRUE(ReminderFileText().contains(QStringLiteral("Startup%20Reminder=0")));
    WriteReminderSetting(1);
    EXPECT_TRUE(ReminderFileText().contains(QStringLiteral("Startup%20Reminder=1")));
}
#endif

} // namespace
} // namespace tavex
