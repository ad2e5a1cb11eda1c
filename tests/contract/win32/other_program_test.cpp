// The Win32 control on COM1 against another program: what only Windows
// can play. The contract every platform keeps is in tests/contract.

#include "keyboard_contract.h"
#include "platform/win32/windows_api.h"
#include "serial/win32/comm_control.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace tavex::test {
namespace {

// Run by the test below as another program: exits 0 when it opened COM1,
// 3 when it was refused as in use, 4 when it was refused otherwise.
TEST(KeyboardOtherProgram, DISABLED_OpensCom1)
{
    Win32CommControl control;
    control.SetCommPort(1);
    try {
        control.SetPortOpen(true);
    } catch (const CommControlError& error) {
        std::exit(std::string(error.what()).find("in use") != std::string::npos ? 3 : 4);
    }
    control.SetPortOpen(false);
    std::exit(0);
}

// The exit code of this test program run as another program on COM1.
DWORD RunOtherProgram()
{
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    std::wstring command =
        L"\"" + path + L"\" --gtest_filter=KeyboardOtherProgram.DISABLED_OpensCom1 --gtest_also_run_disabled_tests";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "the other program did not start: " << SystemErrorText(GetLastError());
        return MAXDWORD;
    }
    DWORD exitCode = MAXDWORD;
    if (WaitForSingleObject(process.hProcess, 30'000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &exitCode);
    } else {
        TerminateProcess(process.hProcess, 1);
        ADD_FAILURE() << "the other program did not end";
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

TEST_F(KeyboardLink, AnotherProgramCannotOpenThePortUntilItCloses)
{
    control.SetPortOpen(true);
    EXPECT_EQ(RunOtherProgram(), 3U);
    EXPECT_EQ(Exchange(kPing, kIdentification.size()), kIdentification);
    control.SetPortOpen(false);
    EXPECT_EQ(RunOtherProgram(), 0U);
}

} // namespace
} // namespace tavex::test
