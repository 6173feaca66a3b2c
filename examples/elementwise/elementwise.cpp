// An element-wise pack: the library applies a scalar function to every element of a matrix and
// builds the result through the host's allocator.
//
//   sqrt(M)     Mat -> Mat        square roots; negative elements give imaginary parts
//   hypot(A, B) Mat, Mat -> Mat   sqrt(|a|^2 + |b|^2) element by element, A and B of one shape
//   scale(M, z) Mat, Num -> Mat   every element times the complex number z
#include <cmath>
#include <complex>

#include <host/protocol.h>
#include <vellum/vellum.h>

namespace {

std::complex<double> as_complex(scalar_val const& x) { return {x.real, x.imag}; }
void store(scalar_val& result, std::complex<double> z) { result = {z.real(), z.imag()}; }

void root(scalar_val& result, scalar_val const& x) { store(result, std::sqrt(as_complex(x))); }
void hypotenuse(scalar_val& result, scalar_val const& a, scalar_val const& b) {
  store(result, std::hypot(std::abs(as_complex(a)), std::abs(as_complex(b))));
}
void times(scalar_val& result, scalar_val const& x, scalar_val const& z) { store(result, as_complex(x) * as_complex(z)); }

// vlNcVectorize, not vlVectorize: the roots of a real matrix may be complex.
void sqrt_fn(EfiCallContext* context, Anyval** result, Anyval* const* args) {
  *result = vlNcVectorize(context, root, static_cast<aMatrix const*>(args[0]));
}
// A shape mismatch or a nested cell is thrown by the library as a char* text, which the host
// turns into an error value.
void hypot_fn(EfiCallContext* context, Anyval** result, Anyval* const* args) {
  *result = vlVectorize(context, hypotenuse, static_cast<aMatrix const*>(args[0]), static_cast<aMatrix const*>(args[1]));
}
void scale_fn(EfiCallContext* context, Anyval** result, Anyval* const* args) {
  *result = vlNcVectorize(context, times, static_cast<aMatrix const*>(args[0]), static_cast<aComplex const*>(args[1]));
}

VellumPackEntry const kFunctions[] = {
    {"sqrt", "M", {Mat_to_Mat, {}}, sqrt_fn},
    {"hypot", "A, B", {Mat_Mat_to_Mat, {}}, hypot_fn},
    {"scale", "M, z", {Mat_Num_to_Mat, {}}, scale_fn},
};

}  // namespace

VELLUM_PACK_FUNCTIONS(kFunctions)
