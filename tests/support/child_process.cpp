#include "support/child_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace tavex::test {

namespace {

constexpr int kPollStepMs = 5;

using Clock = std::chrono::steady_clock;

int MillisLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Reads what the pipe has within `timeoutMs`; false at its end or on timeout.
bool ReadSome(int fd, std::string& into, int timeoutMs)
{
    pollfd readable{fd, POLLIN, 0};
    if (::poll(&readable, 1, timeoutMs) <= 0) {
        return false;
    }
    char bytes[512];
    const ssize_t got = ::read(fd, bytes, sizeof bytes);
    if (got <= 0) {
        return false;
    }
    into.append(bytes, static_cast<std::size_t>(got));
    return true;
}

} // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments, OutPipe outPipe)
{
    int in[2];
    int out[2];
    int err[2];
    // Close-on-exec: the ends this process keeps must not leak into the
    // programs started after this one.
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
        throw std::runtime_error("no pipes for the program");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) {
        posix_spawn_file_actions_addclose(&actions, fd);
    }
    std::vector<std::string> words = {program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const int spawned = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (outPipe == OutPipe::Stallable) {
        // Opened anew rather than duplicated: not blocking is a property of
        // the open file, and the program's own end must go on blocking.
        const std::string writingEnd = "/proc/self/fd/" + std::to_string(out[1]);
        outFiller_ = ::open(writingEnd.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    input_ = in[1];
    out_.Attach(out[0]);
    err_.Attach(err[0]);
    if (spawned != 0) {
        throw std::runtime_error("cannot start " + program);
    }
    if (outPipe == OutPipe::Stallable && outFiller_ < 0) {
        throw std::runtime_error("no second writing end for the program's stdout");
    }
}

ChildProcess::~ChildProcess()
{
    if (Running()) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    ::close(input_);
    if (outFiller_ >= 0) {
        ::close(outFiller_);
    }
}

void ChildProcess::StallOut()
{
    if (outFiller_ < 0) {
        throw std::logic_error("StallOut needs OutPipe::Stallable, once");
    }
    // Up to PIPE_BUF a write that does not block goes in whole or not at
    // all: whole pages while a free one is left, then byte by byte into
    // what the last page has left.
    const std::string page(4096, '\0');
    std::size_t filled = 0;
    for (const std::size_t chunk : {page.size(), std::size_t{1}}) {
        while (::write(outFiller_, page.data(), chunk) == static_cast<ssize_t>(chunk)) {
            filled += chunk;
        }
    }
    ::close(outFiller_);
    outFiller_ = -1;
    out_.SkipFiller(filled);
}

void ChildProcess::WriteInput(const std::string& text) const
{
    [[maybe_unused]] const ssize_t written = ::write(input_, text.data(), text.size());
}

ChildProcess::PipeReader::~PipeReader() { Close(); }

void ChildProcess::PipeReader::Close()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool ChildProcess::PipeReader::ReadMore(int timeoutMs)
{
    const std::size_t from = buffer_.size();
    if (fd_ < 0 || !ReadSome(fd_, buffer_, timeoutMs)) {
        return false;
    }
    DropFiller(from);
    return true;
}

void ChildProcess::PipeReader::DropFiller(std::size_t from)
{
    std::size_t kept = from;
    for (std::size_t i = from; i < buffer_.size(); ++i) {
        if (fillerLeft_ > 0 && buffer_[i] == '\0') {
            --fillerLeft_;
        } else {
            buffer_[kept++] = buffer_[i];
        }
    }
    buffer_.resize(kept);
}

std::string ChildProcess::PipeReader::ReadLine(int timeoutMs)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::size_t end = buffer_.find('\n');
    while (end == std::string::npos && ReadMore(MillisLeft(deadline))) {
        end = buffer_.find('\n');
    }
    if (end == std::string::npos) {
        return "";
    }
    std::string line = buffer_.substr(0, end);
    buffer_.erase(0, end + 1);
    return line;
}

std::string ChildProcess::PipeReader::ReadToEnd()
{
    while (ReadMore(1000)) {
    }
    return std::exchange(buffer_, std::string());
}

void ChildProcess::Signal(int signal) const { ::kill(pid_, signal); }

bool ChildProcess::Running() { return Wait(0) == -1; }

int ChildProcess::Wait(int timeoutMs)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (status_ == -1) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -2;
            break;
        }
        if (MillisLeft(deadline) == 0) {
            return -1;
        }
        ::poll(nullptr, 0, kPollStepMs);
    }
    return status_;
}

} // namespace tavex::test
