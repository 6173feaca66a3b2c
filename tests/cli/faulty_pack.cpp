// A pack that breaks the host's rules on purpose, one function per rule.
#include <chrono>
#include <cstdlib>
#include <thread>

#include <host/protocol.h>
#include <vellum/vellum.h>

namespace {

void leak(EfiCallContext* context, Anyval** result, Anyval* const*) {
  aString::mk(context->allocator, "lost");
  *result = aString::mk(context->allocator, "kept");
}
void nothing(EfiCallContext*, Anyval**, Anyval* const*) {}
void throw_text(EfiCallContext*, Anyval**, Anyval* const*) { throw "1.is not welcome here"; }
void throw_far(EfiCallContext*, Anyval**, Anyval* const*) { throw "2.is out of reach"; }
void throw_other(EfiCallContext*, Anyval**, Anyval* const*) { throw 7; }
void crash(EfiCallContext*, Anyval**, Anyval* const*) { std::abort(); }
void forever(EfiCallContext*, Anyval**, Anyval* const*) {
  for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
}

VellumPackEntry const kFunctions[] = {
    {"leak", "", {Variable_to_Str, {}}, leak},         {"nothing", "x", {Any_to_Num, {}}, nothing},
    {"throw_text", "x", {Any_to_Num, {}}, throw_text}, {"throw_other", "", {Variable_to_Num, {}}, throw_other},
    {"crash", "", {Variable_to_Num, {}}, crash},       {"forever", "", {Variable_to_Num, {}}, forever},
    {"throw_far", "x", {Any_to_Num, {}}, throw_far},
};

}  // namespace

VELLUM_PACK_FUNCTIONS(kFunctions)
