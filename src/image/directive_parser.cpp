#include "image/directive_parser.h"

#include "image/directive_text.h"
#include "text/ascii.h"
#include "text/format.h"

#include <algorithm>
#include <array>

namespace tavex {

namespace {

constexpr std::uint8_t kCarriageReturn = 13;
constexpr std::uint8_t kLineFeed = 10;

// A directive or comment line holds at most this many bytes, CR LF included.
constexpr std::size_t kLineCapacity = 255;

bool Contains(const std::vector<std::uint8_t>& list, std::int32_t value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

} // namespace

const CDirectiveParser::Directive CDirectiveParser::kDirectives[] = {
    {'e', &CDirectiveParser::ParseEndif},
    {'h', &CDirectiveParser::ParseHardware},
    {'i', &CDirectiveParser::ParseIfHardware},
    {'s', &CDirectiveParser::ParseSchema},
};

void CDirectiveParser::Reset()
{
    schema = -1;
    keyboardHardware = -1;
    ifLine = -1;
    lineNumber = -1;
    errorFlag = false;
    insideIf = false;
    skipRecords = false;
    commandChecked = false;
    message.clear();
    hardwareListText.clear();
    fileName.clear();
    hardwareList.clear();
    lineStart = nullptr;
    imageFile = nullptr;
    bytesRead = nullptr;
}

template <int Id, class... Args>
bool CDirectiveParser::Fail(const Args&... arguments)
{
    message = Message<Id>(arguments...);
    errorFlag = true;
    return false;
}

bool CDirectiveParser::ParseLine(const std::uint8_t* start, IByteSource* file, std::uint64_t* consumed,
                                 std::int32_t line, const std::string& name)
{
    if (start[0] == kCarriageReturn && start[1] == kLineFeed) {
        return true;
    }
    lineStart = start;
    imageFile = file;
    bytesRead = consumed;
    lineNumber = line;
    fileName = name;

    if (start[0] == '/') {
        return start[1] == '/' ? ParseComment() : Fail<string_id::kIllegalComment>(lineNumber);
    }
    if (start[0] == '#') {
        const char letter = AsciiLower(static_cast<char>(start[1]));
        for (const Directive& directive : kDirectives) {
            if (directive.letter == letter) {
                return (this->*directive.parse)();
            }
        }
        return Fail<string_id::kUnknownDirective>(lineNumber);
    }
    return false;
}

bool CDirectiveParser::ParseComment()
{
    const LineRead outcome = ReadDirectiveLine();
    return outcome == LineRead::Complete || FailLineRead(outcome);
}

CDirectiveParser::LineRead CDirectiveParser::ReadDirectiveLine()
{
    std::array<std::uint8_t, kLineCapacity + 1> buffer{};
    buffer[0] = lineStart[0];
    buffer[1] = lineStart[1];
    LineRead outcome = LineRead::Incomplete;
    std::size_t position = 2;
    for (; position < kLineCapacity; ++position) {
        if (imageFile->Read(&buffer[position], 1) != 1) {
            outcome = imageFile->ReadFailed() ? LineRead::ReadFailed : LineRead::Incomplete;
            break;
        }
        if (buffer[position] == kLineFeed && buffer[position - 1] == kCarriageReturn) {
            outcome = LineRead::Complete;
            ++position;
            break;
        }
    }
    *bytesRead += position - 2;
    if (outcome == LineRead::Complete) {
        const auto* text = reinterpret_cast<const char*>(buffer.data());
        lineText = AsciiLowerCase(std::string_view(text, std::find(text, text + position, '\0') - text));
    }
    return outcome;
}

bool CDirectiveParser::FailLineRead(LineRead outcome)
{
    if (outcome == LineRead::ReadFailed) {
        return Fail<string_id::kReadError>(lineNumber, fileName);
    }
    return Fail<string_id::kUnknownDirective>(lineNumber);
}

bool CDirectiveParser::ReadKeywordLine(std::string_view keyword, bool removeKeyword)
{
    const LineRead outcome = ReadDirectiveLine();
    if (outcome != LineRead::Complete) {
        return FailLineRead(outcome);
    }
    if (lineText.find(keyword) == std::string::npos) {
        return Fail<string_id::kUnknownDirective>(lineNumber);
    }
    if (removeKeyword) {
        lineText = directive_text::RemoveAll(lineText, keyword);
    }
    return true;
}

bool CDirectiveParser::ParseNumberList()
{
    numberList.clear();
    hardwareListText = std::string(directive_text::Trim(lineText));
    std::string_view rest = lineText;
    while (true) {
        const std::size_t comma = rest.find(',');
        const std::string_view element = rest.substr(0, comma);
        if (element.empty()) {
            return false;
        }
        const std::int32_t value = directive_text::DecimalValue(element);
        if (value < 0 || value > 255) {
            return false;
        }
        numberList.push_back(static_cast<std::uint8_t>(value));
        if (comma == std::string_view::npos) {
            return true;
        }
        rest.remove_prefix(comma + 1);
    }
}

bool CDirectiveParser::ParseSchema()
{
    if (schema != -1) {
        return Fail<string_id::kSecondSchema>(lineNumber);
    }
    if (!ReadKeywordLine("#schema", true)) {
        return false;
    }
    schema = directive_text::DecimalValue(lineText);
    constexpr std::int32_t kSupportedSchema = 1;
    if (schema != kSupportedSchema) {
        return Fail<string_id::kSchemaUnsupported>(fileName, schema, kSupportedSchema);
    }
    return true;
}

bool CDirectiveParser::ParseHardware()
{
    if (!hardwareList.empty()) {
        return Fail<string_id::kSecondHardware>(lineNumber);
    }
    if (!ReadKeywordLine("#hardware", true)) {
        return false;
    }
    if (schema == -1) {
        return Fail<string_id::kHardwareBeforeSchema>(lineNumber);
    }
    if (!ParseNumberList()) {
        return Fail<string_id::kBadNumberList>(lineNumber);
    }
    hardwareList = numberList;
    if (!Contains(hardwareList, keyboardHardware)) {
        return Fail<string_id::kHardwareUnsupported>(fileName, hardwareListText, keyboardHardware);
    }
    return true;
}

bool CDirectiveParser::ParseIfHardware()
{
    if (insideIf) {
        return Fail<string_id::kNestedIf>(lineNumber);
    }
    if (!ReadKeywordLine("#if-hardware", true)) {
        return false;
    }
    if (!ParseNumberList()) {
        return Fail<string_id::kBadNumberList>(lineNumber);
    }
    const bool allDeclared = std::all_of(numberList.begin(), numberList.end(),
                                         [this](std::uint8_t value) { return Contains(hardwareList, value); });
    if (!allDeclared || hardwareList.empty()) {
        return Fail<string_id::kUndefinedHardwareInIf>(lineNumber);
    }
    insideIf = true;
    ifLine = lineNumber;
    skipRecords = !Contains(numberList, keyboardHardware);
    return true;
}

bool CDirectiveParser::ParseEndif()
{
    if (!insideIf) {
        return Fail<string_id::kUnmatchedEndif>(lineNumber);
    }
    if (!ReadKeywordLine("#endif", false)) {
        return false;
    }
    insideIf = false;
    skipRecords = false;
    return true;
}

bool CDirectiveParser::CheckCommand(std::int32_t commandLine)
{
    if (commandChecked) {
        return true;
    }
    commandChecked = true;
    if (schema == -1) {
        return Fail<string_id::kCommandBeforeSchema>(commandLine);
    }
    if (hardwareList.empty()) {
        return Fail<string_id::kCommandBeforeHardware>(commandLine);
    }
    return true;
}

void CDirectiveParser::ReportOpenIf()
{
    Fail<string_id::kUnclosedIf>(ifLine);
}

} // namespace tavex
