// The pack-testing API with a pack linked in (the strings example) and with packs breaking the rules.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <vellum/vellum.h>

#include "host/testing/pack_testing.h"

namespace {

using vellum::host::Pack;
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
    EXPECT_EQ(refusal([&] { Pack pack(&table); }),
              table.count == 1 && table.entries
                  ? "(linked pack) is not a pack: an entry of its table lacks a name, a signature or a function"
                  : "(linked pack) is not a pack: it has no usable vellum_pack_functions()");
  VellumPackEntry const named[] = {{" \t", "", {Str_to_Str, {}}, no_function},
                                   {"f", "", {Str_to_Str, {}}, no_function}, {"f", "", {Str_to_Str, {}}, no_function}};
  VellumPackTable const blank{1, named}, twice{2, named + 1};
  EXPECT_EQ(refusal([&] { Pack pack(&blank); }), "(linked pack) is not a pack: entry 1 of its table has a blank name");
  EXPECT_EQ(refusal([&] { Pack pack(&twice); }),
            "(linked pack) is not a pack: entries 1 and 2 of its table are both named f");
  EXPECT_EQ(refusal([] { Pack pack(NOT_A_PACK); }),
            NOT_A_PACK " is not a pack: it has no usable vellum_pack_functions()");
  // A signature without an argument list takes no arguments.
  sFunctionInfo const bare{0, nullptr, {vellum::type_code::Num, 0}, 0};
  VellumPackEntry const lone[] = {{"f", "", {&bare, {}}, no_function}};
  VellumPackTable const lone_table{1, lone};
  EXPECT_EQ(vellum::host::signature_words(&bare), "-> Num");
  EXPECT_EQ(refusal([&] { PackUnderTest(&lone_table).call_value("f", {"1"}); }), "f() takes 0 arguments, given 1");
  std::string const missing = refusal([] { Pack pack(NEEDS_ABSENT_PACK); });
  EXPECT_TRUE(missing.starts_with("cannot load pack " NEEDS_ABSENT_PACK ": ") &&
              missing.find("absent_dependency") != std::string::npos)
      << "the library the loader did not find is named: " << missing;
}

// The failures a PackUnderTest reports, each as "file:line: message", while the test goes on.
std::vector<std::string> failures_of(auto action) {
  testing::TestPartResultArray results;
  {
    testing::ScopedFakeTestPartResultReporter capture(testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD,
                                                      &results);
    action();
  }
  std::vector<std::string> lines;
  for (int k = 0; k < results.size(); ++k) {
    testing::TestPartResult const& r = results.GetTestPartResult(k);
    lines.push_back(std::string(r.nonfatally_failed() ? "" : "fatal ") + r.file_name() + ":" +
                    std::to_string(r.line_number()) + ": " + r.message());  // ADD_FAILURE's "Failed\n" first
  }
  return lines;
}

TEST(PackUnderTest, WhatGoesWrongAroundACallFailsTheTestAtTheCallersLine) {
  PackUnderTest pack(FAULTY_PACK);
  std::string const here = std::string(__FILE__) + ":";
  std::string text;
  auto failures = failures_of([&] { text = pack.call("leak", {}); });
  int const leak_line = __LINE__ - 1;
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_TRUE(failures[0].starts_with(here + std::to_string(leak_line) + ": Failed\nleak left records or arrays behind:\nrecord "))
      << failures[0];
  EXPECT_TRUE(text.starts_with("failed: leak left records")) << text;
  pack.host().release_all();
  EXPECT_EQ(failures_of([&] { text = pack.call("nosuch", {}); }),
            std::vector<std::string>{here + std::to_string(__LINE__ - 1) + ": Failed\n" FAULTY_PACK " has no function nosuch"});
  EXPECT_EQ(text, "failed: " FAULTY_PACK " has no function nosuch");
  EXPECT_EQ(failures_of([] { PackUnderTest missing(NOT_A_PACK); }),
            std::vector<std::string>{here + std::to_string(__LINE__ - 1) + ": Failed\n" NOT_A_PACK
                                     " is not a pack: it has no usable vellum_pack_functions()"});
  EXPECT_EQ(failures_of([&] { text = pack.call("nothing", {"1"}); }).size(), 1u);
  EXPECT_EQ(text, "failed: nothing returned no value");
  PackUnderTest linked(vellum_pack_functions());
  EXPECT_EQ(failures_of([&] { text = linked.call("upper", {"[1"}); }).size(), 1u);
  EXPECT_TRUE(text.starts_with("failed: ")) << text;
  pack.check_leaks(false);
  EXPECT_EQ(pack.call("leak", {}), "\"kept\"");
  EXPECT_EQ(pack.host().live_records(), 1u);
}

}  // namespace
