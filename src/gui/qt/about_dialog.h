#pragma once

// The About box: the program's icon, name and version, and a second way to
// turn the startup reminder on or off. Its check box has no text of its own;
// the label beside it is its caption and toggles it when clicked. Each change
// is stored at once, whatever button ends the dialog.

#include <QDialog>

#include <memory>

namespace Ui {
class CAboutDlg;
}

namespace tavex {

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    ~CAboutDlg() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsCaptionClick(QObject* watched, QEvent* event) const;

    std::unique_ptr<Ui::CAboutDlg> ui_;
};

} // namespace tavex
