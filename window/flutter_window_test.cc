// The host window against the stand-in engine, in this process, from the
// bundle. With no user interface module, the tests call the desktop
// channel's handler where the user interface would. Needs a display (Xvfb).
#include "window/flutter_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "desktop/testing/recording_method_result.h"
#include "engine_client/method_call.h"
#include "standin/engine/standin_engine.h"

namespace veltrix {
namespace {

using flutter::EncodableValue;

// Runs the thread's messages (the engine's frames among them) until `done`
// holds or the time is up. A quit message is left in the queue.
template <typename Predicate>
bool PumpUntil(Predicate done, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
      if (message.message == WM_QUIT) return done();
      ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    ::Sleep(5);
  }
  return true;
}

bool TakeQuitMessage() {
  MSG message;
  return ::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

// Whether the shell still knows the icon of `record` (a copy taken while
// the icon existed): changing a missing icon fails.
bool ShellHasIcon(NOTIFYICONDATAW record) {
  return ::Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
}

RecordedReply Call(FlutterWindow& window, const std::string& method,
                   std::optional<EncodableValue> argument = std::nullopt) {
  RecordedReply reply;
  window.HandleDesktopCall(
      flutter::MethodCall(method, argument ? std::make_unique<EncodableValue>(*argument) : nullptr),
      std::make_unique<RecordingMethodResult>(&reply));
  return reply;
}

// Whether `expected` appear in `lines` in this order (others may come between).
testing::AssertionResult InOrder(const std::vector<std::string>& lines,
                                 const std::vector<std::string>& expected) {
  auto next = lines.begin();
  for (const std::string& line : expected) {
    next = std::find(next, lines.end(), line);
    if (next == lines.end()) return testing::AssertionFailure() << "missing or late: " << line;
    ++next;
  }
  return testing::AssertionSuccess();
}

class FlutterWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    while (TakeQuitMessage()) {
    }
  }
  void TearDown() override {
    window_.reset();
    EXPECT_EQ(VeltrixStandinLiveEngineCount(), 0);
    EXPECT_EQ(Win32Window::ActiveWindowCount(), 0);
    while (TakeQuitMessage()) {
    }
  }

  FlutterWindow& Start(std::vector<std::string> arguments = {}) {
    // The bundle's data folder, beside this program wherever it is run from.
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    flutter::EngineProject project(std::filesystem::path(self).parent_path() / L"data");
    project.SetEntryPointArguments(std::move(arguments));
    window_.reset();
    window_ = std::make_unique<FlutterWindow>(project);
    EXPECT_TRUE(window_->Create(L"VELTRIX VPN", {10, 10}, {800, 500}));
    return *window_;
  }

  std::unique_ptr<FlutterWindow> window_;
};

