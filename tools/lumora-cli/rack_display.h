// What a rack of receivers shows while it works. On a terminal: one row per
// port (port, percent, state), redrawn in place, with the messages of
// finished receivers printed above the rows. Otherwise only the messages, one
// line each. Every member may be called from any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

namespace lumora::cli {

class RackDisplay {
public:
    RackDisplay(std::vector<std::string> labels, std::ostream& err, bool terminal);
    ~RackDisplay();
    RackDisplay(const RackDisplay&) = delete;
    RackDisplay& operator=(const RackDisplay&) = delete;

    // The state of port `index`, with the bytes done of all when they count.
    void Show(std::size_t index, const std::string& state, uint32_t done = 0, uint32_t total = 0);
    // A message about port `index`: "lumora-cli: <label>: <text>".
    void Report(std::size_t index, const std::string& text);
    // A message about the whole run: "lumora-cli: <text>".
    void Note(const std::string& text);
    // Redraws the rows on a terminal when something changed since the last time.
    void Refresh();

private:
    struct Row {
        std::string label;
        std::string state;
        int percent = -1;  // none shown when negative
    };

    void EraseRows();
    void DrawRows();
    void Print(const std::string& line);

    std::mutex mutex_;
    std::ostream& err_;
    const bool terminal_;
    std::vector<Row> rows_;
    std::size_t labelWidth_ = 0;
    std::size_t rowsDrawn_ = 0;
    bool changed_ = true;
};

// Runs work(i) for every port i from 0 to count - 1, each on its own thread,
// and redraws `display` a few times a second from this thread until all have
// ended.
void RunOnEveryPort(RackDisplay& display, std::size_t count, const std::function<void(std::size_t)>& work);

}  // namespace lumora::cli
