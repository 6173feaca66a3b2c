// The machinery behind every element-wise overload, written once: operand readers, the two
// kernel skeletons (buffered and direct) and the four result rules.
//
// Speed: readers take every array pointer and stride from the record before the first element,
// an absent array is read through the static zero with strides 0 (no test per element), and the
// loop body inlines into the skeleton, so each element costs its reads, the one indirect call of
// the pack's scalar function, and its stores.
#pragma once

#include <cstddef>
#include <tuple>
#include <utility>
#include <type_traits>

#include <vellum/memory/scratch_array.h>
#include <vellum/values/error.h>
#include <vellum/values/error_texts.h>
#include <vellum/vectorize/elements.h>

namespace vellum::kernels {

enum class Skeleton { Buffered, Direct };
enum class Rule { Real, FullComplex, TrimmedComplex, RealUnlessImaginary };
enum class Read { Real, Imag, Complex };

// What a view says about the record under it.
template <class View>
struct ViewTraits;
#define VELLUM_VIEW_TRAITS(View, read, vector) \
  template <>                                  \
  struct ViewTraits<View> {                    \
    static constexpr Read kRead = Read::read;  \
    static constexpr bool kVector = vector;    \
  };
VELLUM_VIEW_TRAITS(aRealVec, Real, true)
VELLUM_VIEW_TRAITS(aImagVec, Imag, true)
VELLUM_VIEW_TRAITS(aCplxVec, Complex, true)
VELLUM_VIEW_TRAITS(aRealMatrix, Real, false)
VELLUM_VIEW_TRAITS(aImagMatrix, Imag, false)
VELLUM_VIEW_TRAITS(aCplxMatrix, Complex, false)
#undef VELLUM_VIEW_TRAITS

template <class T>
concept ArrayView = requires { ViewTraits<T>::kRead; };
template <class T>
concept ScalarView = std::is_same_v<T, aComplex> || std::is_same_v<T, aPureReal>;

// One part array read down a column: column(j) points the cursor at the column's first cell,
// next() yields one cell and steps to the next row. An absent array is the static zero with
// both steps 0, so that no element tests for it.
struct Part {
  double const* base;
  std::ptrdiff_t column_step;
  std::ptrdiff_t row_step;
  double const* cursor = nullptr;

  static Part of(double const* array, std::int32_t ld) noexcept {
    return array ? Part{array, ld, 1} : Part{&kStaticZero, 0, 0};
  }
  void column(std::int32_t j) noexcept { cursor = base + j * column_step; }
  double next() noexcept {
    double cell = *cursor;
    cursor += row_step;
    return cell;
  }
};

// A vector or matrix operand read as its view says; real parts are tested for nested cells
// with the operand's text.
template <Read R>
struct ArrayIn {
  Part real;
  Part imag;
  char const* nested_text;

  void column(std::int32_t j) noexcept {
    if constexpr (R != Read::Imag) real.column(j);
    if constexpr (R != Read::Real) imag.column(j);
  }
  scalar_val next() {
    if constexpr (R == Read::Imag) {
      return {0.0, imag.next()};
    } else {
      double re = real.next();
      check_not_nested(re, nested_text);
      return {re, R == Read::Complex ? imag.next() : 0.0};
    }
  }
};

// A value that is the same for every element (a converted scalar, a string, a pointer).
template <class T>
struct ConstIn {
  T value;
  void column(std::int32_t) noexcept {}
  T const& next() const noexcept { return value; }
};

template <class View>
auto read_operand(View const* view, int position) {
  if constexpr (ArrayView<View>) {
    constexpr Read read = ViewTraits<View>::kRead;
    return ArrayIn<read>{Part::of(view->real, view->ld), Part::of(view->imag, view->ld),
                         error_text::not_nested(position)};
  } else {
    static_assert(ScalarView<View>);
    return ConstIn<scalar_val>{to_scalar(*view)};
  }
}

// The work for one element: every operand read in operand order (a braced list evaluates left
// to right), then the one indirect call of the scalar function.
template <class Fn, class... In>
struct Elementwise {
  Fn function;
  std::tuple<In...> inputs;

