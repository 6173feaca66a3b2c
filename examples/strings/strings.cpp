// A strings pack: string records in and out, a function that checks its own arguments, and
// registration: installed, the pack enrols itself with the host under its GUID
// (vellum-host register PACK, run by the examples' install step).
//
//   upper(s)    Str -> Str        s with ASCII letters in upper case
//   join(a, b)  Any, Any -> Str   a and b, both strings, one after the other
#include <cctype>
#include <string>

#include <host/protocol.h>
#include <vellum/vellum.h>

namespace {

char const* text_of(Anyval const* value) { return static_cast<aString const*>(value)->text; }

void upper_fn(EfiCallContext* context, Anyval** result, Anyval* const* args) {
  std::string text = text_of(args[0]);
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  *result = aString::mk(context->allocator, text.c_str());
}

// The signature lets any value through, so the function names the argument that is no string.
void join_fn(EfiCallContext* context, Anyval** result, Anyval* const* args) {
  for (int k = 0; k < 2; ++k)
    if (args[k]->tag != ValueTag::String) {
      *result = mkError(context, "must be string", k + 1);
      return;
    }
  *result = aString::mk(context->allocator, (std::string(text_of(args[0])) + text_of(args[1])).c_str());
}

// The pack's identity with the host: the name of its registry value.
constexpr GUID kPackGuid{0x5E11C0DE, 0x57A1, 0x4e6b, {0x9c, 0x3a, 0x51, 0x7e, 0x0f, 0x2d, 0x64, 0xb8}};

VellumPackEntry const kFunctions[] = {
    {"upper", "s", {Str_to_Str, {}}, upper_fn},
    {"join", "a, b", {Any_Any_to_Str, {}}, join_fn},
};

}  // namespace

VELLUM_PACK_FUNCTIONS(kFunctions)
VELLUM_PACK_REGISTRATION(kPackGuid)
