// tavexdl.exe: the desktop program on Windows.

#include "gui/win32/tavexdl_app.h"
#include "platform/win32/windows_api.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int)
{
    return tavex::RunDesktopApp(commandLine != nullptr ? commandLine : L"");
}
