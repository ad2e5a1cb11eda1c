#pragma once

// A QtCommControl on the slave side of a fresh pseudo-terminal, with every
// notification recorded by its CommEvent.

#include "event_loop_wait.h"
#include "pseudo_terminal.h"
#include "serial/qt/comm_control.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>
#include <vector>

namespace tavex::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes BytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

struct ControlFixture : testing::Test {
    ControlFixture()
    {
        control.SetOnComm([this] { events.push_back(control.GetCommEvent()); });
    }

    // Waits for the notification count to reach count, then a little longer
    // so that any surplus shows.
    void AwaitEvents(std::size_t count)
    {
        RunEventsUntil([&] { return events.size() >= count; });
        RunEventsFor(std::chrono::milliseconds(100));
    }

    PseudoTerminal peer;
    QtCommControl control{peer.SlaveDevice()};
    std::vector<std::int16_t> events;
};

} // namespace tavex::test
