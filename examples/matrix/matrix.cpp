// A matrix pack: the library's product and transpose on the host's matrix records. They return
// null or an error text; the pack turns a text into an error value naming the argument.
//
//   mmul(A, B)    Mat, Mat -> Mat   the matrix product of the real parts
//   transpose(M)  Mat -> Mat        the transpose of the real part
//   norm(M)       Mat -> Num        the square root of the sum of the squares of the real parts
#include <cmath>

#include <host/protocol.h>
#include <vellum/vellum.h>

namespace {

// The products read nested cells as the numbers their bit patterns make; a pack refuses them.
bool refuse_nested(EfiCallContext* context, Anyval** result, Anyval* const* args, int count) {
  for (int k = 0; k < count; ++k)
    if (contains_ptrs(static_cast<aMatrix*>(args[k]))) {
      *result = mkError(context, "may not be nested", k + 1);
      return true;
    }
  return false;
}

void mmul_fn(EfiCallContext* context, Anyval** result, Anyval* const* args) {
  if (refuse_nested(context, result, args, 2)) return;
  auto* a = static_cast<aMatrix*>(args[0]);
  auto* b = static_cast<aMatrix*>(args[1]);
  // MMprod stores its product before it compares the shapes; checking first leaves nothing
  // behind that the host would have to reclaim.
  if (b->rows != a->cols) {
    *result = mkError(context, "2.must have as many rows as argument 1 has columns", 0);
    return;
  }
  aMatrix* product = nullptr;
  if (char const* text = MMprod(context, a, b, &product)) {
    *result = mkError(context, text, 0);
    return;
  }
  *result = product;
}

void transpose_fn(EfiCallContext* context, Anyval** result, Anyval* const* args) {
  if (refuse_nested(context, result, args, 1)) return;
  aMatrix* transposed = nullptr;
  if (char const* text = Mtrans(context, static_cast<aMatrix*>(args[0]), &transposed)) {
    *result = mkError(context, text, 1);
    return;
  }
  *result = transposed;
}

// A number is a complex record with a zero imaginary part, made through the host's allocator.
void norm_fn(EfiCallContext* context, Anyval** result, Anyval* const* args) {
  if (refuse_nested(context, result, args, 1)) return;
  auto const* m = static_cast<aMatrix const*>(args[0]);
  double sum = 0.0;
  for (int j = 0; j < m->cols; ++j)
    for (int i = 0; i < m->rows; ++i) {
      double const x = *vellum::elem_ptr(m->real, m->ld, i, j);
      sum += x * x;
    }
  auto* norm = vellum::make_record<aComplex>(context->allocator, &IvlAllocator::AllocComplex, ValueTag::Complex);
  norm->real = std::sqrt(sum);
  norm->imag = 0.0;
  *result = norm;
}

VellumPackEntry const kFunctions[] = {
    {"mmul", "A, B", {Mat_Mat_to_Mat, {}}, mmul_fn},
    {"transpose", "M", {Mat_to_Mat, {}}, transpose_fn},
    {"norm", "M", {Mat_to_Num, {}}, norm_fn},
};

}  // namespace

VELLUM_PACK_FUNCTIONS(kFunctions)
