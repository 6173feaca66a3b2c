// The literal syntax of the reference host, read through parse_literal and printed back.
#include <bit>
#include <random>
#include <string_view>

#include "host/library/literal.h"
#include "host/library/printer.h"
#include "tests/support/sweep.h"
#include "tests/support/test_support.h"

namespace vellum::test {
namespace {

class LiteralTest : public HostTest {
 protected:
  Anyval* parse(std::string_view text) {
    Anyval* value = host::parse_literal(allocator, text);
    host.keep(value);
    return value;
  }
};

// Text, how it prints (numbers in the shortest digits that read back to the same double); the
// printed and the displayed text read back as the same value.
TEST_F(LiteralTest, ReadsAndPrintsBack) {
  std::string const deepest = std::string(200, '[') + "\"x\"" + std::string(200, ']');
  std::pair<std::string_view, std::string_view> const cases[] = {
      {"2", "2"}, {"-1.5e3", "-1500"}, {"  +.25  ", "0.25"}, {"3-4i", "3 - 4i"}, {"-2.5i", "-2.5i"}, {"0.1", "0.1"},
      {"-0", "-0"}, {"0 - 0i", "-0i"}, {"-0 + 1i", "-0 + 1i"}, {"1e-300", "1e-300"}, {"1e-400", "0"},
      {"4.94065645841247e-324", "5e-324"}, {"0.30000000000000004", "0.30000000000000004"},
      {"-2.2250738585072014e-308", "-2.2250738585072014e-308"}, {"123456789.12345679", "123456789.12345679"},
      {"\"text\"", "\"text\""}, {"\"\"", "\"\""}, {"\"say \\\"hi\\\" \\\\ bye\"", "\"say \\\"hi\\\" \\\\ bye\""},
      {"[1,2;3,4]", "[1, 2; 3, 4]"}, {"[\n 1,  -0i;\n 3 - 1i,  4\n]", "[1, -0i; 3 - 1i, 4]"}, {deepest, deepest},
      {"[1; [2; 3]; \"a\"]", "[1; [2; 3]; \"a\"]"}, {std::string_view("12345", 2), "12"},  // to the view's end
      {"-inf", "-inf"}, {"[nan, -nan(0x1)]", "[nan, -nan(0x1)]"}, {"1 - infi", "1 - infi"}, {"nan(0x8000000000000)", "nan"},
      {"[ ]", "[]"}, {"[](0x1)", "[]"}, {"[[](0x3)]", "[[](0x3)]"}, {"\"\\x41\\t\\r\\x7F\"", "\"A\\t\\r\\x7f\""},
  };
  for (auto const& [text, printed] : cases) {
    Anyval* value = parse(text);
    EXPECT_EQ(host::format_value(value), printed) << text;
    EXPECT_EQ(host::format_value(parse(printed)), printed) << text;
    EXPECT_EQ(host::format_value(parse(host::format_display(value))), printed) << text;
  }
  // A number's record is written whole; a matrix is column-major, and real unless a part is not.
  EXPECT_EQ(static_cast<aComplex const*>(parse("3-4i"))->reserved, 0);
  auto const* m = static_cast<aMatrix const*>(parse("[1, 2, 3; 4, 5, 6]"));
  EXPECT_EQ(std::tuple(m->tag, m->rows, m->cols, m->ld, m->imag), std::tuple(ValueTag::Matrix, 2, 3, 2, nullptr));
  EXPECT_EQ(std::vector<double>(m->real, m->real + 6), (std::vector<double>{1, 4, 2, 5, 3, 6}));
  EXPECT_EQ(host::format_display(parse("[1, -22.5; 300, 4i; 5, [1]]")), "[  1, -22.5;\n 300,    4i;\n   5,   [1]]");
  expect_nothing_left();
}

// Every kind of malformed text, with the column named. The literal fuzzer found the last five, once
// read wrongly or fatal: numbers read as infinity (printed "inf", which no literal is), NUL bytes
// (they ended the message, and in a matrix the text), nesting that recursed past the stack.
TEST_F(LiteralTest, MalformedTextNamesTheColumn) {
  std::string const deep = std::string(100000, '[') + "1" + std::string(100000, ']');
  std::pair<std::string_view, std::string> const cases[] = {
      {"", "'' at column 1: value missing"}, {"x", "'x' at column 1: not a number, string or matrix"},
      {"2 3", "'2 3' at column 3: unexpected text after the value"},
      {"1e", "'1e' at column 3: exponent without digits"},
      {"[](2x3)", "'[](2x3)' at column 3: a matrix without cells is [] or [](0xCOLUMNS), COLUMNS at least 1"},
      {"[](0x0)", "'[](0x0)' at column 3: a matrix without cells is [] or [](0xCOLUMNS), COLUMNS at least 1"},
      {"nan(1)", "'nan(1)' at column 4: a NaN's payload is written (0x...)"},
      {"nan(0x0)", "'nan(0x0)' at column 7: a NaN's payload is 0x1 to 0xfffffffffffff"},
      {"\"\\x4\"", "'\"\\x4\"' at column 4: \\x without two hexadecimal digits"},
      {"\"a\\0\"", "'\"a\\0\"' at column 5: a string ends at its first NUL byte: \\0 cannot stand inside one"},
      {"3 - 4", "'3 - 4' at column 6: imaginary part without its i"},
      {"\"abc", "'\"abc' at column 5: string without its closing quote"},
      {"\"a\\q\"", "'\"a\\q\"' at column 4: unknown escape in string"},
      {"[1, 2", "'[1, 2' at column 6: matrix without its closing ]"},
      {"[1 2]", "'[1 2]' at column 4: expected ',', ';' or ']'"},
      {"[1, 2; 3]", "'[1, 2; 3]' at column 1: the rows of the matrix have different lengths"},
      {"[1, \"a]", "'[1, \"a]' at column 8: string without its closing quote"},
      {"1e388", "'1e388' at column 1: number out of range"},
      {"[2, -1e400i]", "'[2, -1e400i]' at column 6: number out of range"},
      {std::string_view("\0", 1), "'\\0' at column 1: not a number, string or matrix"},
      {std::string_view("[1\0]", 4), "'[1\\0]' at column 3: expected ',', ';' or ']'"},
      {deep, "'" + deep.substr(0, 60) + "... (200001 bytes)' at column 201: matrices nested more than 200 deep"},
  };
  for (auto const& [text, message] : cases) {
    try {
      host::parse_literal(allocator, text);
      ADD_FAILURE() << "accepted: " << message;
    } catch (host::HostError const& e) {
      EXPECT_EQ(e.what(), "malformed literal " + message);
    }
  }
  host.release_unkept();
}

// Every printed value reads back to the same bits: random bit patterns as numbers, complex
// numbers and matrix cells (NaN payloads, infinities, subnormal numbers, negative zeros among
// them), and random strings of every byte but NUL.
TEST_F(LiteralTest, EveryPrintedValueReadsBackToTheSameBits) {
  std::mt19937_64 random(7);
  std::uint64_t const specials[] = {0, 1ull << 63, 0x7FF0000000000000, 0xFFF0000000000001, 0x7FF8000000000000, 1};
  auto bits = [&](int k) { return k < 6 ? specials[k] : random() >> (random() % 2 ? 0 : 12); };
  for (int k = 0; k < 3000; ++k) {
    double const re = std::bit_cast<double>(bits(k % 7)), im = std::bit_cast<double>(bits(k % 3 ? 6 : k % 6));
    std::string const text = host::format_number(re, im);
    auto const* z = static_cast<aComplex const*>(parse(text));
    auto const pattern = [](double x) { return std::bit_cast<std::uint64_t>(x); };
    ASSERT_EQ(std::pair(pattern(z->real), pattern(z->imag)), std::pair(pattern(re), pattern(im))) << text;
    auto const* m = static_cast<aMatrix const*>(parse("[" + text + ", 1]"));
    ASSERT_EQ(pattern(*elem_ptr(m->imag, m->ld, 0, 0)), pattern(im)) << text;  // no array: +0
    std::string bytes(random() % 8, '\0');
    for (char& c : bytes) c = static_cast<char>(1 + random() % 255);
    std::string const quoted = host::format_value(aString::mk(allocator, bytes.c_str()));
    ASSERT_EQ(static_cast<aString const*>(parse(quoted))->text, bytes) << quoted;
  }
  host.release_all();
}

// Whichever allocation fails or record is refused while a literal is read, once or from then on,
// the parse ends with std::bad_alloc and whatever it had made (part arrays, cells, nested records)
// is reclaimed (the sweep's own checks).
TEST_F(LiteralTest, RunningOutOfMemoryLeavesNothingBehind) {
  Anyval* value = nullptr;
  SweepPoints points = sweep(
      "literal",
      [&] { value = nullptr, value = host::parse_literal(allocator, "[1, [2; 3i]; \"a\", 4-5i]"); },
      [&](Step const& step) {
        EXPECT_EQ(step.ended, !step.completed());
        EXPECT_TRUE(!value || host::format_value(value) == "[1, [2; 3i]; \"a\", 4 - 5i]") << host::format_value(value);
      },
      {&host, host::HostAllocator::Refusal::EndCall, nullptr, 1000});
  EXPECT_TRUE(points.memory > 8 && points.host > 4) << "the literal makes records and arrays enough to fail more";
}

}  // namespace
}  // namespace vellum::test
