// The example packs' tests, as a pack author writes them: each pack loaded from its module, called
// with literal arguments; a call fails when the function leaves records or arrays behind.
#include <gtest/gtest.h>

#include <vellum/vellum.h>

#include <host/testing/pack_testing.h>

namespace {

using vellum::host::PackUnderTest;

TEST(ExamplePacks, Calls) {
  EXPECT_EQ(PackUnderTest(ELEMENTWISE_PACK).call("sqrt", {"[4, -9; 16, -1]"}), "[2, 3i; 4, 1i]");
  EXPECT_EQ(PackUnderTest(ELEMENTWISE_PACK).call("sqrt", {"[-2, 2]"}), "[1.4142135623730951i, 1.4142135623730951]");
  EXPECT_EQ(PackUnderTest(ELEMENTWISE_PACK).call("sqrt", {"[1, \"a\"]"}), "error in argument 1: may not be nested");
  EXPECT_EQ(PackUnderTest(ELEMENTWISE_PACK).call("hypot", {"[3, 5]", "[4; 12]"}), "error: array size mismatch");
  EXPECT_EQ(PackUnderTest(ELEMENTWISE_PACK).call("scale", {"[1; 3i]", "2-1i"}), "[2 - 1i; 3 + 6i]");
  EXPECT_EQ(PackUnderTest(MATRIX_PACK).call("mmul", {"[1, 2; 3, 4]", "[1, 0.5; -1, 2]"}), "[-1, 4.5; -1, 9.5]");
  EXPECT_EQ(PackUnderTest(MATRIX_PACK).call("transpose", {"[1, 2, 3; 4, 5, 6]"}), "[1, 4; 2, 5; 3, 6]");
  EXPECT_EQ(PackUnderTest(MATRIX_PACK).call("norm", {"[3, 0; 4i, 0]"}), "3") << "the real parts alone";
  EXPECT_EQ(PackUnderTest(STRINGS_PACK).call("join", {"\"a\"", "\"B\\\"c\""}), "\"aB\\\"c\"");
}

}  // namespace
