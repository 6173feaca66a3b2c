// The pack-testing API with a pack linked in (the strings example) and with packs breaking the rules.
#include <gtest/gtest.h>

#include <vellum/vellum.h>

#include "host/testing/pack_testing.h"

namespace {

using vellum::host::PackUnderTest;

// The message of the HostError that `action` ends with; "" when it ends without one.
std::string refusal(auto action) {
  try {
    action();
  } catch (vellum::host::HostError const& e) {
    return e.what();
  }
  return "";
}

void no_function(EfiCallContext*, Anyval**, Anyval* const*) {}

TEST(LinkedPack, CallsGoThroughTheLinkedTableAndTablesNoHostCanUseAreRefused) {
  PackUnderTest pack(vellum_pack_functions());
  EXPECT_EQ(pack.call("upper", {"\"linked\""}), "\"LINKED\"");
  EXPECT_EQ(pack.pack().handle(), nullptr) << "no module was loaded";
  EXPECT_EQ(pack.pack().symbol(VELLUM_PACK_REGISTER_SYMBOL), nullptr);
  VellumPackEntry const entries[] = {{nullptr, "", {Str_to_Str, {}}, no_function}, {"f", "", {}, no_function},
                                     {"f", "", {Str_to_Str, {}}, nullptr}};
  VellumPackTable const tables[] = {{1, nullptr}, {-1, entries}, {1, entries}, {1, entries + 1}, {1, entries + 2}};
  for (VellumPackTable const& table : tables)
    EXPECT_EQ(refusal([&] { PackUnderTest pack(&table); }),
              table.count == 1 && table.entries
                  ? "(linked pack) is not a pack: an entry of its table lacks a name, a signature or a function"
                  : "(linked pack) is not a pack: it has no usable vellum_pack_functions()");
  VellumPackEntry const named[] = {{" \t", "", {Str_to_Str, {}}, no_function},
                                   {"f", "", {Str_to_Str, {}}, no_function}, {"f", "", {Str_to_Str, {}}, no_function}};
  VellumPackTable const blank{1, named}, twice{2, named + 1};
  EXPECT_EQ(refusal([&] { PackUnderTest pack(&blank); }), "(linked pack) is not a pack: entry 1 of its table has a blank name");
  EXPECT_EQ(refusal([&] { PackUnderTest pack(&twice); }),
            "(linked pack) is not a pack: entries 1 and 2 of its table are both named f");
  EXPECT_EQ(refusal([] { PackUnderTest pack(NOT_A_PACK); }),
            NOT_A_PACK " is not a pack: it has no usable vellum_pack_functions()");
}

TEST(HostCalls, LeaksAreReportedUnlessSwitchedOff) {
  PackUnderTest pack(FAULTY_PACK);
  EXPECT_TRUE(refusal([&] { pack.call("leak", {}); }).starts_with("leak left records or arrays behind:\nrecord "));
  pack.host().release_all();
  pack.check_leaks(false);
  EXPECT_EQ(pack.call("leak", {}), "\"kept\"");
  EXPECT_EQ(pack.host().live_records(), 1u);
}

}  // namespace
