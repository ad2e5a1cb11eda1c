// The device going away while the port is open: one notification, a closed
// port, and a quiet event loop afterwards.

#include "control_fixture.h"

#include <QSerialPort>

#include <sys/resource.h>

namespace tavex::test {
namespace {

using namespace std::chrono_literals;

std::chrono::microseconds ProcessCpuTime()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto micros = [](const timeval& time) {
        return std::chrono::seconds(time.tv_sec) + std::chrono::microseconds(time.tv_usec);
    };
    return micros(usage.ru_utime) + micros(usage.ru_stime);
}

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
        QtCommControl lost(line.SlaveDevice());
        std::vector<std::int16_t> seen;
        lost.SetOnComm([&] { seen.push_back(lost.GetCommEvent()); });
        int portErrors = 0;
        const QSerialPort* port = lost.findChild<QSerialPort*>();
        ASSERT_NE(port, nullptr);
        QObject::connect(port, &QSerialPort::errorOccurred, [&](QSerialPort::SerialPortError error) {
            portErrors += error == QSerialPort::NoError ? 0 : 1;
        });
        lost.SetRThreshold(10);
        lost.SetPortOpen(true);
        line.Write(GetParam().partialReply);
        RunEventsFor(20ms);

        portErrors = 0;  // those of the open (modem lines a pseudo-terminal lacks) are no loss
        line.CloseMaster();
        const auto cpuBefore = ProcessCpuTime();
        EXPECT_TRUE(RunEventsUntil([&] { return !seen.empty(); }, 1s));
        RunEventsFor(300ms);
        const auto cpuUsed = ProcessCpuTime() - cpuBefore;

        EXPECT_EQ(seen, (std::vector<std::int16_t>{comm_event::kDcb}));
        EXPECT_FALSE(lost.GetPortOpen());
        EXPECT_LE(portErrors, 3);
        EXPECT_LT(cpuUsed, 150ms) << "the event loop spun after the loss";
        EXPECT_THROW(lost.GetInput(), CommControlError);
    }
}

INSTANTIATE_TEST_SUITE_P(Replies, DeviceLoss,
                         testing::Values(LossCase{"silent", ""}, LossCase{"mid_reply", "\x06\x01\x02"}),
                         [](const testing::TestParamInfo<LossCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace tavex::test
