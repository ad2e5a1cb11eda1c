#include "gui/win32/tavexdl_app.h"

#include "gui/reminder_setting.h"
#include "gui/automation_switches.h"
#include "gui/win32/app_dialogs.h"
#include "gui/win32/automation/automation_server.h"
#include "gui/win32/main_window.h"
#include "gui/win32/program_name.h"
#include "platform/system_image_files.h"
#include "serial/win32/comm_control_host.h"
#include "text/string_table.h"

#include <commctrl.h>
#include <ole2.h>

namespace tavex {

bool QueryNtPlatform()
{
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL known = GetVersionExW(&version);
#pragma GCC diagnostic pop
    return known != FALSE && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

int RunDesktopApp(const std::wstring& commandLine)
{
    const bool ntPlatform = QueryNtPlatform();

    if (FAILED(OleInitialize(nullptr))) {
        MessageBoxW(nullptr, WideFromUtf8(std::string(StringText<string_id::kOleInitFailed>)).c_str(),
                    ProgramName().c_str(), MB_OK);
        return 1;
    }

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);

    {
        const AutomationSwitches switches = ParseAutomationSwitches(Utf8FromWide(commandLine));
        AutomationServer automation;
        automation.Start(switches.StartedByAutomation());

        if (ReadReminderSetting()) {
            RunReminderDialog();
        }

        Win32CommControlHost commControls;
        SystemImageFiles files;
        CTavexDLDlg dialog(commControls, files, ntPlatform);
        dialog.windowChanged = [&automation](HWND window) { automation.SetMainWindow(window); };
        dialog.Run();
    }

    OleUninitialize();
    return 0;
}

} // namespace tavex
