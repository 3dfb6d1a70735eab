// The tray icon against a shell that refuses in each way the real one can
// (a timeout, a restart, an icon it still shows). The end-to-end suite uses
// the real notification area, which accepts everything.
#include "tray/tray_icon.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace veltrix {
namespace {

const HWND kWindow = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234));
constexpr ConnectionState kState = ConnectionState::Connected;

// Logs each call and refuses the ones listed, each once.
class FakeShell {
 public:
  TrayShell Function() {
    return {[this](DWORD message, NOTIFYICONDATAW* record) {
      static const char* const kNames[] = {"add", "modify", "delete", "focus", "version"};
      const std::string name = kNames[message];
      log.push_back(name);
      last = *record;
      if (refuse.count(name) == 0) return TRUE;
      refuse.erase(refuse.find(name));
      return FALSE;
    }};
  }

  std::multiset<std::string> refuse;
  std::vector<std::string> log;
  NOTIFYICONDATAW last{};
};

using Log = std::vector<std::string>;

TEST(TrayIconTest, RecoversFromEachRefusal) {
  FakeShell shell;
  {
    TrayIcon icon(0x8041, shell.Function());
    EXPECT_TRUE(icon.Ensure(kWindow, kState));
    EXPECT_EQ(shell.log, (Log{"add", "version", "modify"}));
    EXPECT_TRUE(icon.version4());

    // A refused change counts as lost, though the shell may still show it
    // and refuse to add it again: adding deletes it first.
    shell.refuse = {"modify", "add"};
    EXPECT_FALSE(icon.Show(kWindow, kState));
    EXPECT_FALSE(icon.shown());
    shell.log.clear();
    EXPECT_TRUE(icon.Ensure(kWindow, kState));
    EXPECT_EQ(shell.log, (Log{"add", "delete", "add", "version", "modify"}));

    // An older shell without version 4 still shows the icon.
    shell.refuse = {"version"};
    EXPECT_TRUE(icon.OnTaskbarCreated(kWindow, kState));
    EXPECT_FALSE(icon.version4());

    // Added, and lost at the first change: lost like any other.
    shell.refuse = {"modify", "modify"};
    EXPECT_FALSE(icon.Show(kWindow, kState));
    EXPECT_FALSE(icon.Show(kWindow, kState));
    EXPECT_TRUE(icon.Ensure(kWindow, kState));

    // Lost for good, but still taken away at the end.
    shell.refuse = {"modify", "add", "add"};
    EXPECT_FALSE(icon.Show(kWindow, kState));
    EXPECT_FALSE(icon.Ensure(kWindow, kState));
    shell.log.clear();
  }
  EXPECT_EQ(shell.log, (Log{"delete"}));
}

// The colour bits of `icon`; none when it has none.
std::vector<uint8_t> Pixels(HICON icon) {
  ICONINFO info{};
  if (icon == nullptr || !::GetIconInfo(icon, &info)) return {};
  BITMAP bitmap{};
  ::GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
  std::vector<uint8_t> bits(size_t(bitmap.bmWidthBytes) * bitmap.bmHeight);
  ::GetBitmapBits(info.hbmColor, static_cast<LONG>(bits.size()), bits.data());
  ::DeleteObject(info.hbmColor);
  ::DeleteObject(info.hbmMask);
  return bits;
}

TEST(TrayIconTest, EachStateHasItsImageAndTooltipInOneChange) {
  const auto image = [](int resource) {
    const UniqueIcon icon(static_cast<HICON>(::LoadImageW(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_ICON, 16, 16, 0)));
    return Pixels(icon.Get());
  };
  const struct {
    ConnectionState state;
    int resource;
  } states[] = {{ConnectionState::Connecting, 102},    {ConnectionState::Connected, 103},
                {ConnectionState::Reconnecting, 102},  {ConnectionState::Error, 104},
                {ConnectionState::Disconnecting, 102}, {ConnectionState::Disconnected, 101}};
  FakeShell shell;
  TrayIcon icon(0x8041, shell.Function());
  ASSERT_TRUE(icon.Ensure(kWindow, ConnectionState::Disconnected));
  for (const auto& s : states) {
    shell.log.clear();
    ASSERT_TRUE(icon.Show(kWindow, s.state));
    EXPECT_EQ(shell.log, Log{"modify"});
    ASSERT_FALSE(image(s.resource).empty());
    const std::wstring label(ConnectionLabel(TextsFor(Language::kEnglish), s.state));
    EXPECT_EQ(Pixels(shell.last.hIcon), image(s.resource)) << label;
    EXPECT_EQ(std::wstring(shell.last.szTip).find(label), 14u);
  }
  // Another language rewrites the tooltip at once; a refused change loses the icon.
  shell.log.clear();
  ASSERT_TRUE(icon.ShowLanguage(Language::kGerman));
  EXPECT_EQ(std::wstring_view(shell.last.szTip), L"VELTRIX VPN - Getrennt");
  shell.refuse = {"modify"};
  EXPECT_FALSE(icon.ShowLanguage(Language::kEnglish));
  EXPECT_EQ(shell.log, (Log{"modify", "modify"}));
  // Added again after the shell restarted: the state it was asked to show.
  ASSERT_TRUE(icon.OnTaskbarCreated(kWindow, ConnectionState::Error));
  EXPECT_EQ(Pixels(shell.last.hIcon), image(104));
}

TEST(TrayIconTest, NothingIsAddedWithoutAWindow) {
  FakeShell shell;
  TrayIcon icon(0x8041, shell.Function());
  EXPECT_FALSE(icon.Ensure(nullptr, kState));
  EXPECT_FALSE(icon.OnTaskbarCreated(nullptr, kState));
  EXPECT_TRUE(shell.log.empty());
}

}  // namespace
}  // namespace veltrix
