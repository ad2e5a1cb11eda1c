// Closing the port after a write: the device's earlier line settings come
// back only once the bytes have had their time on the wire.

#include "control_fixture.h"

#include "serial/line_settings.h"
#include "serial/line_free_time.h"

#include <cerrno>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

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

// Writes to fd until the pseudo-terminal takes no more; answers how much.
// The kernel moves what was written on to the reader's side a moment later,
// which makes room again: full is when a pause has made none.
std::size_t FillToTheBrim(int fd)
{
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    std::size_t written = 0;
    for (bool tookMore = true; tookMore;) {
        tookMore = false;
        for (std::size_t block : {1024U, 1U}) {
            const std::string bytes(block, '\x33');
            for (ssize_t took = 0; (took = ::write(fd, bytes.data(), bytes.size())) > 0;) {
                written += static_cast<std::size_t>(took);
                tookMore = true;
            }
        }
        std::this_thread::sleep_for(20ms);
    }
    return written;
}

// Bytes the device has not taken yet hold the close, however short their
// wire time: here another writer has filled the pseudo-terminal, and its
// reader starts only after 400 ms.
TEST_F(ControlClose, WaitsForBytesTheDeviceHasNotTakenYet)
{
    const SlaveDescriptor otherWriter(peer);  // before the control claims the device
    control.SetPortOpen(true);
    const std::size_t filler = FillToTheBrim(otherWriter.Fd());
    control.SetOutput(Bytes(100, 0x55));  // 52 ms on the wire
    std::string drained;
    std::thread reader([&] {
        std::this_thread::sleep_for(400ms);
        drained = peer.ReadWithoutEvents(filler + 100, 3s);
    });
    const Clock::time_point closing = Clock::now();
    control.SetPortOpen(false);
    const Clock::duration took = Clock::now() - closing;
    reader.join();

    EXPECT_GE(took, 400ms);
    EXPECT_LT(took, 3s);
    ASSERT_EQ(drained.size(), filler + 100);
    EXPECT_EQ(drained.substr(filler), std::string(100, '\x55'));
}

// Qt tells a write the driver cannot take yet in the words of a device that
// is gone; the device is there, and the bytes go once there is room.
TEST_F(ControlClose, AFullQueueBeforeTheDeviceIsNoLoss)
{
    const SlaveDescriptor otherWriter(peer);
    control.SetPortOpen(true);
    const std::size_t filler = FillToTheBrim(otherWriter.Fd());
    control.SetOutput(Bytes(100, 0x55));
    RunEventsFor(50ms);
    EXPECT_EQ(peer.ReadWithoutEvents(filler, 2s).size(), filler);
    RunEventsFor(100ms);
    EXPECT_EQ(peer.ReadWithoutEvents(100, 2s), std::string(100, '\x55'));
    EXPECT_TRUE(control.GetPortOpen());
    EXPECT_TRUE(events.empty()) << "a notification for a full queue";
}

} // namespace
} // namespace tavex::test
