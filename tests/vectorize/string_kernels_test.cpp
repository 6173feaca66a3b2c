// The string, mixed and context-passing overloads.
#include "tests/support/test_support.h"
#include "tests/vectorize/recorder.h"

namespace vellum::test {
namespace {

class StringKernels : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    g_recorder.reset();
    alpha = aString::mk(allocator, "alpha");
    beta = aString::mk(allocator, "beta");
    given = aString::mk(allocator, "given");
    for (aString* s : {alpha, beta, given}) host.keep(s);
  }
  // A one-column vector whose cells are given as they are stored (numbers or nested cells),
  // with a leading dimension larger than its rows.
  aVector* vector(std::vector<double> cells, std::optional<std::vector<double>> imag = std::nullopt) {
    int rows = static_cast<int>(cells.size());
    aMatrix* m = host::make_matrix(allocator, {rows, 1, cells, imag, rows + 2});
    host.keep(m);
    host.clear_calls();
    return view_as<aVector>(m);
  }
  double cell(aString const* s) { return make_nested_cell(s); }

  aString* alpha = nullptr;
  aString* beta = nullptr;
  aString* given = nullptr;
};

TEST_F(StringKernels, AGivenStringMeetsEveryStringCellInOperandOrder) {
  aVector* strings = vector({cell(alpha), cell(beta)});
  g_recorder.imag_part = false;
  aVector* left = vlVectorize(context, record_strings, given, strings);
  ASSERT_EQ(g_recorder.calls, 2u);
  EXPECT_EQ(g_recorder.strings[0][0], given);
  EXPECT_EQ(g_recorder.strings[0][1], alpha);
  EXPECT_EQ(g_recorder.strings[1][1], beta);
  EXPECT_EQ(left->rows, 2);
  EXPECT_EQ(left->cols, 1);
  EXPECT_EQ(left->real[1], 2.0);
  EXPECT_EQ(left->imag, nullptr) << "real unless an imaginary part is not zero";

  g_recorder.reset();
  g_recorder.imag_part = true;
  aVector* right = vlVectorize(context, record_strings, strings, given);
  EXPECT_EQ(g_recorder.strings[1][0], beta);
  EXPECT_EQ(g_recorder.strings[1][1], given);
  ASSERT_NE(right->imag, nullptr);
  EXPECT_EQ(right->imag[1], -2.5);
  EXPECT_EQ(host.calls(30), 2u);
}

TEST_F(StringKernels, ACellThatIsNoStringStopsTheKernelWithItsOperandsText) {
  aMatrix* not_a_string = host::make_matrix(allocator, {1, 1, std::vector<double>{1.0}, std::nullopt, 0});
  host.keep(not_a_string);
  for (double bad : {4.0, make_nested_cell(nullptr), make_nested_cell(not_a_string)}) {
    aVector* strings = vector({cell(alpha), bad, cell(beta)});
    g_recorder.reset();
    char const* text = thrown_text([&] { vlVectorize(context, record_strings, given, strings); });
    EXPECT_STREQ(text, "2.must be string");
    EXPECT_EQ(g_recorder.calls, 1u) << "row 0 was called";
    text = thrown_text([&] { vlVectorize(context, record_strings, strings, given); });
    EXPECT_STREQ(text, "1.must be string");
    EXPECT_EQ(host.calls(30), 0u) << "the scratch arrays went with the exception";
  }
  aMatrix* absent = host::make_matrix(allocator, {2, 1, std::nullopt, std::vector<double>{1, 2}, 0});
  host.keep(absent);
  EXPECT_STREQ(thrown_text([&] { vlVectorize(context, record_strings, given, view_as<aVector>(absent)); }),
               "2.must be string");
}

TEST_F(StringKernels, MixedPairsChooseTheFunctionRowByRowFromTheFirstVector) {
  aVector* first = vector({cell(alpha), 2.0}, std::vector<double>{0.0, 0.5});
  aVector* second = vector({cell(beta), 3.0});
  g_recorder.real_part = false;
  g_recorder.imag_part = false;
  aVector* result = vlVectorize(context, record<scalar_val, scalar_val>, record_strings, first, second);
  ASSERT_EQ(g_recorder.calls, 2u);
  EXPECT_EQ(g_recorder.strings[0][0], alpha);
  EXPECT_EQ(g_recorder.strings[0][1], beta);
  EXPECT_EQ(g_recorder.inputs[1][0].real, 2.0);
  EXPECT_EQ(g_recorder.inputs[1][0].imag, 0.5);
  EXPECT_EQ(g_recorder.inputs[1][1].real, 3.0);
  EXPECT_EQ(bits(g_recorder.inputs[1][1].imag), 0u);
  ASSERT_NE(result->real, nullptr) << "always both arrays, even of zeros";
  ASSERT_NE(result->imag, nullptr);
  EXPECT_EQ(result->rows, 2);
  EXPECT_EQ(result->ld, 2);
}

