// The pack side of the element-wise benchmarks: the scalar functions, and the hand-written loops
// a pack author would write instead of calling the library.
//
// It is a shared library of its own, loaded like a pack: the scalar function then lies in a
// different module from the library's kernel, as it does for a real pack. (From a program's own
// code the kernel's calls would cross the wide gap between an x86-64 program and its shared
// libraries, which this CPU predicts markedly worse; packs and the library are both shared
// libraries and lie close together.)
#pragma once

#include <cstddef>

#include <vellum/vellum.h>

#if defined(_WIN32)
#  define BENCH_PACK_API __declspec(dllexport)
#else
#  define BENCH_PACK_API __attribute__((visibility("default")))
#endif

namespace bench_pack {

BENCH_PACK_API void affine(scalar_val& r, scalar_val const& x);
BENCH_PACK_API void sum(scalar_val& r, scalar_val const& x, scalar_val const& y);

// Each reads the same input arrays as the kernel, calls `fn` through the pointer once per element
// and writes the same result arrays, which it allocates with operator new as the kernel must.
// The caller frees what they return.
struct Arrays {
  double* real;
  double* imag;
};
BENCH_PACK_API Arrays real_vector_loop(vlScalarFn1 fn, aMatrix const* v);
BENCH_PACK_API Arrays real_matrix_to_complex_loop(vlScalarFn1 fn, aMatrix const* m);
BENCH_PACK_API Arrays complex_matrix_loop(vlScalarFn1 fn, aMatrix const* m);
BENCH_PACK_API Arrays real_pair_loop(vlScalarFn2 fn, aMatrix const* a, aMatrix const* b);

}  // namespace bench_pack