  void column(std::int32_t j) noexcept {
    std::apply([j](In&... in) { (in.column(j), ...); }, inputs);
  }
  void operator()(scalar_val& result) {
    std::apply(
        [&](In&... in) {
          std::tuple<std::remove_cvref_t<decltype(in.next())>...> x{in.next()...};
          std::apply([&](auto const&... value) { function(result, value...); }, x);
        },
        inputs);
  }
};
template <class Fn, class... In>
Elementwise(Fn, std::tuple<In...>) -> Elementwise<Fn, In...>;

template <class Result>
Result* out_of_memory() noexcept {
  return reinterpret_cast<Result*>(sError_OutOfMemory);
}

// Both skeletons start alike: the part arrays for n results, the imaginary one only for a rule
// that may keep imaginary parts and only once the real one is had.
struct PartArrays {
  PartArrays(std::size_t n, bool imaginary) noexcept
      : real(n), imag(imaginary && real ? ScratchArray(n) : ScratchArray()), complete(real && (!imaginary || imag)) {}
  ScratchArray real;
  ScratchArray imag;
  bool complete;
};

// Buffered skeleton: results go to scratch arrays; the result rule then decides which of them
// the record keeps, and the record is made last. A throw releases the scratch arrays.
// The body is copied into a local of the loop's own frame whose address never escapes: its
// captures then stay in registers across the call of the scalar function.
template <Rule R, class Result, class Body>
Result* buffered(EfiCallContext* context, std::int32_t rows, std::int32_t cols, Body body) {
  constexpr bool kImag = R != Rule::Real;
  std::size_t n = cell_count(rows, cols);
  PartArrays parts(n, kImag);
  if (!parts.complete) return out_of_memory<Result>();

  Body element = body;
  double* re = parts.real.get();
  double* im = parts.imag.get();
  bool all_real_zero = true;
  bool all_imag_zero = true;
  // Aligned so that a scalar function storing the whole result at once never splits the store
  // across two cache lines, which would stall the read of the result that follows.
  alignas(16) scalar_val result;
  for (std::int32_t j = 0; j < cols; ++j) {
    element.column(j);
    for (std::int32_t i = 0; i < rows; ++i) {
      element(result);
      *re++ = result.real;
      if constexpr (kImag) {
        *im++ = result.imag;
        if constexpr (R == Rule::TrimmedComplex) all_real_zero &= result.real == 0.0;
        if constexpr (R != Rule::FullComplex) all_imag_zero &= result.imag == 0.0;
      }
    }
  }

  bool keep_imag = kImag && (R == Rule::FullComplex || !all_imag_zero);
  bool keep_real = !(R == Rule::TrimmedComplex && all_real_zero && !all_imag_zero);
  if (!keep_imag) parts.imag.reset();
  if (!keep_real) parts.real.reset();
  aMatrix* record = aMatrix::mk(context->allocator, rows, cols, parts.real.release(), parts.imag.release(),
                                static_cast<unsigned>(n * sizeof(double)));
  return view_as<Result>(record);
}

// Direct skeleton: the record is made first with its part arrays and every result is stored
// into it by the write rule. A throw leaves the record to the host.
template <Rule R, class Result, class Body>
Result* direct(EfiCallContext* context, std::int32_t rows, std::int32_t cols, Body body) {
  static_assert(R == Rule::Real || R == Rule::FullComplex, "the direct skeleton keeps its arrays");
  constexpr bool kImag = R == Rule::FullComplex;
  std::size_t n = cell_count(rows, cols);
  PartArrays parts(n, kImag);
  if (!parts.complete) return out_of_memory<Result>();

  aMatrix* record = aMatrix::mk(context->allocator, rows, cols, parts.real.release(), parts.imag.release(),
                                static_cast<unsigned>(n * sizeof(double)));
  // The record's slots, leading dimension and size, read once: no one else holds the record
  // before it is returned, and both slots are filled, so the write rule never grows an array.
  double* real_slot = record->real;
  double* imag_slot = record->imag;
  std::int32_t const ld = record->ld;
  std::uint32_t const size = record->size;
  Body element = body;
  alignas(16) scalar_val result;
  for (std::int32_t j = 0; j < cols; ++j) {
    element.column(j);
    for (std::int32_t i = 0; i < rows; ++i) {
      element(result);
      set_elem_grow(&real_slot, ld, i, j, size, result.real);
      if constexpr (kImag) set_elem_grow(&imag_slot, ld, i, j, size, result.imag);
    }
  }
  return view_as<Result>(record);
}

template <Skeleton S, Rule R, class Result, class Body>
Result* run_skeleton(EfiCallContext* context, std::int32_t rows, std::int32_t cols, Body body) {
  if constexpr (S == Skeleton::Buffered)
    return buffered<R, Result>(context, rows, cols, body);
  else
    return direct<R, Result>(context, rows, cols, body);
}

// The position, counted from 1, of the one array operand when its real parts are tested; 0 when
// they are not read.
template <class T>
constexpr bool tests_real_parts() {
  if constexpr (ArrayView<T>)
    return ViewTraits<T>::kRead != Read::Imag;
  else
    return false;
}
template <class... Ops>
constexpr int tested_position() {
  int position = 0, k = 0;
  ((++k, position = tests_real_parts<Ops>() ? k : position), ...);
  return position;
}
template <class... Ops>
constexpr int array_count() {
  return (0 + ... + (ArrayView<Ops> ? 1 : 0));
}

// The first operand whose type Pick accepts (Pick<T>::value).
template <template <class> class Pick, class First, class... Rest>
auto const* first_operand(First const* first, Rest const*... rest) {
  if constexpr (Pick<First>::value)
    return first;
  else
    return first_operand<Pick>(rest...);
}
template <class T>
struct IsArrayView : std::bool_constant<ArrayView<T>> {};

// A typed kernel: operands read by their views, the shape from the array operand (rows x 1 for
// vectors), and for pairs the shape check before anything is allocated.
template <Skeleton S, Rule R, class Result, class Fn, class... Ops>
Result* typed_kernel(EfiCallContext* context, Fn function, Ops const*... ops) {
  auto const* shape = first_operand<IsArrayView>(ops...);
  using ShapeView = std::remove_cvref_t<decltype(*shape)>;
  constexpr bool kVector = ViewTraits<ShapeView>::kVector;
  if constexpr (array_count<Ops...>() == 2) {
    auto [a, b] = std::tuple{ops...};
    if (a->rows != b->rows || (!kVector && a->cols != b->cols)) error_text::raise(error_text::array_size_mismatch);
  }
  std::int32_t rows = shape->rows;
  std::int32_t cols = kVector ? 1 : shape->cols;
  auto inputs = [&]<std::size_t... Index>(std::index_sequence<Index...>) {
    return std::tuple{read_operand(ops, static_cast<int>(Index) + 1)...};
  }(std::index_sequence_for<Ops...>{});
  return run_skeleton<S, R, Result>(context, rows, cols, Elementwise{function, inputs});
}

}  // namespace vellum::kernels
