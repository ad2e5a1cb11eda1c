#include "gui/tavexdl_app.h"

#include "app/reminder_dialog.h"
#include "app/reminder_setting.h"
#include "gui/automation_switches.h"
#include "gui/dbus_automation.h"
#include "gui/main_dialog.h"
#include "platform/posix_image_file.h"
#include "serial/qt/qt_comm_control_host.h"

#include <QApplication>

#include <string>

namespace tavex {

namespace {

std::string CommandLine(int argc, char** argv)
{
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            line += ' ';
        }
        line += argv[i];
    }
    return line;
}

} // namespace

int CTavexDLApp::Run(int argc, char** argv)
{
    QApplication application(argc, argv);
    const AutomationSwitches switches = ParseAutomationSwitches(CommandLine(argc, argv));
    if (switches.StartedByAutomation()) {
        RegisterAutomationObject(&application);
    } else {
        RefreshAutomationRegistration(QApplication::applicationFilePath());
    }

    if (ReadReminderSetting()) {
        CReminderDlg reminder;
        reminder.exec();
    }

    QtCommControlHost controls;
    PosixImageFiles files;
    CTavexDLDlg dialog(controls, files);
    dialog.exec();
    return 0;
}

} // namespace tavex
