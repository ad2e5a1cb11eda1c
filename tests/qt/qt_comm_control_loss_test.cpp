// The device going away while the port is open: one notification, a closed
// port, and an idle event loop afterwards.

#include "control_fixture.h"
#include "serial/qt/port_backend.h"

#include <QSerialPort>

namespace tavex::test {
namespace {

using namespace std::chrono_literals;

// An idle loop goes round a few times in 300 ms; one that spins on the hung-up
// descriptor goes round tens of thousands of times.
constexpr std::size_t kMostIdleTurns = 100;

struct LossCase {
    const char* name;
    std::string partialReply;  // what the peer sent before hanging up

    friend void PrintTo(const LossCase& value, std::ostream* out) { *out << value.name; }
};

class DeviceLoss : public ControlFixture, public testing::WithParamInterface<LossCase> {};

// The pseudo-terminal reports a hang-up either as one ResourceError or as a
// ReadError at every event-loop turn, depending on timing; each repetition
// gives both their chance.
TEST_P(DeviceLoss, GivesOneDcbNotificationAndClosesThePort)
{
    for (int repetition = 0; repetition < 5; ++repetition) {
        SCOPED_TRACE(repetition);
        PseudoTerminal line;
        // Keeps the pseudo-terminal's number from going to another test
        // process while Qt, closing the lost port, still has the number's
        // lock file: that process's open would be refused.
        const SlaveDescriptor numberHeld(line);
        auto backend = std::make_unique<QtPortBackend>();
        const QSerialPort* port = backend->findChild<QSerialPort*>();
        ASSERT_NE(port, nullptr);
        CommControl lost(std::move(backend));
        lost.SetDevicePath(line.SlaveDevice().toStdString());
        std::vector<std::int16_t> seen;
        lost.SetOnComm([&] { seen.push_back(lost.GetCommEvent()); });
        int portErrors = 0;
        QObject::connect(port, &QSerialPort::errorOccurred, [&](QSerialPort::SerialPortError error) {
            portErrors += error == QSerialPort::NoError ? 0 : 1;
        });
        lost.SetRThreshold(10);
        lost.SetPortOpen(true);
        line.Write(GetParam().partialReply);
        RunEventsFor(20ms);

        portErrors = 0;  // those of the open (modem lines a pseudo-terminal lacks) are no loss
        line.CloseMaster();
        EXPECT_TRUE(RunEventsUntil([&] { return !seen.empty(); }, 1s));
        const std::size_t turns = EventLoopTurnsFor(300ms);

        EXPECT_EQ(seen, (std::vector<std::int16_t>{comm_event::kDcb}));
        EXPECT_FALSE(lost.GetPortOpen());
        EXPECT_LE(portErrors, 3);
        EXPECT_LE(turns, kMostIdleTurns) << "the event loop spun after the loss";
        EXPECT_THROW(lost.GetInput(), CommControlError);
    }
}

INSTANTIATE_TEST_SUITE_P(Replies, DeviceLoss,
                         testing::Values(LossCase{"silent", ""}, LossCase{"mid_reply", "\x06\x01\x02"}),
                         [](const testing::TestParamInfo<LossCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace tavex::test
