// The typed element-wise overloads, one per row of the kernel tables.
#include <vellum/vectorize/skeletons.h>
#include <vellum/vectorize/vectorize.h>

// The table again: the header above undefined it once it had declared what it generates.
#include <vellum/vectorize/overload_tables.h>

using vellum::kernels::Rule;
using vellum::kernels::Skeleton;

#define VELLUM_DEFINE_KERNEL(name, Result, operands, nested, skeleton, rule)                                   \
  Result* name(EfiCallContext* context, VELLUM_SCALAR_FN operands function, VELLUM_OPERAND_PARAMS operands) { \
    using namespace vellum::kernels;                                                                          \
    static_assert(array_count<VELLUM_UNPAREN operands>() == 2 ||                                              \
                      tested_position<VELLUM_UNPAREN operands>() == (nested),                                 \
                  "the nested-cell text of " #name #operands " names another operand");                       \
    return typed_kernel<Skeleton::skeleton, Rule::rule, Result>(context, function, VELLUM_OPERAND_ARGS operands); \
  }
#define VELLUM_DEFINE_PAIR(first, second, result, rule) \
  VELLUM_PAIR_AS_KERNELS(VELLUM_DEFINE_KERNEL, first, second, result, rule)

VELLUM_UNARY_KERNELS(VELLUM_DEFINE_KERNEL)
VELLUM_VECTOR_SCALAR_KERNELS(VELLUM_DEFINE_KERNEL)
VELLUM_MATRIX_SCALAR_KERNELS(VELLUM_DEFINE_KERNEL)
VELLUM_PAIR_KERNELS(VELLUM_DEFINE_PAIR)
