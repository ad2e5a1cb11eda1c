#pragma once

// A program run as a child process, its stdout and stderr read through pipes.

#include <string>
#include <sys/types.h>
#include <vector>

namespace tavex::test {

class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments);
    ~ChildProcess();  // kills the program if it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next line of stdout or stderr without its line end; empty after `timeoutMs`.
    std::string ReadLine(int timeoutMs) { return out_.ReadLine(timeoutMs); }
    std::string ReadErrLine(int timeoutMs) { return err_.ReadLine(timeoutMs); }

    // Closes the reading end of stdout, as a reader that quits early does
    // (`| head -1`): the program's further writes there fail.
    void CloseOut() { out_.Close(); }

    // Writes to the program's standard input, a pipe kept open until the end.
    void WriteInput(const std::string& text) const;

    void Signal(int signal) const;
    pid_t Pid() const { return pid_; }

    // The exit status once the program has ended, -1 if it has not within
    // `timeoutMs`, -2 if a signal ended it.
    int Wait(int timeoutMs);
    bool Running();

    // All of stdout or stderr after the lines read; call after Wait.
    std::string RestOfOut() { return out_.ReadToEnd(); }
    std::string Err() { return err_.ReadToEnd(); }

private:
    class PipeReader {
    public:
        ~PipeReader();
        void Attach(int fd) { fd_ = fd; }
        void Close();
        std::string ReadLine(int timeoutMs);
        std::string ReadToEnd();

    private:
        int fd_ = -1;
        std::string buffer_;
    };

    pid_t pid_ = -1;
    int input_ = -1;
    int status_ = -1;
    PipeReader out_;
    PipeReader err_;
};

} // namespace tavex::test