TEST_F(StringKernels, MixedPairsRequireRowsThatAgree) {
  struct Case {
    std::vector<double> first, second;
    char const* text;
  };
  aMatrix* matrix = host::make_matrix(allocator, {1, 1, std::vector<double>{1.0}, std::nullopt, 0});
  host.keep(matrix);
  Case const cases[] = {
      {{2.0}, {cell(alpha)}, "2.may not be nested"},
      {{cell(alpha)}, {2.0}, "2.must be string"},
      {{make_nested_cell(matrix)}, {cell(alpha)}, "1.must be string"},
      {{make_nested_cell(nullptr)}, {cell(alpha)}, "1.must be string"},
      {{cell(alpha)}, {make_nested_cell(nullptr)}, "2.must be string"},
  };
  for (Case const& c : cases) {
    aVector* first = vector(c.first);
    aVector* second = vector(c.second);
    g_recorder.reset();
    EXPECT_STREQ(thrown_text([&] { vlVectorize(context, record<scalar_val, scalar_val>, record_strings, first, second); }),
                 c.text);
    EXPECT_EQ(g_recorder.calls, 0u);
    EXPECT_EQ(host.calls(30), 1u) << "the direct kernel's record stays with the host";
  }

  aVector* two = vector({1.0, 2.0});
  aVector* three = vector({1.0, 2.0, 3.0});
  faults::count_only();
  EXPECT_STREQ(thrown_text([&] { vlVectorize(context, record<scalar_val, scalar_val>, record_strings, two, three); }),
               "array size mismatch");
  EXPECT_EQ(faults::allocations_since_arm(), 0u);
  faults::disarm();
}

struct ContextCall {
  EfiCallContext* context;
  aMatrix* matrices[3];
  scalar_val x;
};
ContextCall g_context_calls[8];
std::size_t g_context_count = 0;

void record_context(scalar_val& result, EfiCallContext* context, aMatrix* a, aMatrix* b, aMatrix* c,
                    scalar_val const& x) {
  g_context_calls[g_context_count] = {context, {a, b, c}, x};
  result = {x.real * 2, g_context_count == 1 ? 1.0 : 0.0};
  ++g_context_count;
}

TEST_F(StringKernels, TheContextKernelPassesItsContextAndMatricesThroughUntouchedAndTakesEmptyVectors) {
  aVector* v = vector({1.0, 2.0, 3.0}, std::vector<double>{0.5, 0.0, -0.5});
  auto* a = reinterpret_cast<aMatrix*>(0x10);  // never read
  auto* b = reinterpret_cast<aMatrix*>(0x20);
  aMatrix* c = nullptr;
  g_context_count = 0;
  aVector* result = vlVectorize(context, record_context, a, b, c, v);
  ASSERT_EQ(g_context_count, 3u);
  for (std::size_t k = 0; k < 3; ++k) {
    EXPECT_EQ(g_context_calls[k].context, context);
    EXPECT_EQ(g_context_calls[k].matrices[0], a);
    EXPECT_EQ(g_context_calls[k].matrices[1], b);
    EXPECT_EQ(g_context_calls[k].matrices[2], c);
    EXPECT_EQ(g_context_calls[k].x.real, 1.0 + k);
  }
  EXPECT_EQ(g_context_calls[2].x.imag, -0.5) << "the vector is read as complex";
  ASSERT_NE(result->imag, nullptr) << "one imaginary part was not zero";
  EXPECT_EQ(result->imag[1], 1.0);

  v->real[1] = make_nested_cell(alpha);
  g_context_count = 0;
  EXPECT_STREQ(thrown_text([&] { vlVectorize(context, record_context, a, b, c, v); }), "4.may not be nested");
  EXPECT_EQ(g_context_count, 1u);

  // An empty vector: no call, and a real result.
  g_context_count = 0;
  result = vlVectorize(context, record_context, nullptr, nullptr, nullptr, vector({}));
  EXPECT_EQ(g_context_count, 0u);
  EXPECT_EQ(result->rows, 0);
  EXPECT_NE(result->real, nullptr);
  EXPECT_EQ(result->imag, nullptr);
}

TEST_F(StringKernels, TrimmedResultsCountNegativeZeroAsZero) {
  // Every real part -0.0 and an imaginary part not zero: the real array is dropped.
  aMatrix* m = host::make_matrix(allocator, {2, 1, std::vector<double>{1, 2}, std::vector<double>{3, 4}, 0});
  host.keep(m);
  auto negate_to_imaginary = [](scalar_val& r, scalar_val const& x) { r = {-0.0, x.real}; };
  aCplxMatrix* result = vlVectorize(context, +negate_to_imaginary, view_as<aCplxMatrix>(m));
  EXPECT_EQ(result->real, nullptr);
  ASSERT_NE(result->imag, nullptr);
  EXPECT_EQ(result->imag[1], 2.0);
}

}  // namespace
}  // namespace vellum::test
