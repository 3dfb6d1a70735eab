#include "desktop/run_at_login.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "win32/unique_handle.h"

namespace veltrix {
namespace {

constexpr wchar_t kSpacedPath[] = L"C:\\Program Files\\VELTRIX VPN\\VELTRIX VPN.exe";

struct RunValue {
  LSTATUS status = ERROR_SUCCESS;
  DWORD type = REG_NONE;
  std::vector<BYTE> bytes;
};

RunValue ReadRunValue() {
  RunValue value;
  UniqueRegistryKey key;
  value.status = ::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_QUERY_VALUE, key.Receive());
  if (value.status != ERROR_SUCCESS) return value;
  DWORD size = 0;
  value.status = ::RegQueryValueExW(key.Get(), kRunValueName, nullptr, &value.type, nullptr, &size);
  if (value.status != ERROR_SUCCESS) return value;
  value.bytes.resize(size);
  value.status =
      ::RegQueryValueExW(key.Get(), kRunValueName, nullptr, &value.type, value.bytes.data(), &size);
  value.bytes.resize(size);
  return value;
}

DWORD CountRunValues() {
  UniqueRegistryKey key;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_QUERY_VALUE, key.Receive()) !=
      ERROR_SUCCESS) {
    return 0;
  }
  DWORD values = 0;
  ::RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                     nullptr, nullptr, nullptr, nullptr);
  return values;
}

LSTATUS OpenRunKey() {
  UniqueRegistryKey key;
  return ::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_QUERY_VALUE, key.Receive());
}

// The exact bytes the Run value must hold: UTF-16 data plus one zero unit.
std::vector<BYTE> ExpectedBytes(const std::wstring& data) {
  std::vector<BYTE> bytes((data.size() + 1) * sizeof(wchar_t), 0);
  std::memcpy(bytes.data(), data.c_str(), data.size() * sizeof(wchar_t));
  return bytes;
}

std::wstring ModulePath() {
  std::vector<wchar_t> path(32768, L'\0');
  DWORD length = ::GetModuleFileNameW(nullptr, path.data(), 32768);
  return std::wstring(path.data(), length);
}

TEST(RunValueDataTest, QuotesThePathAndAddsTheFlag) {
  EXPECT_EQ(RunValueData(kSpacedPath),
            L"\"C:\\Program Files\\VELTRIX VPN\\VELTRIX VPN.exe\" --autostart");
  EXPECT_EQ(RunValueData(L"C:\\a.exe"), L"\"C:\\a.exe\" --autostart");
}

// Works on the hermetic prefix's real HKEY_CURRENT_USER.
class RunAtLoginTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(SetRunAtLogin(false), 0u); }
  void TearDown() override {
    EXPECT_EQ(SetRunAtLogin(false), 0u);
    UniqueRegistryKey key;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_QUERY_VALUE, nullptr, key.Receive(), nullptr);
  }
};

TEST_F(RunAtLoginTest, EnableWritesTheQuotedModulePath) {
  ASSERT_EQ(SetRunAtLogin(true), 0u);
  const std::wstring path = ModulePath();
  ASSERT_FALSE(path.empty());

  const RunValue value = ReadRunValue();
  ASSERT_EQ(value.status, ERROR_SUCCESS);
  EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(value.bytes.size(), 2 * (path.size() + 15));
  EXPECT_EQ(value.bytes, ExpectedBytes(L"\"" + path + L"\" --autostart"));
}

TEST_F(RunAtLoginTest, PathWithSpacesStaysInsideTheQuotes) {
  const std::wstring path = kSpacedPath;
  ASSERT_EQ(WriteRunValue(path), 0u);
  const RunValue value = ReadRunValue();
  ASSERT_EQ(value.status, ERROR_SUCCESS);
  EXPECT_EQ(value.bytes.size(), 2 * (path.size() + 15));
  EXPECT_EQ(value.bytes,
            ExpectedBytes(L"\"C:\\Program Files\\VELTRIX VPN\\VELTRIX VPN.exe\" --autostart"));
}

TEST_F(RunAtLoginTest, EnablingTwiceLeavesOneValue) {
  const DWORD before = CountRunValues();
  ASSERT_EQ(SetRunAtLogin(true), 0u);
  const RunValue first = ReadRunValue();
  ASSERT_EQ(SetRunAtLogin(true), 0u);
  EXPECT_EQ(CountRunValues(), before + 1);
  EXPECT_EQ(ReadRunValue().bytes, first.bytes);
}

TEST_F(RunAtLoginTest, DisablingRemovesTheValueAndRepeatsQuietly) {
  const DWORD before = CountRunValues();
  ASSERT_EQ(SetRunAtLogin(true), 0u);
  EXPECT_EQ(SetRunAtLogin(false), 0u);
  EXPECT_EQ(ReadRunValue().status, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(SetRunAtLogin(false), 0u);
  EXPECT_EQ(CountRunValues(), before);
}

TEST_F(RunAtLoginTest, DisablingWithoutARunKeyCreatesNothing) {
  ::RegDeleteTreeW(HKEY_CURRENT_USER, kRunKeyPath);
  ::RegDeleteKeyW(HKEY_CURRENT_USER, kRunKeyPath);
  ASSERT_EQ(OpenRunKey(), ERROR_FILE_NOT_FOUND);

  EXPECT_EQ(SetRunAtLogin(false), 0u);
  EXPECT_EQ(OpenRunKey(), ERROR_FILE_NOT_FOUND);

  // Enabling creates the key again.
  EXPECT_EQ(SetRunAtLogin(true), 0u);
  EXPECT_EQ(ReadRunValue().status, ERROR_SUCCESS);
}

}  // namespace
}  // namespace veltrix
