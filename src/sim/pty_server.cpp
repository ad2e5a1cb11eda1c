#include "sim/pty_server.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <poll.h>

namespace tavex {

namespace {

// How often to look again for a host while nobody has the device open:
// poll then reports a hang-up at once, so it cannot be the one waiting.
constexpr int kIdlePollMs = 20;
// How soon to try again when the line took only part of a reply.
constexpr int kFullLineRetryMs = 5;
constexpr std::size_t kReadSize = 4096;
// How long a vanishing keyboard leaves the host to read its last bytes.
constexpr int kVanishGraceMs = 1000;
constexpr std::uint64_t kMicrosPerMilli = 1000;
constexpr std::uint64_t kSpinMicros = 150;

} // namespace

PtyServer::PtyServer(PtyMaster& master, KeyboardModel& model, const StopSignal& stop, bool once)
    : master_(master), model_(model), stop_(stop), once_(once)
{
}

ServeEnd PtyServer::Run()
{
    while (true) {
        std::array<pollfd, 2> watched = {{{stop_.Fd(), POLLIN, 0}, {master_.Fd(), POLLIN, 0}}};
        const std::optional<timespec> timeout = PollTimeout();
        if (::ppoll(watched.data(), watched.size(), timeout ? &*timeout : nullptr, nullptr) < 0 && errno != EINTR) {
            return ServeEnd::Failed;
        }
        if (stop_.Raised()) {
            return ServeEnd::Stopped;
        }
        const short events = watched[1].revents;
        if ((events & POLLIN) != 0) {
            ReadHost();
        }
        hungUp_ = hungUp_ || (events & (POLLHUP | POLLERR)) != 0;
        if (hungUp_) {
            if (const std::optional<ServeEnd> end = EndSession()) {
                return *end;
            }
            WaitWhileNobodyListens();
        }
        if (const std::optional<ServeEnd> end = SendDue()) {
            return *end;
        }
    }
}

// To the microsecond: a paced reply is due every few tens of microseconds.
std::optional<timespec> PtyServer::PollTimeout() const
{
    const std::optional<std::uint64_t> due = replies_.NextDueMicros();
    if (!due) {
        return std::nullopt;  // a fresh device reports nothing until a host opens it
    }
    const std::uint64_t now = NowMicros();
    std::uint64_t waitMicros = *due > now ? *due - now : 0;
    if (lineFull_) {
        waitMicros = std::max<std::uint64_t>(waitMicros, kFullLineRetryMs * kMicrosPerMilli);
    } else {
        // The thread wakes some tens of microseconds after the time asked
        // for; the last stretch is waited out polling, so bytes leave on time.
        waitMicros = waitMicros > kSpinMicros ? waitMicros - kSpinMicros : 0;
    }
    return timespec{static_cast<time_t>(waitMicros / 1'000'000), static_cast<long>(waitMicros % 1'000'000) * 1000};
}

void PtyServer::ReadHost()
{
    std::array<std::uint8_t, kReadSize> bytes;
    std::size_t got = 0;
    LineRead read = LineRead::Bytes;
    // Drained, so that all a host wrote before closing is heard before its hang-up.
    while ((read = master_.Read(bytes.data(), bytes.size(), got)) == LineRead::Bytes) {
        sessionHeardBytes_ = true;
        // The host sets the speed before it writes, so the speed now is the
        // one these bytes were sent at.
        const std::uint64_t now = NowMicros();
        const KeyboardResponse response = model_.Receive(std::span(bytes.data(), got), master_.LineBaud(), now);
        replies_.Schedule(now, response);
    }
    hungUp_ = hungUp_ || read == LineRead::HungUp;
}

std::optional<ServeEnd> PtyServer::EndSession()
{
    // A host that opens the device and closes it without a word (a port scan)
    // has not had its session. The hang-up shows only while nobody has the
    // device open: a host reopening it before this loop looks again carries
    // on the session before.
    if (once_ && sessionHeardBytes_) {
        return ServeEnd::SessionOver;
    }
    if (sessionHeardBytes_) {
        std::fprintf(stderr, "tavexdl-kbsim: session %u over, waiting for the next host\n", ++sessionsOver_);
        model_.StartSession();
        replies_.Clear();
        lineFull_ = false;
        sessionHeardBytes_ = false;
    }
    hungUp_ = false;
    return std::nullopt;
}

std::optional<ServeEnd> PtyServer::SendDue()
{
    DueBytes due = replies_.TakeDue(NowMicros());
    const std::size_t written = due.bytes.empty() ? 0 : master_.Write(due.bytes.data(), due.bytes.size());
    lineFull_ = written < due.bytes.size();
    if (lineFull_) {
        replies_.PutBack(std::vector<std::uint8_t>(due.bytes.begin() + static_cast<std::ptrdiff_t>(written),
                                                   due.bytes.end()));
        return std::nullopt;
    }
    if (!due.vanish) {
        return std::nullopt;
    }
    master_.AwaitHostRead(kVanishGraceMs);
    return ServeEnd::Vanished;
}

void PtyServer::WaitWhileNobodyListens() const
{
    pollfd stop{stop_.Fd(), POLLIN, 0};
    ::poll(&stop, 1, kIdlePollMs);
}

std::uint64_t PtyServer::NowMicros() const
{
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count());
}

} // namespace tavex
