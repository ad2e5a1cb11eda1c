// Closing the port after a write: the device's earlier line settings come
// back only once the bytes have had their time on the wire.

#include "control_fixture.h"

#include "serial/line_settings.h"
#include "serial/line_free_time.h"

namespace tavex::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

using ControlClose = ControlFixture;

struct CloseCase {
    const char* settings;
    std::size_t bytes;  // half a second's worth at those settings
};

// A pseudo-terminal takes bytes at once and reports its queue empty, as a
// USB adapter's driver does while the adapter still sends: the wire time is
// what the close has to go by.
TEST_F(ControlClose, DoesNotReturnBeforeTheBytesWrittenHadTheirTimeOnTheWire)
{
    const CloseCase cases[] = {{"19200,N,8,1", 960}, {"9600,O,8,2", 400}};
    for (const CloseCase& close : cases) {
        SCOPED_TRACE(close.settings);
        control.SetSettings(close.settings);
        control.SetPortOpen(true);
        const Clock::time_point written = Clock::now();
        control.SetOutput(Bytes(close.bytes, 0x55));
        control.SetPortOpen(false);
        const Clock::duration took = Clock::now() - written;

        EXPECT_GE(took, WireTime(close.bytes, *ParseLineSettings(close.settings)));
        EXPECT_LT(took, 5s);
        EXPECT_EQ(peer.ReadWithoutEvents(close.bytes, 2s).size(), close.bytes);
    }
}

TEST_F(ControlClose, GivesUpOnBytesThatWouldTakeLongerThanACloseMayWait)
{
    control.SetSettings("50,N,8,1");  // 100 bytes take 20 s
    control.SetPortOpen(true);
    const Clock::time_point written = Clock::now();
    control.SetOutput(Bytes(100, 0x55));
    control.SetPortOpen(false);
    EXPECT_LT(Clock::now() - written, 5s);
    EXPECT_FALSE(control.GetPortOpen());
}

} // namespace
} // namespace tavex::test
