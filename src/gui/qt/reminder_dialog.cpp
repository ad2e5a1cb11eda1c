#include "gui/qt/reminder_dialog.h"

#include "gui/reminder_setting.h"
#include "ui_reminder_dialog.h"

#include <QShowEvent>

namespace tavex {

CReminderDlg::CReminderDlg(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::CReminderDlg>())
{
    ui_->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    connect(ui_->control1009, &QCheckBox::clicked, this,
            [](bool checked) { WriteReminderSetting(checked ? 1 : 0); });
    connect(ui_->button1, &QPushButton::clicked, this, &QDialog::accept);
}

CReminderDlg::~CReminderDlg() = default;

void CReminderDlg::showEvent(QShowEvent* event)
{
    // The reminder only appears when the setting is on, so the box starts
    // checked without asking the setting again.
    if (!event->spontaneous()) {
        ui_->control1009->setChecked(true);
    }
    QDialog::showEvent(event);
}

} // namespace tavex
