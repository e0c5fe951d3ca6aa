// Everything that can go wrong while decoding a Jet database file, one value per fault,
// each with a text for messages and tests.
#pragma once

#include <string_view>
#include <utility>
#include <variant>

namespace movarin::catalogue::jet {

enum class Error {
  kNone,
  kFileTooSmall,
  kFileTooLarge,
  kFileSizeNotPageMultiple,
  kNotJetDatabase,
  kUnsupportedVersion,
  kPagesEncrypted,
  kWrongPassword,
  kPageOutOfRange,
  kTruncatedRead,
  kNotDefinitionPage,
  kDefinitionChainLoop,
  kDefinitionTooLong,
  kDefinitionMalformed,
  kTooManyColumns,
  kColumnMalformed,
  kNotUsageMapRow,
  kUsageMapMalformed,
  kNotUsageMapPage,
  kNotDataPage,
  kWrongPageOwner,
  kRowPointerInvalid,
  kRowMalformed,
  kRowOverflowLoop,
  kTooManyRows,
  kDecodedDataTooLarge,
  kLongValuePageInvalid,
  kLongValueChainLoop,
  kLongValueMalformed,
  kSystemCatalogueMalformed,
  kTooManyTables,
};

std::string_view ErrorText(Error error);

// A decoded value or the reason it could not be decoded.
template <typename T>
class Result {
 public:
  Result(T value) : v_(std::move(value)) {}  // NOLINT: implicit by design
  Result(Error error) : v_(error) {}          // NOLINT
  bool ok() const { return std::holds_alternative<T>(v_); }
  explicit operator bool() const { return ok(); }
  Error error() const { return ok() ? Error::kNone : std::get<Error>(v_); }
  T& value() & { return std::get<T>(v_); }
  const T& value() const& { return std::get<T>(v_); }
  T&& value() && { return std::get<T>(std::move(v_)); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }

 private:
  std::variant<T, Error> v_;
};

}  // namespace movarin::catalogue::jet
