#include "base/result.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/failure.h"

namespace movarin::base {
namespace {

enum class ParseError { kEmpty, kTooLong };

Result<int, ParseError> Parse(const std::string& text) {
  if (text.empty()) return ParseError::kEmpty;
  if (text.size() > 3) return ParseError::kTooLong;
  return std::stoi(text);
}

Result<void, Failure> Check(bool good) {
  if (!good) return Failure{5, "Access is denied."};
  return {};
}

TEST(Result, CarriesEitherTheValueOrTheError) {
  auto good = Parse("42");
  ASSERT_TRUE(good);
  EXPECT_EQ(*good, 42);
  auto empty = Parse("");
  ASSERT_FALSE(empty);
  EXPECT_EQ(empty.error(), ParseError::kEmpty);
  EXPECT_EQ(Parse("1234").error(), ParseError::kTooLong);
  EXPECT_EQ(Parse("").value_or(-1), -1);
}

TEST(Result, VoidResultsCarryOnlyTheFailure) {
  EXPECT_TRUE(Check(true).ok());
  auto failed = Check(false);
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.error().number, 5);
  EXPECT_EQ(failed.error().description, "Access is denied.");
}

TEST(Result, FailSaysWhichSideIsMeantWhenTheTypesConvert) {
  // int converts to long: without Fail an int would be taken as the value.
  Result<long, int> as_value = 7;
  Result<long, int> as_error = Fail(7);
  EXPECT_TRUE(as_value);
  EXPECT_FALSE(as_error);
  EXPECT_EQ(as_error.error(), 7);
}

TEST(Result, MoveOnlyValuesMoveOut) {
  Result<std::unique_ptr<int>, ParseError> held = std::make_unique<int>(3);
  std::unique_ptr<int> taken = *std::move(held);
  EXPECT_EQ(*taken, 3);
}

}  // namespace
}  // namespace movarin::base
