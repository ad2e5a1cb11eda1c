// The main of the tests that need Qt's event loop: a QApplication where they
// use widgets (offscreen), a QCoreApplication otherwise. Per-user settings go
// to a scratch folder, never the user's own.

#ifdef TAVEX_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
#ifdef TAVEX_TEST_WIDGETS
    qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    TestApplication application(argc, argv);
    QTemporaryDir settingsDirectory;
    if (!settingsDirectory.isValid()) {
        return 1;
    }
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDirectory.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDirectory.path());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
