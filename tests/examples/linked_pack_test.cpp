// A pack tested with its sources linked into the test program instead of loaded as a module:
// the strings example, through the table its vellum_pack_functions() returns.
#include <gtest/gtest.h>

#include <vellum/vellum.h>

#include "host/pack_testing.h"

extern "C" VellumPackTable const* vellum_pack_functions();

namespace {

using vellum::host::HostError;
using vellum::host::PackUnderTest;

TEST(LinkedPack, CallsGoThroughTheLinkedTable) {
  PackUnderTest pack(vellum_pack_functions());
  EXPECT_EQ(pack.call("upper", {"\"linked\""}), "\"LINKED\"");
  EXPECT_EQ(pack.call("join", {"1", "\"x\""}), "error in argument 1: must be string");
  // No module was loaded: there is no handle to register and no symbol to look up.
  EXPECT_EQ(pack.pack().handle(), nullptr);
  EXPECT_EQ(pack.pack().symbol(VELLUM_PACK_REGISTER_SYMBOL), nullptr);
}

void no_function(EfiCallContext*, Anyval**, Anyval* const*) {}

TEST(LinkedPack, ATableNoHostCanUseIsRefused) {
  VellumPackEntry const nameless{nullptr, "", {Str_to_Str, {}}, no_function};
  VellumPackEntry const unsigned_entry{"f", "", {nullptr, {}}, no_function};
  VellumPackTable const no_entries{1, nullptr}, negative{-1, &nameless}, without_name{1, &nameless},
      without_signature{1, &unsigned_entry};
  std::string const no_table = "(linked pack) is not a pack: it has no usable vellum_pack_functions()";
  std::string const bad_entry =
      "(linked pack) is not a pack: an entry of its table lacks a name, a signature or a function";
  struct {
    VellumPackTable const* table;
    std::string const& message;
  } const cases[] = {{nullptr, no_table},
                     {&no_entries, no_table},
                     {&negative, no_table},
                     {&without_name, bad_entry},
                     {&without_signature, bad_entry}};
  for (auto const& c : cases) {
    try {
      PackUnderTest pack(c.table);
      ADD_FAILURE() << "accepted: " << c.message;
    } catch (HostError const& e) {
      EXPECT_EQ(e.what(), c.message);
    }
  }
}

}  // namespace
