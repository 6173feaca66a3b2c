// vellum.dll as a host loads it: registration exported undecorated, data exported too.
#include <windows.h>

#include <gtest/gtest.h>

TEST(VellumDll, ExportsRegistrationUndecoratedAndData) {
  HMODULE dll = LoadLibraryA("vellum.dll");
  ASSERT_NE(dll, nullptr) << "vellum.dll on the search path";
  for (char const* name : {"RegisterEfiFunctionPack", "UnregisterEfiFunctionPack", "sError_OutOfMemory"})
    EXPECT_NE(GetProcAddress(dll, name), nullptr) << name;
  EXPECT_EQ(GetProcAddress(dll, "RegisterEfiFunctionPack@8"), nullptr);
  EXPECT_TRUE(FreeLibrary(dll));
}
