#include "cli/station/parallel_download.h"

#include "cli/download/device_wait.h"
#include "cli/download/session_run.h"
#include "cli/exit_codes.h"
#include "cli/host/descriptor_budget.h"
#include "cli/host/device_access.h"
#include "cli/host/operator_enter.h"
#include "cli/host/signal_relay.h"
#include "cli/host/standard_descriptors.h"
#include "cli/host/thread_loop.h"
#include "cli/station/parallel_board.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace tavex {

namespace {

// Hands a session's events to the board on the main thread.
class ForwardingReporter final : public IDownloadReporter {
public:
    ForwardingReporter(ParallelBoard& board, ThreadLoop& toBoard, std::size_t row)
        : board_(board), toBoard_(toBoard), row_(row)
    {
    }
    void Status(const std::string& text) override { Post([=, this] { board_.Status(row_, text); }); }
    void Waiting(const std::string&, int seconds) override { Post([=, this] { board_.Awaiting(row_, seconds); }); }
    void Progress(int percent) override { Post([=, this] { board_.Progress(row_, percent); }); }
    void Message(const std::string& text, const SystemReason& detail) override
    {
        Post([=, this] { board_.Message(row_, text, detail); });
    }
    void End(const DownloadOutcome& outcome) override { Post([=, this] { board_.Finished(row_, outcome); }); }

private:
    void Post(std::function<void()> call) { toBoard_.Post(std::move(call)); }
    ParallelBoard& board_;
    ThreadLoop& toBoard_;
    std::size_t row_;
};

// One device's downloads, run on its own thread.
class DeviceWorker {
public:
    DeviceWorker(const DownloadOptions& options, std::size_t row, ParallelBoard& board, ThreadLoop& toBoard,
                 SnapshotCache& snapshots)
        : options_(options), target_(options.targets[row]), row_(row), board_(board), toBoard_(toBoard),
          reporter_(board, toBoard, row), snapshots_(snapshots)
    {
    }

    // One download, or with --loop one after another until stopped. The
    // stop reaches the running session through this thread's loop.
    void Run()
    {
        ThreadLoop loop;
        SetLoop(&loop);
        do {
            // The sessions share the image among themselves, file and copy;
            // it stays locked against programs that would have it to
            // themselves.
            SessionRun run(options_, target_, reporter_, SystemImageFiles::Sharing::SharedAmongReaders,
                           &snapshots_);
            run_ = &run;
            if (stopRequested_) {
                run.Cancel();  // a stop that came before run_ was there to take it
            }
            const DownloadOutcome outcome = run.Run();
            run_ = nullptr;
            reporter_.End(outcome);
        } while (options_.loop && WaitForNextKeyboard());
        SetLoop(nullptr);
        toBoard_.Post([board = &board_, row = row_, toBoard = &toBoard_] {
            board->Stopped(row);
            if (board->AllStopped()) {
                toBoard->Quit();
            }
        });
    }

    // From any thread: ends a loop at once, and gives the running session
    // the Cancel command (or, the second time, the window's close) in its
    // own thread.
    void Cancel(bool close)
    {
        stopRequested_ = true;
        const std::lock_guard lock(loopMutex_);
        if (loop_ != nullptr) {
            loop_->Post([this, close] {
                if (run_ != nullptr) {
                    close ? run_->Close() : run_->Cancel();
                }
            });
        }
    }

    // The operator's Enter, while this device waits for its next keyboard:
    // the next keyboard is on a fixed cable.
    void RequestNext() { nextRequested_ = true; }

private:
    void SetLoop(ThreadLoop* loop)
    {
        const std::lock_guard lock(loopMutex_);
        loop_ = loop;
    }

    // The device goes away and comes back (a keyboard unplugged and the next
    // one plugged in), or the operator presses Enter. False when stopped.
    // An Enter counts only once the board has said that the device waits:
    // one typed during the download before must not start the same
    // keyboard again.
    bool WaitForNextKeyboard()
    {
        nextRequested_ = false;
        toBoard_.Post([board = &board_, row = row_] { board->Waiting(row); });
        const std::string device = target_.DevicePath();
        const auto stopped = [this] { return stopRequested_.load(); };
        bool wentAway = false;
        while (!stopped()) {
            if (nextRequested_.exchange(false)) {
                return true;
            }
            const bool present = DevicePresent(device);
            wentAway = wentAway || !present;
            if (wentAway && present && WaitForDevice(device, 5, stopped) == DeviceWait::Appeared) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    const DownloadOptions& options_;
    DownloadTarget target_;
    std::size_t row_;
    ParallelBoard& board_;
    ThreadLoop& toBoard_;
    std::mutex loopMutex_;
    ThreadLoop* loop_ = nullptr;  // while the thread runs
    ForwardingReporter reporter_;
    SnapshotCache& snapshots_;
    SessionRun* run_ = nullptr;
    std::atomic<bool> stopRequested_ = false;
    std::atomic<bool> nextRequested_ = false;
};

// A device whose session the descriptors left cannot carry fails alone,
// before anything of it is opened.
void RefuseForDescriptors(ParallelBoard& board, std::size_t row, const DownloadOptions& options)
{
    DownloadOutcome outcome;
    outcome.image = options.file;
    outcome.device = options.targets[row].Label();
    const std::string text = "Error: The device \"" + outcome.device +
                             "\" was not started: too few file descriptors are left.";
    const SystemReason detail{std::strerror(EMFILE), ErrorCategory::kTooManyOpenFiles};
    board.Message(row, text, detail);
    outcome.message = MessageWithDetail(text, detail.text);
    outcome.reason = detail.category;
    board.Finished(row, outcome);
    board.Stopped(row);
}

BoardStyle StyleFor(const DownloadOptions& options)
{
    if (options.json) {
        return BoardStyle::Json;
    }
    return StandardOutputIsTerminal() ? BoardStyle::Table : BoardStyle::Lines;
}

} // namespace

int RunParallelDownloads(const DownloadOptions& options, StationLog& log)
{
    std::vector<std::string> devices;
    for (const DownloadTarget& target : options.targets) {
        devices.push_back(target.Label());
    }
    ThreadLoop mainLoop;
    ParallelBoard board(devices, StyleFor(options), log);
    SnapshotCache snapshots;
    std::vector<std::unique_ptr<DeviceWorker>> workers;
    for (std::size_t row = 0; row < options.targets.size(); ++row) {
        workers.push_back(std::make_unique<DeviceWorker>(options, row, board, mainLoop, snapshots));
    }

    // The first signal cancels every download, a second one closes them.
    bool interrupted = false;
    SignalRelay relay(mainLoop, [&] {
        for (const auto& worker : workers) {
            worker->Cancel(interrupted);
        }
        interrupted = true;
    });
    if (!relay.Working()) {
        return kExitInvalid;
    }
    std::optional<OperatorEnter> enter;
    if (options.loop) {
        enter.emplace(mainLoop, [&] {
            for (std::size_t row = 0; row < workers.size(); ++row) {
                if (board.TakeWaiting(row)) {
                    workers[row]->RequestNext();
                }
            }
        });
    }

    std::vector<std::thread> threads;
    const std::size_t carried = DevicesTheDescriptorsCarry(workers.size());
    for (std::size_t row = 0; row < workers.size(); ++row) {
        if (row < carried) {
            threads.emplace_back([worker = workers[row].get()] { worker->Run(); });
        } else {
            RefuseForDescriptors(board, row, options);
        }
    }
    if (!board.AllStopped()) {
        mainLoop.Run();
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    board.PrintSummary();
    return board.ExitCode();
}

} // namespace tavex
