#pragma once

// What the download session needs from the window that hosts it: the
// message queue, the window timer, the clock, pauses, message boxes and the
// controls. The desktop dialog, the command line and the tests each provide
// one.

#include "text/error_category.h"

#include <cstdint>
#include <string>

namespace tavex {

class ITickSource {
public:
    virtual ~ITickSource() = default;
    // Milliseconds since some fixed moment; wraps at 2^32.
    virtual std::uint32_t TickCount() = 0;
};

// What every host has: the thread's message queue, its timer, the clock and
// pauses.
class ISessionHost : public ITickSource {
public:
    // Queues the step message; it runs after the current handler returns.
    virtual void PostStepMessage() = 0;

    // Starts the window timer with this identifier; answers the identifier,
    // or 0 when no timer could be had.
    virtual unsigned StartTimer(unsigned timerId, unsigned periodMs) = 0;
    virtual bool StopTimer(unsigned timerId) = 0;

    // Blocks the thread: nothing else is handled meanwhile.
    virtual void Pause(unsigned milliseconds) = 0;
};

// What the session shows and asks of its window. A host without the input
// controls (a command line) leaves the three of them alone.
class ISessionWindow {
public:
    virtual ~ISessionWindow() = default;

    // A modal message box with an OK button and the warning icon, captioned
    // with the application's name. Steps, ticks and notifications go on
    // being handled while it is open. `detail`, when its text is not empty,
    // is the system's reason behind the message, naming the device or file.
    virtual void ShowMessage(const std::string& text, const SystemReason& detail) = 0;

    virtual void SetStatusLine(const std::string& text) = 0;
    virtual void SetProgress(int percent) = 0;
    // The COM list (repainted at once), the file field, Browse and Download.
    virtual void EnableInputControls(bool) {}
    virtual void SetButtonText(const std::string&) {}
    virtual void FillComList(int, int) {}
    virtual int ComSelection() = 0;
    virtual std::string FileFieldText() = 0;

    // Closes the window with this result; the application then ends.
    virtual void EndDialog(int endCode) = 0;
};

} // namespace tavex
