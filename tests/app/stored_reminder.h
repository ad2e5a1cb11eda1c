#pragma once

// Direct access to the stored "Startup Reminder" value, beside the code under
// test, so that a test can plant any value and see exactly what was written.

#include <QString>
#include <QVariant>

#include <gtest/gtest.h>

namespace tavex::test {

// The value as the settings hold it, invalid when there is none.
QVariant StoredReminder();

void StoreReminder(const QVariant& value);
void ForgetReminder();

// The settings file's own text, to see what has reached the disk.
QString ReminderFileText();

// Each test starts with no stored value.
class NoStoredReminder : public testing::Test {
protected:
    void SetUp() override;
};

} // namespace tavex::test
