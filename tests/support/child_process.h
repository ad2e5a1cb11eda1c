#pragma once

// A program run as a child process, its stdout and stderr read through pipes.

#include <cstddef>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tavex::test {

// Stallable keeps a writing end of the stdout pipe here until StallOut, so
// that the pipe can be filled as a reader that stops reading leaves it.
enum class OutPipe { Plain, Stallable };

class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                 OutPipe outPipe = OutPipe::Plain);
    ~ChildProcess();  // kills the program if it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next line of stdout or stderr without its line end; empty after `timeoutMs`.
    std::string ReadLine(int timeoutMs) { return out_.ReadLine(timeoutMs); }
    std::string ReadErrLine(int timeoutMs) { return err_.ReadLine(timeoutMs); }

    // Closes the reading end of stdout, as a reader that quits early does
    // (`| head -1`): the program's further writes there fail.
    void CloseOut() { out_.Close(); }

    // Fills the stdout pipe to the brim, as a reader that has stopped reading
    // (a paused terminal, a pipe nobody reads) leaves it: the program's next
    // write there blocks until this side reads again. The reads take the
    // filler out unseen. Once, and only with OutPipe::Stallable.
    void StallOut();

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
        // `bytes` NUL bytes of filler are in the pipe among the program's
        // output, which never holds one; they are dropped as they come.
        void SkipFiller(std::size_t bytes) { fillerLeft_ += bytes; }

    private:
        bool ReadMore(int timeoutMs);
        void DropFiller(std::size_t from);

        int fd_ = -1;
        std::string buffer_;
        std::size_t fillerLeft_ = 0;
    };

    pid_t pid_ = -1;
    int input_ = -1;
    int outFiller_ = -1;  // with OutPipe::Stallable, until StallOut
    int status_ = -1;
    PipeReader out_;
    PipeReader err_;
};

} // namespace tavex::test
