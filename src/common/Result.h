#pragma once

#include <optional>
#include <string>
#include <utility>

namespace scortavia {

// Outcome of an operation that can fail. Core code never throws across its interface:
// a failure carries a short technical message, which the screens turn into their own texts.
class [[nodiscard]] Status final {
public:
    static Status success() { return Status(); }
    static Status failure(std::string message) { return Status(std::move(message)); }

    bool ok() const { return !error_.has_value(); }
    explicit operator bool() const { return ok(); }
    const std::string& error() const {
        static const std::string none;
        return error_ ? *error_ : none;
    }

private:
    Status() = default;
    explicit Status(std::string message) : error_(std::move(message)) {}
    std::optional<std::string> error_;
};

template <class T>
class [[nodiscard]] Result final {
public:
    Result(T value) : value_(std::move(value)) {}          // NOLINT: implicit on purpose, like std::expected
    Result(Status failed) : status_(std::move(failed)) {}  // NOLINT

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return *value_; }
    T& value() & { return *value_; }
    T&& value() && { return std::move(*value_); }
    const T& operator*() const& { return *value_; }
    T& operator*() & { return *value_; }
    const T* operator->() const { return &*value_; }
    T* operator->() { return &*value_; }
    const std::string& error() const { return status_.error(); }
    Status status() const { return status_; }

private:
    std::optional<T> value_;
    Status status_ = Status::success();
};

}  // namespace scortavia