TEST_F(FlutterWindowTest, StartsHiddenWithEngineAndTrayAndShowsOnTheFirstFrame) {
  // The stand-in engine writes what the host asks of it to this file.
  const std::filesystem::path transcript =
      std::filesystem::temp_directory_path() /
      ("veltrix-window-" + std::to_string(GetCurrentProcessId()));
  ::DeleteFileW(transcript.c_str());
  ::SetEnvironmentVariableW(L"VELTRIX_UI_TRANSCRIPT", transcript.c_str());
  FlutterWindow& window = Start();
  const HWND handle = window.WindowHandle();
  const RECT client = window.ClientArea();
  ::SendMessageW(handle, WM_FONTCHANGE, 0, 0);
  ::SetEnvironmentVariableW(L"VELTRIX_UI_TRANSCRIPT", nullptr);
  std::vector<std::string> lines;
  {
    std::ifstream input(transcript);
    for (std::string line; std::getline(input, line);) lines.push_back(line);
  }
  ::DeleteFileW(transcript.c_str());
  EXPECT_TRUE(InOrder(
      lines,
      {"registrar FlutterSecureStorageWindowsPlugin", "plugin flutter_secure_storage_windows",
       "registrar UrlLauncherWindows", "plugin url_launcher_windows", "redraw", "font-reload"}));
  EXPECT_TRUE(InOrder(
      lines, {"view " + std::to_string(client.right) + " " + std::to_string(client.bottom)}));
  EXPECT_EQ(VeltrixStandinLiveEngineCount(), 1);
  EXPECT_NE(::GetWindow(handle, GW_CHILD), nullptr) << "the engine's view is the content";
  EXPECT_FALSE(::IsWindowVisible(handle)) << "hidden until the engine draws";

  ASSERT_TRUE(window.desktopState().trayAvailable);
  EXPECT_TRUE(window.desktopState().trayVersion4);
  const NOTIFYICONDATAW& record = window.trayIcon().record();
  EXPECT_EQ(std::make_tuple(record.cbSize, record.hWnd, record.uID, record.uCallbackMessage,
                            record.uFlags),
            std::make_tuple(976u, handle, 1u, 0x8041u, 0x87u));
  EXPECT_NE(record.hIcon, nullptr);
  EXPECT_STREQ(record.szTip, L"VELTRIX VPN - Disconnected");
  EXPECT_TRUE(ShellHasIcon(record));
  // The tip follows the state, and a restarted shell, which knows no icon,
  // gets it back.
  ASSERT_TRUE(Call(window, "updateConnection", EncodableValue("error")).IsSuccess());
  NOTIFYICONDATAW copy = window.trayIcon().record();
  ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &copy));
  EXPECT_EQ(::SendMessageW(handle, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0), 0);
  EXPECT_TRUE(ShellHasIcon(copy));
  EXPECT_STREQ(window.trayIcon().record().szTip, L"VELTRIX VPN - Connection error");

  EXPECT_TRUE(PumpUntil([&] { return ::IsWindowVisible(handle) != FALSE; }));
  EXPECT_FALSE(window.desktopState().autostart);
}

TEST_F(FlutterWindowTest, StartedAtLoginStaysInTheTray) {
  for (const char* argument : {"--Autostart", "--autostart=1", "--autostart "}) {
    EXPECT_FALSE(Start({"first", argument}).desktopState().autostart) << argument;
  }
  FlutterWindow& window = Start({"first", "--autostart", "last"});
  EXPECT_TRUE(window.desktopState().autostart);
  PumpUntil([] { return false; }, std::chrono::milliseconds(300));
  EXPECT_FALSE(::IsWindowVisible(window.WindowHandle()));

  const RecordedReply reply = Call(window, "initialize");
  ASSERT_TRUE(reply.IsSuccess());
  EXPECT_EQ(reply.value, EncodableValue(flutter::EncodableValueMap{
                             {EncodableValue("autostart"), EncodableValue(true)},
                             {EncodableValue("trayAvailable"), EncodableValue(true)}}));
  // The tray or the user interface brings it back.
  EXPECT_TRUE(Call(window, "showWindow").IsSuccess());
  EXPECT_TRUE(::IsWindowVisible(window.WindowHandle()));
}

// After the window has gone for good: the loop ends, and the engine and the
// icon (`record`, a copy taken while it existed) are gone too.
void ExpectTornDown(const FlutterWindow& window, HWND handle, const NOTIFYICONDATAW& record) {
  EXPECT_FALSE(::IsWindow(handle));
  EXPECT_TRUE(TakeQuitMessage());
  EXPECT_EQ(VeltrixStandinLiveEngineCount(), 0);
  EXPECT_FALSE(window.desktopState().trayAvailable);
  EXPECT_FALSE(window.desktopState().initialized);
  EXPECT_FALSE(ShellHasIcon(record));
}

