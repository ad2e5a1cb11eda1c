#include "dialog_template.h"

#include <cstring>

namespace tavex::test {

namespace {

class Reader {
public:
    Reader(const BYTE* at, const BYTE* end) : at_(at), end_(end) {}

    bool Failed() const { return failed_; }

    template <typename T>
    T Take()
    {
        T value{};
        if (end_ - at_ < static_cast<std::ptrdiff_t>(sizeof value)) {
            failed_ = true;
            return value;
        }
        std::memcpy(&value, at_, sizeof value);
        at_ += sizeof value;
        return value;
    }

    std::wstring TakeString()
    {
        std::wstring text;
        for (WORD c = Take<WORD>(); c != 0 && !failed_; c = Take<WORD>()) {
            text.push_back(static_cast<wchar_t>(c));
        }
        return text;
    }

    // A name or a number: 0 for none, 0xFFFF followed by the number, or a string.
    std::wstring TakeNameOrNumber(WORD* number)
    {
        *number = 0;
        const BYTE* mark = at_;
        const WORD first = Take<WORD>();
        if (first == 0) {
            return {};
        }
        if (first == 0xFFFF) {
            *number = Take<WORD>();
            return {};
        }
        at_ = mark;
        return TakeString();
    }

    void AlignTo(std::size_t bytes, const BYTE* base)
    {
        const auto offset = static_cast<std::size_t>(at_ - base);
        at_ += (bytes - offset % bytes) % bytes;
        if (at_ > end_) {
            failed_ = true;
        }
    }

    void Skip(std::size_t bytes)
    {
        if (static_cast<std::size_t>(end_ - at_) < bytes) {
            failed_ = true;
            return;
        }
        at_ += bytes;
    }

private:
    const BYTE* at_;
    const BYTE* end_;
    bool failed_ = false;
};

std::wstring ClassByNumber(WORD number)
{
    switch (number) {
    case 0x80: return L"Button";
    case 0x81: return L"Edit";
    case 0x82: return L"Static";
    case 0x83: return L"ListBox";
    case 0x84: return L"ScrollBar";
    case 0x85: return L"ComboBox";
    default: return L"#" + std::to_wstring(number);
    }
}

} // namespace

std::optional<DialogTemplate> LoadDialogTemplate(int resourceId)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (found == nullptr) {
        return std::nullopt;
    }
    HGLOBAL loaded = LoadResource(module, found);
    const auto* base = static_cast<const BYTE*>(LockResource(loaded));
    if (base == nullptr) {
        return std::nullopt;
    }
    Reader in(base, base + SizeofResource(module, found));
    if (in.Take<WORD>() != 1 || in.Take<WORD>() != 0xFFFF) {
        return std::nullopt;
    }
    DialogTemplate dialog;
    in.Take<DWORD>();  // help id
    dialog.exStyle = in.Take<DWORD>();
    dialog.style = in.Take<DWORD>();
    const WORD count = in.Take<WORD>();
    dialog.x = in.Take<short>();
    dialog.y = in.Take<short>();
    dialog.cx = in.Take<short>();
    dialog.cy = in.Take<short>();
    WORD number = 0;
    in.TakeNameOrNumber(&number);  // menu
    in.TakeNameOrNumber(&number);  // window class
    dialog.title = in.TakeString();
    if ((dialog.style & (DS_SETFONT | DS_SHELLFONT)) != 0) {
        dialog.pointSize = in.Take<WORD>();
        in.Take<WORD>();  // weight
        in.Take<BYTE>();  // italic
        in.Take<BYTE>();  // character set
        dialog.typeface = in.TakeString();
    }
    for (WORD i = 0; i < count && !in.Failed(); ++i) {
        in.AlignTo(4, base);
        TemplateItem item;
        in.Take<DWORD>();  // help id
        item.exStyle = in.Take<DWORD>();
        item.style = in.Take<DWORD>();
        item.x = in.Take<short>();
        item.y = in.Take<short>();
        item.cx = in.Take<short>();
        item.cy = in.Take<short>();
        item.id = static_cast<int>(in.Take<DWORD>());
        if (item.id == 0xFFFF) {
            item.id = -1;  // "no id" written as a 16-bit -1
        }
        item.className = in.TakeNameOrNumber(&number);
        if (item.className.empty()) {
            item.className = ClassByNumber(number);
        }
        item.text = in.TakeNameOrNumber(&number);
        in.Skip(in.Take<WORD>());  // creation data
        dialog.items.push_back(item);
    }
    if (in.Failed()) {
        return std::nullopt;
    }
    return dialog;
}

} // namespace tavex::test
