// vellum.dll as a host loads it: its export table and its entry point.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

struct Guid {
  unsigned long Data1;
  unsigned short Data2, Data3;
  unsigned char Data4[8];
};
using Register = long(__stdcall*)(void*, Guid const*);
using Unregister = long(__stdcall*)(Guid const*);

DWORD WINAPI return_seven(void*) { return 7; }

TEST(VellumDll, ExportsRegistrationUndecoratedAndRegistersItself) {
  HMODULE dll = LoadLibraryA("vellum.dll");
  ASSERT_NE(dll, nullptr) << "vellum.dll on the search path";
  auto register_pack = reinterpret_cast<Register>(reinterpret_cast<void*>(GetProcAddress(dll, "RegisterEfiFunctionPack")));
  auto unregister_pack = reinterpret_cast<Unregister>(reinterpret_cast<void*>(GetProcAddress(dll, "UnregisterEfiFunctionPack")));
  ASSERT_NE(register_pack, nullptr);
  ASSERT_NE(unregister_pack, nullptr);
  EXPECT_EQ(GetProcAddress(dll, "RegisterEfiFunctionPack@8"), nullptr);
  EXPECT_NE(GetProcAddress(dll, "sError_OutOfMemory"), nullptr) << "data exports too";

  // The DLL registers its own module (GetModuleFileNameA on the DLL's handle), then goes.
  Guid guid{0x0BADF00D, 0x1111, 0x2222, {1, 2, 3, 4, 5, 6, 7, 8}};
  EXPECT_EQ(register_pack(dll, &guid), 0);
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "Vellum\\Functions", 0, KEY_READ, &key), ERROR_SUCCESS);
  char path[1024];
  DWORD bytes = sizeof path, type = 0;
  ASSERT_EQ(RegQueryValueExA(key, "{0BADF00D-1111-2222-0102-030405060708}", nullptr, &type,
                             reinterpret_cast<BYTE*>(path), &bytes),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  std::string stored(path);
  EXPECT_EQ(bytes, stored.size() + 1);
  EXPECT_NE(stored.find("vellum.dll"), std::string::npos) << stored;
  EXPECT_EQ(unregister_pack(&guid), 0);

  // Thread notifications are off: a thread started and joined while the DLL is loaded runs
  // without the DLL's entry point being called for it (nothing to observe but that it works).
  HANDLE thread = CreateThread(nullptr, 0, return_seven, nullptr, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  WaitForSingleObject(thread, INFINITE);
  DWORD code = 0;
  GetExitCodeThread(thread, &code);
  CloseHandle(thread);
  EXPECT_EQ(code, 7u);
  EXPECT_TRUE(FreeLibrary(dll));
}

}  // namespace
