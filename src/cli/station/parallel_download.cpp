#include "cli/station/parallel_download.h"

#include "cli/download/descriptor_budget.h"
#include "cli/download/device_wait.h"
#include "cli/download/session_run.h"
#include "cli/download/signal_relay.h"
#include "cli/exit_codes.h"
#include "cli/station/parallel_board.h"
#include "cli/station/thread_mailbox.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QSocketNotifier>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include <memory>
#include <unistd.h>

namespace tavex {

namespace {

// Hands a session's events to the board on the main thread.
class ForwardingReporter final : public IDownloadReporter {
public:
    ForwardingReporter(ParallelBoard& board, ThreadMailbox& toBoard, std::size_t row)
        : board_(board), toBoard_(toBoard), row_(row)
    {
    }
    void Status(const std::string& text) override { Post([=, this] { board_.Status(row_, text); }); }
    void Progress(int percent) override { Post([=, this] { board_.Progress(row_, percent); }); }
    void Message(const std::string& text, const std::string& detail) override
    {
        Post([=, this] { board_.Message(row_, text, detail); });
    }
    void End(const DownloadOutcome& outcome) override { Post([=, this] { board_.Finished(row_, outcome); }); }

private:
    void Post(std::function<void()> call) { toBoard_.Post(std::move(call)); }
    ParallelBoard& board_;
    ThreadMailbox& toBoard_;
    std::size_t row_;
};

// One device's downloads, run on its own thread.
class DeviceWorker final : public QObject {
public:
    DeviceWorker(const DownloadOptions& options, std::size_t row, ParallelBoard& board, ThreadMailbox& toBoard)
        : options_(options), target_(options.targets[row]), row_(row), board_(board), toBoard_(toBoard),
          reporter_(board, toBoard, row)
    {
    }

    // One download, or with --loop one after another until stopped.
    void Run()
    {
        do {
            // The sessions share the image among themselves; it stays locked
            // against programs that would have it to themselves.
            SessionRun run(options_, target_, reporter_, PosixImageFiles::Sharing::SharedAmongReaders);
            run_ = &run;
            if (stopRequested_) {
                run.Cancel();  // a stop that came before run_ was there to take it
            }
            const DownloadOutcome outcome = run.Run();
            run_ = nullptr;
            reporter_.End(outcome);
        } while (options_.loop && WaitForNextKeyboard());
        toBoard_.Post([board = &board_, row = row_] { board->Stopped(row); });
    }

    // From any thread: ends a loop at once, and gives the running session
    // the Cancel command (or, the second time, the window's close) in its
    // own thread.
    void Cancel(bool close)
    {
        stopRequested_ = true;
        toWorker_.Post([this, close] {
            if (run_ != nullptr) {
                close ? run_->Close() : run_->Cancel();
            }
        });
    }

    // The operator's Enter, while this device waits for its next keyboard:
    // the next keyboard is on a fixed cable.
    void RequestNext() { nextRequested_ = true; }

private:
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
            struct stat attributes {};
            const bool present = ::stat(device.c_str(), &attributes) == 0;
            wentAway = wentAway || !present;
            if (wentAway && present && WaitForDevice(device, 5, stopped) == DeviceWait::Appeared) {
                return true;
            }
            QThread::msleep(50);
        }
        return false;
    }

    const DownloadOptions& options_;
    DownloadTarget target_;
    std::size_t row_;
    ParallelBoard& board_;
    ThreadMailbox& toBoard_;
    ThreadMailbox toWorker_{*this};
    ForwardingReporter reporter_;
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
    const std::string detail = std::strerror(EMFILE);
    board.Message(row, text, detail);
    outcome.message = MessageWithDetail(text, detail);
    board.Finished(row, outcome);
    board.Stopped(row);
}

BoardStyle StyleFor(const DownloadOptions& options)
{
    if (options.json) {
        return BoardStyle::Json;
    }
    return ::isatty(STDOUT_FILENO) ? BoardStyle::Table : BoardStyle::Lines;
}

} // namespace

int RunParallelDownloads(const DownloadOptions& options, StationLog& log)
{
    std::vector<std::string> devices;
    for (const DownloadTarget& target : options.targets) {
        devices.push_back(target.Label());
    }
    ParallelBoard board(devices, StyleFor(options), log);
    ThreadMailbox toBoard(board);

    std::vector<std::unique_ptr<QThread>> threads;
    std::vector<std::unique_ptr<DeviceWorker>> workers;
    for (std::size_t row = 0; row < options.targets.size(); ++row) {
        auto worker = std::make_unique<DeviceWorker>(options, row, board, toBoard);
        auto thread = std::make_unique<QThread>();
        worker->moveToThread(thread.get());
        QObject::connect(thread.get(), &QThread::started, worker.get(), [w = worker.get()] { w->Run(); });
        workers.push_back(std::move(worker));
        threads.push_back(std::move(thread));
    }

    // The first signal cancels every download, a second one closes them.
    bool interrupted = false;
    SignalRelay relay([&] {
        for (const auto& worker : workers) {
            worker->Cancel(interrupted);
        }
        interrupted = true;
    });
    if (!relay.Working()) {
        return kExitInvalid;
    }
    std::unique_ptr<QSocketNotifier> enter;
    if (options.loop) {
        enter = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
        QObject::connect(enter.get(), &QSocketNotifier::activated, &board, [&] {
            char bytes[256];
            if (::read(STDIN_FILENO, bytes, sizeof bytes) <= 0) {
                enter->setEnabled(false);  // no operator: the end of stdin
                return;
            }
            for (std::size_t row = 0; row < workers.size(); ++row) {
                if (board.TakeWaiting(row)) {
                    workers[row]->RequestNext();
                }
            }
        });
    }

    QTimer done;
    QObject::connect(&done, &QTimer::timeout, &board, [&] {
        if (board.AllStopped()) {
            QCoreApplication::exit(0);
        }
    });
    done.start(20);
    const std::size_t carried = DevicesTheDescriptorsCarry(threads.size());
    for (std::size_t row = 0; row < threads.size(); ++row) {
        if (row < carried) {
            threads[row]->start();
        } else {
            RefuseForDescriptors(board, row, options);
        }
    }
    QCoreApplication::exec();
    for (const auto& thread : threads) {
        thread->quit();
        thread->wait();
    }
    board.PrintSummary();
    return board.ExitCode();
}

} // namespace tavex
