// The literal syntax of the reference host, read through parse_literal and printed back.
#include <cmath>
#include <string>

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
      {"2", "2"},
      {"-1.5e3", "-1500"},
      {"  +.25  ", "0.25"},
      {"3-4i", "3 - 4i"},
      {"3 + 4i", "3 + 4i"},
      {"-2.5i", "-2.5i"},
      {"0.1", "0.1"},
      {"1e-300", "1e-300"},
      {"-0", "-0"},
      {"0 - 0i", "-0i"},
      {"\"text\"", "\"text\""},
      {"\"say \\\"hi\\\" \\\\ bye\"", "\"say \\\"hi\\\" \\\\ bye\""},
      {"\"\"", "\"\""},
      {"[1, 2; 3, 4]", "[1, 2; 3, 4]"},
      {"[1,2,3]", "[1, 2, 3]"},
      {"[1; 2; 3]", "[1; 2; 3]"},
      {"[1, 2i; 3 - 1i, 4]", "[1, 2i; 3 - 1i, 4]"},
      {"[1, [2; 3]; \"a\", 4]", "[1, [2; 3]; \"a\", 4]"},
      {"[[[\"deep\"]]]", "[[[\"deep\"]]]"},
      {"[\n 1,  2;\n 3,  4\n]", "[1, 2; 3, 4]"},
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

TEST_F(LiteralTest, MalformedTextNamesTheColumn) {
  struct Bad {
    char const* text;
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
  };
  for (auto const& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      host::parse_literal(allocator, c.text);
      ADD_FAILURE() << "accepted";
    } catch (host::HostError const& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
  host.release_all();
}

}  // namespace
}  // namespace vellum::test
