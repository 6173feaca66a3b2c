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

#include <vellum/values/error.h>
#include <vellum/values/error_texts.h>
#include <vellum/vectorize/elements.h>
#include <vellum/vectorize/scratch_array.h>

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

// One part array: cell (i, j) at base[j * column_step + i * row_step]. An absent array is the
// static zero with both steps 0.
struct Part {
  double const* base;
  std::ptrdiff_t column_step;
  std::ptrdiff_t row_step;

  static Part of(double const* array, std::int32_t ld) noexcept {
    return array ? Part{array, ld, 1} : Part{&kStaticZero, 0, 0};
  }
  double at(std::int32_t i, std::int32_t j) const noexcept { return base[j * column_step + i * row_step]; }
};

// A vector or matrix operand read as its view says; real parts are tested for nested cells
// with the operand's text.
template <Read R>
struct ArrayIn {
  Part real;
  Part imag;
  char const* nested_text;

  scalar_val at(std::int32_t i, std::int32_t j) const {
    if constexpr (R == Read::Imag) {
      return {0.0, imag.at(i, j)};
    } else {
      double re = real.at(i, j);
      check_not_nested(re, nested_text);
      return {re, R == Read::Complex ? imag.at(i, j) : 0.0};
    }
  }
};

// A value that is the same for every element (a converted scalar, a string, a pointer).
template <class T>
struct ConstIn {
  T value;
  T const& at(std::int32_t, std::int32_t) const noexcept { return value; }
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

// Calls the function for element (i, j): every operand is read in operand order (a braced list
// evaluates left to right), then the one indirect call.
template <class Fn, class... In>
inline void call_element(Fn fn, scalar_val& result, std::int32_t i, std::int32_t j, In const&... in) {
  std::tuple<std::remove_cvref_t<decltype(in.at(i, j))>...> inputs{in.at(i, j)...};
  std::apply([&](auto const&... x) { fn(result, x...); }, inputs);
}

template <class Result>
Result* out_of_memory() noexcept {
  return reinterpret_cast<Result*>(sError_OutOfMemory);
}

inline std::size_t element_count(std::int32_t rows, std::int32_t cols) noexcept {
  return rows > 0 && cols > 0 ? static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols) : 0;
}

// Buffered skeleton: results go to scratch arrays; the result rule then decides which of them
// the record keeps, and the record is made last. A throw releases the scratch arrays.
template <Rule R, class Result, class Body>
Result* buffered(EfiCallContext* context, std::int32_t rows, std::int32_t cols, Body&& body) {
  constexpr bool kImag = R != Rule::Real;
  std::size_t n = element_count(rows, cols);
  ScratchArray real(n);
  if (!real) return out_of_memory<Result>();
  ScratchArray imag = kImag ? ScratchArray(n) : ScratchArray();
  if (kImag && !imag) return out_of_memory<Result>();

  double* re = real.get();
  double* im = imag.get();
  bool all_real_zero = true;
  bool all_imag_zero = true;
  scalar_val result;
  std::size_t k = 0;
  for (std::int32_t j = 0; j < cols; ++j) {
    for (std::int32_t i = 0; i < rows; ++i, ++k) {
      body(result, i, j);
      re[k] = result.real;
      if constexpr (kImag) {
        im[k] = result.imag;
        if constexpr (R == Rule::TrimmedComplex) all_real_zero &= result.real == 0.0;
        if constexpr (R != Rule::FullComplex) all_imag_zero &= result.imag == 0.0;
      }
    }
  }

  bool keep_imag = kImag && (R == Rule::FullComplex || !all_imag_zero);
  bool keep_real = !(R == Rule::TrimmedComplex && all_real_zero && !all_imag_zero);
  if (!keep_imag) imag.reset();
  if (!keep_real) real.reset();
  aMatrix* record = aMatrix::mk(context->allocator, rows, cols, real.release(), imag.release(),
                                static_cast<unsigned>(n * sizeof(double)));
  return view_as<Result>(record);
}

// Direct skeleton: the record is made first with its part arrays and every result is stored
// into it by the write rule. A throw leaves the record to the host.
template <Rule R, class Result, class Body>
Result* direct(EfiCallContext* context, std::int32_t rows, std::int32_t cols, Body&& body) {
  static_assert(R == Rule::Real || R == Rule::FullComplex, "the direct skeleton keeps its arrays");
  constexpr bool kImag = R == Rule::FullComplex;
  std::size_t n = element_count(rows, cols);
  ScratchArray real(n);
  if (!real) return out_of_memory<Result>();
  ScratchArray imag = kImag ? ScratchArray(n) : ScratchArray();
  if (kImag && !imag) return out_of_memory<Result>();

  aMatrix* record = aMatrix::mk(context->allocator, rows, cols, real.release(), imag.release(),
                                static_cast<unsigned>(n * sizeof(double)));
  scalar_val result;
  for (std::int32_t j = 0; j < cols; ++j) {
    for (std::int32_t i = 0; i < rows; ++i) {
      body(result, i, j);
      set_elem_grow(&record->real, record->ld, i, j, record->size, result.real);
      if constexpr (kImag) set_elem_grow(&record->imag, record->ld, i, j, record->size, result.imag);
    }
  }
  return view_as<Result>(record);
}

template <Skeleton S, Rule R, class Result, class Body>
Result* run_skeleton(EfiCallContext* context, std::int32_t rows, std::int32_t cols, Body&& body) {
  if constexpr (S == Skeleton::Buffered)
    return buffered<R, Result>(context, rows, cols, static_cast<Body&&>(body));
  else
    return direct<R, Result>(context, rows, cols, static_cast<Body&&>(body));
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

template <class First, class... Rest>
auto const* first_array(First const* first, Rest const*... rest) {
  if constexpr (ArrayView<First>)
    return first;
  else
    return first_array(rest...);
}

// A typed kernel: operands read by their views, the shape from the array operand (rows x 1 for
// vectors), and for pairs the shape check before anything is allocated.
template <Skeleton S, Rule R, class Result, class Fn, class... Ops>
Result* typed_kernel(EfiCallContext* context, Fn function, Ops const*... ops) {
  auto const* shape = first_array(ops...);
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
  return run_skeleton<S, R, Result>(context, rows, cols, [&](scalar_val& result, std::int32_t i, std::int32_t j) {
    std::apply([&](auto const&... in) { call_element(function, result, i, j, in...); }, inputs);
  });
}

}  // namespace vellum::kernels
