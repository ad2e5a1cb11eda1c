#pragma once

// The comm control on Qt's QSerialPort. Properties written while the port is
// closed are kept and take effect when it opens. Notifications come from the
// Qt event loop of the thread that made the control.

#include "serial/comm_control.h"
#include "serial/qt/comm_notifier.h"
#include "serial/line_free_time.h"
#include "serial/line_settings.h"
#include "serial/qt/line_errors.h"
#include "serial/qt/port_setup.h"
#include "serial/receive_buffer.h"

#include <QObject>
#include <QSerialPort>
#include <QString>

#include <cstdint>
#include <optional>

namespace tavex {

class QtCommControl : public QObject, public ICommControl {
public:
    // The port is the device CommPort's number maps to (ComDeviceName).
    QtCommControl();
    // The port is devicePath whatever CommPort says.
    explicit QtCommControl(QString devicePath);
    ~QtCommControl() override;
    QtCommControl(const QtCommControl&) = delete;
    QtCommControl& operator=(const QtCommControl&) = delete;

    // A device path to use instead of the COM number's device; an empty path
    // goes back to the COM number. Refused while the port is open.
    void SetDevicePath(const QString& devicePath);

    void SetCommPort(std::int16_t number) override;
    void SetSettings(const std::string& settings) override;
    void SetHandshaking(std::int32_t value) override;
    void SetInBufferSize(std::int16_t size) override;
    void SetRThreshold(std::int16_t count) override;
    void SetInputLen(std::int16_t count) override;
    void SetOutBufferSize(std::int16_t size) override;
    void SetSThreshold(std::int16_t count) override;
    void SetEOFEnable(bool enable) override;
    void SetNullDiscard(bool discard) override;
    void SetRTSEnable(bool assert) override;
    void SetDTREnable(bool assert) override;
    void SetParityReplace(const std::string& replacement) override;
    void SetInputMode(std::int32_t mode) override;
    bool GetPortOpen() override;
    void SetPortOpen(bool open) override;
    void SetOutput(const std::vector<std::uint8_t>& bytes) override;
    std::vector<std::uint8_t> GetInput() override;
    void SetInBufferCount(std::int16_t count) override;
    std::int16_t GetCommEvent() override;
    void SetOnComm(std::function<void()> onComm) override;

private:
    void ConnectPort();
    QString DeviceName() const;
    void RequireOpen(const char* operation) const;
    void RequireClosed(const char* property) const;
    void OpenPort();
    void ClaimAndPrepare();
    void ClosePort();
    void AwaitOutputSent();
    bool OutputQueued();
    void ShutPort();
    void ApplyModemLines();
    void ApplyModemLine(ModemLine line, bool assert);
    void TakeArrivedBytes();
    void OnReadyRead();
    void OnBytesWritten();
    void OnPortError(QSerialPort::SerialPortError error);
    void CloseLostPort(unsigned openCount);
    bool StillDue(std::int16_t commEvent) const;

    QSerialPort port_{this};
    CommNotifier notifier_{[this](std::int16_t commEvent) { return StillDue(commEvent); }};
    ReceiveBuffer received_;
    QString devicePath_;
    std::int16_t commPort_ = 1;
    LineSettings lineSettings_;
    std::int16_t rThreshold_ = 0;
    std::int16_t inputLen_ = 0;
    std::int16_t sThreshold_ = 0;
    bool eofEnable_ = false;
    bool nullDiscard_ = false;
    bool rtsEnable_ = false;
    bool dtrEnable_ = false;
    bool sendEventDue_ = false;
    LineFreeTime lineFree_;
    std::optional<LineErrorCounts> lineErrors_;  // empty where the driver keeps none
    unsigned openCount_ = 0;
    bool lossSeen_ = false;
    std::size_t unreadToDrop_ = 0;  // dropped in the driver by InBufferCount, not read yet
};

} // namespace tavex
