// Result<T> and Status: the host library's way of returning either a value or a one-line error
// message. Callers check ok() before value(); reading the value of a failure ends the program
// with the error text, because it is always a bug in the caller.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <variant>

namespace hostlib {

// The error half of a result; converts into any Result<T> and into Status.
struct Failure {
  std::string message;
};

inline Failure fail(std::string message) { return Failure{std::move(message)}; }

[[noreturn]] inline void failedResultAccess(const std::string& message) {
  std::fprintf(stderr, "value() of a failed result: %s\n", message.c_str());
  std::abort();
}

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state(std::move(value)) {}  // NOLINT: implicit on purpose, like expected
  Result(Failure failure) : state(std::move(failure)) {}  // NOLINT

  bool ok() const { return std::holds_alternative<T>(state); }
  explicit operator bool() const { return ok(); }

  T& value() & {
    if (!ok()) failedResultAccess(error());
    return std::get<T>(state);
  }
  const T& value() const& {
    if (!ok()) failedResultAccess(error());
    return std::get<T>(state);
  }
  T&& value() && {
    if (!ok()) failedResultAccess(error());
    return std::get<T>(std::move(state));
  }

  // The message of a failure; empty for a success.
  const std::string& error() const {
    static const std::string none;
    return ok() ? none : std::get<Failure>(state).message;
  }

 private:
  std::variant<T, Failure> state;
};

// A result without a value: success or a message.
class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(Failure failure) : error_(std::move(failure.message)), failed(true) {}  // NOLINT

  bool ok() const { return !failed; }
  explicit operator bool() const { return ok(); }
  const std::string& error() const { return error_; }

 private:
  std::string error_;
  bool failed = false;
};

}  // namespace hostlib
