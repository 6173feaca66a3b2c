// The element-wise overloads as tables, one row per exported overload. The declarations in
// vectorize.h and the definitions in the .cpp files are generated from these rows.
//
// Typed kernels: X(name, result view, (operand views), nested-cell text, skeleton, result rule)
//   nested-cell text: the position N of "N.may not be nested", 0 for none.
// Pairs:          X(first kind, second kind, result kind, result rule), each row giving the
//                 vector and the matrix overload (kinds Real, Imag, Cplx).
// Dispatching:    X(name, result, (operand types)).
//
// No include guard: a table is undefined after use and included again where code is generated
// from it ("Big tables as data" in docs/architecture.md).

#include <vellum/library/macro_helpers.h>

// One vector or matrix operand.
#define VELLUM_UNARY_KERNELS(X)                                                  \
  X(vlVectorize,   aRealVec,    (aRealVec),    1, Buffered, Real)                \
  X(vlNcVectorize, aCplxVec,    (aRealVec),    1, Buffered, FullComplex)         \
  X(vlVectorize,   aCplxVec,    (aImagVec),    0, Buffered, FullComplex)         \
  X(vlVectorize,   aCplxVec,    (aCplxVec),    1, Buffered, FullComplex)         \
  X(vlVectorize,   aRealMatrix, (aRealMatrix), 1, Buffered, Real)                \
  X(vlNcVectorize, aCplxMatrix, (aRealMatrix), 1, Direct,   FullComplex)         \
  X(vlVectorize,   aCplxMatrix, (aImagMatrix), 0, Buffered, FullComplex)         \
  X(vlVectorize,   aCplxMatrix, (aCplxMatrix), 1, Buffered, TrimmedComplex)

// A vector with one, two or three scalars.
#define VELLUM_VECTOR_SCALAR_KERNELS(X)                                                                   \
  X(vlVectorize,   aCplxVec, (aComplex, aImagVec),                          0, Buffered, FullComplex)     \
  X(vlVectorize,   aRealVec, (aPureReal, aRealVec),                         2, Buffered, Real)            \
  X(vlNcVectorize, aCplxVec, (aComplex, aRealVec),                          2, Buffered, FullComplex)     \
  X(vlVectorize,   aCplxVec, (aComplex, aCplxVec),                          2, Buffered, FullComplex)     \
  X(vlVectorize,   aCplxVec, (aImagVec, aComplex),                          0, Buffered, TrimmedComplex)  \
  X(vlVectorize,   aRealVec, (aRealVec, aPureReal),                         1, Buffered, Real)            \
  X(vlNcVectorize, aCplxVec, (aRealVec, aComplex),                          1, Buffered, TrimmedComplex)  \
  X(vlVectorize,   aCplxVec, (aCplxVec, aComplex),                          1, Buffered, FullComplex)     \
  X(vlVectorize,   aCplxVec, (aImagVec, aComplex, aComplex),                0, Buffered, FullComplex)     \
  X(vlVectorize,   aRealVec, (aRealVec, aPureReal, aPureReal),              1, Buffered, Real)            \
  X(vlNcVectorize, aCplxVec, (aRealVec, aComplex, aComplex),                1, Buffered, FullComplex)     \
  X(vlVectorize,   aCplxVec, (aCplxVec, aComplex, aComplex),                1, Buffered, FullComplex)     \
  X(vlVectorize,   aCplxVec, (aImagVec, aComplex, aComplex, aComplex),      0, Buffered, FullComplex)     \
  X(vlVectorize,   aRealVec, (aRealVec, aPureReal, aPureReal, aPureReal),   1, Buffered, Real)            \
  X(vlNcVectorize, aCplxVec, (aRealVec, aComplex, aComplex, aComplex),      1, Buffered, FullComplex)     \
  X(vlVectorize,   aCplxVec, (aCplxVec, aComplex, aComplex, aComplex),      1, Buffered, FullComplex)     \
  X(vlVectorize,   aCplxVec, (aComplex, aComplex, aComplex, aImagVec),      0, Buffered, FullComplex)     \
  X(vlVectorize,   aRealVec, (aPureReal, aPureReal, aPureReal, aRealVec),   4, Buffered, Real)            \
  X(vlNcVectorize, aCplxVec, (aComplex, aComplex, aComplex, aRealVec),      4, Buffered, FullComplex)     \
  X(vlVectorize,   aCplxVec, (aComplex, aComplex, aComplex, aCplxVec),      4, Buffered, FullComplex)

// A matrix with one or two scalars.
#define VELLUM_MATRIX_SCALAR_KERNELS(X)                                                        \
  X(vlVectorize,   aCplxMatrix, (aComplex, aImagMatrix),             0, Direct, FullComplex)   \
  X(vlVectorize,   aRealMatrix, (aPureReal, aRealMatrix),            2, Direct, Real)          \
  X(vlNcVectorize, aCplxMatrix, (aComplex, aRealMatrix),             2, Direct, FullComplex)   \
  X(vlVectorize,   aCplxMatrix, (aComplex, aCplxMatrix),             2, Direct, FullComplex)   \
  X(vlVectorize,   aCplxMatrix, (aImagMatrix, aComplex),             0, Direct, FullComplex)   \
  X(vlVectorize,   aRealMatrix, (aRealMatrix, aPureReal),            1, Direct, Real)          \
  X(vlNcVectorize, aCplxMatrix, (aRealMatrix, aComplex),             1, Direct, FullComplex)   \
  X(vlVectorize,   aCplxMatrix, (aCplxMatrix, aComplex),             1, Direct, FullComplex)   \
  X(vlVectorize,   aCplxMatrix, (aImagMatrix, aComplex, aComplex),   0, Direct, FullComplex)   \
  X(vlVectorize,   aRealMatrix, (aRealMatrix, aPureReal, aPureReal), 1, Direct, Real)          \
  X(vlNcVectorize, aCplxMatrix, (aRealMatrix, aComplex, aComplex),   1, Direct, FullComplex)   \
  X(vlVectorize,   aCplxMatrix, (aCplxMatrix, aComplex, aComplex),   1, Direct, FullComplex)

