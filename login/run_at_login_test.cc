// Against the hermetic prefix's real HKEY_CURRENT_USER. The end-to-end
// suite enables and disables twice through the real bundle, whose path has a
// space, and clears a disabled mark.
#include "login/run_at_login.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "win32/unique_handle.h"

namespace veltrix {
namespace {

LSTATUS OpenRunKey(UniqueRegistryKey& key) {
  return ::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_QUERY_VALUE, key.Receive());
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
