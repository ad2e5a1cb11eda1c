// "TavexDL.Application" as a client sees it: activated through COM in a
// process of its own (tavex_automation_test_server.exe, registered here as
// the class's local server), an object without members, and a server that
// ends when the client lets go.

#include "automation_support.h"
#include "gui/win32/automation/automation_server.h"
#include "gui/win32/automation/class_registration.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <oaidl.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace tavex {
namespace {

using test::ComHeld;
using test::ReadDefaultValue;
using test::ForEachClasses;
using test::RemoveClassEntries;

constexpr DWORD kServerEndLimit = 10000;  // ms

std::wstring ServerPath()
{
    std::wstring path = OwnProgramPath();
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"tavex_automation_test_server.exe";
}

struct ServerSeen {
    DWORD processId = 0;
    unsigned long long window = 0;
};

struct ClientFixture : testing::Test {
    ClientFixture()
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        wchar_t directory[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, directory);
        reportPath = std::wstring(directory) + L"tavex-automation-" + std::to_wstring(GetCurrentProcessId()) +
                     L".txt";
        DeleteFileW(reportPath.c_str());
    }

    ~ClientFixture() override
    {
        ForEachClasses([](HKEY classes) { RemoveClassEntries(classes); });
        for (HANDLE process : processes) {
            if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process, 99);
            }
            CloseHandle(process);
        }
        DeleteFileW(reportPath.c_str());
        CoUninitialize();
    }

    // The test server as the class's local server, reporting to this test.
    void RegisterTestServer()
    {
        const std::wstring command = LocalServerCommand(ServerPath()) + L" " + LocalServerCommand(reportPath);
        ForEachClasses([&](HKEY classes) { WriteClassEntries(classes, command); });
    }

    // Each line the servers reported so far.
    std::vector<ServerSeen> Reports() const
    {
        std::vector<ServerSeen> seen;
        FILE* file = _wfopen(reportPath.c_str(), L"r");
        if (file == nullptr) {
            return seen;
        }
        ServerSeen line;
        while (std::fscanf(file, "%lu %llu", &line.processId, &line.window) == 2) {
            seen.push_back(line);
        }
        std::fclose(file);
        return seen;
    }

    HANDLE Watch(DWORD processId)
    {
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE,
                                     processId);
        if (process != nullptr) {
            processes.push_back(process);
        }
        return process;
    }

    // The server's exit code once it has ended; empty if it still runs.
    static std::optional<DWORD> EndOf(HANDLE process, DWORD limit = kServerEndLimit)
    {
        if (WaitForSingleObject(process, limit) != WAIT_OBJECT_0) {
            return std::nullopt;
        }
        DWORD code = 0;
        GetExitCodeProcess(process, &code);
        return code;
    }

    ComHeld<IDispatch> Activate()
    {
        void* object = nullptr;
        const HRESULT result =
            CoCreateInstance(kAutomationClassId, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, &object);
        EXPECT_EQ(result, S_OK) << std::hex << static_cast<unsigned long>(result);
        return ComHeld<IDispatch>(static_cast<IDispatch*>(object));
    }

    std::wstring reportPath;
    std::vector<HANDLE> processes;
};

using AutomationClient = ClientFixture;

TEST_F(AutomationClient, GetsAnObjectWithoutMembersWhoseReleaseEndsTheServer)
{
    RegisterTestServer();
    ComHeld<IDispatch> object = Activate();
    ASSERT_NE(object, nullptr);
    const std::vector<ServerSeen> seen = Reports();
    ASSERT_EQ(seen.size(), 1u);
    HANDLE server = Watch(seen[0].processId);
    ASSERT_NE(server, nullptr);
    EXPECT_NE(seen[0].processId, GetCurrentProcessId());

    UINT typeInfoCount = 7;
    EXPECT_EQ(object->GetTypeInfoCount(&typeInfoCount), S_OK);
    EXPECT_EQ(typeInfoCount, 0u);
    wchar_t visible[] = L"Visible";
    LPOLESTR names[] = {visible};
    DISPID id = 1;
    EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);
    DISPPARAMS noArguments = {nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(object->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &noArguments, &result,
                             nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);

    // Held, the server stays.
    EXPECT_EQ(EndOf(server, 500), std::nullopt);
    object.reset();
    EXPECT_EQ(EndOf(server), 0u) << "0: its main window was closed";
}

TEST_F(AutomationClient, ANewRequestStartsAnotherServerAsTheClassIsForOneUse)
{
    RegisterTestServer();
    ComHeld<IDispatch> first = Activate();
    ComHeld<IDispatch> second = Activate();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    const std::vector<ServerSeen> seen = Reports();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_NE(seen[0].processId, seen[1].processId);
    HANDLE firstServer = Watch(seen[0].processId);
    HANDLE secondServer = Watch(seen[1].processId);

    first.reset();
    EXPECT_EQ(EndOf(firstServer), 0u);
    EXPECT_EQ(EndOf(secondServer, 200), std::nullopt);
    second.reset();
    EXPECT_EQ(EndOf(secondServer), 0u);
}

TEST_F(AutomationClient, ClosingTheServersWindowWhileTheObjectIsHeldEndsTheServerCleanly)
{
    RegisterTestServer();
    ComHeld<IDispatch> object = Activate();
    ASSERT_NE(object, nullptr);
    const std::vector<ServerSeen> seen = Reports();
    ASSERT_EQ(seen.size(), 1u);
    HANDLE server = Watch(seen[0].processId);

    // As the user's close button would.
    const auto window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(seen[0].window));
    ASSERT_TRUE(PostMessageW(window, WM_CLOSE, 0, 0));
    EXPECT_EQ(EndOf(server), 0u) << "the program ends, without a fault, as its object goes with it";

    UINT typeInfoCount = 0;
    EXPECT_TRUE(FAILED(object->GetTypeInfoCount(&typeInfoCount)));
}

TEST_F(AutomationClient, APlainStartRegistersTheProgIdForCLSIDFromProgID)
{
    ForEachClasses([](HKEY classes) { RemoveClassEntries(classes); });
    CLSID found = {};
    EXPECT_TRUE(FAILED(CLSIDFromProgID(kAutomationProgId, &found)));

    const std::wstring command = LocalServerCommand(ServerPath()) + L" " + LocalServerCommand(reportPath) +
                                 L" start-only";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    std::wstring line = command;
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &started));
    CloseHandle(started.hThread);
    processes.push_back(started.hProcess);
    ASSERT_EQ(EndOf(started.hProcess), 0u);

    ASSERT_EQ(CLSIDFromProgID(kAutomationProgId, &found), S_OK);
    EXPECT_TRUE(IsEqualCLSID(found, kAutomationClassId));
    EXPECT_EQ(ReadDefaultValue(HKEY_CLASSES_ROOT, L"CLSID\\" + ClassIdText(kAutomationClassId) + L"\\LocalServer32"),
              LocalServerCommand(ServerPath()));
}

} // namespace
} // namespace tavex
