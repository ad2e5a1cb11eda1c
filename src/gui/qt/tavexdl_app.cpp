#include "gui/qt/tavexdl_app.h"

#include "gui/qt/reminder_dialog.h"
#include "gui/reminder_setting.h"
#include "gui/automation_switches.h"
#include "gui/qt/dbus_automation.h"
#include "gui/qt/main_dialog.h"
#include "platform/system_image_files.h"
#include "serial/qt/comm_control_host.h"

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
    SystemImageFiles files;
    CTavexDLDlg dialog(controls, files);
    dialog.exec();
    return 0;
}

} // namespace tavex
