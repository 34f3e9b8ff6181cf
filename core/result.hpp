#pragma once
// Failures inside core are values: a Result carries either a value or an Error.
// The binding layer turns an Error into the matching Python exception.

#include <string>
#include <utility>
#include <variant>

namespace tabulon {

enum class ErrorKind {
  InvalidReference,  // an A1 reference without column letters or row digits
  PatternCompile,    // a regular expression that does not compile
  Writer,            // the document writer failed
  Internal,
};

struct Error {
  ErrorKind kind;
  std::string message;
};

template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Result(Error error) : state_(std::in_place_index<1>, std::move(error)) {}

  bool ok() const noexcept { return state_.index() == 0; }
  explicit operator bool() const noexcept { return ok(); }

  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  const Error& error() const { return std::get<1>(state_); }

 private:
  std::variant<T, Error> state_;
};

}  // namespace tabulon
