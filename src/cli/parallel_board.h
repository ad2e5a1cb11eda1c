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
    // `log`, when not empty, gets a CSV line per download.
    ParallelBoard(std::vector<std::string> devices, BoardStyle style, std::string image = {}, std::string log = {});

    void Status(std::size_t row, const std::string& text);
    void Progress(std::size_t row, int percent);
    void Message(std::size_t row, const std::string& text);
    // A download ended; hardware is the keyboard's version, -1 when unknown.
    void Finished(std::size_t row, bool silent, double seconds, int hardware = -1);
    // The device's worker is done: no more downloads on it.
    void Stopped(std::size_t row);

    bool AllStopped() const;
    bool AllSilent() const;
    void PrintSummary() const;

private:
    struct Row {
        std::string device;
        std::string status;
        int percent = 0;
        std::string message;
        bool stopped = false;
        bool silent = false;
        double seconds = 0;
        int good = 0;
        int failed = 0;
    };
    void DrawTable();
    void AppendLog(const Row& row, int hardware) const;
    void EmitJson(std::size_t row, const std::string& members) const;

    std::vector<Row> rows_;
    BoardStyle style_;
    std::string image_;
    std::string log_;
    bool tableDrawn_ = false;
};

} // namespace tavex
