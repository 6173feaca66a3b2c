// A pack that breaks the host's rules on purpose, one function per rule.
#include <host/protocol.h>
#include <vellum/vellum.h>

namespace {

char thrown_text[] = "1.is not welcome here";

// Returns one string and drops another.
void leak(EfiCallContext* context, Anyval** result, Anyval* const*) {
  aString::mk(context->allocator, "lost");
  *result = aString::mk(context->allocator, "kept");
}
void nothing(EfiCallContext*, Anyval**, Anyval* const*) {}
void throw_text(EfiCallContext*, Anyval**, Anyval* const*) { throw thrown_text; }
void throw_other(EfiCallContext*, Anyval**, Anyval* const*) { throw 7; }
void invalid(EfiCallContext*, Anyval** result, Anyval* const*) { *result = sError_Invalid; }
// Errors naming the argument, made either way a pack makes them.
void complain(EfiCallContext* context, Anyval** result, Anyval* const*) {
  *result = mkError(context, "2.must be positive", 0);
}

VellumPackEntry const kFunctions[] = {
    {"leak", "", {Variable_to_Str, {}}, leak},
    {"nothing", "x", {Any_to_Num, {}}, nothing},
    {"throw_text", "x", {Any_to_Num, {}}, throw_text},
    {"throw_other", "", {Variable_to_Num, {}}, throw_other},
    {"invalid", "", {Variable_to_Num, {}}, invalid},
    {"complain", "s, x", {Str_Any_to_Num, {}}, complain},
};

}  // namespace

VELLUM_PACK_FUNCTIONS(kFunctions)
