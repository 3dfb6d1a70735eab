// Against the hermetic prefix's real HKEY_CURRENT_USER. The end-to-end
// suite enables and disables twice through the real bundle.
#include "desktop/run_at_login.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "win32/unique_handle.h"

namespace veltrix {
namespace {

LSTATUS OpenRunKey(UniqueRegistryKey& key) {
  return ::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_QUERY_VALUE, key.Receive());
}

// Our value's bytes, and how many values the key holds.
std::vector<BYTE> ReadRunValue(DWORD* values) {
  UniqueRegistryKey key;
  std::vector<BYTE> bytes(65536);
  DWORD size = static_cast<DWORD>(bytes.size());
  *values = 0;
  if (OpenRunKey(key) != ERROR_SUCCESS) return {};
  ::RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, values,
                     nullptr, nullptr, nullptr, nullptr);
  if (::RegQueryValueExW(key.Get(), kRunValueName, nullptr, nullptr, bytes.data(), &size) !=
      ERROR_SUCCESS) {
    size = 0;
  }
  bytes.resize(size);
  return bytes;
}

TEST(RunAtLoginTest, PathWithSpacesStaysInsideTheQuotes) {
  ASSERT_TRUE(SetRunAtLogin(false));
  DWORD before = 0;
  ReadRunValue(&before);
  const std::wstring data = L"\"C:\\Program Files\\VELTRIX VPN\\VELTRIX VPN.exe\" --autostart";
  ASSERT_TRUE(WriteRunValue(L"C:\\Program Files\\VELTRIX VPN\\VELTRIX VPN.exe"));
  DWORD after = 0;
  const std::vector<BYTE> bytes = ReadRunValue(&after);
  // One terminating zero unit, and no other value touched.
  const auto* expected = reinterpret_cast<const BYTE*>(data.c_str());
  EXPECT_EQ(bytes, std::vector<BYTE>(expected, expected + (data.size() + 1) * sizeof(wchar_t)));
  EXPECT_EQ(after, before + 1);
  EXPECT_TRUE(SetRunAtLogin(false));
}

TEST(RunAtLoginTest, DisablingWithoutARunKeyCreatesNothing) {
  ::RegDeleteTreeW(HKEY_CURRENT_USER, kRunKeyPath);
  ::RegDeleteKeyW(HKEY_CURRENT_USER, kRunKeyPath);
  UniqueRegistryKey key;
  ASSERT_EQ(OpenRunKey(key), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(SetRunAtLogin(false));
  EXPECT_EQ(OpenRunKey(key), ERROR_FILE_NOT_FOUND);
  // Enabling creates the key again.
  EXPECT_TRUE(SetRunAtLogin(true));
  EXPECT_TRUE(SetRunAtLogin(false));
}

}  // namespace
}  // namespace veltrix
