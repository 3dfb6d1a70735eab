#include "window/desktop_host.h"

#include <gtest/gtest.h>

namespace veltrix {
namespace {

// The notification area at sign-in refuses a login start's icon for a while:
// the host tries for a minute, then the window must show; a late icon still
// counts.
TEST(DesktopHostTest, ALoginStartTriesForItsTrayIconForAMinute) {
  int refusedAdds = 2 * 61;  // each try adds twice, the second time after a delete
  DesktopHost host(true, 0x8041, [&](DWORD message, NOTIFYICONDATAW*) {
    return static_cast<BOOL>(message != NIM_ADD || refusedAdds-- <= 0);
  });
  host.Attach(reinterpret_cast<HWND>(uintptr_t{0x1234}));
  EXPECT_FALSE(host.EnsureTrayIcon());
  for (int i = 1; i < 60; ++i) ASSERT_EQ(host.RetryLoginTrayIcon(), LoginTray::kStillTrying);
  EXPECT_EQ(host.RetryLoginTrayIcon(), LoginTray::kGaveUp);
  EXPECT_EQ(host.RetryLoginTrayIcon(), LoginTray::kShown);
}

}  // namespace
}  // namespace veltrix
