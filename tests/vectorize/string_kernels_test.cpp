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
    alpha = aString::mk(allocator, "alpha"), beta = aString::mk(allocator, "beta");
    given = aString::mk(allocator, "given");
    number = host::make_matrix(allocator, {1, 1, std::vector<double>{1.0}, std::nullopt, 0});
    for (Anyval* record : std::initializer_list<Anyval*>{alpha, beta, given, number}) host.keep(record);
  }
  // A one-column vector of the cells as stored (numbers or nested cells), ld larger than rows.
  aVector* vector(std::vector<double> cells, std::optional<std::vector<double>> imag = std::nullopt) {
    int rows = static_cast<int>(cells.size());
    aMatrix* m = host::make_matrix(allocator, {rows, 1, std::move(cells), std::move(imag), rows + 2});
    host.keep(m);
    host.clear_calls();
    return view_as<aVector>(m);
  }
  aVector* mixed(aVector const* first, aVector const* second) {
    return vlVectorize(context, record<scalar_val, scalar_val>, record_strings, first, second);
  }
  // The recorder's answers in a result that keeps its imaginary array when `imag`.
  void expect_answers(aMatrix const* m, bool imag) {
    ASSERT_TRUE(m->real && (m->imag != nullptr) == imag && m->rows == int(g_recorder.calls) && m->cols == 1);
    for (std::size_t k = 0; k < g_recorder.calls; ++k)
      EXPECT_TRUE(bits(m->real[k]) == bits(g_recorder.answer(k).real) &&
                  (!imag || bits(m->imag[k]) == bits(g_recorder.answer(k).imag)));
  }
  aString *alpha, *beta, *given;
  aMatrix* number;
};

TEST_F(StringKernels, AGivenStringMeetsEveryStringCellInOperandOrderAndTheResultIsRealUnlessImaginary) {
  aVector* strings = vector({make_nested_cell(alpha), make_nested_cell(beta)});
  for (int answers = 0; answers < 8; ++answers) {
    g_recorder.reset();
    g_recorder.real_part = answers & 1;
    g_recorder.imag_part = answers & 2;
    bool given_first = answers & 4;
    aVector* result = given_first ? vlVectorize(context, record_strings, given, strings)
                                  : vlVectorize(context, record_strings, strings, given);
    for (std::size_t k = 0; k < 2; ++k) {
      EXPECT_EQ(g_recorder.strings[k][!given_first], given);
      EXPECT_EQ(g_recorder.strings[k][given_first], k ? beta : alpha);
    }
    expect_answers(result, g_recorder.imag_part);
  }
  for (double bad : {4.0, make_nested_cell(nullptr), make_nested_cell(number)}) {
    strings = vector({make_nested_cell(alpha), bad, make_nested_cell(beta)});
    g_recorder.reset();
    EXPECT_STREQ(thrown_text([&] { vlVectorize(context, record_strings, given, strings); }), "2.must be string");
    EXPECT_EQ(g_recorder.calls, 1u) << "row 0 was called";
    EXPECT_STREQ(thrown_text([&] { vlVectorize(context, record_strings, strings, given); }), "1.must be string");
    EXPECT_EQ(host.calls(30), 0u) << "the scratch arrays went with the exception";
  }
}

TEST_F(StringKernels, MixedPairsChooseTheFunctionRowByRowFromTheFirstVector) {
  aVector* first = vector({make_nested_cell(alpha), 2.0}, std::vector<double>{0.0, 0.5});
  g_recorder.real_part = g_recorder.imag_part = false;
  expect_answers(mixed(first, vector({make_nested_cell(beta), 3.0})), true);  // both arrays, even of zeros
  EXPECT_TRUE(g_recorder.strings[0][0] == alpha && g_recorder.strings[0][1] == beta);
  scalar_val const inputs[] = {{2.0, 0.5}, {3.0, 0.0}};
  EXPECT_EQ(std::memcmp(g_recorder.inputs[1], inputs, sizeof inputs), 0);
  struct Case {
    std::vector<double> first, second;
    char const* text;
  };
  for (Case const& c : {Case{{2.0}, {make_nested_cell(alpha)}, "2.may not be nested"},
                        Case{{make_nested_cell(alpha)}, {2.0}, "2.must be string"},
                        Case{{make_nested_cell(number)}, {make_nested_cell(alpha)}, "1.must be string"},
                        Case{{make_nested_cell(alpha)}, {make_nested_cell(number)}, "2.must be string"},
                        Case{{1.0, 2.0}, {1.0, 2.0, 3.0}, "array size mismatch"}}) {
    aVector *a = vector(c.first), *b = vector(c.second);
    g_recorder.reset();
    EXPECT_STREQ(thrown_text([&] { mixed(a, b); }), c.text);
    EXPECT_EQ(g_recorder.calls, 0u);
    // The direct kernel's record stays with the host; a size mismatch is found before it is made.
    EXPECT_EQ(host.calls(30), c.text[0] == 'a' ? 0u : 1u) << c.text;
  }
}

EfiCallContext* g_context = nullptr;
// The recorder, for a context and matrices that came through untouched.
void record_context(scalar_val& result, EfiCallContext* context, aMatrix* a, aMatrix* b, aMatrix* c,
                    scalar_val const& x) {
  if (context == g_context && a == c && !b) record(result, x);
}

TEST_F(StringKernels, TheContextKernelPassesItsContextAndMatricesThroughAndReadsTheVectorAsComplex) {
  g_context = context;
  auto* a = reinterpret_cast<aMatrix*>(0x10);  // never read
  aVector* v = vector({1.0, 2.0, 3.0}, std::vector<double>{0.5, 0.0, -0.5});
  for (bool imag : {true, false}) {
    g_recorder.reset();
    g_recorder.imag_part = imag;
    expect_answers(vlVectorize(context, record_context, a, nullptr, a, v), imag);  // real unless imaginary
    for (int k = 0; k < 3; ++k)
      EXPECT_TRUE(g_recorder.inputs[k][0].real == v->real[k] && g_recorder.inputs[k][0].imag == v->imag[k]);
  }
  v->real[1] = make_nested_cell(alpha);
  g_recorder.reset();
  EXPECT_STREQ(thrown_text([&] { vlVectorize(context, record_context, a, nullptr, a, v); }), "4.may not be nested");
  EXPECT_EQ(g_recorder.calls, 1u);
  g_recorder.reset();
  expect_answers(vlVectorize(context, record_context, a, nullptr, a, vector({})), false);  // no call, real
}

}  // namespace
}  // namespace vellum::test
