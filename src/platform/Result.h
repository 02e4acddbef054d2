// Result of an operation that can fail: a value, or a reason the user or caller can read.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace platform {

struct Error {
    std::string message;
};

template <class T>
class Result {
public:
    Result(T value) : data_(std::move(value)) {}
    Result(Error error) : data_(std::move(error)) {}

    bool ok() const { return data_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<0>(data_); }
    const T& value() const& { return std::get<0>(data_); }
    T&& value() && { return std::get<0>(std::move(data_)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const std::string& error() const { return std::get<1>(data_).message; }

private:
    std::variant<T, Error> data_;
};

// For operations that return nothing on success.
struct Ok {};
using Status = Result<Ok>;

inline Error Fail(std::string message) { return Error{std::move(message)}; }

}  // namespace platform
