#include "window/desktop_host.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tray/tray_appearance.h"
#include "window/host_settings.h"

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

// The balloons a host shows, through the shell's record.
struct Balloons {
  NotifyIconFunction Shell() {
    return [this](DWORD message, NOTIFYICONDATAW* record) {
      if (message == NIM_MODIFY && (record->uFlags & NIF_INFO) != 0) {
        shown.emplace_back(record->szInfo, record->dwInfoFlags);
      }
      return TRUE;
    };
  }
  std::vector<std::pair<std::wstring, DWORD>> shown;
};

TEST(DesktopHostTest, WarnsOncePerDropTheUserDidNotAskForWhileTheWindowIsOutOfSight) {
  constexpr ConnectionState kStates[] = {
      ConnectionState::Disconnected, ConnectionState::Connecting,    ConnectionState::Connected,
      ConnectionState::Reconnecting, ConnectionState::Disconnecting, ConnectionState::Error};
  for (const bool inView : {false, true}) {
    const HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                          nullptr, nullptr, nullptr, nullptr);
    if (inView) ::ShowWindow(window, SW_SHOWNORMAL);
    for (const ConnectionState from : kStates) {
      for (const ConnectionState to : kStates) {
        Balloons balloons;
        DesktopHost host(false, 0x8041, balloons.Shell());
        host.Attach(window);
        ASSERT_TRUE(host.EnsureTrayIcon());
        host.ShowConnection(from);
        host.ShowConnection(to);
        const bool drop = from == ConnectionState::Connected &&
                          (to == ConnectionState::Reconnecting || to == ConnectionState::Error);
        ASSERT_EQ(balloons.shown.size(), drop && !inView ? 1u : 0u)
            << TrayLabelFor(from) << " to " << TrayLabelFor(to) << ", in view " << inView;
        if (!balloons.shown.empty()) {
          EXPECT_EQ(balloons.shown[0].second, DWORD{NIIF_WARNING | NIIF_RESPECT_QUIET_TIME});
        }
      }
    }
    ::DestroyWindow(window);
  }
}

TEST(DesktopHostTest, TheFirstHideToTrayIsToldOncePerUser) {
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"StillRunningNoticeShown");
  Balloons balloons;
  for (int start = 0; start < 2; ++start) {
    DesktopHost host(false, 0x8041, balloons.Shell());
    host.Attach(reinterpret_cast<HWND>(uintptr_t{0x1234}));
    ASSERT_TRUE(host.EnsureTrayIcon());
    host.OnHiddenToTray();
    host.OnHiddenToTray();
  }
  ASSERT_EQ(balloons.shown.size(), 1u);
  EXPECT_EQ(balloons.shown[0].first, kStillRunningText);
}

}  // namespace
}  // namespace veltrix
