#include "cli/station/station.h"

#include "cli/device/device_wait.h"
#include "cli/device/session_run.h"
#include "cli/exit_codes.h"
#include "cli/host/descriptor_budget.h"
#include "cli/host/device_access.h"
#include "cli/host/operator_enter.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace tavex {

namespace {

// Hands a session's events to the main thread.
class ForwardingReporter final : public IDownloadReporter {
public:
    ForwardingReporter(std::function<void(std::function<void()>)> post, IStationView& view,
                       std::function<void(const std::string&)> status, std::function<void(const DownloadOutcome&)> end,
                       std::size_t row)
        : post_(std::move(post)), view_(view), status_(std::move(status)), end_(std::move(end)), row_(row)
    {
    }
    void Status(const std::string& text) override { post_([=, this] { status_(text); }); }
    void Waiting(const std::string&, int seconds) override { post_([=, this] { view_.Awaiting(row_, seconds); }); }
    void Progress(int percent) override { post_([=, this] { view_.Progress(row_, percent); }); }
    void Message(const std::string& text, const SystemReason& detail) override
    {
        post_([=, this] { view_.Message(row_, text, detail); });
    }
    void End(const DownloadOutcome& outcome) override { post_([=, this] { end_(outcome); }); }

private:
    std::function<void(std::function<void()>)> post_;
    IStationView& view_;
    std::function<void(const std::string&)> status_;
    std::function<void(const DownloadOutcome&)> end_;
    std::size_t row_;
};

// One session alone holds the image to itself; sessions that share it keep
// it locked against programs that would have it to themselves.
SystemImageFiles::Sharing SharingFor(const DownloadOptions& options)
{
    return options.targets.size() > 1 || options.loop ? SystemImageFiles::Sharing::SharedAmongReaders
                                                      : SystemImageFiles::Sharing::Exclusive;
}

} // namespace

// One device's downloads, run on its own thread.
class DeviceWorker {
public:
    DeviceWorker(Station& station, std::size_t row)
        : station_(station), options_(station.options_), target_(options_.targets[row]), row_(row),
          reporter_([this](std::function<void()> call) { station_.mainLoop_.Post(std::move(call)); }, station.view_,
                    [this](const std::string& text) { station_.Status(row_, text); },
                    [this](const DownloadOutcome& outcome) { station_.Finished(row_, outcome); }, row)
    {
    }

    // One download, or with --loop one after another until stopped. The
    // stop reaches the running session through this thread's loop.
    void Run()
    {
        ThreadLoop loop;
        SetLoop(&loop);
        do {
            // The sessions share the image among themselves, file and copy.
            SessionRun run(options_, target_, reporter_, SharingFor(options_), &station_.snapshots_);
            run_ = &run;
            if (stopRequested_) {
                run.Cancel();  // a stop that came before run_ was there to take it
            }
            const DownloadOutcome outcome = run.Run();
            run_ = nullptr;
            reporter_.End(outcome);
        } while (options_.loop && WaitForNextKeyboard());
        SetLoop(nullptr);
        station_.mainLoop_.Post([station = &station_, row = row_] { station->Stopped(row); });
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
        station_.mainLoop_.Post([station = &station_, row = row_] { station->WaitsForNextKeyboard(row); });
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

    Station& station_;
    const DownloadOptions& options_;
    DownloadTarget target_;
    std::size_t row_;
    std::mutex loopMutex_;
    ThreadLoop* loop_ = nullptr;  // while the thread runs
    ForwardingReporter reporter_;
    SessionRun* run_ = nullptr;
    std::atomic<bool> stopRequested_ = false;
    std::atomic<bool> nextRequested_ = false;
};

Station::Station(const DownloadOptions& options, IStationView& view, StationLog& log, ThreadLoop& mainLoop)
    : options_(options), view_(view), log_(log), mainLoop_(mainLoop), devices_(options.targets.size())
{
    for (std::size_t row = 0; row < devices_.size(); ++row) {
        devices_[row].worker = std::make_unique<DeviceWorker>(*this, row);
    }
}

Station::~Station() = default;

int Station::Run()
{
    std::optional<OperatorEnter> enter;
    if (options_.loop) {
        enter.emplace(mainLoop_, [this] { NextKeyboard(); });
    }
    std::vector<std::thread> threads;
    const std::size_t carried = DevicesTheDescriptorsCarry(devices_.size());
    for (std::size_t row = 0; row < devices_.size(); ++row) {
        if (row < carried) {
            threads.emplace_back([worker = devices_[row].worker.get()] { worker->Run(); });
        } else {
            RefuseForDescriptors(row);
        }
    }
    if (!AllStopped()) {
        mainLoop_.Run();
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    view_.Summary();
    return ExitStatus();
}

void Station::Stop(bool close)
{
    for (Device& device : devices_) {
        device.worker->Cancel(close);
    }
}

void Station::Status(std::size_t row, const std::string& text)
{
    devices_[row].waiting = false;  // the next download has begun
    view_.Status(row, text);
}

void Station::Finished(std::size_t row, const DownloadOutcome& outcome)
{
    devices_[row].tally.Count(outcome.result);
    log_.Append(outcome);
    view_.Finished(row, outcome, devices_[row].tally);
}

void Station::WaitsForNextKeyboard(std::size_t row)
{
    devices_[row].waiting = true;
    view_.NextKeyboard(row);
}

void Station::Stopped(std::size_t row)
{
    devices_[row].stopped = true;
    if (AllStopped()) {
        mainLoop_.Quit();
    }
}

// A device whose session the descriptors left cannot carry fails alone,
// before anything of it is opened.
void Station::RefuseForDescriptors(std::size_t row)
{
    DownloadOutcome outcome;
    outcome.image = options_.file;
    outcome.device = options_.targets[row].Label();
    const std::string text = "Error: The device \"" + outcome.device +
                             "\" was not started: too few file descriptors are left.";
    const SystemReason detail{std::strerror(EMFILE), ErrorCategory::kTooManyOpenFiles};
    view_.Message(row, text, detail);
    outcome.message = MessageWithDetail(text, detail.text);
    outcome.reason = detail.category;
    Finished(row, outcome);
    devices_[row].stopped = true;
}

// The operator's Enter is for every device that has said it waits for its
// next keyboard: the next keyboard is on a fixed cable. An Enter typed
// before, during a download, is for none.
void Station::NextKeyboard()
{
    for (Device& device : devices_) {
        if (std::exchange(device.waiting, false)) {
            device.worker->RequestNext();
        }
    }
}

bool Station::AllStopped() const
{
    return std::all_of(devices_.begin(), devices_.end(), [](const Device& device) { return device.stopped; });
}

int Station::ExitStatus() const
{
    const bool anyFailed = std::any_of(devices_.begin(), devices_.end(), [](const Device& device) {
        return device.tally.failed > 0 || device.tally.good + device.tally.cancelled == 0;
    });
    if (anyFailed || log_.WriteFailed()) {
        return kExitFailed;
    }
    const bool anyCancelled = std::any_of(devices_.begin(), devices_.end(),
                                          [](const Device& device) { return device.tally.cancelled > 0; });
    return anyCancelled ? kExitCancelled : kExitOk;
}

} // namespace tavex
