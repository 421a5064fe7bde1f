// The MBROLA databases an installation registered, read where a 32-bit
// program reads them.
#include <windows.h>

#include <gtest/gtest.h>

#include "1_platform/mbrola.h"

namespace kal {
namespace {

constexpr const wchar_t* kKey = L"SOFTWARE\\TCTS\\Mbrola\\databases\\zztest";

TEST(MbrolaRegistry, TheDefaultValueOfTheDatabasesKeyNamesTheFile) {
  EXPECT_EQ(RegisteredMbrolaDatabase("zztest"), "");
  HKEY key;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE | KEY_WOW64_32KEY, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  const wchar_t path[] = L"C:\\mbrola\\zztest\\zztest";
  RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path), sizeof path);
  RegCloseKey(key);
  EXPECT_EQ(RegisteredMbrolaDatabase("zztest"), "C:\\mbrola\\zztest\\zztest");
  EXPECT_EQ(RegisteredMbrolaDatabase("ZZTEST"), "C:\\mbrola\\zztest\\zztest");  // names are any case
  EXPECT_EQ(RegisteredMbrolaDatabase("..\\zztest"), "");
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kKey, KEY_WOW64_32KEY, 0);
  EXPECT_EQ(RegisteredMbrolaDatabase("zztest"), "");
}

}  // namespace
}  // namespace kal
