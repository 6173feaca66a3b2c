// vlVectorize and vlNcVectorize: a pack's scalar function applied to every element of vectors
// and matrices. vlVectorize keeps a real operand's result real unless a scalar operand is not;
// vlNcVectorize lets a real operand's results be complex.
//
// Every overload takes the call context, the scalar function and the operands, and returns a
// new matrix record made through the context's allocator, or sError_OutOfMemory under the
// result's view when a data array cannot be had. Element faults are thrown as char* texts:
// "N.may not be nested", "N.must be string", "array size mismatch".
#pragma once

#include <vellum/values/views.h>
#include <vellum/vectorize/overload_tables.h>
#include <vellum/vectorize/scalar_functions.h>

#define VELLUM_DECLARE_KERNEL(name, Result, operands, nested, skeleton, rule) \
  VELLUM_API Result* name(EfiCallContext* context, VELLUM_SCALAR_FN operands function, VELLUM_OPERAND_PARAMS operands);
#define VELLUM_DECLARE_PAIR(first, second, result, rule) \
  VELLUM_PAIR_AS_KERNELS(VELLUM_DECLARE_KERNEL, first, second, result, rule)
#define VELLUM_DECLARE_DISPATCH(name, Result, operands) \
  VELLUM_API Result* name(EfiCallContext* context, VELLUM_SCALAR_FN operands function, VELLUM_OPERAND_PARAMS operands);

VELLUM_UNARY_KERNELS(VELLUM_DECLARE_KERNEL)
VELLUM_VECTOR_SCALAR_KERNELS(VELLUM_DECLARE_KERNEL)
VELLUM_MATRIX_SCALAR_KERNELS(VELLUM_DECLARE_KERNEL)
VELLUM_PAIR_KERNELS(VELLUM_DECLARE_PAIR)
VELLUM_DISPATCHING_OVERLOADS(VELLUM_DECLARE_DISPATCH)

#undef VELLUM_DECLARE_KERNEL
#undef VELLUM_DECLARE_PAIR
#undef VELLUM_DECLARE_DISPATCH

// A string and every string cell of a vector, in either order ("2.must be string" or
// "1.must be string" for a cell that is not one); real unless an imaginary part is not 0.
VELLUM_API aVector* vlVectorize(EfiCallContext* context, vlStringFn function, aString const* given,
                                aVector const* strings);
VELLUM_API aVector* vlVectorize(EfiCallContext* context, vlStringFn function, aVector const* strings,
                                aString const* given);
// Row by row, the string function where the first vector holds a string and the numeric one
// where it holds a number; the second vector must agree. Always complex.
VELLUM_API aVector* vlVectorize(EfiCallContext* context, vlScalarFn2 numeric, vlStringFn strings,
                                aVector const* first, aVector const* second);
// The call context and three matrices passed through with every element of the vector.
VELLUM_API aVector* vlVectorize(EfiCallContext* context, vlContextFn function, aMatrix* first, aMatrix* second,
                                aMatrix* third, aVector const* vector);
