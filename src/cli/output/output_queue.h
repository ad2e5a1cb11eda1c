#pragma once

// The console's writes that wait for their reader, stdout's and stderr's in
// the one order they were made. A redraw that a newer one of the same makes
// obsolete goes while it still waits: a reader that lags behind is shown the
// newest, and one that has stopped reading costs at most one waiting redraw
// of each kind between two kept writes. Every other write is kept.

#include "cli/output/console_write.h"

#include <cstddef>
#include <deque>

namespace tavex {

class OutputQueue {
public:
    // Appends `write`; a redraw first drops a waiting redraw of the same,
    // when no kept write has come after that one.
    void Push(ConsoleWrite write);

    bool Empty() const { return waiting_.empty(); }
    std::size_t Size() const { return waiting_.size(); }

    // Takes out the oldest write. Not on an empty queue.
    ConsoleWrite Pop();

private:
    void DropObsoleteRedraw(const ConsoleWrite& newer);

    std::deque<ConsoleWrite> waiting_;
};

} // namespace tavex
