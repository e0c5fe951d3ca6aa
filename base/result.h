// The one way a fallible function returns: either its value or an error of its own
// module's error type (an enum with a text for each value, or a struct with a number and
// a description). Result<void, E> carries only the error.
//
//   Result<Table, jet::Error> ReadTable(...);
//   if (!table) return table.error();      // an error converts implicitly
//   Use(*table);
//
// Where the value and error types convert into each other, say which one is meant with
// Fail(error) (and return the value as it is).
#pragma once

#include <type_traits>
#include <utility>
#include <variant>

namespace movarin::base {

template <typename E>
struct Failed {
  E error;
};
template <typename E>
Failed<std::decay_t<E>> Fail(E&& error) {
  return {std::forward<E>(error)};
}

template <typename T, typename E>
class [[nodiscard]] Result {
 public:
  using value_type = T;
  using error_type = E;

  Result(T value) : v_(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit by design
  template <typename U = E>
    requires(!std::is_convertible_v<U, T>)
  Result(E error) : v_(std::in_place_index<1>, std::move(error)) {}  // NOLINT
  template <typename U>
  Result(Failed<U> failed) : v_(std::in_place_index<1>, E(std::move(failed.error))) {}  // NOLINT

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & { return std::get<0>(v_); }
  const T& value() const& { return std::get<0>(v_); }
  T&& value() && { return std::get<0>(std::move(v_)); }
  T value_or(T fallback) const& { return ok() ? value() : std::move(fallback); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T&& operator*() && { return std::move(*this).value(); }

  // Only valid when !ok().
  const E& error() const { return std::get<1>(v_); }

 private:
  std::variant<T, E> v_;
};

template <typename E>
class [[nodiscard]] Result<void, E> {
 public:
  using value_type = void;
  using error_type = E;

  Result() = default;
  Result(E error) : error_(std::move(error)), ok_(false) {}  // NOLINT: implicit by design
  template <typename U>
  Result(Failed<U> failed) : error_(E(std::move(failed.error))), ok_(false) {}  // NOLINT

  static Result Success() { return Result(); }
  bool ok() const { return ok_; }
  explicit operator bool() const { return ok_; }
  // Only meaningful when !ok().
  const E& error() const { return error_; }

 private:
  E error_{};
  bool ok_ = true;
};

}  // namespace movarin::base
