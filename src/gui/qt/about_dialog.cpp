#include "gui/qt/about_dialog.h"

#include "gui/qt/app_icon.h"
#include "gui/reminder_setting.h"
#include "ui_about_dialog.h"

#include <QMouseEvent>

namespace tavex {

namespace {

constexpr int kIconSide = 32;

} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::CAboutDlg>())
{
    ui_->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    ui_->control1006->setPixmap(AppIcon().pixmap(QSize(kIconSide, kIconSide)));
    ui_->control1010->setChecked(ReadReminderSetting());
    ui_->control1011->installEventFilter(this);
    connect(ui_->control1010, &QCheckBox::clicked, this,
            [](bool checked) { WriteReminderSetting(checked ? 1 : 0); });
    connect(ui_->button1, &QPushButton::clicked, this, &QDialog::accept);
}

CAboutDlg::~CAboutDlg() = default;

bool CAboutDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (IsCaptionClick(watched, event)) {
        // A click, not a toggle: the box emits clicked() and so stores itself.
        ui_->control1010->click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// A left-button release over the caption label, as a button counts a click.
bool CAboutDlg::IsCaptionClick(QObject* watched, QEvent* event) const
{
    if (watched != ui_->control1011 || event->type() != QEvent::MouseButtonRelease) {
        return false;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    return mouse->button() == Qt::LeftButton && ui_->control1011->rect().contains(mouse->position().toPoint());
}

} // namespace tavex
