// The example packs' own tests, written as a pack author writes them: the pack is loaded from
// its module (the build passes the paths), called with literal arguments, and every call fails
// when the function leaves records or arrays behind.
#include <bit>
#include <cmath>

#include <gtest/gtest.h>

#include <vellum/vellum.h>

#include <host/pack_testing.h>

namespace {

using vellum::host::PackUnderTest;

struct Call {
  char const* function;
  std::initializer_list<std::string_view> args;
  char const* printed;
};

void expect_calls(PackUnderTest& pack, std::initializer_list<Call> calls) {
  for (auto const& c : calls) {
    SCOPED_TRACE(c.function);
    EXPECT_EQ(pack.call(c.function, c.args), c.printed);
  }
}

TEST(ElementwisePack, Calls) {
  PackUnderTest pack(ELEMENTWISE_PACK);
  expect_calls(pack, {
      {"sqrt", {"[4, -9; 16, -1]"}, "[2, 3i; 4, 1i]"},
      {"sqrt", {"[-4i]"}, "[1.4142135623730951 - 1.4142135623730951i]"},
      {"sqrt", {"[1, \"a\"]"}, "error in argument 1: may not be nested"},
      {"hypot", {"[3, 5; 8, 3i]", "[4, 12; 15, 4]"}, "[5, 13; 17, 5]"},
      {"hypot", {"[3, 5]", "[4; 12]"}, "error: array size mismatch"},
      {"scale", {"[1, 2; 3, 4]", "2-1i"}, "[2 - 1i, 4 - 2i; 6 - 3i, 8 - 4i]"},
      {"scale", {"[1; -2]", "0.5"}, "[0.5; -1]"},
  });
}

// The imaginary part of a negative element's root is the square root of its magnitude, exactly.
TEST(ElementwisePack, RootsOfNegativesAreExact) {
  PackUnderTest pack(ELEMENTWISE_PACK);
  auto const* m = static_cast<aMatrix const*>(pack.call_value("sqrt", {"[-2, -3, 2]"}));
  ASSERT_EQ(m->tag, ValueTag::Matrix);
  ASSERT_NE(m->imag, nullptr);
  double const imag[] = {std::sqrt(2.0), std::sqrt(3.0), 0.0};
  double const real[] = {0.0, 0.0, std::sqrt(2.0)};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(m->real[k]), std::bit_cast<std::uint64_t>(real[k])) << k;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(m->imag[k]), std::bit_cast<std::uint64_t>(imag[k])) << k;
  }
}

TEST(MatrixPack, Calls) {
  PackUnderTest pack(MATRIX_PACK);
  expect_calls(pack, {
      {"mmul", {"[1, 2; 3, 4]", "[1, 0.5; -1, 2]"}, "[-1, 4.5; -1, 9.5]"},
      {"mmul", {"[1, 2, 3]", "[4; 5; 6]"}, "[32]"},
      {"mmul", {"[1, 2]", "[1, 2]"}, "error in argument 2: must have as many rows as argument 1 has columns"},
      {"mmul", {"[1, 2; 3, 4]", "[1, [2]; 3, 4]"}, "error in argument 2: may not be nested"},
      {"transpose", {"[1, 2, 3; 4, 5, 6]"}, "[1, 4; 2, 5; 3, 6]"},
      {"transpose", {"[7]"}, "[7]"},
      {"transpose", {"[\"a\"]"}, "error in argument 1: may not be nested"},
  });
}

TEST(StringsPack, Calls) {
  PackUnderTest pack(STRINGS_PACK);
  expect_calls(pack, {
      {"upper", {"\"Mixed case, 42\""}, "\"MIXED CASE, 42\""},
      {"upper", {"\"\""}, "\"\""},
      {"join", {"\"ab\"", "\"c\\\"d\""}, "\"abc\\\"d\""},
      {"join", {"\"ab\"", "[1]"}, "error in argument 2: must be string"},
      {"join", {"3i", "\"x\""}, "error in argument 1: must be string"},
  });
}

}  // namespace
