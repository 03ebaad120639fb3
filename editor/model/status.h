// What a reader or writer of the core gives back: success, or failure with the
// text that says which file failed and why. Every core reader and writer
// reports this way; only the command layer shows the text to a person.
#pragma once

#include <optional>
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

// What a reader gives back when it has a value to give: the value, or the
// failure that says why there is none. Callers test it like a Status.
template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}
    // A Result without a value is always a failure, whatever `failure` says.
    Result(Status failure)
        : status_(failure.ok() ? Status::Failure("no value was given") : std::move(failure))
    {
    }

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const Status& status() const { return status_; }
    const std::string& message() const { return status_.message(); }

    // The value; only after a success.
    T& value() & { return *value_; }
    const T& value() const& { return *value_; }
    T&& value() && { return std::move(*value_); }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }

private:
    std::optional<T> value_;
    Status status_;
};

}  // namespace lumora
