#pragma once

// The reminder shown at startup: what to do before a download, and a check
// box that decides whether the reminder comes back next time. The box is
// stored the moment it changes, whatever button ends the dialog.

#include <QDialog>

#include <memory>

namespace Ui {
class CReminderDlg;
}

namespace tavex {

class CReminderDlg : public QDialog {
    Q_OBJECT

public:
    explicit CReminderDlg(QWidget* parent = nullptr);
    ~CReminderDlg() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::CReminderDlg> ui_;
};

} // namespace tavex
