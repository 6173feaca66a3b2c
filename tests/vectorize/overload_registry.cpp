#include "tests/vectorize/overload_registry.h"

#include <type_traits>
#include <utility>

#include <vellum/vectorize/overload_tables.h>

namespace vellum::test {

namespace {
template <class Result, class Fn, class... Ops>
Anyval* call_with_recorder(Result* (*overload)(EfiCallContext*, Fn, Ops const*...), EfiCallContext* context,
                           Anyval* const* operands) {
  return [&]<std::size_t... Index>(std::index_sequence<Index...>) -> Anyval* {
    return overload(context, &record<std::conditional_t<true, scalar_val, Ops>...>,
                    static_cast<Ops const*>(operands[Index])...);
  }(std::index_sequence_for<Ops...>{});
}

// "(aComplex, aImagVec)" as its types.
Overload make(std::string name, std::string list, bool dispatching,
              Anyval* (*invoke)(EfiCallContext*, Anyval* const*)) {
  std::vector<std::string> types;
  for (std::size_t at = 1, end; at < list.size(); at = end + 2)
    types.push_back(list.substr(at, (end = list.find_first_of(",)", at)) - at));
  return {name + list, types, dispatching, invoke};
}
}  // namespace

#define VELLUM_TEST_INVOKER(name, Result, operands)                                                         \
  [](EfiCallContext* context, Anyval* const* ops) -> Anyval* {                                             \
    Result* (*overload)(EfiCallContext*, VELLUM_SCALAR_FN operands, VELLUM_OPERAND_PARAMS operands) = &name; \
    return call_with_recorder(overload, context, ops);                                                      \
  }
#define VELLUM_TEST_KERNEL(name, Result, operands, nested, skeleton, rule) \
  list.push_back(make(#name, #operands, false, VELLUM_TEST_INVOKER(name, Result, operands)));
#define VELLUM_TEST_PAIR(first, second, result, rule) \
  VELLUM_PAIR_AS_KERNELS(VELLUM_TEST_KERNEL, first, second, result, rule)
#define VELLUM_TEST_DISPATCH(name, Result, operands) \
  list.push_back(make(#name, #operands, true, VELLUM_TEST_INVOKER(name, Result, operands)));

std::vector<Overload> const& table_overloads() {
  static std::vector<Overload> const overloads = [] {
    std::vector<Overload> list;
    VELLUM_UNARY_KERNELS(VELLUM_TEST_KERNEL)
    VELLUM_VECTOR_SCALAR_KERNELS(VELLUM_TEST_KERNEL)
    VELLUM_MATRIX_SCALAR_KERNELS(VELLUM_TEST_KERNEL)
    VELLUM_PAIR_KERNELS(VELLUM_TEST_PAIR)
    VELLUM_DISPATCHING_OVERLOADS(VELLUM_TEST_DISPATCH)
    return list;
  }();
  return overloads;
}

}  // namespace vellum::test
