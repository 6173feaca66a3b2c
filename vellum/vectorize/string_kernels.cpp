// The string, mixed and context-passing overloads: the same skeletons with other readers.
#include <vellum/vectorize/skeletons.h>
#include <vellum/vectorize/vectorize.h>

namespace {

using namespace vellum::kernels;
namespace text = vellum::error_text;

// The string record of a cell, or the operand's "must be string" text: the cell must be nested
// and address a record with tag 3.
aString const* string_cell(double cell, char const* not_string) {
  if (!vellum::is_nested_cell(cell)) text::raise(not_string);
  Anyval const* value = vellum::nested_value(cell);
  if (!value || value->tag != ValueTag::String) text::raise(not_string);
  return static_cast<aString const*>(value);
}

struct StringCells {
  Part real;
  char const* not_string;
  aString const* at(std::int32_t i, std::int32_t j) const { return string_cell(real.at(i, j), not_string); }
};

ArrayIn<Read::Complex> complex_vector(aVector const* v, char const* nested_text) {
  return {Part::of(v->real, v->ld), Part::of(v->imag, v->ld), nested_text};
}

}  // namespace

aVector* vlVectorize(EfiCallContext* context, vlStringFn function, aString const* given, aVector const* strings) {
  ConstIn<aString const*> first{given};
  StringCells second{Part::of(strings->real, strings->ld), text::must_be_string_2};
  return buffered<Rule::RealUnlessImaginary, aVector>(
      context, strings->rows, 1,
      [&](scalar_val& result, std::int32_t i, std::int32_t j) { call_element(function, result, i, j, first, second); });
}

aVector* vlVectorize(EfiCallContext* context, vlStringFn function, aVector const* strings, aString const* given) {
  StringCells first{Part::of(strings->real, strings->ld), text::must_be_string_1};
  ConstIn<aString const*> second{given};
  return buffered<Rule::RealUnlessImaginary, aVector>(
      context, strings->rows, 1,
      [&](scalar_val& result, std::int32_t i, std::int32_t j) { call_element(function, result, i, j, first, second); });
}

aVector* vlVectorize(EfiCallContext* context, vlScalarFn2 numeric, vlStringFn strings, aVector const* first,
                     aVector const* second) {
  if (first->rows != second->rows) text::raise(text::array_size_mismatch);
  Part first_real = Part::of(first->real, first->ld);
  Part first_imag = Part::of(first->imag, first->ld);
  Part second_real = Part::of(second->real, second->ld);
  Part second_imag = Part::of(second->imag, second->ld);
  // The first vector decides, row by row, which function runs.
  return direct<Rule::FullComplex, aVector>(context, first->rows, 1, [&](scalar_val& result, std::int32_t i, std::int32_t j) {
    double a = first_real.at(i, j);
    if (vellum::is_nested_cell(a)) {
      aString const* x = string_cell(a, text::must_be_string_1);
      aString const* y = string_cell(second_real.at(i, j), text::must_be_string_2);
      strings(result, x, y);
    } else {
      scalar_val x{a, first_imag.at(i, j)};
      double b = second_real.at(i, j);
      vellum::check_not_nested(b, text::not_nested_2);
      scalar_val y{b, second_imag.at(i, j)};
      numeric(result, x, y);
    }
  });
}

aVector* vlVectorize(EfiCallContext* context, vlContextFn function, aMatrix* first, aMatrix* second, aMatrix* third,
                     aVector const* vector) {
  ConstIn<EfiCallContext*> call_context{context};
  ConstIn<aMatrix*> m1{first}, m2{second}, m3{third};
  ArrayIn<Read::Complex> elements = complex_vector(vector, text::not_nested_4);
  return buffered<Rule::RealUnlessImaginary, aVector>(
      context, vector->rows, 1, [&](scalar_val& result, std::int32_t i, std::int32_t j) {
        call_element(function, result, i, j, call_context, m1, m2, m3, elements);
      });
}
