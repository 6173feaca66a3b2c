// The literal syntax of the reference host, read through parse_literal and printed back.
#include <cmath>
#include <string>
#include <string_view>

#include "host/literal.h"
#include "host/printer.h"
#include "tests/support/test_support.h"

namespace vellum::test {
namespace {

class LiteralTest : public HostTest {
 protected:
  Anyval* parse(std::string const& text) {
    Anyval* value = host::parse_literal(allocator, text);
    host.keep(value);
    return value;
  }
};

// Text, and how it prints on one line; the printed text must read back as the same value.
struct RoundTrip {
  char const* text;
  char const* printed;
};

TEST_F(LiteralTest, ReadsAndPrintsBack) {
  RoundTrip const cases[] = {
      {"2", "2"}, {"-1.5e3", "-1500"}, {"  +.25  ", "0.25"}, {"3-4i", "3 - 4i"}, {"3 + 4i", "3 + 4i"},
      {"-2.5i", "-2.5i"}, {"0.1", "0.1"}, {"1e-300", "1e-300"}, {"-0", "-0"}, {"0 - 0i", "-0i"},
      {"\"text\"", "\"text\""}, {"\"say \\\"hi\\\" \\\\ bye\"", "\"say \\\"hi\\\" \\\\ bye\""}, {"\"\"", "\"\""},
      {"[1, 2; 3, 4]", "[1, 2; 3, 4]"}, {"[1,2,3]", "[1, 2, 3]"}, {"[1; 2; 3]", "[1; 2; 3]"},
      {"[1, 2i; 3 - 1i, 4]", "[1, 2i; 3 - 1i, 4]"}, {"[1, [2; 3]; \"a\", 4]", "[1, [2; 3]; \"a\", 4]"},
      {"[[[\"deep\"]]]", "[[[\"deep\"]]]"}, {"[\n 1,  2;\n 3,  4\n]", "[1, 2; 3, 4]"},
  };
  for (auto const& c : cases) {
    SCOPED_TRACE(c.text);
    Anyval* value = parse(c.text);
    std::string printed = host::format_value(value);
    EXPECT_EQ(printed, c.printed);
    EXPECT_EQ(host::format_value(parse(printed)), printed);
    EXPECT_EQ(host::format_value(parse(host::format_display(value))), printed);
  }
  expect_nothing_left();
}

// Values whose decimal text needs 17 digits come back bit for bit.
TEST_F(LiteralTest, NumbersComeBackExactly) {
  double const values[] = {0.1 + 0.2, 1.0 / 3.0, -2.2250738585072014e-308, 123456789.123456789, 5e-324};
  for (double x : values) {
    aComplex z = complex_record(x, -x);
    auto const* back = static_cast<aComplex const*>(parse(host::format_value(&z)));
    ASSERT_EQ(back->tag, ValueTag::Complex);
    EXPECT_BITS_EQ(x, back->real);
    EXPECT_BITS_EQ(-x, back->imag);
  }
}

TEST_F(LiteralTest, MatricesAreColumnMajorAndRealUnlessAPartIsNot) {
  auto const* m = static_cast<aMatrix const*>(parse("[1, 2, 3; 4, 5, 6]"));
  ASSERT_EQ(m->tag, ValueTag::Matrix);
  EXPECT_EQ(m->rows, 2);
  EXPECT_EQ(m->cols, 3);
  EXPECT_EQ(m->ld, 2);
  EXPECT_EQ(m->imag, nullptr);
  double const column_major[] = {1, 4, 2, 5, 3, 6};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(m->real[k], column_major[k]);

  auto const* c = static_cast<aMatrix const*>(parse("[1; -0i]"));
  ASSERT_NE(c->imag, nullptr);
  EXPECT_BITS_EQ(-0.0, c->imag[1]);

  auto const* nested = static_cast<aMatrix const*>(parse("[\"a\", [7]]"));
  ASSERT_TRUE(is_nested_cell(nested->real[0]));
  EXPECT_EQ(nested_value(nested->real[0])->tag, ValueTag::String);
  EXPECT_EQ(nested_value(nested->real[1])->tag, ValueTag::Matrix);
  expect_nothing_left();
}

TEST_F(LiteralTest, DisplayAlignsColumns) {
  EXPECT_EQ(host::format_display(parse("[1, -22.5; 300, 4i; 5, [1, 2]]")),
            "[  1,  -22.5;\n 300,     4i;\n   5, [1, 2]]");
  EXPECT_EQ(host::format_display(parse("\"x\"")), "\"x\"");
}

// Every kind of malformed text, with the column named. The last four were found by the literal
// fuzzer (fuzz/literal_fuzzer.cpp), each once read wrongly or fatal.
TEST_F(LiteralTest, MalformedTextNamesTheColumn) {
  struct Bad {
    std::string_view text;
    char const* message;
  } const cases[] = {
      {"", "malformed literal '' at column 1: value missing"},
      {"x", "malformed literal 'x' at column 1: not a number, string or matrix"},
      {"2 3", "malformed literal '2 3' at column 3: unexpected text after the value"},
      {"1e", "malformed literal '1e' at column 3: exponent without digits"},
      {"3 - 4", "malformed literal '3 - 4' at column 6: imaginary part without its i"},
      {"\"abc", "malformed literal '\"abc' at column 5: string without its closing quote"},
      {"\"a\\n\"", "malformed literal '\"a\\n\"' at column 4: unknown escape in string"},
      {"[1, 2", "malformed literal '[1, 2' at column 6: matrix without its closing ]"},
      {"[1 2]", "malformed literal '[1 2]' at column 4: expected ',', ';' or ']'"},
      {"[1, 2; 3]", "malformed literal '[1, 2; 3]' at column 1: the rows of the matrix have different lengths"},
      {"[]", "malformed literal '[]' at column 2: a matrix has at least one cell"},
      {"[1, \"a]", "malformed literal '[1, \"a]' at column 8: string without its closing quote"},
      // Beyond the largest double a number read as infinity, printed as "inf", which no literal is.
      {"1e388", "malformed literal '1e388' at column 1: number out of range"},
      {"[2, -1e400i]", "malformed literal '[2, -1e400i]' at column 6: number out of range"},
      // A NUL byte of the text ended the message before its column and reason; in a matrix it
      // was also taken for the end of the text.
      {std::string_view("\0", 1), "malformed literal '\\0' at column 1: not a number, string or matrix"},
      {std::string_view("[1\0]", 4), "malformed literal '[1\\0]' at column 3: expected ',', ';' or ']'"},
  };
  for (auto const& c : cases) {
    SCOPED_TRACE(c.message);
    try {
      host::parse_literal(allocator, c.text);
      ADD_FAILURE() << "accepted";
    } catch (host::HostError const& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
  host.release_all();
}

// Found by fuzzing as well: tiny numbers, and nesting deep enough to overflow the stack when
// every level was a level of recursion.
TEST_F(LiteralTest, TinyNumbersAndDeepNesting) {
  // Tiny numbers still read, rounded as usual.
  EXPECT_EQ(host::format_value(parse("[1e-400, 5e-324]")), "[0, 4.94065645841247e-324]");
  std::string const deep = std::string(100000, '[') + "1" + std::string(100000, ']');
  try {
    host::parse_literal(allocator, deep);
    ADD_FAILURE() << "accepted";
  } catch (host::HostError const& e) {
    EXPECT_TRUE(std::string(e.what()).ends_with("' at column 201: matrices nested more than 200 deep")) << e.what();
  }
  host.release_unkept();
  std::string const deepest = std::string(200, '[') + "\"x\"" + std::string(200, ']');
  EXPECT_EQ(host::format_value(parse(deepest)), deepest);
  expect_nothing_left();
}

// Whichever allocation fails while a literal is read, once or from then on, the parse ends with
// std::bad_alloc and whatever it had made (part arrays, cells, nested records) is reclaimed.
TEST_F(LiteralTest, RunningOutOfMemoryLeavesNothingBehind) {
  std::string const text = "[1, [2; 3i]; \"a\", 4-5i]";
  for (faults::Mode mode : {faults::Mode::Once, faults::Mode::Persistent}) {
    for (std::size_t nth = 1;; ++nth) {
      SCOPED_TRACE(testing::Message() << "allocation " << nth << (mode == faults::Mode::Once ? " once" : " on"));
      std::int64_t live_before = faults::live_blocks();
      Anyval* value = nullptr;
      faults::arm(nth, mode);
      try {
        value = host::parse_literal(allocator, text);
      } catch (std::bad_alloc const&) {
      }
      std::size_t failures = faults::failures_since_arm();
      faults::disarm();
      if (value) {
        EXPECT_EQ(failures, 0u);
        EXPECT_EQ(host::format_value(value), "[1, [2; 3i]; \"a\", 4 - 5i]");
        host.release_all();
        ASSERT_GT(nth, 4u) << "the literal makes records and arrays enough to fail more than this";
        break;
      }
      EXPECT_GT(failures, 0u);
      host.release_unkept();
      EXPECT_EQ(host.leak_report(), "");
      EXPECT_EQ(faults::live_blocks(), live_before);
      ASSERT_LT(nth, 1000u);
    }
  }
  expect_nothing_left();
}

}  // namespace
}  // namespace vellum::test
