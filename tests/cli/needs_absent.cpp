// A pack that imports a library its loader cannot find: loading it must name that library.
#include <host/protocol.h>
#include <vellum/vellum.h>

extern "C" double absent_value();

namespace {

void value(EfiCallContext* context, Anyval** result, Anyval* const*) {
  auto* number = vellum::make_record<aComplex>(context->allocator, &IvlAllocator::AllocComplex, ValueTag::Complex);
  number->real = absent_value();
  number->imag = 0.0;
  *result = number;
}

VellumPackEntry const kFunctions[] = {{"value", "", {Variable_to_Num, {}}, value}};

}  // namespace

VELLUM_PACK_FUNCTIONS(kFunctions)
