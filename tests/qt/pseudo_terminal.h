#pragma once

// The far end of a serial line for the tests: the master side of a
// pseudo-terminal, whose slave device the control under test opens.

#include <QString>

#include <chrono>
#include <string>
#include <string_view>
#include <termios.h>

namespace tavex::test {

class PseudoTerminal {
public:
    PseudoTerminal();  // throws std::runtime_error when no pseudo-terminal can be had
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    QString SlaveDevice() const { return QString::fromStdString(slavePath_); }
    const std::string& SlavePath() const { return slavePath_; }

    // Sends bytes to whoever has the slave open.
    void Write(std::string_view bytes);

    // Up to count bytes that arrived from the slave side, waiting at most
    // limit in poll only: the test's event loop does not run meanwhile.
    std::string ReadWithoutEvents(std::size_t count, std::chrono::milliseconds limit);

    // Hangs the line up: the slave side sees its device go away.
    void CloseMaster();

    // The line settings as the slave device has them now.
    termios SlaveTermios() const;

    // A descriptor of the slave device of the test's own; the caller closes it.
    int OpenSlave() const;

private:
    int master_ = -1;
    std::string slavePath_;
};

// A descriptor of the slave device held by the test itself, closed with it.
class SlaveDescriptor {
public:
    explicit SlaveDescriptor(const PseudoTerminal& terminal) : fd_(terminal.OpenSlave()) {}
    ~SlaveDescriptor();
    SlaveDescriptor(const SlaveDescriptor&) = delete;
    SlaveDescriptor& operator=(const SlaveDescriptor&) = delete;

    int Fd() const { return fd_; }

private:
    int fd_;
};

} // namespace tavex::test
