// Recognising records as typed views, and reading their elements into scalar_val.
#include <limits>

#include "tests/support/test_support.h"

namespace {

using vellum::test::bits;
using vellum::test::complex_record;
using vellum::test::from_bits;
using vellum::test::thrown_text;

TEST(Recognition, RealIsTestedFirstAndOnlyVectorsLookAtTheColumns) {
  double data[4] = {};
  struct Case {
    ValueTag tag;
    bool real, imag;
    int cols;
    bool real_vec, imag_vec, real_matrix, imag_matrix;
  };
  Case const cases[] = {
      {ValueTag::Matrix, true, false, 1, true, false, true, false},
      {ValueTag::Matrix, false, true, 1, false, true, false, true},
      {ValueTag::Matrix, false, true, 2, false, false, false, true},
      {ValueTag::Matrix, true, true, 1, false, false, false, false},
      {ValueTag::Matrix, false, false, 1, true, true, true, true},  // neither: real comes first
      {ValueTag::Matrix, false, false, 3, false, false, true, true},
      {ValueTag::Matrix, true, false, 0, false, false, true, false},
      {ValueTag::Complex, true, false, 1, false, false, false, false},
      {ValueTag::Error, false, false, 1, false, false, false, false},
  };
  for (Case const& c : cases) {
    aMatrix m{};
    m.tag = c.tag;
    m.real = c.real ? data : nullptr;
    m.imag = c.imag ? data : nullptr;
    m.rows = 2;
    m.cols = c.cols;
    SCOPED_TRACE(testing::Message() << "tag " << int(c.tag) << " real " << c.real << " imag " << c.imag
                                    << " cols " << c.cols);
    EXPECT_EQ(vellum::is_real_vec(&m), c.real_vec);
    EXPECT_EQ(vellum::is_imag_vec(&m), c.imag_vec);
    EXPECT_EQ(vellum::is_real_matrix(&m), c.real_matrix);
    EXPECT_EQ(vellum::is_imag_matrix(&m), c.imag_matrix);
  }
}

TEST(Recognition, PureRealNeedsTagTwoAndAZeroImaginaryPart) {
  struct Case {
    ValueTag tag;
    double imag;
    bool pure_real;
  };
  Case const cases[] = {
      {ValueTag::Complex, 0.0, true},     {ValueTag::Complex, -0.0, true},
      {ValueTag::Complex, 1e-300, false}, {ValueTag::Complex, std::numeric_limits<double>::quiet_NaN(), false},
      {ValueTag::String, 0.0, false},     {ValueTag::Matrix, 0.0, false},
  };
  for (Case const& c : cases) {
    aComplex z = complex_record(1.0, c.imag);
    z.tag = c.tag;
    EXPECT_EQ(vellum::is_pure_real(&z), c.pure_real) << int(c.tag) << " " << c.imag;
  }
}

TEST(Conversions, ReadOnlyThePartsTheViewHas) {
  double const real[3] = {1.5, -2.0, from_bits(0xFFFFFFFF00001234u)};
  double const imag[3] = {0.25, from_bits(0xFFFFFFFF00000000u), -0.0};

  scalar_val r = vellum::real_element(real, 1);
  EXPECT_EQ(bits(r.real), bits(-2.0));
  EXPECT_EQ(bits(r.imag), 0u);

  scalar_val i = vellum::imag_element(imag, 2);
  EXPECT_EQ(bits(i.real), 0u);
  EXPECT_EQ(bits(i.imag), bits(-0.0));

  scalar_val c = vellum::complex_element(real, imag, 0);
  EXPECT_EQ(c.real, 1.5);
  EXPECT_EQ(c.imag, 0.25);
  scalar_val no_real = vellum::complex_element(nullptr, imag, 1);
  EXPECT_EQ(bits(no_real.real), 0u);
  EXPECT_EQ(bits(no_real.imag), 0xFFFFFFFF00000000u) << "imaginary cells are plain numbers";
  scalar_val no_imag = vellum::complex_element(real, nullptr, 0);
  EXPECT_EQ(bits(no_imag.imag), 0u);

  aComplex z = complex_record(4.0, std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(bits(vellum::to_scalar(*vellum::view_as<aPureReal>(&z)).imag), 0u)
      << "a pure real's stored imaginary part is not read";
  scalar_val full = vellum::to_scalar(z);
  EXPECT_EQ(full.real, 4.0);
  EXPECT_TRUE(full.imag != full.imag);
}

TEST(NestedCellTest, ThrowsTheOperandsStaticTextAsCharPointer) {
  for (int position : {1, 2, 4}) {
    char const* expected = vellum::error_text::not_nested(position);
    EXPECT_EQ(thrown_text([&] { vellum::check_not_nested(from_bits(0xFFFFFFFF00000010u), expected); }), expected);
    EXPECT_EQ(expected[0], '0' + position);
  }
  EXPECT_EQ(thrown_text([] { vellum::check_not_nested(from_bits(0xFFFFFFFE00000000u), "x"); }), nullptr);
}

}  // namespace
