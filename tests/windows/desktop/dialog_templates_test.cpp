// The dialog templates as the program carries them: sizes, fonts, captions,
// and each control's id, kind, text, place and order, which is also the
// tab order.

#include "dialog_template.h"
#include "resource_ids.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cctype>

#include <string>
#include <vector>

namespace tavex::test {
namespace {

struct ExpectedItem {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    short x, y, cx, cy;
    DWORD styleBits;  // bits that must be set (beyond WS_CHILD)
};

struct ExpectedDialog {
    const char* name;
    int resourceId;
    const wchar_t* title;
    short cx, cy;
    int pointSize;
    const wchar_t* typeface;
    std::vector<ExpectedItem> items;
};

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

const ExpectedDialog kDialogs[] = {
    {"main window", IDD_TAVEXDL_DIALOG, L" Tavex Firmware Upgrade Utility", 251, 103, 8, L"MS Sans Serif",
     {
         {-1, L"Static", L"Firmware File:", 11, 6, 98, 8, SS_LEFT},
         {IDC_FILE_EDIT, L"Edit", L"", 11, 17, 173, 14, WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP},
         {IDC_BROWSE, L"Button", L"Browse...", 190, 17, 50, 14, WS_TABSTOP},
         {-1, L"Static", L"COM Port:", 11, 43, 34, 8, SS_LEFT},
         {IDC_STATUS, L"Static", L"** Comment **", 58, 43, 121, 8, SS_LEFT},
         {IDC_COM_LIST, L"ComboBox", L"", 11, 54, 33, 50, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP},
         {IDC_PROGRESS, PROGRESS_CLASSW, L"", 58, 56, 126, 9, 0},
         {IDC_DOWNLOAD, L"Button", L"Download", 190, 53, 50, 15, WS_TABSTOP},
         {IDOK, L"Button", L"", 100, 82, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
     }},
    {"reminder", IDD_REMINDER, L"Reminder", 317, 122, 8, L"MS Sans Serif",
     {
         {-1, L"Button", L"", 6, 2, 305, 88, BS_GROUPBOX},
         {-1, L"Static", L"Before downloading:", 14, 11, 99, 10, SS_LEFT},
         {-1, L"Static", L"1. Select a COM port.", 26, 28, 214, 8, SS_LEFT},
         {-1, L"Static", L"2. Connect the COM port to the keyboard with the RS-232 cable.", 26, 41, 218, 8, SS_LEFT},
         {-1, L"Static", L"3. Place the keyboard in \"bootloader\" mode.", 26, 54, 141, 8, SS_LEFT},
         {-1, L"Static",
          L"Refer to the ReadMe file for more information on placing the keyboard in \"bootloader\" mode.", 14, 73,
          290, 8, SS_LEFT},
         {IDC_REMINDER_CHECK, L"Button", L"Display this reminder at startup.", 7, 105, 113, 10,
          BS_AUTOCHECKBOX | WS_TABSTOP},
         {IDOK, L"Button", L"OK", 261, 102, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
     }},
    {"About box", IDD_ABOUTBOX, L"About Tavex Firmware Upgrade Utility", 242, 80, 8, L"Arial",
     {
         {IDC_ABOUT_ICON, L"Static", L"", 36, 13, 20, 20, SS_ICON},
         {-1, L"Static", L"Tavex Firmware Upgrade Utility", 72, 9, 107, 8, SS_LEFT},
         {-1, L"Static", L"Version 2.12.00.01", 72, 20, 135, 8, SS_LEFT},
         {IDC_ABOUT_CHECK, L"Button", L"", 7, 47, 9, 23, BS_AUTOCHECKBOX | BS_MULTILINE | WS_TABSTOP},
         {IDC_ABOUT_CHECK_LABEL, L"Static", L"Show Reminder on Startup", 20, 54, 53, 17, SS_NOTIFY},
         {IDOK, L"Button", L"OK", 90, 55, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
     }},
};

class DialogTemplates : public testing::TestWithParam<ExpectedDialog> {};

TEST_P(DialogTemplates, MatchTheirControlsInOrder)
{
    const ExpectedDialog& expected = GetParam();
    const auto dialog = LoadDialogTemplate(expected.resourceId);
    ASSERT_TRUE(dialog.has_value()) << "no extended dialog template " << expected.resourceId;

    EXPECT_EQ(Narrow(dialog->title), Narrow(expected.title));
    EXPECT_EQ(dialog->cx, expected.cx);
    EXPECT_EQ(dialog->cy, expected.cy);
    EXPECT_EQ(dialog->pointSize, expected.pointSize);
    EXPECT_EQ(Narrow(dialog->typeface), Narrow(expected.typeface));
    EXPECT_NE(dialog->style & WS_CAPTION, 0u);
    EXPECT_NE(dialog->style & WS_SYSMENU, 0u);
    // Nothing to minimise, maximise or resize.
    EXPECT_EQ(dialog->style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0u);

    ASSERT_EQ(dialog->items.size(), expected.items.size());
    for (std::size_t i = 0; i < expected.items.size(); ++i) {
        const TemplateItem& item = dialog->items[i];
        const ExpectedItem& want = expected.items[i];
        SCOPED_TRACE("control " + std::to_string(i) + " \"" + Narrow(want.text) + "\"");
        EXPECT_EQ(item.id, want.id);
        EXPECT_EQ(CompareStringOrdinal(item.className.c_str(), -1, want.className, -1, TRUE), CSTR_EQUAL)
            << Narrow(item.className);
        EXPECT_EQ(Narrow(item.text), Narrow(want.text));
        EXPECT_EQ(item.x, want.x);
        EXPECT_EQ(item.y, want.y);
        EXPECT_EQ(item.cx, want.cx);
        EXPECT_EQ(item.cy, want.cy);
        if (want.styleBits == SS_LEFT || want.styleBits == BS_GROUPBOX || want.styleBits == SS_ICON) {
            EXPECT_EQ(item.style & 0x1F, want.styleBits);  // the kind lives in the low bits
        } else {
            EXPECT_EQ(item.style & want.styleBits, want.styleBits);
        }
        EXPECT_EQ(item.style & WS_DISABLED, 0u) << "every control starts enabled";
    }
}

INSTANTIATE_TEST_SUITE_P(Desktop, DialogTemplates, testing::ValuesIn(kDialogs),
                         [](const testing::TestParamInfo<ExpectedDialog>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c != '\0'; ++c) {
                                 if (std::isalnum(static_cast<unsigned char>(*c))) {
                                     name.push_back(*c);
                                 }
                             }
                             return name;
                         });

// The main window has the "?" caption button and its own taskbar button;
// only its input controls take the focus by Tab, in the order of the
// template.
TEST(MainWindowTemplate, HasHelpButtonTaskbarButtonAndTabOrder)
{
    const auto dialog = LoadDialogTemplate(IDD_TAVEXDL_DIALOG);
    ASSERT_TRUE(dialog.has_value());
    EXPECT_NE(dialog->style & DS_CONTEXTHELP, 0u);
    EXPECT_NE(dialog->exStyle & WS_EX_CONTEXTHELP, 0u);
    EXPECT_NE(dialog->exStyle & WS_EX_APPWINDOW, 0u);

    std::vector<int> tabOrder;
    for (const TemplateItem& item : dialog->items) {
        if ((item.style & WS_TABSTOP) != 0) {
            tabOrder.push_back(item.id);
        }
    }
    EXPECT_EQ(tabOrder, (std::vector<int>{IDC_FILE_EDIT, IDC_BROWSE, IDC_COM_LIST, IDC_DOWNLOAD, IDOK}));
}

} // namespace
} // namespace tavex::test
