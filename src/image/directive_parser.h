#pragma once

// Reads the comment and directive lines of an .s20 image ("#schema",
// "#hardware", "#if-hardware", "#endif"), checks their order and values
// against the connected keyboard's hardware version, and tells the machine
// whether each record line is to be sent or dropped.

#include "image/byte_source.h"
#include "image/file_kind.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavex {

class CDirectiveParser {
public:
    virtual ~CDirectiveParser() = default;

    // Prepares the parser for a new session; leaves fileKind alone.
    void Reset();

    // Offers a line whose first two bytes the caller has read. True: the line
    // was blank, a comment or an accepted directive, consumed through its
    // CR LF. False with errorFlag clear: a record line, nothing more read.
    // False with errorFlag set: message holds the failure.
    bool ParseLine(const std::uint8_t* lineStart, IByteSource* imageFile, std::uint64_t* bytesRead,
                   std::int32_t lineNumber, const std::string& fileName);

    // The check every record line passes before anything is sent for it:
    // the first record needs "#schema" and "#hardware" before it.
    bool CheckCommand(std::int32_t commandLine);

    // The image ended inside an "#if-hardware" block.
    void ReportOpenIf();

    FileKind fileKind = FileKind::None;
    std::int32_t schema = -1;
    std::int32_t keyboardHardware = -1;
    std::int32_t ifLine = -1;
    bool errorFlag = false;
    bool insideIf = false;
    bool skipRecords = false;
    bool commandChecked = false;
    std::string lineText;          // the directive or comment line read last, lower-cased
    std::string hardwareListText;  // argument text of the list parsed last, trimmed
    std::string message;
    std::vector<std::uint8_t> hardwareList;
    std::vector<std::uint8_t> numberList;
    const std::uint8_t* lineStart = nullptr;  // not owned
    IByteSource* imageFile = nullptr;         // not owned
    std::uint64_t* bytesRead = nullptr;       // not owned
    std::int32_t lineNumber = -1;
    std::string fileName;

private:
    bool ParseSchema();
    bool ParseHardware();
    bool ParseIfHardware();
    bool ParseEndif();
    bool ParseComment();

    enum class LineRead { Complete, Incomplete, ReadFailed };
    LineRead ReadDirectiveLine();
    bool ReadKeywordLine(std::string_view keyword, bool removeKeyword);
    bool ParseNumberList();
    bool FailLineRead(LineRead outcome);

    template <int Id, class... Args>
    bool Fail(const Args&... arguments);

    struct Directive {
        char letter;  // the byte after '#', lower-cased
        bool (CDirectiveParser::*parse)();
    };
    static const Directive kDirectives[];
};

} // namespace tavex
