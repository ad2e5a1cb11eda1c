// tavexdl-cli: the command-line front end.

#include "cli/check/check_command.h"
#include "cli/output/console_output.h"
#include "cli/download/download_command.h"
#include "cli/exit_codes.h"
#include "cli/host/file_names.h"
#include "cli/host/standard_descriptors.h"
#include "cli/output/terminal_text.h"
#include "platform/system_image_files.h"
#include "cli/ports/ports_command.h"
#include "cli/version_text.h"

#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: tavexdl-cli check FILE [--hardware V] [--json] [--flash-out FILE]\n"
    "       tavexdl-cli download FILE (--device PATH | --com N)... [--wait SECONDS]\n"
    "                                [--loop] [--log FILE] [--json] [--trace]\n"
    "       tavexdl-cli ports [--json]\n"
    "       tavexdl-cli --version\n"
    "\n"
    "  check   reads and verifies an .s19 or .s20 firmware image as a download\n"
    "          would, without a keyboard. --hardware V checks for keyboard\n"
    "          hardware version V (an .s19 image takes 0 or 1; default 0); an\n"
    "          .s20 image without it is checked for every version it declares.\n"
    "          --json prints one JSON object; --flash-out writes the keyboard's\n"
    "          flash after a download, as tavexdl-kbsim lists it (an .s20\n"
    "          image needs --hardware). Exit 0 valid, 1 invalid, 2 usage.\n"
    "  download  writes the image into the keyboard on the serial device PATH,\n"
    "          or on COM port N (1 to 16; on Windows the port COMN, on Linux the\n"
    "          device named by TAVEXDL_COM<N>, else /dev/ttyS<N-1>). --json prints\n"
    "          one JSON event a line; --trace writes every frame and reply on\n"
    "          stderr. Exit 0 for a good download, 1 for a failed one, 2 usage,\n"
    "          130 cancelled (Ctrl-C, SIGTERM or SIGHUP cancels, on Windows also\n"
    "          Ctrl-Break and closing the console; a second one closes at once).\n"
    "          Several --device (or --com 1,3,5) download to every keyboard at\n"
    "          once, each on its own thread; --wait SECONDS waits for a device to\n"
    "          appear; --loop flashes one keyboard after another (the device goes\n"
    "          away and comes back, or Enter), --log FILE writes a CSV line each.\n"
    "  ports   lists the serial ports the system knows, with their USB ids,\n"
    "          maker, product, serial number and driver, the COM numbers that\n"
    "          name them, and the process that holds one (where a lock file\n"
    "          tells). It never opens a port. --json prints one object a line.\n"
    "\n"
    "  \"--\" ends the options: an image called \"--fw.s20\" follows it.\n";

} // namespace

namespace {

int RunCommand(int argc, char** argv)
{
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    if (arguments.empty()) {
        std::fputs(kUsage, stderr);
        return tavex::kExitUsage;
    }
    if (arguments[0] == "--help" || arguments[0] == "-h") {
        std::fputs(kUsage, stdout);
        return tavex::kExitOk;
    }
    if (arguments[0] == "--version" || arguments[0] == "-V") {
        tavex::WriteOut(tavex::VersionText());
        return tavex::kExitOk;
    }
    const std::span<const std::string_view> commandArguments = std::span(arguments).subspan(1);
    if (arguments[0] == "download") {
        return tavex::RunDownloadCommand(argv[0], commandArguments);
    }
    if (arguments[0] == "check") {
        // A check only reads: two checks of one file at once do not get in
        // each other's way, while a download, which has its image to itself,
        // still keeps a check out and is kept out by one.
        tavex::SystemImageFiles files(tavex::SystemImageFiles::Sharing::SharedAmongReaders);
        return tavex::RunCheckCommand(commandArguments, files);
    }
    if (arguments[0] == "ports") {
        return tavex::RunPortsCommand(commandArguments);
    }
    std::fprintf(stderr, "tavexdl-cli: unknown command '%s'\n\n%s", tavex::TerminalSafe(argv[1]).c_str(), kUsage);
    return tavex::kExitUsage;
}

} // namespace

int main(int argc, char** argv)
{
    // Every argument in UTF-8, whatever the system's own encoding of them.
    std::vector<std::string> arguments = tavex::CommandLineArguments(argc, argv);
    std::vector<char*> utf8Argv;
    for (std::string& argument : arguments) {
        utf8Argv.push_back(argument.data());
    }
    utf8Argv.push_back(nullptr);
    argc = static_cast<int>(arguments.size());
    argv = utf8Argv.data();
    if (!tavex::OpenClosedStandardDescriptors()) {
        std::fputs("tavexdl-cli: a closed standard descriptor could not be opened on /dev/null\n", stderr);
        return tavex::kExitFailed;
    }
    tavex::IgnoreBrokenPipes();
    return tavex::ExitAfterOutput(RunCommand(argc, argv));
}
