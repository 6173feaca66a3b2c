// Error records: the position prefix of a text, the forms that keep a text whole, patch_error,
// ErrorNode, the static records, and the library's own texts as mkError reads them.
#include <string>
#include <tuple>

#include "tests/support/test_support.h"

namespace {

using std::make_tuple;
using Errors = vellum::test::HostTest;

// An error of the library's own making: tag 0, code 0, no value, a string message.
void expect_error(Anyval const* value, char const* message, int position) {
  auto const* e = static_cast<aError const*>(value);
  EXPECT_EQ(make_tuple(e->tag, e->code, e->position, e->value, e->message->tag),
            make_tuple(ValueTag::Error, 0, position, nullptr, ValueTag::String));
  EXPECT_STREQ(e->message->text, message);
}

TEST_F(Errors, PositionPrefixIsStrippedOnlyByTheContextFormWithAZeroPosition) {
  // The text and position given, the message and position made.
  std::tuple<char const*, int, char const*, int> const cases[] = {
      {"1.may not be nested", 0, "may not be nested", 1}, {"1.may not be nested", 5, "1.may not be nested", 5},
      {"3.x", -1, "3.x", -1}, {"123", 0, "", 123}, {"09.lead", 0, "lead", 9}, {"", 0, "", 0}, {nullptr, 0, nullptr, 0},
      {"12abc", 0, "abc", 12}, {"4..x", 0, ".x", 4},  // without a point the digits go all the same; one point goes
      {".5 no digit first", 0, ".5 no digit first", 0}, {"4294967305.x", 0, "x", 9},  // 2^32 + 9 wraps to 9
  };
  for (auto [text, position, message, made_position] : cases)
    expect_error(mkError(context, text, position), message, made_position);
  aString* message = aString::mk(allocator, "2.must be string");
  Anyval* with_record = mkError(context, message, 0);
  expect_error(with_record, "2.must be string", 0);
  EXPECT_EQ(static_cast<aError*>(with_record)->message, message) << "the message record is used as it is";
  expect_error(mkError(allocator, "2.must be string", 0), "2.must be string", 0);
}

TEST_F(Errors, PatchErrorSaysIllegalContextForLambdasRangesAndFunctionsOnly) {
#define TAG_ENTRY(number, kind) ValueTag::kind,
  for (ValueTag tag : {VELLUM_VALUE_TAGS(TAG_ENTRY)}) {
    Anyval value{tag};
    bool illegal = tag == ValueTag::Lambda || tag == ValueTag::Range || tag == ValueTag::Function;
    expect_error(patch_error(context, "2.given", &value, 4), illegal ? "illegal context" : "2.given", 4);
  }
}

TEST(ErrorNode, PacksTwoBitCodesUnmasked) {
  EXPECT_EQ(make_tuple(ErrorNode(3, 1, 2, 3), ErrorNode(1, 2), ErrorNode(0, 3), ErrorNode(-4, 3), ErrorNode(2, 5, 1)),
            make_tuple(1 + 2 * 4 + 3 * 16, 2, 0, 0, 5 | 1 << 2));  // a large code overlaps the next field
  EXPECT_EQ(ErrorNode(16, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3), -1);
  EXPECT_EQ(ErrorNode(17, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 3), 1 << 30) << "a 17th code falls off";
}

// The static records hold the library's texts, measured with their NUL. Every text of the library
// read by mkError reads back whole: a prefix becomes the error's position, the rest its message.
TEST_F(Errors, TheLibrarysTextsAndStaticRecords) {
  namespace text = vellum::error_text;
  using Static = std::pair<aError const*, char const*>;
  for (auto [record, message] : {Static{sError_OutOfMemory, text::out_of_memory}, Static{sError_Invalid, text::invalid},
                                 Static{sError_Interrupted, text::interrupted}}) {
    expect_error(record, message, 0);
    EXPECT_EQ(record->message->size, std::strlen(message) + 1) << message;
  }
  auto read_back = [&](char const* whole) {
    auto const* e = static_cast<aError const*>(mkError(context, whole, 0));
    return (e->position ? std::to_string(e->position) + "." : "") + e->message->text;
  };
#define READ_BACK_ROW(name, whole) EXPECT_EQ(read_back(text::name), whole);
  VELLUM_ERROR_TEXTS(READ_BACK_ROW)
  for (int position : {1, 2, 4}) EXPECT_EQ(read_back(text::not_nested(position))[0], '0' + position);
}

}  // namespace
