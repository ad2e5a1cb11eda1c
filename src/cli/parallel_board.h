#pragma once

// What the operator sees of several downloads at once: a live table on a
// terminal, lines otherwise, JSON events with "device" on request, and a
// summary at the end. Runs on the main thread; the sessions' threads post
// to it.

#include <QObject>

#include <string>
#include <vector>

namespace tavex {

enum class BoardStyle { Json, Table, Lines };

class ParallelBoard final : public QObject {
public:
    ParallelBoard(std::vector<std::string> devices, BoardStyle style);

    void Status(std::size_t row, const std::string& text);
    void Progress(std::size_t row, int percent);
    void Message(std::size_t row, const std::string& text);
    void Finished(std::size_t row, bool silent, double seconds);

    bool AllFinished() const;
    bool AllSilent() const;
    void PrintSummary() const;

private:
    struct Row {
        std::string device;
        std::string status;
        int percent = 0;
        std::string message;
        bool finished = false;
        bool silent = false;
        double seconds = 0;
    };
    void DrawTable();
    void EmitJson(std::size_t row, const std::string& members) const;

    std::vector<Row> rows_;
    BoardStyle style_;
    bool tableDrawn_ = false;
};

} // namespace tavex
