#include "window/desktop_host.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tray/tray_appearance.h"
#include "window/host_settings.h"

namespace veltrix {
namespace {

// The balloons a host shows, through the shell's record: text and flags.
using Balloons = std::vector<std::pair<std::wstring, DWORD>>;
TrayShell Shell(Balloons& balloons) {
  return {[&balloons](DWORD message, NOTIFYICONDATAW* record) {
    if (message == NIM_MODIFY && (record->uFlags & NIF_INFO) != 0) {
      balloons.emplace_back(record->szInfo, record->dwInfoFlags);
    }
    return TRUE;
  }};
}

// A plain start's lifecycle, for the hosts below.
const HostLifecycle kPlainStart(false);

TEST(DesktopHostTest, WarnsOncePerDropTheUserDidNotAskForWhileTheWindowIsOutOfSight) {
  const HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                        nullptr, nullptr, nullptr, nullptr);
  for (const int shown : {SW_HIDE, SW_SHOWMINIMIZED, SW_SHOWNORMAL}) {
    ::ShowWindow(window, shown);
    for (int from = 0; from < 6; ++from) {
      for (int to = 0; to < 6; ++to) {
        Balloons balloons;
        DesktopHost host(kPlainStart, 0x8041, Shell(balloons));
        host.Attach(window);
        ASSERT_TRUE(host.EnsureTrayIcon());
        host.ShowConnection(static_cast<ConnectionState>(from));
        host.ShowConnection(static_cast<ConnectionState>(to));
        // Connected to reconnecting or to an error, out of sight.
        const bool drop = from == 2 && (to == 3 || to == 5) && shown != SW_SHOWNORMAL;
        const Balloons expected = {{std::wstring(TextsFor(Language::kEnglish).connectionLostText),
                                    NIIF_WARNING | NIIF_RESPECT_QUIET_TIME}};
        ASSERT_EQ(balloons, drop ? expected : Balloons{})
            << from << " to " << to << ", shown " << shown;
      }
    }
  }
  ::DestroyWindow(window);
}

TEST(DesktopHostTest, TheFirstHideToTrayIsToldOncePerUser) {
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"StillRunningNoticeShown");
  Balloons balloons;
  for (int start = 0; start < 2; ++start) {
    DesktopHost host(kPlainStart, 0x8041, Shell(balloons));
    host.Attach(reinterpret_cast<HWND>(uintptr_t{0x1234}));
    ASSERT_TRUE(host.EnsureTrayIcon());
    host.OnHiddenToTray();
    host.OnHiddenToTray();
  }
  EXPECT_EQ(balloons, (Balloons{{std::wstring(TextsFor(Language::kEnglish).stillRunningText),
                                 NIIF_INFO | NIIF_RESPECT_QUIET_TIME}}));
}

}  // namespace
}  // namespace veltrix
