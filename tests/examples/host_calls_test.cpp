// How the reference host treats packs that break its rules, through the pack-testing API.
#include <gtest/gtest.h>

#include <vellum/vellum.h>

#include "host/pack_testing.h"

namespace {

using vellum::host::HostError;
using vellum::host::PackUnderTest;

// What the host refuses before calling, and what it makes of a pack's faults.
TEST(HostCalls, BadCallsAndPackFaults) {
  PackUnderTest pack(FAULTY_PACK);
  struct Refused {
    char const* function;
    std::initializer_list<std::string_view> args;
    std::string message;
  } const refused[] = {
      {"complain", {"1", "2"}, "argument 1 of complain must be Str, not Num"},
      {"complain", {"\"s\""}, "complain(s, x) takes 2 arguments, given 1"},
      {"invalid", {"1"}, "invalid() takes 0 arguments, given 1"},
      {"nothing", {"[1]"}, "nothing returned no value"},
      {"missing", {}, std::string(FAULTY_PACK) + " has no function missing"},
  };
  for (auto const& r : refused) {
    SCOPED_TRACE(r.function);
    try {
      pack.call(r.function, r.args);
      ADD_FAILURE() << "called";
    } catch (HostError const& e) {
      EXPECT_EQ(e.what(), r.message);
    }
  }
  EXPECT_EQ(pack.call("throw_text", {"\"x\""}), "error in argument 1: is not welcome here");
  EXPECT_EQ(pack.call("complain", {"\"s\"", "[1]"}), "error in argument 2: must be positive");
  EXPECT_EQ(pack.call("invalid", {}), std::string("error: ") + vellum::error_text::invalid);
}

TEST(HostCalls, LeaksAreReportedUnlessSwitchedOff) {
  PackUnderTest pack(FAULTY_PACK);
  try {
    pack.call("leak", {});
    ADD_FAILURE() << "no leak reported";
  } catch (HostError const& e) {
    EXPECT_EQ(std::string(e.what()).rfind("leak left records or arrays behind:\nrecord ", 0), 0u) << e.what();
  }
  pack.host().release_all();
  pack.check_leaks(false);
  EXPECT_EQ(pack.call("leak", {}), "\"kept\"");
  EXPECT_EQ(pack.host().live_records(), 1u);
}

TEST(HostCalls, PackSignaturesInWords) {
  PackUnderTest pack(FAULTY_PACK);
  std::string words;
  for (VellumPackEntry const& e : pack.pack().entries())
    words += std::string(e.name) + ": " + vellum::host::signature_words(e.info.signature) + "\n";
  EXPECT_EQ(words,
            "leak: -> Str\nnothing: Any -> Num\nthrow_text: Any -> Num\nthrow_other: -> Num\ninvalid: -> Num\n"
            "complain: Str, Any -> Num\n");
  EXPECT_EQ(vellum::host::type_word(99), "type 99");
}

TEST(HostCalls, ModulesThatAreNoPacks) {
  try {
    PackUnderTest pack(NOT_A_PACK);
    ADD_FAILURE() << "loaded";
  } catch (HostError const& e) {
    EXPECT_EQ(std::string(e.what()), std::string(NOT_A_PACK) + " is not a pack: it has no usable vellum_pack_functions()");
  }
  try {
    PackUnderTest pack("no-such-pack.module");
    ADD_FAILURE() << "loaded";
  } catch (HostError const& e) {
    EXPECT_EQ(std::string(e.what()).rfind("cannot load pack no-such-pack.module: ", 0), 0u) << e.what();
  }
}

}  // namespace
