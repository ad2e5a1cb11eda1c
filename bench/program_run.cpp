#include "program_run.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavex::bench {

namespace {

constexpr int kExecFailedStatus = 127;

// Never returns: the child either becomes the program or reports through
// `errorPipe` the errno of its failed exec, or of the failed open of
// `errorPath` (null, or the file that takes stderr).
[[noreturn]] void BecomeProgram(char* const* argv, const char* errorPath, int errorPipe)
{
    const int devNull = ::open("/dev/null", O_WRONLY);
    if (devNull >= 0) {
        ::dup2(devNull, STDOUT_FILENO);
        ::dup2(devNull, STDERR_FILENO);
        if (devNull > STDERR_FILENO) {
            ::close(devNull);
        }
    }
    if (errorPath != nullptr) {
        const int errorFile = ::open(errorPath, O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (errorFile < 0) {
            const int error = errno;
            [[maybe_unused]] const ssize_t written = ::write(errorPipe, &error, sizeof error);
            ::_exit(kExecFailedStatus);
        }
        ::dup2(errorFile, STDERR_FILENO);
        if (errorFile > STDERR_FILENO) {
            ::close(errorFile);
        }
    }
    ::execvp(argv[0], argv);
    const int error = errno;
    [[maybe_unused]] const ssize_t written = ::write(errorPipe, &error, sizeof error);
    ::_exit(kExecFailedStatus);
}

// The exec's errno, or 0 once the pipe closes on a successful exec.
int ExecError(int errorPipe)
{
    int error = 0;
    ssize_t got = 0;
    do {
        got = ::read(errorPipe, &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

void WaitFor(pid_t child, ProgramRun& run)
{
    int status = 0;
    struct rusage usage {};
    while (::wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakResidentKiB = usage.ru_maxrss;  // Linux counts it in KiB
}

// Pointers into `arguments`, null-terminated, as execvp takes them.
std::vector<char*> ArgumentVector(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    return argv;
}

ProgramRun Run(const std::vector<std::string>& arguments, const char* errorPath)
{
    ProgramRun run;
    int errorPipe[2];
    if (arguments.empty() || ::pipe2(errorPipe, O_CLOEXEC) != 0) {
        run.failure = "no pipe to the child";
        return run;
    }
    // Built before the fork, so that the child makes only async-signal-safe calls.
    std::vector<char*> argv = ArgumentVector(arguments);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(errorPipe[0]);
        BecomeProgram(argv.data(), errorPath, errorPipe[1]);
    }
    ::close(errorPipe[1]);
    if (child < 0) {
        run.failure = std::string("fork: ") + std::strerror(errno);
        ::close(errorPipe[0]);
        return run;
    }
    const int execError = ExecError(errorPipe[0]);
    ::close(errorPipe[0]);
    WaitFor(child, run);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.started = execError == 0;
    if (!run.started) {
        run.failure = arguments[0] + ": " + std::strerror(execError);
    }
    return run;
}

} // namespace

ProgramRun RunQuietly(const std::vector<std::string>& arguments) { return Run(arguments, nullptr); }

ProgramRun RunWithStderrTo(const std::vector<std::string>& arguments, const std::string& errorPath)
{
    return Run(arguments, errorPath.c_str());
}

} // namespace tavex::bench