TEST_F(FlutterWindowTest, CloseHidesToTheTrayUnlessTheUserTurnedThatOff) {
  FlutterWindow& window = Start();
  const HWND handle = window.WindowHandle();
  const NOTIFYICONDATAW record = window.trayIcon().record();
  ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(handle) != FALSE; }));
  EXPECT_EQ(::SendMessageW(handle, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(::IsWindow(handle));
  EXPECT_FALSE(::IsWindowVisible(handle));
  EXPECT_FALSE(TakeQuitMessage());
  // A click on the icon brings it back (version 4: NIN_SELECT, icon id in
  // the high word).
  ::SendMessageW(handle, kTrayCallbackMessage, 0, MAKELPARAM(NIN_SELECT, 1));
  EXPECT_TRUE(::IsWindowVisible(handle));

  // The user interface has not called "initialize": the host quits itself.
  ASSERT_TRUE(Call(window, "setCloseToTray", EncodableValue(false)).IsSuccess());
  ::SendMessageW(handle, WM_CLOSE, 0, 0);
  EXPECT_TRUE(window.desktopState().quitting);
  EXPECT_TRUE(PumpUntil([&] { return window.WindowHandle() == nullptr; }));
  ExpectTornDown(window, handle, record);
}

TEST_F(FlutterWindowTest, EndOfSessionDestroysWithoutAsking) {
  FlutterWindow& window = Start();
  const HWND handle = window.WindowHandle();
  const NOTIFYICONDATAW record = window.trayIcon().record();
  ASSERT_TRUE(Call(window, "initialize").IsSuccess());
  EXPECT_EQ(::SendMessageW(handle, WM_QUERYENDSESSION, 0, 0), 1);
  // A cancelled end of session changes nothing.
  ::SendMessageW(handle, WM_ENDSESSION, FALSE, 0);
  ASSERT_TRUE(::IsWindow(handle));
  EXPECT_FALSE(window.desktopState().quitting);

  ::SendMessageW(handle, WM_ENDSESSION, TRUE, 0);
  EXPECT_TRUE(window.desktopState().quitting);
  ExpectTornDown(window, handle, record);
}

// The tray menu's items, read from inside its modal loop: "-" for a
// separator, " (greyed)" after a greyed item.
std::vector<std::wstring> shownMenu;
int shownDefaultId = -1;

void CALLBACK ReadAndDismissMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND popup = ::FindWindowW(L"#32768", nullptr);
  if (popup == nullptr) return;  // not open yet
  ::KillTimer(nullptr, timer);
  HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
  for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
    wchar_t text[64] = {};
    ::GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
    const UINT state = ::GetMenuState(menu, i, MF_BYPOSITION);
    shownMenu.push_back((state & MF_SEPARATOR) ? L"-"
                        : (state & MF_GRAYED)  ? std::wstring(text) + L" (greyed)"
                                               : text);
  }
  shownDefaultId = static_cast<int>(::GetMenuDefaultItem(menu, FALSE, 0));
  ::EndMenu();
}

TEST_F(FlutterWindowTest, TrayMenuFollowsTheConnectionState) {
  FlutterWindow& window = Start();
  ASSERT_TRUE(window.desktopState().trayVersion4);
  const auto openMenu = [&] {
    shownMenu.clear();
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, &ReadAndDismissMenu);
    // Version 4: the anchor in wParam, the event in the low word of lParam.
    ::SendMessageW(window.WindowHandle(), kTrayCallbackMessage, MAKEWPARAM(200, 150),
                   MAKELPARAM(WM_CONTEXTMENU, 1));
    ::KillTimer(nullptr, timer);
    return shownMenu;
  };
  using Items = std::vector<std::wstring>;

  // Before "initialize" the toggle is greyed: nothing could receive it.
  EXPECT_EQ(openMenu(), (Items{L"Open VELTRIX VPN", L"Connect (greyed)", L"-", L"Quit"}));
  EXPECT_EQ(shownDefaultId, 1);
  ASSERT_TRUE(Call(window, "initialize").IsSuccess());
  ASSERT_TRUE(Call(window, "updateConnection", EncodableValue("connected")).IsSuccess());
  EXPECT_EQ(openMenu(), (Items{L"Open VELTRIX VPN", L"Disconnect", L"-", L"Quit"}));

  // Dismissed: nothing else happened to the window.
  EXPECT_TRUE(::IsWindow(window.WindowHandle()));
  EXPECT_FALSE(window.desktopState().quitting);
}

}  // namespace
}  // namespace veltrix
