// DCOMPLEX arithmetic bit for bit, the argument checks at their tolerances and range ends, and
// full paths from a directory value and a name.
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "tests/numerics/matrices.h"

namespace vellum::test {
namespace {

// Results that every correct rounding gives, and rows where a branch of the scaled quotient,
// modulus or root decides a last bit or a sign.
TEST(ComplexArithmetic, ResultsBitForBit) {
  std::pair<DCOMPLEX, DCOMPLEX> const cases[] = {  // the result, and what it must be
      {Conjg({1, 0}), {1, -0.0}},  // a zero imaginary part is negated too
      {Cadd({1, 2}, {0.5, -4}), {1.5, -2}}, {Csub({1, 2}, {0.5, -4}), {0.5, 6}}, {Cmul({1, 2}, {3, 4}), {-5, 10}},
      {RCmul(-2, {1.5, 0}), {-3, -0.0}}, {Cdiv({-5, 10}, {3, 4}), {1, 2}}, {Cdiv({1, 2}, {4, 3}), {0.4, 0.2}},
      {Cdiv({0, 0}, {1, -1}), {0.0, 0.0}},  // a tie: r = -1, d = 2; the other branch gives -0.0
      {Cdiv({1, 2}, {3, -1}), {0.1, std::nextafter(0.7, 1.0)}},  // (1 + 7i) / 10: r = -1/3 rounds 0.7 up
      {Csqrt({3, 4}), {2, 1}}, {Csqrt({-3, -4}), {1, -2}}, {Csqrt({-4, 0}), {0, 2}},
      {Csqrt({-4, -0.0}), {-0.0, 2}},  // -0 counts as non-negative
      {Csqrt({0, 2}), {1 + 0x1p-52, 1 - 0x1p-52}},  // w = sqrt(2) sqrt(0.5) rounds up; then 1 / w
      {Csqrt({4, 3}), {0x1.0f876ccdf6cd9p+1, 0x1.6a09e667f3bcdp-1}},  // 2 sqrt(1.125) and 3 / that
      {{Cabs({3, -4}), Cabs({4, -3})}, {5, 5}},
      {{Cabs({-0.0, -7}), Cabs({-2, 0})}, {7, 2}},
      {{Cabs({1e200, -1e200}), Cabs({0x1p1023, 0x1p1022})}, {1e200 * std::sqrt(2.0), 0x1p1023 * std::sqrt(1.25)}},
  };
  for (auto const& [actual, expected] : cases)
    EXPECT_TRUE(bits(expected.real) == bits(actual.real) && bits(expected.imag) == bits(actual.imag)) << actual.real;
}

TEST_F(NumericsTest, ArgumentChecksAtTheirTolerancesAndRangeEndsAndFullPaths) {
  double const nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  // With a mean of about 1, the quotient is about the difference; the third pair's is the tolerance.
  for (auto [a, b, equal] : {std::tuple{1.0, 1.0 + 0x1.0p-40, true}, {1.0, 1.0 + 0x1.2p-40, false},
                             {0x1.0005d38117734p+0, 0x1.0005d381188ccp+0, false}, {0.0, -0.0, true},
                             {0.0, 1e-300, false}, {-5.0, 5.0, false}, {nan, 1.0, true}, {1.0, inf, true}})
    EXPECT_TRUE(newApproxEq(a, b) == equal && newApproxEq(b, a) == equal) << a << " vs " << b;
  for (auto [x, result] : {std::pair{3.0, 0}, {3.00000000001, 0}, {2.99999999999, 0}, {3.001, 1}, {-6.99999999999, 0},
                           {-0.0, 0}, {1.0, 0}, {-1.0, 0}, {-0.99999999999, 1}, {2.5, 1}, {2147483647.0, 0},
                           {2147483648.0, 1}, {-2147483648.0, 0}, {-2147483649.0, 1}, {nan, 0}}) {
    aComplex z = complex_record(x, 0.0), w = complex_record(x, -1e-300);
    EXPECT_TRUE(nonint(x) == result && nonint(nullptr, &z) == result && nonint(nullptr, &w) == 1) << x;
  }
  // Relative names join a string directory; absolute ones stand alone.
  aString* work = aString::mk(allocator, "C:\\work");
  aComplex number = complex_record(1, 0);
  for (auto [name, directory, expected] : {
           std::tuple<char const*, Anyval const*, char const*>{"data.txt", work, "C:\\work\\data.txt"},
           {"data.txt", aString::mk(allocator, "C:\\work\\"), "C:\\work\\data.txt"},
           {"data.txt", aString::mk(allocator, ""), "\\data.txt"},
           {"sub/data.txt", aString::mk(allocator, "/tmp"), "/tmp\\sub/data.txt"},  // forward slashes mark nothing
           {"a\\\\b", work, "a\\\\b"},      // two backslashes anywhere
           {"odd:name", work, "odd:name"},  // a colon anywhere
           {"data.txt", &number, "data.txt"},
       }) {
    std::string path = "previous content";
    build_fullpath(aString::mk(allocator, name), directory, path);
    EXPECT_EQ(path, expected);
  }
  // A path without a period gets the extension; one with a period must contain it.
  for (auto [before, extension, accepted] : {std::tuple{"data", ".dat", true}, {"", ".dat", true},
                                             {"data.txt", ".dat", false}, {"my.dat.txt", ".dat", true},
                                             {"data.DAT", ".dat", false}}) {
    std::string path = before;
    char const* error = check_extension(path, extension);
    EXPECT_TRUE(accepted ? !error : error && std::string(error) == text::file_extension_error) << before;
    EXPECT_EQ(path, std::string(before) + (accepted && !std::strchr(before, '.') ? extension : "")) << before;
  }
}

}  // namespace
}  // namespace vellum::test
