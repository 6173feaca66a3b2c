// The dispatching overloads: generic aVector and aMatrix operands are classified as real,
// imaginary or complex and handed to the typed overload that fits, unchanged, and its result
// comes back unchanged.
#include <type_traits>

#include <vellum/vectorize/skeletons.h>
#include <vellum/vectorize/vectorize.h>

// The table again: the header above undefined it once it had declared what it generates.
#include <vellum/vectorize/overload_tables.h>

namespace {

using vellum::view_as;
using vellum::kernels::ArrayView;
using vellum::kernels::first_operand;

template <class T>
concept Generic = std::is_same_v<T, aVector> || std::is_same_v<T, aMatrix>;

enum class Kind { Real, Imag, Complex };

// The real test first, then the imaginary one; anything else is complex, unchecked.
Kind classify(aVector const* v) {
  return vellum::is_real_vec(v) ? Kind::Real : vellum::is_imag_vec(v) ? Kind::Imag : Kind::Complex;
}
Kind classify(aMatrix const* m) {
  return vellum::is_real_matrix(m) ? Kind::Real : vellum::is_imag_matrix(m) ? Kind::Imag : Kind::Complex;
}

template <Kind K, class T>
using KindView = std::conditional_t<
    std::is_same_v<T, aVector>,
    std::conditional_t<K == Kind::Real, aRealVec, std::conditional_t<K == Kind::Imag, aImagVec, aCplxVec>>,
    std::conditional_t<K == Kind::Real, aRealMatrix, std::conditional_t<K == Kind::Imag, aImagMatrix, aCplxMatrix>>>;

// An operand under the view it takes once the kinds are known: a generic array under its kind,
// a scalar under aPureReal when every scalar passed the pure test, anything else as it came.
// (Only real arrays have overloads that take aPureReal; elsewhere it would convert back to aComplex.)
template <Kind K, bool Pure = false, class T>
auto retag(T const* operand) {
  if constexpr (Generic<T>)
    return view_as<KindView<K, T> const>(operand);
  else if constexpr (std::is_same_v<T, aComplex> && Pure)
    return view_as<aPureReal const>(operand);
  else
    return operand;
}

template <class T>
bool pure_or_not_scalar(T const* operand) {
  if constexpr (std::is_same_v<T, aComplex>)
    return vellum::is_pure_real(operand);
  else
    return true;
}

template <class T>
struct IsGeneric : std::bool_constant<Generic<T>> {};

template <class Result, class View>
Result* as_result(View* result) {
  return static_cast<Result*>(result);
}

// One array with scalars (or none): a real array goes to the real kernel under vlVectorize when
// every scalar is pure real (tested left to right), else to the vlNcVectorize kernel.
template <bool MayBecomeComplex, class Result, class Fn, class... Ops>
Result* dispatch_with_scalars(EfiCallContext* context, Fn function, Ops const*... ops) {
  switch (classify(first_operand<IsGeneric>(ops...))) {
    case Kind::Real:
      if constexpr (!MayBecomeComplex) {
        if ((pure_or_not_scalar(ops) && ...))
          return as_result<Result>(vlVectorize(context, function, retag<Kind::Real, true>(ops)...));
      }
      return as_result<Result>(vlNcVectorize(context, function, retag<Kind::Real>(ops)...));
    case Kind::Imag:
      return as_result<Result>(vlVectorize(context, function, retag<Kind::Imag>(ops)...));
    case Kind::Complex:
      break;
  }
  return as_result<Result>(vlVectorize(context, function, retag<Kind::Complex>(ops)...));
}

// Calls `then` with the operand under its kind's view; a typed operand keeps its view.
template <class T, class Then>
auto with_kind(T const* operand, Then&& then) {
  if constexpr (Generic<T>) {
    switch (classify(operand)) {
      case Kind::Real:
        return then(retag<Kind::Real>(operand));
      case Kind::Imag:
        return then(retag<Kind::Imag>(operand));
      case Kind::Complex:
        break;
    }
    return then(retag<Kind::Complex>(operand));
  } else {
    return then(operand);
  }
}

// Two arrays: each generic one is classified, the first before the second.
template <class Result, class Fn, class A, class B>
Result* dispatch_pair(EfiCallContext* context, Fn function, A const* a, B const* b) {
  return with_kind(a, [&](auto const* first) {
    return with_kind(b, [&](auto const* second) { return as_result<Result>(vlVectorize(context, function, first, second)); });
  });
}

template <bool MayBecomeComplex, class Result, class Fn, class... Ops>
Result* dispatch(EfiCallContext* context, Fn function, Ops const*... ops) {
  constexpr int arrays = (0 + ... + ((Generic<Ops> || ArrayView<Ops>) ? 1 : 0));
  if constexpr (arrays == 2) {
    static_assert(!MayBecomeComplex, "pairs exist under vlVectorize only");
    return dispatch_pair<Result>(context, function, ops...);
  } else {
    return dispatch_with_scalars<MayBecomeComplex, Result>(context, function, ops...);
  }
}

// Whether a real array's results may become complex: under vlNcVectorize always, so a real
// array never goes to the real kernel there.
constexpr bool kMayBecomeComplex_vlVectorize = false;
constexpr bool kMayBecomeComplex_vlNcVectorize = true;

}  // namespace

#define VELLUM_DEFINE_DISPATCH(name, Result, operands)                                                        \
  Result* name(EfiCallContext* context, VELLUM_SCALAR_FN operands function, VELLUM_OPERAND_PARAMS operands) { \
    return dispatch<kMayBecomeComplex_##name, Result>(context, function, VELLUM_OPERAND_ARGS operands);      \
  }
VELLUM_DISPATCHING_OVERLOADS(VELLUM_DEFINE_DISPATCH)
