// tavexdl-cli check, run as a process.

#include "image/image_snapshot.h"
#include "image/sha256.h"
#include "support/image_text.h"
#include "support/scratch_directory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavex {
namespace {

struct CliRun {
    int exitCode;
    std::string out;
    std::string err;
};

std::string Quote(const std::string& argument)
{
    std::string quoted = "'";
    for (char c : argument) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string Slurp(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class CheckCli : public testing::Test {
protected:
    void SetUp() override { ::mkdir((directory_ + "/Folder.s19").c_str(), 0700); }

    CliRun Cli(const std::vector<std::string>& arguments)
    {
        std::string command = Quote(TAVEXDL_CLI);
        for (const std::string& argument : arguments) {
            command += " " + Quote(argument);
        }
        const std::string out = directory_ + "/out";
        const std::string err = directory_ + "/err";
        const int status = std::system((command + " >" + out + " 2>" + err + " </dev/null").c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
    }

    std::string Write(const std::string& name, const std::string& bytes) { return scratch_.Write(name, bytes); }

    test::ScratchDirectory scratch_;
    const std::string& directory_ = scratch_.Path();
};

const std::string kExamples = TAVEX_EXAMPLES;

// Messages quote the file name lower-cased, as a download shows it.
std::string Lower(std::string text)
{
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// The listings were written down once from the samples' records, not by
// this program's reader.
TEST_F(CheckCli, PredictsTheFlashWrittenDownForEachSample)
{
    struct ListingCase {
        const char* image;
        const char* hardware;
        const char* listing;
    };
    const ListingCase cases[] = {
        {"keyboard-small.s19", "1", "keyboard-small-hardware1.txt"},
        {"keyboard-tables.s20", "1", "keyboard-tables-hardware1.txt"},
        {"keyboard-tables.s20", "2", "keyboard-tables-hardware2.txt"},
        {"keyboard-tables.s20", "3", "keyboard-tables-hardware3.txt"},
    };
    for (const ListingCase& listing : cases) {
        SCOPED_TRACE(listing.listing);
        const std::string out = directory_ + "/" + listing.listing;
        const CliRun check =
            Cli({"check", kExamples + "/" + listing.image, "--hardware", listing.hardware, "--flash-out", out});
        EXPECT_EQ(check.exitCode, 0) << check.err;
        std::ifstream predicted(out), writtenDown(std::string(TAVEX_FLASH_LISTINGS) + "/" + listing.listing);
        std::ostringstream predictedText, writtenDownText;
        predictedText << predicted.rdbuf();
        writtenDownText << writtenDown.rdbuf();
        EXPECT_EQ(predictedText.str(), writtenDownText.str());
    }
}

TEST_F(CheckCli, SummarisesTheSamples)
{
    const CliRun s19 = Cli({"check", kExamples + "/keyboard-small.s19"});
    EXPECT_EQ(s19.exitCode, 0) << s19.err;
    EXPECT_NE(s19.out.find("valid .s19 image, 328 bytes in 9 lines"), std::string::npos) << s19.out;
    EXPECT_NE(s19.out.find("records: 9 (1 flash-sector C1, 7 write-block S2, 1 end-of-table S8)"), std::string::npos);
    EXPECT_NE(s19.out.find("block addresses 0x010000 to 0x010060"), std::string::npos);
    EXPECT_NE(s19.out.find("hardware 0: passes, 9 records sent, 0 dropped"), std::string::npos);
    EXPECT_EQ(s19.err, "");

    const CliRun s20 = Cli({"check", kExamples + "/keyboard-tables.s20"});
    EXPECT_EQ(s20.exitCode, 0) << s20.err;
    for (const char* verdict : {"hardware 1: passes, 24 records sent, 8 dropped",
                                "hardware 2: passes, 26 records sent, 6 dropped",
                                "hardware 3: passes, 24 records sent, 8 dropped"}) {
        EXPECT_NE(s20.out.find(verdict), std::string::npos) << s20.out;
    }
}

TEST_F(CheckCli, PrintsOneJsonObject)
{
    const CliRun run = Cli({"check", "--json", kExamples + "/keyboard-tables.s20", "--hardware", "2"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.rfind("{\"file\":\"" + Lower(kExamples) + "/keyboard-tables.s20\",\"kind\":\"s20\",\"valid\":true,", 0),
              0U)
        << run.out;
    EXPECT_NE(run.out.find("\"hardware\":[{\"version\":2,\"passes\":true,\"sent\":26,\"dropped\":6}]}\n"),
              std::string::npos)
        << run.out;
    const std::string image = Slurp(kExamples + "/keyboard-tables.s20");
    const std::string digest =
        Sha256Hex({reinterpret_cast<const std::uint8_t*>(image.data()), image.size()});
    EXPECT_NE(run.out.find(",\"image_sha256\":\"" + digest + "\","), std::string::npos) << run.out;
}

// One function holds the file checks: check cannot pass what a download
// refuses before its port opens.
TEST_F(CheckCli, RefusesAnImageTooLargeForADownloadAsTheDownloadDoes)
{
    const std::string huge = directory_ + "/Huge.s19";
    ASSERT_EQ(::truncate(Write("Huge.s19", "").c_str(), static_cast<off_t>(kLargestSnapshot + 1)), 0);
    const std::string message =
        "Error: \"" + Lower(huge) + "\" is too large to download (67108865 bytes; at most 64 MiB).\n";
    const CliRun check = Cli({"check", huge});
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_EQ(check.err, message);
    const CliRun download = Cli({"download", huge, "--device", directory_ + "/no-keyboard"});
    EXPECT_EQ(download.exitCode, 1);
    EXPECT_EQ(download.err, message);
}

// "--" ends the options, so that an image may be called "--fw.s19".
TEST_F(CheckCli, TakesAnImageNamedLikeAnOptionAfterTheOptionsEnd)
{
    Write("--fw.s19", Slurp(kExamples + "/keyboard-small.s19"));
    ASSERT_EQ(::chdir(directory_.c_str()), 0);
    const CliRun run = Cli({"check", "--json", "--", "--fw.s19"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("\"file\":\"--fw.s19\""), std::string::npos) << run.out;
    EXPECT_EQ(Cli({"check", "--fw.s19"}).exitCode, 2);
}

// The version as the About box shows it, both programs' templates alike.
TEST_F(CheckCli, PrintsTheVersionTheAboutBoxShows)
{
    const std::string aboutBox = Slurp(std::string(TAVEX_RESOURCES) + "/about_dialog.ui");
    const std::string win32AboutBox = Slurp(std::string(TAVEX_RESOURCES) + "/win32/tavexdl.rc");
    for (const char* option : {"--version", "-V"}) {
        const CliRun run = Cli({option});
        EXPECT_EQ(run.exitCode, 0) << option;
        EXPECT_EQ(run.out, "Tavex Firmware Upgrade Utility\nVersion 2.12.00.01\nTavexDL " TAVEX_BUILD_VERSION "\n");
    }
    for (const std::string line : {"Tavex Firmware Upgrade Utility", "Version 2.12.00.01"}) {
        EXPECT_NE(aboutBox.find(">" + line + "<"), std::string::npos) << line;
        EXPECT_NE(win32AboutBox.find("\"" + line + "\""), std::string::npos) << line;
    }
}

TEST_F(CheckCli, FailsWithTheMessageADownloadWouldShow)
{
    const std::string faulty = Write(
        "Faulty.S20", test::Lines({"#schema 1", "#hardware 1", "", "// table", test::WriteBlockLine(0x10, {1}), "S2"}));
    const CliRun run = Cli({"check", faulty});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Error: Bad length descriptor 13:10 on line 6 of \"" + Lower(directory_) + "/faulty.s20\".\n");

    const CliRun json = Cli({"check", faulty, "--json"});
    EXPECT_EQ(json.exitCode, 1);
    EXPECT_NE(json.out.find("\"valid\":false,\"message\":\"Error: Bad length descriptor 13:10 on line 6 of \\\""),
              std::string::npos)
        << json.out;
}

TEST_F(CheckCli, RefusesVersionsTheImageDoesNotSupport)
{
    const CliRun s20 = Cli({"check", kExamples + "/keyboard-tables.s20", "--hardware", "4"});
    EXPECT_EQ(s20.exitCode, 1);
    EXPECT_EQ(s20.err, "Error: The file \"" + Lower(kExamples) +
                           "/keyboard-tables.s20\" does not support this version of the keyboard hardware.\n\n"
                           "File supports hardware version(s):\t1, 2, 3\nCurrent keyboard hardware version:\t4\n");

    const CliRun s19 = Cli({"check", kExamples + "/keyboard-small.s19", "--hardware", "2"});
    EXPECT_EQ(s19.exitCode, 1);
    EXPECT_NE(s19.err.find("File supports hardware version(s):\t0, 1\nCurrent keyboard hardware version:\t2"),
              std::string::npos);
}

// The report and the complaint about the listing on one terminal (2>&1):
// the complaint comes after the report, as it happened.
TEST_F(CheckCli, SaysAListingCannotBeWrittenAfterTheReport)
{
    const std::string both = directory_ + "/both";
    const std::string command = Quote(TAVEXDL_CLI) + " check " + Quote(kExamples + "/keyboard-small.s19") +
                                " --flash-out " + Quote(directory_ + "/no-folder/flash.txt") + " >" + both +
                                " 2>&1 </dev/null";
    const int status = std::system(command.c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
    const std::string text = Slurp(both);
    const std::size_t report = text.find("valid .s19 image");
    const std::size_t complaint = text.find("tavexdl-cli check: cannot write ");
    ASSERT_NE(report, std::string::npos) << text;
    ASSERT_NE(complaint, std::string::npos) << text;
    EXPECT_LT(report, complaint) << text;
}

TEST_F(CheckCli, MakesTheFileChecksOfADownloadFirst)
{
    struct Case {
        std::string file;
        std::string message;
    };
    for (const Case& c : {
             Case{"", "Error: A download operation can not be peformed until a valid .s19 or .s20 filename has been "
                      "specified.\n"},
             Case{"Notes.TXT", "Error: The file \"Notes.TXT\" does not have an .s19 or .s20 extension.\n"},
             Case{directory_ + "/Missing.S19", "Error: The file \"" + directory_ + "/Missing.S19\" could not be found. (" +
                                                   directory_ + "/Missing.S19: No such file or directory)\n"},
             Case{directory_, "Error: The file \"" + directory_ + "\" does not have an .s19 or .s20 extension.\n"},
             Case{directory_ + "/Folder.s19", "An error occurred while trying to open \"" + Lower(directory_) +
                                                  "/folder.s19\".\n\nMake sure this file has not been opened by another "
                                                  "application. (" + directory_ + "/Folder.s19: not a regular file)\n"},
         }) {
        const CliRun run = Cli({"check", c.file});
        EXPECT_EQ(run.exitCode, 1) << c.file;
        EXPECT_EQ(run.err, c.message);
    }
}

// The message a download shows, with the system's reason behind it: a
// folder this user may not search is not simply "not found", and a file he
// may not read is not in use by another program.
TEST_F(CheckCli, GivesTheSystemsReasonAsADownloadDoes)
{
    // root reads whatever the modes say: the check runs as nobody.
    const std::string asUser = ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    if (!asUser.empty() && std::system("setpriv --version >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "running as root, with no setpriv to run the check as another user";
    }
    ASSERT_EQ(::chmod(directory_.c_str(), 0755), 0);
    const std::string locked = directory_ + "/locked";
    ASSERT_EQ(::mkdir(locked.c_str(), 0000), 0);
    const std::string unreadable = Write("unreadable.s19", Slurp(kExamples + "/keyboard-small.s19"));
    ASSERT_EQ(::chmod(unreadable.c_str(), 0000), 0);
    struct Case {
        std::string file;
        std::string message;
    };
    for (const Case& c : {
             Case{locked + "/image.s19", "Error: The file \"" + locked + "/image.s19\" could not be found. (" + locked +
                                             "/image.s19: Permission denied)\n"},
             Case{unreadable, "An error occurred while trying to open \"" + Lower(unreadable) +
                                  "\".\n\nMake sure this file has not been opened by another application. (" +
                                  unreadable + ": Permission denied)\n"},
         }) {
        const std::string command = asUser + Quote(TAVEXDL_CLI) + " check " + Quote(c.file);
        const std::string err = directory_ + "/err";
        const std::string json = directory_ + "/json";
        const int status = std::system((command + " 2>" + err + " >/dev/null").c_str());
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1) << c.file;
        EXPECT_EQ(Slurp(err), c.message);
        std::system((command + " --json >" + json + " 2>/dev/null").c_str());
        EXPECT_NE(Slurp(json).find(",\"detail\":\"" + c.file + ": Permission denied\",\"reason\":\"permission\","),
                  std::string::npos)
            << Slurp(json);
    }
    ::chmod(locked.c_str(), 0700);
}

// A check only reads: another check of the file at once (a shared lock) does
// not keep it out, a download (which has its image to itself) does.
TEST_F(CheckCli, SharesItsImageWithOtherChecksButNotWithADownload)
{
    const std::string image = Write("shared.s19", Slurp(kExamples + "/keyboard-small.s19"));
    const int held = ::open(image.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_SH | LOCK_NB), 0);
    EXPECT_EQ(Cli({"check", image}).exitCode, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    const CliRun refused = Cli({"check", image});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("(" + image + ": in use by another program)"), std::string::npos) << refused.err;
    ::close(held);
}

TEST_F(CheckCli, AnswersUsageErrorsWithExitCodeTwo)
{
    const std::string image = kExamples + "/keyboard-small.s19";
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {}, {"flash"}, {"check"}, {"check", image, "--hardware"}, {"check", image, "--hardware", "256"},
             {"check", image, "--hardware", "-1"}, {"check", image, "--hardware", "1x"}, {"check", image, "--fast"},
             {"check", image, image}, {"check", image, "--flash-out"}, {"check", image, "--flash-out", "--json"},
             {"check", "--", image, "--json"}, {"check", image, "--flash-out", ""}}) {
        const CliRun run = Cli(arguments);
        EXPECT_EQ(run.exitCode, 2) << testing::PrintToString(arguments);
        EXPECT_NE(run.err.find("usage: tavexdl-cli check FILE"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    // The listing would be written over the image it is made from.
    const std::string copy = Write("copy.s19", Slurp(image));
    const std::string link = directory_ + "/listing";
    ASSERT_EQ(::symlink(copy.c_str(), link.c_str()), 0);
    const CliRun overImage = Cli({"check", copy, "--flash-out", link});
    EXPECT_EQ(overImage.exitCode, 2);
    EXPECT_NE(overImage.err.find("--flash-out names the image file"), std::string::npos) << overImage.err;
    EXPECT_EQ(Slurp(copy), Slurp(image));

    const CliRun help = Cli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("usage:"), std::string::npos);
}

} // namespace
} // namespace tavex
