#include "rack_display.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <thread>

namespace lumora::cli {
namespace {

// The width of the terminal on standard error; rows longer than it would wrap
// and spoil the redrawing.
std::size_t TerminalWidth()
{
    winsize size{};
    if (::ioctl(2, TIOCGWINSZ, &size) == 0 && size.ws_col > 10)
        return size.ws_col - 1;
    return 79;
}

}  // namespace

RackDisplay::RackDisplay(std::vector<std::string> labels, std::ostream& err, bool terminal)
    : err_(err), terminal_(terminal)
{
    for (std::string& label : labels) {
        labelWidth_ = std::max(labelWidth_, label.size());
        rows_.push_back({std::move(label), "waiting", -1});
    }
}

RackDisplay::~RackDisplay()
{
    std::lock_guard lock(mutex_);
    if (terminal_ && rowsDrawn_ == 0)
        DrawRows();
    err_ << std::flush;
}

void RackDisplay::Show(std::size_t index, const std::string& state, uint32_t done, uint32_t total)
{
    std::lock_guard lock(mutex_);
    Row& row = rows_[index];
    const int percent = total ? static_cast<int>(uint64_t(done) * 100 / total) : -1;
    if (row.state == state && row.percent == percent)
        return;
    row.state = state;
    row.percent = percent;
    changed_ = true;
}

void RackDisplay::Report(std::size_t index, const std::string& text)
{
    std::lock_guard lock(mutex_);
    Print("lumora-cli: " + rows_[index].label + ": " + text);
}

void RackDisplay::Note(const std::string& text)
{
    std::lock_guard lock(mutex_);
    Print("lumora-cli: " + text);
}

void RackDisplay::Refresh()
{
    std::lock_guard lock(mutex_);
    if (!terminal_ || !changed_)
        return;
    EraseRows();
    DrawRows();
}

void RackDisplay::Print(const std::string& line)
{
    EraseRows();
    err_ << line << '\n';
    if (terminal_)
        DrawRows();
    err_ << std::flush;
}

void RackDisplay::EraseRows()
{
    if (rowsDrawn_ > 0)
        err_ << "\x1b[" << rowsDrawn_ << "A\r\x1b[J";
    rowsDrawn_ = 0;
}

void RackDisplay::DrawRows()
{
    const std::size_t width = TerminalWidth();
    for (const Row& row : rows_) {
        char percent[16] = "    ";
        if (row.percent >= 0)
            std::snprintf(percent, sizeof percent, "%3d%%", row.percent);
        std::string line =
            row.label + std::string(labelWidth_ - row.label.size(), ' ') + "  " + percent + "  " + row.state;
        if (line.size() > width)
            line.resize(width);
        err_ << line << '\n';
    }
    rowsDrawn_ = rows_.size();
    changed_ = false;
    err_ << std::flush;
}

void RunOnEveryPort(RackDisplay& display, std::size_t count, const std::function<void(std::size_t)>& work)
{
    std::mutex mutex;
    std::condition_variable ended;
    std::size_t running = count;
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < count; ++i)
        threads.emplace_back([&, i] {
            work(i);
            std::lock_guard lock(mutex);
            --running;
            ended.notify_all();
        });
    {
        std::unique_lock lock(mutex);
        while (!ended.wait_for(lock, std::chrono::milliseconds(200), [&] { return running == 0; })) {
            lock.unlock();
            display.Refresh();
            lock.lock();
        }
    }
    for (std::thread& thread : threads)
        thread.join();
    display.Refresh();
}

}  // namespace lumora::cli
