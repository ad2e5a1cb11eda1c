#include "cli/output/output_queue.h"

#include <iterator>
#include <utility>

namespace tavex {

void OutputQueue::Push(ConsoleWrite write)
{
    if (write.redraws) {
        DropObsoleteRedraw(write);
    }
    waiting_.push_back(std::move(write));
}

ConsoleWrite OutputQueue::Pop()
{
    ConsoleWrite oldest = std::move(waiting_.front());
    waiting_.pop_front();
    return oldest;
}

// Only among the redraws after the last kept write: a kept write may count
// on the redraw before it being on the screen (the line feed that leaves the
// final status standing, the end event after the last progress).
void OutputQueue::DropObsoleteRedraw(const ConsoleWrite& newer)
{
    for (auto it = waiting_.end(); it != waiting_.begin() && std::prev(it)->redraws;) {
        --it;
        if (it->stream == newer.stream && it->redraws == newer.redraws) {
            waiting_.erase(it);
            return;
        }
    }
}

} // namespace tavex
