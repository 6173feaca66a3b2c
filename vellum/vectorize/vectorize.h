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

// Typed kernels and dispatching overloads alike: name, result view and operand views lead the row.
#define VELLUM_DECLARE_OVERLOAD(name, Result, operands, ...) \
  VELLUM_API Result* name(EfiCallContext* context, VELLUM_SCALAR_FN operands function, VELLUM_OPERAND_PARAMS operands);
#define VELLUM_DECLARE_PAIR(first, second, result, rule) \
  VELLUM_PAIR_AS_KERNELS(VELLUM_DECLARE_OVERLOAD, first, second, result, rule)

VELLUM_UNARY_KERNELS(VELLUM_DECLARE_OVERLOAD)
VELLUM_VECTOR_SCALAR_KERNELS(VELLUM_DECLARE_OVERLOAD)
VELLUM_MATRIX_SCALAR_KERNELS(VELLUM_DECLARE_OVERLOAD)
VELLUM_PAIR_KERNELS(VELLUM_DECLARE_PAIR)
VELLUM_DISPATCHING_OVERLOADS(VELLUM_DECLARE_OVERLOAD)

#undef VELLUM_DECLARE_OVERLOAD
#undef VELLUM_DECLARE_PAIR

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

#undef VELLUM_UNARY_KERNELS
#undef VELLUM_VECTOR_SCALAR_KERNELS
#undef VELLUM_MATRIX_SCALAR_KERNELS
#undef VELLUM_PAIR_KERNELS
#undef VELLUM_DISPATCHING_OVERLOADS
#undef VELLUM_OPERAND_PARAMS
#undef VELLUM_PARAMS_1
#undef VELLUM_PARAMS_2
#undef VELLUM_PARAMS_3
#undef VELLUM_PARAMS_4
#undef VELLUM_OPERAND_ARGS
#undef VELLUM_ARGS_1
#undef VELLUM_ARGS_2
#undef VELLUM_ARGS_3
#undef VELLUM_ARGS_4
#undef VELLUM_SCALAR_FN
#undef VELLUM_PAIR_AS_KERNELS
#include <vellum/library/macro_helpers_undef.h>
