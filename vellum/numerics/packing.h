// Assembling, copying and reshaping the host's matrix records. Results are compact (leading
// dimension = rows) whatever the inputs' leading dimensions, built through aMatrix::mk with the
// call context's allocator from arrays obtained with operator new.
#pragma once

#include <vellum/values/allocator.h>
#include <vellum/values/matrix.h>
#include <vellum/values/views.h>

// The joins: real parts side by side (A, then B, then C, each at the same rows) or one above the
// other (A over B). Rows run over A's rows (columns over A's columns for pack_two_rr), so the
// extra rows (columns) of a larger later operand are ignored. Their result arrays are not
// tested: an array that cannot be had is left absent, and the write rule creates it when a
// non-zero element arrives. They always return true.
VELLUM_API bool pack_two_r(EfiCallContext* context, aMatrix* A, aMatrix* B, aMatrix** out);
VELLUM_API bool pack_two_rr(EfiCallContext* context, aMatrix* A, aMatrix* B, aMatrix** out);
VELLUM_API bool pack_three_r(EfiCallContext* context, aMatrix* A, aMatrix* B, aMatrix* C, aMatrix** out);
// Real and imaginary parts side by side; an operand without imaginary part contributes zeros.
VELLUM_API bool pack_three_c(EfiCallContext* context, aMatrix* A, aMatrix* B, aMatrix* C, aMatrix** out);

// A compact copy; complex exactly when M has an imaginary part.
VELLUM_API char const* matrix_copy(EfiCallContext* context, aMatrix* M, aMatrix** out);
// A compact copy that always has an imaginary array (zeros when M is real).
VELLUM_API char const* matrix_copy_add_imag(EfiCallContext* context, aMatrix* M, aMatrix** out);

// Copies a real vector (matrix) into the real part of an existing one, creating that part when
// needed, and clears the destination's imaginary entries of the copied cells if it has an
// imaginary part. The destination must be at least as large as the source.
VELLUM_API void real_to_complex_v(aRealVec* source, aVector* destination);
VELLUM_API void real_to_complex_m(aRealMatrix* source, aMatrix* destination);

// The lower triangle of a square real part, diagonal included, packed column by column into a
// vector of n(n+1)/2 elements: (r, c) with r >= c goes to c(2n - c - 1)/2 + r. A null M, or one
// without real part, succeeds with a null `out`.
VELLUM_API char const* lower_matrix_2_vector(EfiCallContext* context, aMatrix* M, aVector** out);
// The inverse: an n x n lower-triangular matrix from a packed vector. A length that is no
// triangle number uses the largest triangle it holds and ignores the entries past it.
VELLUM_API char const* vector_2_lower_matrix(EfiCallContext* context, aVector* v, aMatrix** out);

// Scales each column to unit Euclidean length over both parts, in ascending column order. A
// zero column stops the work there: it and every later column are left as they are.
VELLUM_API void renormalize_matrix_cols(aMatrix* M);
