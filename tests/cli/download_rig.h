#pragma once

// What the tests of tavexdl-cli download share: files, the flash an image
// leaves in a keyboard, generated images.

#include "image/memory_byte_source.h"
#include "kbsim_process.h"
#include "flash/image_flash.h"
#include "support/child_process.h"
#include "support/image_text.h"
#include "support/scratch_directory.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace tavex::test {

inline std::string Slurp(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The keyboard's flash after a good download of the image at `path`.
inline SimulatedFlash ExpectedFlash(const std::string& path, FileKind fileKind, std::int32_t hardware)
{
    const std::string text = Slurp(path);
    const std::vector<std::uint8_t> bytes(text.begin(), text.end());
    MemoryByteSource source(bytes);
    return FlashOfImage(source, bytes.size(), fileKind, hardware);
}

// A sample's flash as written down once, byte by byte, from its records
// (tests/data/flash): what a reader fault the program and the simulator
// shared would not change.
struct WrittenDownFlash {
    const char* sample;
    std::int32_t hardware;
    const char* listing;
};

inline constexpr WrittenDownFlash kWrittenDownFlashes[] = {
    {"keyboard-small.s19", 1, "keyboard-small-hardware1.txt"},
    {"keyboard-tables.s20", 1, "keyboard-tables-hardware1.txt"},
    {"keyboard-tables.s20", 2, "keyboard-tables-hardware2.txt"},
    {"keyboard-tables.s20", 3, "keyboard-tables-hardware3.txt"},
};

inline std::string WrittenDownListing(const WrittenDownFlash& flash)
{
    return Slurp(std::string(TAVEX_FLASH_LISTINGS) + "/" + flash.listing);
}

// The simulator's summary line for that flash.
inline std::string DigestLine(const SimulatedFlash& flash)
{
    char text[40];
    std::snprintf(text, sizeof text, "flash digest: 0x%016llx", static_cast<unsigned long long>(flash.Digest()));
    return text;
}

// An .s19 image of `blocks` write-block lines of four bytes from `value` up.
inline std::string BlockImage(std::uint32_t blocks, std::uint8_t value = 1)
{
    std::string text;
    for (std::uint32_t i = 0; i < blocks; ++i) {
        const auto first = static_cast<std::uint8_t>(value + i);
        text += WriteBlockLine(0x1000 + 16 * i, {first, 2, 3, 4}) + "\r\n";
    }
    return text;
}

// A keyboard simulator, and a download to it.
struct DownloadRig {
    explicit DownloadRig(std::vector<std::string> keyboardOptions) : keyboard(keyboardOptions)
    {
        device = keyboard.ReadLine(5000);
    }

    // A copy of a sample image: a download holds its image locked, which
    // must not get in the way of other tests reading the samples.
    std::string Sample(const std::string& name)
    {
        return scratch.Write(name, Slurp(std::string(TAVEX_EXAMPLES) + "/" + name));
    }

    // Runs the download to its end; answers its exit code.
    int Download(const std::string& image, std::vector<std::string> extra = {})
    {
        std::vector<std::string> arguments = {"download", image, "--device", device, "--json"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        ChildProcess cli(TAVEXDL_CLI, arguments);
        for (std::string line = cli.ReadLine(30000); !line.empty(); line = cli.ReadLine(30000)) {
            events.push_back(line);
        }
        const int exitCode = cli.Wait(30000);
        err = cli.Err();
        return exitCode;
    }

    // Stops the simulator and answers its summary.
    std::string Summary()
    {
        keyboard.Signal(SIGTERM);
        keyboard.Wait(5000);
        return keyboard.RestOfOut();
    }

    bool Saw(const std::string& event) const
    {
        return std::find(events.begin(), events.end(), event) != events.end();
    }

    // The last event is the end event, and it begins with `start`.
    bool EndsWith(const std::string& start) const { return !events.empty() && events.back().rfind(start, 0) == 0; }

    ScratchDirectory scratch;
    KbsimProcess keyboard;
    std::string device;
    std::vector<std::string> events;
    std::string err;
};

} // namespace tavex::test
