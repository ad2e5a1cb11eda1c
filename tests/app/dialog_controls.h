#pragma once

// The ways a person toggles a check box or ends a dialog, as table rows.

#include <QAbstractButton>
#include <QDialog>
#include <QPushButton>

#include <functional>
#include <vector>

namespace tavex::test {

struct Toggle {
    const char* how;
    std::function<void(QAbstractButton& box)> act;
};

struct Ending {
    const char* how;
    std::function<void(QDialog& dialog, QPushButton& ok)> act;
    QDialog::DialogCode result;
};

// A mouse click and the space bar.
const std::vector<Toggle>& BoxToggles();

// OK, the Escape key and the caption's close button.
const std::vector<Ending>& DialogEndings();

} // namespace tavex::test
