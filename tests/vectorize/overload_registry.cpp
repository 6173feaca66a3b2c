#include "tests/vectorize/overload_registry.h"

#include <sstream>
#include <type_traits>
#include <utility>

namespace vellum::test {

namespace {
std::vector<std::string> split_types(std::string list) {
  std::vector<std::string> types;
  std::stringstream in(list.substr(1, list.size() - 2));
  for (std::string type; std::getline(in, type, ',');) {
    type.erase(0, type.find_first_not_of(' '));
    type.erase(type.find_last_not_of(' ') + 1);
    types.push_back(type);
  }
  return types;
}

template <class Result, class Fn, class... Ops, std::size_t... Index>
Anyval* call(Result* (*overload)(EfiCallContext*, Fn, Ops const*...), EfiCallContext* context,
             Anyval* const* operands, std::index_sequence<Index...>) {
  Fn recorder = &record<std::conditional_t<true, scalar_val, Ops>...>;
  return overload(context, recorder, static_cast<Ops const*>(operands[Index])...);
}

template <class Result, class Fn, class... Ops>
Anyval* call_with_recorder(Result* (*overload)(EfiCallContext*, Fn, Ops const*...), EfiCallContext* context,
                           Anyval* const* operands) {
  return call(overload, context, operands, std::index_sequence_for<Ops...>{});
}

Overload make(std::string name, std::string operands, bool dispatching,
              Anyval* (*invoke)(EfiCallContext*, Anyval* const*)) {
  std::vector<std::string> types = split_types(operands);
  std::string signature = name + "(";
  for (std::size_t k = 0; k < types.size(); ++k) signature += (k ? ", " : "") + types[k];
  return {signature + ")", types, dispatching, invoke};
}
}  // namespace

#define VELLUM_TEST_INVOKER(name, Result, operands)                                                   \
  [](EfiCallContext* context, Anyval* const* ops) -> Anyval* {                                       \
    Result* (*overload)(EfiCallContext*, VELLUM_SCALAR_FN operands, VELLUM_OPERAND_PARAMS operands) = &name; \
    return call_with_recorder(overload, context, ops);                                                \
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