// Element-wise pairs of two vectors or two matrices (vlVectorize, direct skeleton).
#define VELLUM_PAIR_KERNELS(X)         \
  X(Imag, Imag, Cplx, FullComplex)     \
  X(Imag, Real, Cplx, FullComplex)     \
  X(Imag, Cplx, Cplx, FullComplex)     \
  X(Real, Imag, Cplx, FullComplex)     \
  X(Real, Real, Real, Real)            \
  X(Real, Cplx, Cplx, FullComplex)     \
  X(Cplx, Imag, Cplx, FullComplex)     \
  X(Cplx, Real, Cplx, FullComplex)     \
  X(Cplx, Cplx, Cplx, FullComplex)

// Generic operands, classified and handed to the typed kernel that fits.
#define VELLUM_DISPATCHING_OVERLOADS(X)                                  \
  X(vlVectorize,   aVector, (aVector))                                   \
  X(vlNcVectorize, aVector, (aVector))                                   \
  X(vlVectorize,   aVector, (aComplex, aVector))                         \
  X(vlNcVectorize, aVector, (aComplex, aVector))                         \
  X(vlVectorize,   aVector, (aVector, aComplex))                         \
  X(vlNcVectorize, aVector, (aVector, aComplex))                         \
  X(vlVectorize,   aVector, (aVector, aComplex, aComplex))               \
  X(vlNcVectorize, aVector, (aVector, aComplex, aComplex))               \
  X(vlVectorize,   aVector, (aComplex, aComplex, aComplex, aVector))     \
  X(vlNcVectorize, aVector, (aComplex, aComplex, aComplex, aVector))     \
  X(vlVectorize,   aMatrix, (aMatrix))                                   \
  X(vlNcVectorize, aMatrix, (aMatrix))                                   \
  X(vlVectorize,   aMatrix, (aComplex, aMatrix))                         \
  X(vlNcVectorize, aMatrix, (aComplex, aMatrix))                         \
  X(vlVectorize,   aMatrix, (aMatrix, aComplex))                         \
  X(vlNcVectorize, aMatrix, (aMatrix, aComplex))                         \
  X(vlVectorize,   aMatrix, (aMatrix, aComplex, aComplex))               \
  X(vlNcVectorize, aMatrix, (aMatrix, aComplex, aComplex))               \
  X(vlVectorize,   aVector, (aVector, aImagVec))                         \
  X(vlVectorize,   aVector, (aVector, aRealVec))                         \
  X(vlVectorize,   aVector, (aVector, aCplxVec))                         \
  X(vlVectorize,   aVector, (aImagVec, aVector))                         \
  X(vlVectorize,   aVector, (aRealVec, aVector))                         \
  X(vlVectorize,   aVector, (aCplxVec, aVector))                         \
  X(vlVectorize,   aVector, (aVector, aVector))                          \
  X(vlVectorize,   aMatrix, (aMatrix, aImagMatrix))                      \
  X(vlVectorize,   aMatrix, (aMatrix, aRealMatrix))                      \
  X(vlVectorize,   aMatrix, (aMatrix, aCplxMatrix))                      \
  X(vlVectorize,   aMatrix, (aImagMatrix, aMatrix))                      \
  X(vlVectorize,   aMatrix, (aRealMatrix, aMatrix))                      \
  X(vlVectorize,   aMatrix, (aCplxMatrix, aMatrix))                      \
  X(vlVectorize,   aMatrix, (aMatrix, aMatrix))

// Parameter lists from a parenthesised list of one to four operand types.
#define VELLUM_OPERAND_PARAMS(...) VELLUM_CAT(VELLUM_PARAMS_, VELLUM_COUNT(__VA_ARGS__))(__VA_ARGS__)
#define VELLUM_PARAMS_1(A) A const* o1
#define VELLUM_PARAMS_2(A, B) A const* o1, B const* o2
#define VELLUM_PARAMS_3(A, B, C) A const* o1, B const* o2, C const* o3
#define VELLUM_PARAMS_4(A, B, C, D) A const* o1, B const* o2, C const* o3, D const* o4
#define VELLUM_OPERAND_ARGS(...) VELLUM_CAT(VELLUM_ARGS_, VELLUM_COUNT(__VA_ARGS__))
#define VELLUM_ARGS_1 o1
#define VELLUM_ARGS_2 o1, o2
#define VELLUM_ARGS_3 o1, o2, o3
#define VELLUM_ARGS_4 o1, o2, o3, o4
#define VELLUM_SCALAR_FN(...) VELLUM_CAT(vlScalarFn, VELLUM_COUNT(__VA_ARGS__))

// A pair row as the two typed-kernel rows it stands for.
#define VELLUM_PAIR_AS_KERNELS(X, first, second, result, rule)                                          \
  X(vlVectorize, a##result##Vec, (a##first##Vec, a##second##Vec), 0, Direct, rule)                   \
  X(vlVectorize, a##result##Matrix, (a##first##Matrix, a##second##Matrix), 0, Direct, rule)
