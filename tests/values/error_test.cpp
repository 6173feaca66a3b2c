#include <climits>
#include <string>

#include "tests/support/test_support.h"

namespace {

using vellum::test::HostTest;
using vellum::test::word_at;
using Log = std::vector<int, vellum::host::UntrackedAllocator<int>>;

constexpr int kAllocError = 16;
constexpr int kAllocString = 36;

class Errors : public HostTest {
 protected:
  // The fields every error made by the library's constructors shares.
  void expect_error(Anyval* value, char const* message, int position) {
    ASSERT_EQ(word_at(value, 0), 0u);
    auto* e = static_cast<aError*>(value);
    EXPECT_EQ(e->code, 0);
    EXPECT_EQ(e->position, position);
    EXPECT_EQ(e->value, nullptr);
    ASSERT_NE(e->message, nullptr);
    EXPECT_EQ(e->message->tag, ValueTag::String);
    if (message)
      EXPECT_STREQ(e->message->text, message);
    else
      EXPECT_EQ(e->message->text, nullptr);
  }
};

TEST_F(Errors, PositionPrefixIsStrippedOnlyWithAZeroPosition) {
  struct Case {
    char const* text;
    int position;
    char const* message;
    int expected_position;
  };
  Case const cases[] = {
      {"1.may not be nested", 0, "may not be nested", 1},
      {"1.may not be nested", 5, "1.may not be nested", 5},
      {"out of memory", 0, "out of memory", 0},
      {"123", 0, "", 123},                // digits only: empty message
      {"2.", 0, "", 2},
      {"12abc", 0, "abc", 12},            // no point: the digits go all the same
      {"4..x", 0, ".x", 4},               // only one point is skipped
      {"07.lead", 0, "lead", 7},
      {".5 no digit first", 0, ".5 no digit first", 0},
      {"", 0, "", 0},
      {"3.x", -1, "3.x", -1},             // any non-zero position keeps the text whole
      {"4294967305.x", 0, "x", 9},        // 2^32 + 9 wraps to 9 in unsigned arithmetic
      {nullptr, 0, nullptr, 0},
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(c.text ? c.text : "(null)");
    host.clear_calls();
    expect_error(mkError(context, c.text, c.position), c.message, c.expected_position);
    EXPECT_EQ(host.call_log(), (Log{kAllocString, kAllocError}));
  }
}

TEST_F(Errors, TheOtherFormsNeverTouchThePrefix) {
  aString* message = aString::mk(allocator, "2.must be string");
  host.clear_calls();
  Anyval* with_record = mkError(context, message, 0);
  expect_error(with_record, "2.must be string", 0);
  EXPECT_EQ(static_cast<aError*>(with_record)->message, message) << "the message record is used as it is";
  EXPECT_EQ(host.call_log(), (Log{kAllocError}));

  host.clear_calls();
  expect_error(mkError(allocator, "2.must be string", 0), "2.must be string", 0);
  expect_error(mkError(allocator, "x", 3), "x", 3);
  EXPECT_EQ(host.call_log(), (Log{kAllocString, kAllocError, kAllocString, kAllocError}));

  aError* e = aError::mk(allocator, message, 7, 3, message);
  EXPECT_EQ(word_at(e, 0), 0u);
  EXPECT_EQ(e->code, 7);
  EXPECT_EQ(e->position, 3);
  EXPECT_EQ(e->message, message);
  EXPECT_EQ(e->value, message);
}

TEST_F(Errors, PatchErrorSaysIllegalContextForLambdasRangesAndFunctions) {
  struct Case {
    ValueTag tag;
    char const* message;
  };
  Case const cases[] = {
      {ValueTag::Lambda, "illegal context"},   {ValueTag::Range, "illegal context"},
      {ValueTag::Function, "illegal context"}, {ValueTag::String, "2.given text"},
      {ValueTag::Matrix, "2.given text"},      {ValueTag::Error, "2.given text"},
      {ValueTag::Apply, "2.given text"},
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.tag));
    Anyval value{c.tag};
    expect_error(patch_error(context, "2.given text", &value, 4), c.message, 4);
  }
}

TEST(ErrorNode, PacksTwoBitCodes) {
  EXPECT_EQ(ErrorNode(3, 1, 2, 3), 57);
  EXPECT_EQ(ErrorNode(1, 2), 2);
  EXPECT_EQ(ErrorNode(0, 3), 0);
  EXPECT_EQ(ErrorNode(-4, 3), 0);
  EXPECT_EQ(ErrorNode(2, 0, 5), 20) << "codes are not masked";
  EXPECT_EQ(ErrorNode(2, 5, 1), 5 | 4) << "a large code overlaps the next field";
  EXPECT_EQ(ErrorNode(16, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3), -1);
  EXPECT_EQ(ErrorNode(17, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 3), 1 << 30)
      << "a seventeenth code falls off the result";
}

TEST_F(Errors, StaticErrorsAreCompleteRecordsWithMeasuredMessages) {
  struct Case {
    aError const* record;
    char const* text;
    std::uint32_t size;
  };
  for (Case c : {Case{sError_OutOfMemory, "out of memory", 14}, Case{sError_Invalid, "invalid", 8},
                 Case{sError_Interrupted, "interrupted", 12}}) {
    SCOPED_TRACE(c.text);
    expect_error(const_cast<aError*>(c.record), c.text, 0);
    EXPECT_EQ(c.record->message->size, c.size);
  }
}

TEST(ErrorTexts, AreTheLibrarysExactTexts) {
  namespace text = vellum::error_text;
  std::pair<char const*, char const*> const expected[] = {
      {text::out_of_memory, "out of memory"},
      {text::array_size_mismatch, "array size mismatch"},
      {text::invalid_dimension, "invalid dimension"},
      {text::must_be_square, "must be square"},
      {text::index_out_of_bounds, "index out of bounds"},
      {text::unknown_error, "Unknown error"},
      {text::file_extension_error, "file extension error"},
      {text::not_nested(1), "1.may not be nested"},
      {text::not_nested(2), "2.may not be nested"},
      {text::not_nested(4), "4.may not be nested"},
      {text::must_be_string_1, "1.must be string"},
      {text::must_be_string_2, "2.must be string"},
      {text::illegal_context, "illegal context"},
  };
  for (auto const& [actual, wanted] : expected) EXPECT_STREQ(actual, wanted);
}

}  // namespace
