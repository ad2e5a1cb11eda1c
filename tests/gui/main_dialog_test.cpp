// The main window with its real widgets, offscreen, against the in-process
// keyboard.

#include "gui/automation_switches.h"
#include "gui/qt/main_dialog.h"
#include "gui/qt/name_filters.h"
#include "platform/system_image_files.h"
#include "qt_model_comm_control.h"
#include "support/image_text.h"
#include "support/scratch_directory.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

QT_BEGIN_NAMESPACE
// Readable failures: the texts, not their bytes.
inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }
QT_END_NAMESPACE

namespace tavex {
namespace {

using test::Lines;

const std::string kImage = Lines({test::FlashSectorLine(2), test::WriteBlockLine(0x100, {1, 2, 3}),
                                  test::WriteBlockLine(0x110, {4, 5}), test::EndOfTableLine()});

bool RunEventsUntil(const std::function<bool()>& done, int limitMs = 20000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limitMs) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}

// The window's message boxes are watched, or shown for real.
enum class Boxes { Watched, Shown };

struct Window {
    explicit Window(KeyboardConfig config = {}, Boxes boxes = Boxes::Watched)
        : keyboard(std::move(config)), controls(keyboard), dialog(controls, files)
    {
        if (boxes == Boxes::Watched) {
            dialog.presentMessage = [this](const QString& text, const QString&) { messages << text; };
        }
        dialog.chooseImageFile = [this] {
            ++fileDialogs;
            return QString();
        };
        dialog.statusShown = [this](const QString& text) { statuses << text; };
        dialog.InitDialog();
        dialog.show();
        statuses.clear();
        image = scratch.Write("Image.S19", kImage);
    }

    template <class T>
    T* Find(const char* name)
    {
        return dialog.findChild<T*>(QString::fromLatin1(name));
    }
    QLineEdit* FileField() { return Find<QLineEdit>("control1000"); }
    QPushButton* Browse() { return Find<QPushButton>("control1001"); }
    QPushButton* DownloadButton() { return Find<QPushButton>("control1002"); }
    QProgressBar* Progress() { return Find<QProgressBar>("control1003"); }
    QLabel* Status() { return Find<QLabel>("control1004"); }
    QComboBox* ComList() { return Find<QComboBox>("control1007"); }
    QPushButton* Button1() { return Find<QPushButton>("button1"); }

    bool Idle() { return dialog.Session().State() == bpStateNONE; }

    void StartDownload()
    {
        FileField()->setText(QString::fromStdString(image));
        QTest::mouseClick(DownloadButton(), Qt::LeftButton);
    }

    KeyboardModel keyboard;
    test::QtModelControlHost controls;
    SystemImageFiles files;
    CTavexDLDlg dialog;
    test::ScratchDirectory scratch;
    std::string image;
    QStringList messages;
    QStringList statuses;
    int fileDialogs = 0;
};

TEST(MainWindow, StartsIdleWithItsControls)
{
    Window window;
    EXPECT_EQ(window.dialog.windowTitle(), " Tavex Firmware Upgrade Utility");
    EXPECT_EQ(window.Status()->text(), "OFF-LINE");
    EXPECT_EQ(window.Button1()->text(), "Close");
    EXPECT_TRUE(window.Button1()->isDefault());
    ASSERT_EQ(window.ComList()->count(), 16);
    EXPECT_EQ(window.ComList()->currentText(), "1");
    EXPECT_EQ(window.ComList()->itemText(15), "16");
    EXPECT_FALSE(window.ComList()->itemData(0, Qt::ToolTipRole).toString().isEmpty());
    EXPECT_EQ(window.FileField()->text(), "");
    EXPECT_EQ(window.Progress()->value(), 0);
    EXPECT_EQ(window.Progress()->maximum(), 100);
    EXPECT_FALSE(window.dialog.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.dialog.windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST(MainWindow, DownloadsAnImageAndReturnsToIdle)
{
    Window window;
    window.StartDownload();
    EXPECT_FALSE(window.DownloadButton()->isEnabled());
    EXPECT_FALSE(window.ComList()->isEnabled());
    EXPECT_FALSE(window.FileField()->isEnabled());
    EXPECT_FALSE(window.Browse()->isEnabled());
    EXPECT_EQ(window.Button1()->text(), "Cancel");
    ASSERT_TRUE(RunEventsUntil([&] { return window.Idle(); }));

    EXPECT_TRUE(window.messages.isEmpty()) << window.messages.value(0).toStdString();
    EXPECT_EQ(window.statuses,
              (QStringList{"Establishing Communications...", "Sending PING...  at 19200 Baudrate ", "Received PONG",
                           "Reading Keyboard ID", "Keyboard ID Received", "Flashing Sector...", "Sector Flashed",
                           "Writing Block: 1", "Writing Block: 2", "Finished current language table...", "OFF-LINE"}));
    EXPECT_EQ(window.Status()->text(), "OFF-LINE");
    EXPECT_EQ(window.Progress()->value(), 0);
    EXPECT_EQ(window.Button1()->text(), "Close");
    EXPECT_TRUE(window.DownloadButton()->isEnabled());
    EXPECT_TRUE(window.ComList()->isEnabled());
    EXPECT_EQ(window.keyboard.Flash().BlocksWritten(), 2U);
    EXPECT_EQ(window.controls.control->frames.size(), 6U);
}

TEST(MainWindow, ShowsTheMessagesOfTheDownloadChecks)
{
    struct Case {
        QString typed;
        QString message;
    };
    for (const Case& c : {Case{"", "Error: A download operation can not be peformed until a valid .s19 or .s20 "
                                   "filename has been specified."},
                          Case{"Notes.TXT", "Error: The file \"Notes.TXT\" does not have an .s19 or .s20 extension."}}) {
        Window window;
        window.FileField()->setText(c.typed);
        QTest::mouseClick(window.DownloadButton(), Qt::LeftButton);
        EXPECT_EQ(window.messages, QStringList{c.message});
        EXPECT_TRUE(window.DownloadButton()->isEnabled());
        EXPECT_TRUE(window.Idle());
    }
}

// The operator reads the system's reason in the box itself, after a blank
// line, not behind a button.
TEST(MainWindow, ItsMessageBoxSaysWhyInItsText)
{
    Window window({}, Boxes::Shown);
    const QString missing = QString::fromStdString(window.scratch.Path() + "/Missing.s19");
    QString text;
    QString detail = "not read";
    QTimer::singleShot(100, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            text = box->text();
            detail = box->detailedText();
            box->close();
        }
    });
    window.FileField()->setText(missing);
    QTest::mouseClick(window.DownloadButton(), Qt::LeftButton);
    EXPECT_EQ(text, "Error: The file \"" + missing + "\" could not be found.\n\n(" + missing +
                        ": No such file or directory)");
    EXPECT_EQ(detail, "");
}

TEST(MainWindow, EnterAndEscapeCloseAnIdleWindow)
{
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        Window window;
        QTest::keyClick(window.FileField(), key);
        EXPECT_FALSE(window.dialog.isVisible());
        EXPECT_EQ(window.dialog.result(), 5005);
        EXPECT_TRUE(window.messages.isEmpty());
    }
}

