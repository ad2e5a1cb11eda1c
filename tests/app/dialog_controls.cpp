#include "dialog_controls.h"

#include <QTest>

namespace tavex::test {

const std::vector<Toggle>& BoxToggles()
{
    static const std::vector<Toggle> toggles = {
        {"mouse click", [](QAbstractButton& box) { QTest::mouseClick(&box, Qt::LeftButton); }},
        {"space bar", [](QAbstractButton& box) { QTest::keyClick(&box, Qt::Key_Space); }},
    };
    return toggles;
}

const std::vector<Ending>& DialogEndings()
{
    static const std::vector<Ending> endings = {
        {"OK", [](QDialog&, QPushButton& ok) { QTest::mouseClick(&ok, Qt::LeftButton); }, QDialog::Accepted},
        {"Escape", [](QDialog& dialog, QPushButton&) { QTest::keyClick(&dialog, Qt::Key_Escape); },
         QDialog::Rejected},
        {"close button", [](QDialog& dialog, QPushButton&) { dialog.close(); }, QDialog::Rejected},
    };
    return endings;
}

} // namespace tavex::test
