#include "simulator_process.h"

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tavex::bench {

namespace {

std::string ReadAll(int fd)
{
    std::string text;
    char bytes[512];
    for (ssize_t got = ::read(fd, bytes, sizeof bytes); got > 0; got = ::read(fd, bytes, sizeof bytes)) {
        text.append(bytes, static_cast<std::size_t>(got));
    }
    return text;
}

} // namespace

SimulatorProcess::SimulatorProcess(const std::string& program, const std::vector<std::string>& options)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
    std::vector<std::string> words = {program, "--once"};
    words.insert(words.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const bool spawned = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    output_ = pipeFds[0];
    if (!spawned) {
        pid_ = -1;
        return;
    }
    for (char c = 0; ::read(output_, &c, 1) == 1 && c != '\n';) {
        device_ += c;
    }
}

SimulatorProcess::~SimulatorProcess()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (output_ >= 0) {
        ::close(output_);
    }
}

std::string SimulatorProcess::Finish()
{
    std::string summary = ReadAll(output_);
    if (pid_ > 0) {
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    return summary;
}

} // namespace tavex::bench
