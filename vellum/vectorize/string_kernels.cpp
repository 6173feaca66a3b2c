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
  void column(std::int32_t j) noexcept { real.column(j); }
  aString const* next() { return string_cell(real.next(), not_string); }
};

// The mixed pair: the first vector decides, row by row, which function runs.
struct MixedRows {
  vlScalarFn2 numeric;
  vlStringFn strings;
  Part first_real, first_imag, second_real, second_imag;

  void column(std::int32_t j) noexcept {
    for (Part* part : {&first_real, &first_imag, &second_real, &second_imag}) part->column(j);
  }
  void operator()(scalar_val& result) {
    double a = first_real.next();
    double a_imag = first_imag.next();
    double b = second_real.next();
    double b_imag = second_imag.next();
    if (vellum::is_nested_cell(a)) {
      aString const* x = string_cell(a, text::must_be_string_1);
      aString const* y = string_cell(b, text::must_be_string_2);
      strings(result, x, y);
    } else {
      vellum::check_not_nested(b, text::not_nested_2);
      numeric(result, scalar_val{a, a_imag}, scalar_val{b, b_imag});
    }
  }
};


}  // namespace

aVector* vlVectorize(EfiCallContext* context, vlStringFn function, aString const* given, aVector const* strings) {
  ConstIn<aString const*> first{given};
  StringCells second{Part::of(strings->real, strings->ld), text::must_be_string_2};
  return buffered<Rule::RealUnlessImaginary, aVector>(context, strings->rows, 1,
                                                      Elementwise{function, std::tuple{first, second}});
}

aVector* vlVectorize(EfiCallContext* context, vlStringFn function, aVector const* strings, aString const* given) {
  StringCells first{Part::of(strings->real, strings->ld), text::must_be_string_1};
  ConstIn<aString const*> second{given};
  return buffered<Rule::RealUnlessImaginary, aVector>(context, strings->rows, 1,
                                                      Elementwise{function, std::tuple{first, second}});
}

aVector* vlVectorize(EfiCallContext* context, vlScalarFn2 numeric, vlStringFn strings, aVector const* first,
                     aVector const* second) {
  if (first->rows != second->rows) text::raise(text::array_size_mismatch);
  MixedRows rows{numeric,
                 strings,
                 Part::of(first->real, first->ld),
                 Part::of(first->imag, first->ld),
                 Part::of(second->real, second->ld),
                 Part::of(second->imag, second->ld)};
  return direct<Rule::FullComplex, aVector>(context, first->rows, 1, rows);
}

aVector* vlVectorize(EfiCallContext* context, vlContextFn function, aMatrix* first, aMatrix* second, aMatrix* third,
                     aVector const* vector) {
  ConstIn<EfiCallContext*> call_context{context};
  ConstIn<aMatrix*> m1{first}, m2{second}, m3{third};
  // The vector is always read as complex, with the position of the fourth operand.
  ArrayIn<Read::Complex> elements{Part::of(vector->real, vector->ld), Part::of(vector->imag, vector->ld),
                                  text::not_nested_4};
  return buffered<Rule::RealUnlessImaginary, aVector>(
      context, vector->rows, 1, Elementwise{function, std::tuple{call_context, m1, m2, m3, elements}});
}