TEST(MainWindow, EnterDuringADownloadCancelsIt)
{
    KeyboardConfig slow;
    slow.processingMs = 30;
    Window window(slow);
    window.StartDownload();
    ASSERT_TRUE(RunEventsUntil([&] { return window.Status()->text() == "Writing Block: 1"; }));
    QTest::keyClick(window.FileField(), Qt::Key_Return);
    ASSERT_TRUE(RunEventsUntil([&] { return window.Idle(); }));
    EXPECT_TRUE(window.dialog.isVisible());
    EXPECT_TRUE(window.messages.isEmpty()) << window.messages.value(0).toStdString();
    EXPECT_EQ(window.Status()->text(), "OFF-LINE");
    EXPECT_LT(window.keyboard.Flash().BlocksWritten(), 2U);
}

TEST(MainWindow, EscapeDuringADownloadClosesTheWindowAfterTheEndOfTable)
{
    KeyboardConfig slow;
    slow.processingMs = 30;
    Window window(slow);
    window.StartDownload();
    ASSERT_TRUE(RunEventsUntil([&] { return window.Status()->text() == "Writing Block: 1"; }));
    QTest::keyClick(&window.dialog, Qt::Key_Escape);
    EXPECT_FALSE(window.dialog.isVisible());
    EXPECT_EQ(window.dialog.result(), 5005);
    EXPECT_TRUE(window.messages.isEmpty());
    const std::vector<std::uint8_t> endOfTable = {0x53, 0x38, 0x04, 0xFF, 0xFF, 0xFF, 0xFE};
    EXPECT_EQ(window.controls.control->frames.back(), endOfTable);
    EXPECT_FALSE(window.controls.control->GetPortOpen());
}

TEST(MainWindow, BrowseIsRefusedWhileThePortIsOpen)
{
    KeyboardConfig slow;
    slow.processingMs = 30;
    Window window(slow);
    QTest::mouseClick(window.Browse(), Qt::LeftButton);
    EXPECT_EQ(window.fileDialogs, 1);
    window.StartDownload();
    ASSERT_TRUE(RunEventsUntil([&] { return window.dialog.Session().PortIsOpen(); }));
    window.Browse()->setEnabled(true);
    QTest::mouseClick(window.Browse(), Qt::LeftButton);
    EXPECT_EQ(window.fileDialogs, 1);
}

TEST(MainWindow, F1OpensTheAboutBox)
{
    Window window;
    QString title;
    QTimer::singleShot(100, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            title = box->windowTitle();
            box->close();
        }
    });
    QTest::keyClick(&window.dialog, Qt::Key_F1);
    EXPECT_EQ(title, "About Tavex Firmware Upgrade Utility");
}

TEST(NameFilters, TurnTheFilterStringIntoQtsForm)
{
    EXPECT_EQ(QtNameFilters("s20 Files (*.s20)|*.s20|s19 Files (*.s19)|*.s19|All Files (*.*)|*.*||"),
              (QStringList{"s20 Files (*.s20)", "s19 Files (*.s19)", "All Files (*.*)"}));
    EXPECT_EQ(QtNameFilters("Images|*.s19;*.s20||"), QStringList{"Images (*.s19;*.s20)"});
}

TEST(AutomationSwitches, AreReadAsTheProgramReadsThem)
{
    struct Case {
        const char* line;
        bool embedding;
        bool automation;
        const char* rest;
    };
    for (const Case c : {
             Case{"", false, false, ""},
             Case{"/Automation", false, true, ""},
             Case{"-Embedding", true, false, ""},
             Case{"-automation", false, false, "-automation"},
             Case{"file.s20 /AutomationX", false, true, "file.s20 X"},
             Case{"-Embedding -Automation", true, false, " -Automation"},
             Case{"Automation", false, false, "Automation"},
             Case{"x/Embedding", true, false, "x"},
         }) {
        const AutomationSwitches switches = ParseAutomationSwitches(c.line);
        EXPECT_EQ(switches.embedding, c.embedding) << c.line;
        EXPECT_EQ(switches.automation, c.automation) << c.line;
        EXPECT_EQ(switches.rest, c.rest) << c.line;
    }
}

} // namespace
} // namespace tavex
