#include "gui/qt/about_dialog.h"

#include "dialog_controls.h"
#include "reading_order.h"
#include "stored_reminder.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace tavex {
namespace {

using test::ForgetReminder;
using test::StoredReminder;
using test::StoreReminder;

// An About box on screen, opened over whatever the settings hold now.
struct ShownAbout {
    ShownAbout() { dialog.show(); }

    QCheckBox& Box() { return *dialog.findChild<QCheckBox*>(QStringLiteral("control1010")); }
    QLabel& Caption() { return *dialog.findChild<QLabel*>(QStringLiteral("control1011")); }
    QLabel& Icon() { return *dialog.findChild<QLabel*>(QStringLiteral("control1006")); }
    QPushButton& Ok() { return *dialog.findChild<QPushButton*>(QStringLiteral("button1")); }

    CAboutDlg dialog;
};

using AboutBox = test::NoStoredReminder;

TEST_F(AboutBox, ShowsItsTextsInOrder)
{
    ShownAbout about;
    EXPECT_EQ(about.dialog.windowTitle(), "About Tavex Firmware Upgrade Utility");
    EXPECT_EQ(test::LabelTextsInReadingOrder(about.dialog),
              (QStringList{"Tavex Firmware Upgrade Utility", "Version 2.12.00.01", "Show Reminder on Startup"}));
    EXPECT_TRUE(about.Box().text().isEmpty());
    EXPECT_EQ(about.Ok().text(), "OK");
    EXPECT_TRUE(about.Ok().isDefault());
    EXPECT_TRUE(about.dialog.isModal());
}

TEST_F(AboutBox, ShowsTheProgramIconBesideTheName)
{
    ShownAbout about;
    const QPixmap icon = about.Icon().pixmap();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.deviceIndependentSize().toSize(), QSize(32, 32));
    EXPECT_LT(test::PlaceIn(about.dialog, about.Icon()).x(), test::PlaceIn(about.dialog, about.Box()).x());
}

TEST_F(AboutBox, PutsTheCaptionRightOfItsBoxOnTheSameLine)
{
    ShownAbout about;
    const QRect box(test::PlaceIn(about.dialog, about.Box()), about.Box().size());
    const QRect caption(test::PlaceIn(about.dialog, about.Caption()), about.Caption().size());
    EXPECT_GE(caption.left(), box.right());
    EXPECT_LT(caption.left() - box.right(), 16);
    EXPECT_NEAR(caption.center().y(), box.center().y(), 3);
}

TEST_F(AboutBox, OpensShowingTheSetting)
{
    struct Case {
        const char* what;
        QVariant stored;
        bool checked;
    };
    const Case cases[] = {
        {"nothing stored", QVariant(), true},
        {"zero", QVariant(0), false},
        {"one", QVariant(1), true},
        {"256", QVariant(256), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ForgetReminder();
        if (c.stored.isValid()) {
            StoreReminder(c.stored);
        }
        ShownAbout about;
        EXPECT_EQ(about.Box().isChecked(), c.checked);
    }
}

TEST_F(AboutBox, EachClickOnTheBoxOrItsCaptionTogglesAndStores)
{
    struct Target {
        const char* what;
        std::function<QWidget&(ShownAbout&)> widget;
    };
    const Target targets[] = {
        {"the box", [](ShownAbout& about) -> QWidget& { return about.Box(); }},
        {"the caption", [](ShownAbout& about) -> QWidget& { return about.Caption(); }},
    };
    for (const Target& target : targets) {
        SCOPED_TRACE(target.what);
        ForgetReminder();
        ShownAbout about;
        QTest::mouseClick(&target.widget(about), Qt::LeftButton);
        EXPECT_FALSE(about.Box().isChecked());
        EXPECT_EQ(StoredReminder(), QVariant(0));
        QTest::mouseClick(&target.widget(about), Qt::LeftButton);
        EXPECT_TRUE(about.Box().isChecked());
        EXPECT_EQ(StoredReminder(), QVariant(1));
        EXPECT_TRUE(about.dialog.isVisible());
    }
}

TEST_F(AboutBox, TheSpaceBarOnTheBoxStores)
{
    StoreReminder(0);
    ShownAbout about;
    QTest::keyClick(&about.Box(), Qt::Key_Space);
    EXPECT_TRUE(about.Box().isChecked());
    EXPECT_EQ(StoredReminder(), QVariant(1));
}

TEST_F(AboutBox, OtherButtonsOnTheCaptionDoNothing)
{
    ShownAbout about;
    QTest::mouseClick(&about.Caption(), Qt::RightButton);
    QTest::mouseClick(&about.Caption(), Qt::MiddleButton);
    EXPECT_TRUE(about.Box().isChecked());
    EXPECT_FALSE(StoredReminder().isValid());
}

TEST_F(AboutBox, EndingUntouchedWritesNothing)
{
    for (const test::Ending& ending : test::DialogEndings()) {
        SCOPED_TRACE(ending.how);
        ShownAbout about;
        ending.act(about.dialog, about.Ok());
        EXPECT_FALSE(about.dialog.isVisible());
        EXPECT_EQ(about.dialog.result(), ending.result);
        EXPECT_FALSE(StoredReminder().isValid());
    }
}

} // namespace
} // namespace tavex
