#include "gui/qt/reminder_dialog.h"

#include "dialog_controls.h"
#include "reading_order.h"
#include "stored_reminder.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace tavex {
namespace {

using test::ForgetReminder;
using test::StoredReminder;

// A reminder on screen, as the program shows it at startup.
struct ShownReminder {
    ShownReminder() { dialog.show(); }

    QCheckBox& Box() { return *dialog.findChild<QCheckBox*>(QStringLiteral("control1009")); }
    QPushButton& Ok() { return *dialog.findChild<QPushButton*>(QStringLiteral("button1")); }

    CReminderDlg dialog;
};

using ReminderDialog = test::NoStoredReminder;

TEST_F(ReminderDialog, ShowsItsTextsInOrder)
{
    ShownReminder reminder;
    EXPECT_EQ(reminder.dialog.windowTitle(), "Reminder");
    EXPECT_EQ(test::LabelTextsInReadingOrder(reminder.dialog),
              (QStringList{"Before downloading:", "1. Select a COM port.",
                           "2. Connect the COM port to the keyboard with the RS-232 cable.",
                           "3. Place the keyboard in \"bootloader\" mode.",
                           "Refer to the ReadMe file for more information on placing the keyboard in \"bootloader\" "
                           "mode."}));
    EXPECT_EQ(reminder.Box().text(), "Display this reminder at startup.");
    EXPECT_EQ(reminder.Ok().text(), "OK");
}

TEST_F(ReminderDialog, IsAModalDialogWithOkAsDefault)
{
    ShownReminder reminder;
    EXPECT_TRUE(reminder.dialog.isModal());
    EXPECT_EQ(reminder.dialog.parentWidget(), nullptr);
    EXPECT_TRUE(reminder.Ok().isDefault());
}

TEST_F(ReminderDialog, FramesTheStepsWithTheNumberedOnesIndented)
{
    ShownReminder reminder;
    const QGroupBox* frame = reminder.dialog.findChild<QGroupBox*>();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->title().isEmpty());
    const QList<QLabel*> framed = frame->findChildren<QLabel*>();
    EXPECT_EQ(framed.size(), 5);
    EXPECT_FALSE(frame->isAncestorOf(&reminder.Box()));
    EXPECT_FALSE(frame->isAncestorOf(&reminder.Ok()));

    const auto left = [&](const QString& text) {
        for (const QLabel* label : framed) {
            if (label->text() == text) {
                return test::PlaceIn(reminder.dialog, *label).x();
            }
        }
        ADD_FAILURE() << "no label " << text.toStdString();
        return 0;
    };
    const int headingLeft = left("Before downloading:");
    EXPECT_GT(left("1. Select a COM port."), headingLeft);
    EXPECT_EQ(left("2. Connect the COM port to the keyboard with the RS-232 cable."), left("1. Select a COM port."));
    EXPECT_EQ(left("3. Place the keyboard in \"bootloader\" mode."), left("1. Select a COM port."));
}

TEST_F(ReminderDialog, OpensCheckedEvenAfterBeingUncheckedAndHidden)
{
    ShownReminder reminder;
    EXPECT_TRUE(reminder.Box().isChecked());
    reminder.Box().setChecked(false);
    reminder.dialog.hide();
    reminder.dialog.show();
    EXPECT_TRUE(reminder.Box().isChecked());
}

TEST_F(ReminderDialog, EndingUntouchedWritesNothing)
{
    for (const test::Ending& ending : test::DialogEndings()) {
        SCOPED_TRACE(ending.how);
        ShownReminder reminder;
        ending.act(reminder.dialog, reminder.Ok());
        EXPECT_FALSE(reminder.dialog.isVisible());
        EXPECT_EQ(reminder.dialog.result(), ending.result);
        EXPECT_FALSE(StoredReminder().isValid());
    }
}

TEST_F(ReminderDialog, EachToggleIsStoredWhileTheDialogIsOpen)
{
    for (const test::Toggle& toggle : test::BoxToggles()) {
        SCOPED_TRACE(toggle.how);
        ForgetReminder();
        ShownReminder reminder;
        toggle.act(reminder.Box());
        EXPECT_FALSE(reminder.Box().isChecked());
        EXPECT_EQ(StoredReminder(), QVariant(0));
        toggle.act(reminder.Box());
        EXPECT_TRUE(reminder.Box().isChecked());
        EXPECT_EQ(StoredReminder(), QVariant(1));
        EXPECT_TRUE(reminder.dialog.isVisible());
    }
}

TEST_F(ReminderDialog, EndingKeepsWhatTheBoxStored)
{
    for (const test::Ending& ending : test::DialogEndings()) {
        SCOPED_TRACE(ending.how);
        ShownReminder reminder;
        QTest::mouseClick(&reminder.Box(), Qt::LeftButton);
        ending.act(reminder.dialog, reminder.Ok());
        EXPECT_EQ(StoredReminder(), QVariant(0));
    }
}

} // namespace
} // namespace tavex
