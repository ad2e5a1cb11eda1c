// Takes one picture of tavexdl.exe for the README:
//
//   tavex_win32_screenshot_tour SHOT PROGRAM PICTURE.bmp [IMAGE]
//
// SHOT is reminder, idle, about, downloading or error. The program is started
// with the reminder setting that the shot needs, brought to the state the shot
// shows, and the windows of that state are cut from the screen into a bitmap.
// downloading and error download IMAGE to the keyboard on COM1, which
// scripts/windows-screenshots.sh sets up: a keyboard that stands still half
// way, and one that refuses a block. Run on a wine desktop; exit 0 when the
// picture was written.

#include "gui/reminder_setting.h"
#include "desktop_program.h"
#include "gui/win32/reminder_registry.h"
#include "resource_ids.h"

#include <commctrl.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace tavex::test {
namespace {

const std::string kAboutTitle = "About Tavex Firmware Upgrade Utility";

struct Shot {
    bool reminderOn;
    // The windows to picture; empty when the state was not reached.
    std::vector<HWND> (*reach)(const DesktopProgram& program, const std::string& image);
};

HWND MainWindow(const DesktopProgram& program) { return program.WaitForDialog(kMainTitle); }

std::vector<HWND> Reminder(const DesktopProgram& program, const std::string&)
{
    const HWND reminder = program.WaitForDialog("Reminder");
    return reminder != nullptr ? std::vector<HWND>{reminder} : std::vector<HWND>{};
}

std::vector<HWND> Idle(const DesktopProgram& program, const std::string&)
{
    const HWND main = MainWindow(program);
    return main != nullptr ? std::vector<HWND>{main} : std::vector<HWND>{};
}

std::vector<HWND> About(const DesktopProgram& program, const std::string&)
{
    const HWND main = MainWindow(program);
    if (main == nullptr) {
        return {};
    }
    PostMessageW(main, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
    const HWND about = program.WaitForDialog(kAboutTitle);
    return about != nullptr ? std::vector<HWND>{about} : std::vector<HWND>{};
}

// Download pressed with IMAGE in the file field; null when there is no window.
HWND StartDownload(const DesktopProgram& program, const std::string& image)
{
    const HWND main = MainWindow(program);
    if (main != nullptr) {
        SetDlgItemTextW(main, IDC_FILE_EDIT, WideFromUtf8(image).c_str());
        Click(main, IDC_DOWNLOAD);
    }
    return main;
}

// The keyboard answers the tenth block seconds late: the picture is taken
// while the window waits for it.
std::vector<HWND> Downloading(const DesktopProgram& program, const std::string& image)
{
    const HWND main = StartDownload(program, image);
    if (main == nullptr || !WaitFor([&] { return ControlText(main, IDC_STATUS) == "Writing Block: 10"; })) {
        return {};
    }
    std::this_thread::sleep_for(1s);
    return {main};
}

// The keyboard refuses a block: the window and its message together.
std::vector<HWND> Error(const DesktopProgram& program, const std::string& image)
{
    const HWND main = StartDownload(program, image);
    const HWND box = main != nullptr ? program.WaitForDialog("tavexdl", 40s) : nullptr;
    return box != nullptr ? std::vector<HWND>{main, box} : std::vector<HWND>{};
}

const std::map<std::string, Shot> kShots = {
    {"reminder", {true, Reminder}},       {"idle", {false, Idle}},   {"about", {false, About}},
    {"downloading", {false, Downloading}}, {"error", {false, Error}},
};

// The smallest part of the screen that holds every window, frames included.
RECT Bounds(const std::vector<HWND>& windows)
{
    RECT bounds{};
    for (HWND window : windows) {
        RECT area{};
        GetWindowRect(window, &area);
        UnionRect(&bounds, &bounds, &area);
    }
    return bounds;
}

// Cuts `area` from the screen into a 24-bit bitmap file.
bool SaveScreenArea(const RECT& area, const std::filesystem::path& picture)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    const bool copied = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY) != FALSE;
    SelectObject(memory, previous);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;  // rows bottom-up, as a bitmap file keeps them
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    std::vector<char> pixels(rowBytes * static_cast<std::size_t>(height));
    const bool read = copied && GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                                          reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS) == height;
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!read) {
        return false;
    }

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    std::ofstream out(picture, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out.flush());
}

int Tour(const std::string& shotName, const std::wstring& programPath, const std::filesystem::path& picture,
         const std::string& image)
{
    const auto shot = kShots.find(shotName);
    if (shot == kShots.end()) {
        std::fprintf(stderr, "no shot %s\n", shotName.c_str());
        return 2;
    }
    WriteReminderSetting(shot->second.reminderOn ? 1 : 0);
    DesktopProgram program(programPath, L"");
    if (!program.Started()) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    const std::vector<HWND> windows = shot->second.reach(program, image);
    if (windows.empty()) {
        std::fprintf(stderr, "%s: the program never got there\n", shotName.c_str());
        return 1;
    }
    SetForegroundWindow(windows.back());
    for (HWND window : windows) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    // The windows draw themselves in their own process.
    std::this_thread::sleep_for(700ms);
    if (!SaveScreenArea(Bounds(windows), picture)) {
        std::fprintf(stderr, "%s: the screen could not be read\n", shotName.c_str());
        return 1;
    }
    RegDeleteKeyValueW(HKEY_CURRENT_USER, ReminderKeyPath().c_str(), kReminderValueName);
    return 0;
}

} // namespace
} // namespace tavex::test

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: tavex_win32_screenshot_tour SHOT PROGRAM PICTURE.bmp [IMAGE]\n");
        return 2;
    }
    return tavex::test::Tour(tavex::Utf8FromWide(argv[1]), argv[2], argv[3],
                             argc == 5 ? tavex::Utf8FromWide(argv[4]) : std::string());
}
