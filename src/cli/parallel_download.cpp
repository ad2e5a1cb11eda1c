#include "cli/parallel_download.h"

#include "cli/cli_control_host.h"
#include "cli/cli_session_host.h"
#include "cli/device_wait.h"
#include "cli/exit_codes.h"
#include "cli/parallel_board.h"
#include "cli/signal_relay.h"
#include "platform/posix_image_file.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QSocketNotifier>
#include <QTimer>

#include <atomic>
#include <sys/stat.h>

#include <memory>
#include <unistd.h>

namespace tavex {

namespace {

// Hands a session's events to the board on the main thread.
class ForwardingReporter final : public IDownloadReporter {
public:
    ForwardingReporter(ParallelBoard& board, std::size_t row) : board_(board), row_(row) {}
    void Status(const std::string& text) override { Post([=, this] { board_.Status(row_, text); }); }
    void Progress(int percent) override { Post([=, this] { board_.Progress(row_, percent); }); }
    void Message(const std::string& text) override { Post([=, this] { board_.Message(row_, text); }); }
    void End(bool) override {}

private:
    template <class Call>
    void Post(Call call)
    {
        QMetaObject::invokeMethod(&board_, std::move(call), Qt::QueuedConnection);
    }
    ParallelBoard& board_;
    std::size_t row_;
};

// One device's session, run on its own thread.
class DeviceWorker final : public QObject {
public:
    DeviceWorker(const DownloadOptions& options, std::size_t row, ParallelBoard& board)
        : options_(options), target_(options.targets[row]), row_(row), board_(board), reporter_(board, row)
    {
    }

    // One download, or with --loop one after another until stopped.
    void Run()
    {
        do {
            QElapsedTimer clock;
            clock.start();
            const bool silent = RunSession();
            const double seconds = static_cast<double>(clock.elapsed()) / 1000.0;
            QMetaObject::invokeMethod(
                &board_,
                [board = &board_, row = row_, silent, seconds, hardware = hardware_] {
                    board->Finished(row, silent, seconds, hardware);
                },
                Qt::QueuedConnection);
        } while (options_.loop && WaitForNextKeyboard());
        QMetaObject::invokeMethod(&board_, [board = &board_, row = row_] { board->Stopped(row); },
                                  Qt::QueuedConnection);
    }

    // From any thread: ends a loop at once, and gives the running session
    // the Cancel command in its own thread.
    void Cancel()
    {
        stopRequested_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (session_ != nullptr) {
                    session_->OnOK();
                }
            },
            Qt::QueuedConnection);
    }

    // The operator's Enter: the next keyboard is on a fixed cable.
    void RequestNext() { nextRequested_ = true; }

private:
    // The device goes away and comes back (a keyboard unplugged and the next
    // one plugged in), or the operator presses Enter. False when stopped.
    bool WaitForNextKeyboard()
    {
        const std::string device = target_.DevicePath();
        bool wentAway = false;
        while (!stopRequested_) {
            if (nextRequested_.exchange(false)) {
                return true;
            }
            struct stat attributes {};
            const bool present = ::stat(device.c_str(), &attributes) == 0;
            wentAway = wentAway || !present;
            if (wentAway && present && WaitForDevice(device, 5)) {
                return true;
            }
            QThread::msleep(100);
        }
        return false;
    }

    bool RunSession()
    {
        const std::string device = target_.DevicePath();
        if (options_.waitSeconds > 0 && !WaitForDevice(device, options_.waitSeconds)) {
            reporter_.Message(DeviceNeverCameMessage(device, options_.waitSeconds));
            return false;
        }
        QEventLoop loop;
        CliSessionHost host(reporter_, options_.file, target_.comNumber > 0 ? target_.comNumber - 1 : 0,
                            [&loop] { loop.quit(); });
        CliControlHost controls(target_, options_.trace);
        // The sessions share the image among themselves; it stays locked
        // against programs that would have it to themselves.
        PosixImageFiles files(PosixImageFiles::Sharing::SharedAmongReaders);
        DownloadSession session(host, controls, files);
        host.Attach(session);
        session_ = &session;
        session.OnInitSession();
        if (!session.IsClosed()) {
            session.OnDownload();
            if (session.State() != bpStateNONE) {
                loop.exec();
            }
        }
        session_ = nullptr;
        const auto& id = session.portHandler.KeyboardId();
        hardware_ = id[0] == 'K' && id[1] == 'B' ? id[6] : -1;
        return host.MessagesShown() == 0;
    }

    const DownloadOptions& options_;
    DownloadTarget target_;
    std::size_t row_;
    ParallelBoard& board_;
    ForwardingReporter reporter_;
    DownloadSession* session_ = nullptr;
    int hardware_ = -1;
    std::atomic<bool> stopRequested_ = false;
    std::atomic<bool> nextRequested_ = false;
};

BoardStyle StyleFor(const DownloadOptions& options)
{
    if (options.json) {
        return BoardStyle::Json;
    }
    return ::isatty(STDOUT_FILENO) ? BoardStyle::Table : BoardStyle::Lines;
}

} // namespace

int RunParallelDownloads(const DownloadOptions& options)
{
    std::vector<std::string> devices;
    for (const DownloadTarget& target : options.targets) {
        devices.push_back(target.Label());
    }
    ParallelBoard board(devices, StyleFor(options), options.file, options.logFile);

    std::vector<std::unique_ptr<QThread>> threads;
    std::vector<std::unique_ptr<DeviceWorker>> workers;
    for (std::size_t row = 0; row < options.targets.size(); ++row) {
        auto worker = std::make_unique<DeviceWorker>(options, row, board);
        auto thread = std::make_unique<QThread>();
        worker->moveToThread(thread.get());
        QObject::connect(thread.get(), &QThread::started, worker.get(), [w = worker.get()] { w->Run(); });
        workers.push_back(std::move(worker));
        threads.push_back(std::move(thread));
    }

    bool interrupted = false;
    SignalRelay relay([&] {
        interrupted = true;
        for (const auto& worker : workers) {
            worker->Cancel();
        }
    });
    std::unique_ptr<QSocketNotifier> enter;
    if (options.loop) {
        enter = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
        QObject::connect(enter.get(), &QSocketNotifier::activated, &board, [&] {
            char bytes[256];
            if (::read(STDIN_FILENO, bytes, sizeof bytes) <= 0) {
                enter->setEnabled(false);  // no operator: the end of stdin
                return;
            }
            for (const auto& worker : workers) {
                worker->RequestNext();
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
    for (const auto& thread : threads) {
        thread->start();
    }
    QCoreApplication::exec();
    for (const auto& thread : threads) {
        thread->quit();
        thread->wait();
    }
    board.PrintSummary();
    if (!board.AllSilent()) {
        return kExitInvalid;
    }
    // A station loop ends with Ctrl-C as a matter of course.
    return interrupted && !options.loop ? 130 : kExitValid;
}

} // namespace tavex
