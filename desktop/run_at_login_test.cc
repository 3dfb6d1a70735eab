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

// Our value's bytes; empty when it or the key is missing.
std::vector<BYTE> ReadRunValue(DWORD* type = nullptr) {
  UniqueRegistryKey key;
  std::vector<BYTE> bytes(65536);
  DWORD size = static_cast<DWORD>(bytes.size());
  if (OpenRunKey(key) != ERROR_SUCCESS ||
      ::RegQueryValueExW(key.Get(), kRunValueName, nullptr, type, bytes.data(), &size) !=
          ERROR_SUCCESS) {
    size = 0;
  }
  bytes.resize(size);
  return bytes;
}

DWORD CountRunValues() {
  UniqueRegistryKey key;
  DWORD values = 0;
  if (OpenRunKey(key) == ERROR_SUCCESS) {
    ::RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                       nullptr, nullptr, nullptr, nullptr);
  }
  return values;
}

// The data plus one zero unit, as UTF-16 bytes.
std::vector<BYTE> ExpectedBytes(const std::wstring& data) {
  const auto* begin = reinterpret_cast<const BYTE*>(data.c_str());
  return std::vector<BYTE>(begin, begin + (data.size() + 1) * sizeof(wchar_t));
}

// Works on the hermetic prefix's real HKEY_CURRENT_USER.
class RunAtLoginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SetRunAtLogin(false), 0u);
    before_ = CountRunValues();
  }
  void TearDown() override {
    EXPECT_EQ(SetRunAtLogin(false), 0u);
    UniqueRegistryKey key;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_QUERY_VALUE, nullptr, key.Receive(), nullptr);
  }
  DWORD before_ = 0;
};

TEST_F(RunAtLoginTest, EnablingTwiceWritesOneQuotedModulePath) {
  std::wstring path(32768, L'\0');
  path.resize(::GetModuleFileNameW(nullptr, path.data(), 32768));
  ASSERT_FALSE(path.empty());

  ASSERT_EQ(SetRunAtLogin(true), 0u);
  ASSERT_EQ(SetRunAtLogin(true), 0u);
  DWORD type = REG_NONE;
  const std::vector<BYTE> bytes = ReadRunValue(&type);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(bytes.size(), 2 * (path.size() + 15));
  EXPECT_EQ(bytes, ExpectedBytes(L"\"" + path + L"\" --autostart"));
  EXPECT_EQ(CountRunValues(), before_ + 1);
}

TEST_F(RunAtLoginTest, PathWithSpacesStaysInsideTheQuotes) {
  const std::wstring path = L"C:\\Program Files\\VELTRIX VPN\\VELTRIX VPN.exe";
  ASSERT_EQ(WriteRunValue(path), 0u);
  const std::vector<BYTE> bytes = ReadRunValue();
  EXPECT_EQ(bytes.size(), 2 * (path.size() + 15));
  EXPECT_EQ(bytes,
            ExpectedBytes(L"\"C:\\Program Files\\VELTRIX VPN\\VELTRIX VPN.exe\" --autostart"));
}

TEST_F(RunAtLoginTest, DisablingRemovesTheValueAndRepeatsQuietly) {
  ASSERT_EQ(SetRunAtLogin(true), 0u);
  EXPECT_EQ(SetRunAtLogin(false), 0u);
  EXPECT_TRUE(ReadRunValue().empty());
  EXPECT_EQ(SetRunAtLogin(false), 0u);
  EXPECT_EQ(CountRunValues(), before_);
}

TEST_F(RunAtLoginTest, DisablingWithoutARunKeyCreatesNothing) {
  ::RegDeleteTreeW(HKEY_CURRENT_USER, kRunKeyPath);
  ::RegDeleteKeyW(HKEY_CURRENT_USER, kRunKeyPath);
  UniqueRegistryKey key;
  ASSERT_EQ(OpenRunKey(key), ERROR_FILE_NOT_FOUND);

  EXPECT_EQ(SetRunAtLogin(false), 0u);
  EXPECT_EQ(OpenRunKey(key), ERROR_FILE_NOT_FOUND);
  // Enabling creates the key again.
  EXPECT_EQ(SetRunAtLogin(true), 0u);
  EXPECT_FALSE(ReadRunValue().empty());
}

}  // namespace
}  // namespace veltrix
