#include "gui/qt/main_dialog.h"

#include "gui/qt/about_dialog.h"
#include "gui/qt/app_icon.h"
#include "gui/qt/name_filters.h"
#include "serial/port_settings.h"
#include "serial/qt/com_device_map.h"
#include "session/end_codes.h"
#include "text/message_box_text.h"
#include "text/string_table.h"
#include "ui_main_dialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QThread>
#include <QWhatsThis>

namespace tavex {

namespace {

const QEvent::Type kStepEvent = static_cast<QEvent::Type>(QEvent::User + 1);

QString FromStd(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The program's file name without directory and extension.
QString ApplicationName() { return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(); }

QElapsedTimer StartedClock()
{
    QElapsedTimer clock;
    clock.start();
    return clock;
}

} // namespace

CTavexDLDlg::CTavexDLDlg(ICommControlHost& controls, IImageFiles& files, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::CTavexDLDlg>()),
      clock_(StartedClock()), session_(*this, *this, controls, files)
{
    ui_->setupUi(this);
    // A caption with the help button and the close button, nothing to
    // minimise, maximise or resize.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::WindowContextHelpButtonHint);
    setContextMenuPolicy(Qt::NoContextMenu);
    presentMessage = [this](const QString& text, const QString& detail) { ShowWarning(text, detail); };
    chooseImageFile = [this] { return ChooseWithFileDialog(); };
    connect(ui_->control1002, &QPushButton::clicked, this, [this] { session_.OnDownload(); });
    connect(ui_->control1001, &QPushButton::clicked, this, [this] { OnBrowse(); });
    connect(ui_->button1, &QPushButton::clicked, this, [this] { session_.OnOK(); });
}

CTavexDLDlg::~CTavexDLDlg() = default;

void CTavexDLDlg::InitDialog()
{
    ui_->control1000->clear();
    ui_->control1004->clear();
    setWindowIcon(AppIcon());
    session_.OnInitSession();
}

int CTavexDLDlg::exec()
{
    InitDialog();
    if (session_.IsClosed()) {
        return result();
    }
    return QDialog::exec();
}

bool CTavexDLDlg::event(QEvent* event)
{
    if (event->type() == kStepEvent) {
        session_.OnStep();
        return true;
    }
    if (event->type() == QEvent::EnterWhatsThisMode) {
        // The caption's "?" button opens the About box.
        QWhatsThis::leaveWhatsThisMode();
        ShowAbout();
        return true;
    }
    return QDialog::event(event);
}

void CTavexDLDlg::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == watchdogTimer_) {
        session_.OnTimer(watchdogId_);
        return;
    }
    QDialog::timerEvent(event);
}

void CTavexDLDlg::closeEvent(QCloseEvent* event)
{
    event->ignore();
    session_.EndSession(kEndOperatorClose);
}

void CTavexDLDlg::reject() { session_.EndSession(kEndOperatorClose); }

void CTavexDLDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        ShowAbout();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CTavexDLDlg::OnBrowse()
{
    if (session_.PortIsOpen()) {
        return;
    }
    const QString chosen = chooseImageFile();
    if (!chosen.isNull()) {
        ui_->control1000->setText(chosen);
        session_.ChooseFile(chosen.toStdString());
    }
}

// Answers a null string when the operator cancels.
QString CTavexDLDlg::ChooseWithFileDialog()
{
    QFileDialog dialog(this);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(FromStd(StringText<string_id::kDefaultExtension>));
    const QStringList filters = QtNameFilters(StringText<string_id::kFileFilter>);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.value(0));
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles().value(0, QStringLiteral(""));
}

void CTavexDLDlg::ShowAbout()
{
    CAboutDlg about(this);
    about.exec();
}

void CTavexDLDlg::ShowWarning(const QString& text, const QString& detail)
{
    const QString shown = QString::fromStdString(MessageBoxText(text.toStdString(), detail.toStdString()));
    QMessageBox box(QMessageBox::Warning, ApplicationName(), shown, QMessageBox::Ok, this);
    box.exec();
}

// A monotonic clock: the watchdog's time-out must neither fire nor vanish
// when the system's date is set during a download.
std::uint32_t CTavexDLDlg::TickCount() { return static_cast<std::uint32_t>(clock_.elapsed()); }

void CTavexDLDlg::PostStepMessage() { QCoreApplication::postEvent(this, new QEvent(kStepEvent)); }

unsigned CTavexDLDlg::StartTimer(unsigned timerId, unsigned periodMs)
{
    watchdogTimer_ = startTimer(static_cast<int>(periodMs));
    watchdogId_ = watchdogTimer_ != 0 ? timerId : 0;
    return watchdogId_;
}

bool CTavexDLDlg::StopTimer(unsigned)
{
    if (watchdogTimer_ == 0) {
        return false;
    }
    killTimer(watchdogTimer_);
    watchdogTimer_ = 0;
    return true;
}

void CTavexDLDlg::Pause(unsigned milliseconds) { QThread::msleep(milliseconds); }

void CTavexDLDlg::ShowMessage(const std::string& text, const SystemReason& detail)
{
    presentMessage(QString::fromStdString(text), QString::fromStdString(detail.text));
}

void CTavexDLDlg::SetStatusLine(const std::string& text)
{
    ui_->control1004->setText(QString::fromStdString(text));
    if (statusShown) {
        statusShown(ui_->control1004->text());
    }
}

void CTavexDLDlg::SetProgress(int percent) { ui_->control1003->setValue(percent); }

void CTavexDLDlg::EnableInputControls(bool enable)
{
    ui_->control1007->setEnabled(enable);
    ui_->control1007->repaint();  // at once: the thread may block before the next paint
    ui_->control1000->setEnabled(enable);
    ui_->control1001->setEnabled(enable);
    ui_->control1002->setEnabled(enable);
}

void CTavexDLDlg::SetButtonText(const std::string& text) { ui_->button1->setText(QString::fromStdString(text)); }

void CTavexDLDlg::FillComList(int entryCount, int selectedIndex)
{
    ui_->control1007->clear();
    for (int i = 0; i < entryCount; ++i) {
        ui_->control1007->addItem(QString::fromStdString(PortListEntry(i)));
        ui_->control1007->setItemData(i, ComDeviceName(i + 1), Qt::ToolTipRole);
    }
    ui_->control1007->setCurrentIndex(selectedIndex);
}

int CTavexDLDlg::ComSelection() { return ui_->control1007->currentIndex(); }

std::string CTavexDLDlg::FileFieldText() { return ui_->control1000->text().toStdString(); }

void CTavexDLDlg::EndDialog(int endCode) { done(endCode); }

} // namespace tavex
