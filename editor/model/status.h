// What a reader or writer of the core gives back: success, or failure with the
// text that says which file failed and why. Every core reader and writer
// reports this way; only the command layer shows the text to a person.
#pragma once

#include <string>
#include <utility>

namespace lumora {

class [[nodiscard]] Status {
public:
    // Success.
    Status() = default;
    static Status Failure(std::string message) { return Status(std::move(message)); }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    // The reason of a failure; empty on success.
    const std::string& message() const { return message_; }

    // Runs the next step (a callable returning Status) only after a success:
    // a chain of steps ends at its first failure, with that failure's reason.
    template <typename Next>
    Status AndThen(Next&& next) const
    {
        return ok() ? std::forward<Next>(next)() : *this;
    }

private:
    explicit Status(std::string message) : failed_(true), message_(std::move(message)) {}

    bool failed_ = false;
    std::string message_;
};

}  // namespace lumora
