// The host window against the stand-in engine, in this process. The test
// program sits in the bundle beside flutter_windows.dll and the plug-ins;
// there is no user interface module, so the tests call the desktop channel's
// handler directly where the user interface would. Needs a display (Xvfb).
#include "window/flutter_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "desktop/testing/recording_method_result.h"
#include "engine_client/method_call.h"
#include "standin/engine/standin_engine.h"

namespace veltrix {
namespace {

// The bundle's data folder, found from this program's own path so that the
// test does not depend on its working directory.
std::wstring BundleDataFolder() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L'\\')) + L"\\data";
}

flutter::EngineProject Project(std::vector<std::string> arguments = {}) {
  flutter::EngineProject project(BundleDataFolder());
  project.SetEntryPointArguments(std::move(arguments));
  return project;
}

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

void PumpFor(std::chrono::milliseconds time) {
  PumpUntil([] { return false; }, time);
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
                   std::unique_ptr<flutter::EncodableValue> arguments = nullptr) {
  RecordedReply reply;
  window.HandleDesktopCall(flutter::MethodCall(method, std::move(arguments)),
                           std::make_unique<RecordingMethodResult>(&reply));
  return reply;
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
    window_ = std::make_unique<FlutterWindow>(Project(std::move(arguments)));
    EXPECT_TRUE(window_->Create(L"VELTRIX VPN", {10, 10}, {800, 500}));
    return *window_;
  }

  std::unique_ptr<FlutterWindow> window_;
};

TEST_F(FlutterWindowTest, StartsTheEngineAndShowsOnTheFirstFrame) {
  FlutterWindow& window = Start();
  const HWND handle = window.WindowHandle();
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(VeltrixStandinLiveEngineCount(), 1);
  EXPECT_FALSE(::IsWindowVisible(handle)) << "hidden until the engine draws";

  // The engine's view is the content, covering the client area.
  const HWND view = ::GetWindow(handle, GW_CHILD);
  ASSERT_NE(view, nullptr);
  RECT client{};
  RECT viewRect{};
  ::GetClientRect(handle, &client);
  ::GetClientRect(view, &viewRect);
  EXPECT_EQ(viewRect.right, client.right);
  EXPECT_EQ(viewRect.bottom, client.bottom);

  EXPECT_TRUE(PumpUntil([&] { return ::IsWindowVisible(handle) != FALSE; }));
  EXPECT_FALSE(window.desktopState().autostart);
}

TEST_F(FlutterWindowTest, AddsTheTrayIconWithTheCurrentState) {
  FlutterWindow& window = Start();
  const DesktopBridge& state = window.desktopState();
  ASSERT_TRUE(state.trayAvailable);
  EXPECT_TRUE(state.trayVersion4);
  const NOTIFYICONDATAW& record = window.trayIcon().record();
  EXPECT_EQ(record.cbSize, 976u);
  EXPECT_EQ(record.hWnd, window.WindowHandle());
  EXPECT_EQ(record.uID, 1u);
  EXPECT_EQ(record.uCallbackMessage, 0x8041u);
  EXPECT_EQ(record.uFlags, 0x87u);
  EXPECT_NE(record.hIcon, nullptr);
  EXPECT_STREQ(record.szTip, L"VELTRIX VPN - Disconnected");
  EXPECT_TRUE(ShellHasIcon(record));

  const RecordedReply reply =
      Call(window, "updateConnection", std::make_unique<flutter::EncodableValue>("connecting"));
  EXPECT_TRUE(reply.IsSuccess());
  EXPECT_STREQ(window.trayIcon().record().szTip, L"VELTRIX VPN - Connecting");
}

TEST_F(FlutterWindowTest, StartedAtLoginStaysInTheTray) {
  FlutterWindow& window = Start({"--autostart"});
  EXPECT_TRUE(window.desktopState().autostart);
  PumpFor(std::chrono::milliseconds(300));
  EXPECT_FALSE(::IsWindowVisible(window.WindowHandle()));

  const RecordedReply reply = Call(window, "initialize");
  ASSERT_TRUE(reply.IsSuccess());
  const flutter::EncodableValueMap expected{
      {flutter::EncodableValue("autostart"), flutter::EncodableValue(true)},
      {flutter::EncodableValue("trayAvailable"), flutter::EncodableValue(true)}};
  EXPECT_EQ(reply.value, flutter::EncodableValue(expected));

  // The tray or the user interface brings it back.
  EXPECT_TRUE(Call(window, "showWindow").IsSuccess());
  EXPECT_TRUE(::IsWindowVisible(window.WindowHandle()));
}

TEST_F(FlutterWindowTest, OnlyTheExactAutostartArgumentCounts) {
  for (const char* argument : {"--Autostart", "--autostart=1", "--autostart "}) {
    const FlutterWindow& window = Start({"first", argument});
    EXPECT_FALSE(window.desktopState().autostart) << argument;
    window_.reset();
  }
  EXPECT_TRUE(Start({"first", "--autostart", "last"}).desktopState().autostart);
}

TEST_F(FlutterWindowTest, CloseHidesToTheTrayAndKeepsRunning) {
  FlutterWindow& window = Start();
  const HWND handle = window.WindowHandle();
  ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(handle) != FALSE; }));

  EXPECT_EQ(::SendMessageW(handle, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(::IsWindow(handle));
  EXPECT_FALSE(::IsWindowVisible(handle));
  EXPECT_FALSE(TakeQuitMessage());

  // A click on the icon brings it back (version 4: NIN_SELECT, icon id in
  // the high word).
  ::SendMessageW(handle, kTrayCallbackMessage, 0, MAKELPARAM(NIN_SELECT, 1));
  EXPECT_TRUE(::IsWindowVisible(handle));
}

TEST_F(FlutterWindowTest, CloseWithoutTrayPreferenceQuitsWhenNobodyListens) {
  FlutterWindow& window = Start();
  const HWND handle = window.WindowHandle();
  ASSERT_TRUE(
      Call(window, "setCloseToTray", std::make_unique<flutter::EncodableValue>(false)).IsSuccess());

  // The user interface has not called "initialize": the host quits itself.
  ::SendMessageW(handle, WM_CLOSE, 0, 0);
  EXPECT_TRUE(window.desktopState().quitting);
  EXPECT_TRUE(PumpUntil([&] { return window.WindowHandle() == nullptr; }));
  EXPECT_FALSE(::IsWindow(handle));
  EXPECT_TRUE(TakeQuitMessage());
}

TEST_F(FlutterWindowTest, QuitMessageTearsEverythingDown) {
  FlutterWindow& window = Start();
  const HWND handle = window.WindowHandle();
  const NOTIFYICONDATAW record = window.trayIcon().record();
  ASSERT_TRUE(ShellHasIcon(record));

  ASSERT_TRUE(Call(window, "quit").IsSuccess());
  EXPECT_TRUE(PumpUntil([&] { return window.WindowHandle() == nullptr; }));
  EXPECT_FALSE(::IsWindow(handle));
  EXPECT_TRUE(TakeQuitMessage());
  EXPECT_EQ(VeltrixStandinLiveEngineCount(), 0);
  EXPECT_FALSE(window.desktopState().trayAvailable);
  EXPECT_FALSE(window.desktopState().initialized);
  EXPECT_FALSE(ShellHasIcon(record));
}

TEST_F(FlutterWindowTest, EndOfSessionDestroysWithoutAsking) {
  FlutterWindow& window = Start();
  const HWND handle = window.WindowHandle();
  EXPECT_EQ(::SendMessageW(handle, WM_QUERYENDSESSION, 0, 0), 1);
  EXPECT_TRUE(::IsWindow(handle));

  // A cancelled end of session changes nothing.
  ::SendMessageW(handle, WM_ENDSESSION, FALSE, 0);
  EXPECT_TRUE(::IsWindow(handle));
  EXPECT_FALSE(window.desktopState().quitting);

  ::SendMessageW(handle, WM_ENDSESSION, TRUE, 0);
  EXPECT_FALSE(::IsWindow(handle));
  EXPECT_TRUE(window.desktopState().quitting);
  EXPECT_TRUE(TakeQuitMessage());
}

TEST_F(FlutterWindowTest, ShellRestartBringsTheIconBack) {
  FlutterWindow& window = Start();
  ASSERT_TRUE(Call(window, "updateConnection", std::make_unique<flutter::EncodableValue>("error"))
                  .IsSuccess());
  NOTIFYICONDATAW record = window.trayIcon().record();
  // The restarted shell knows no icon.
  ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &record));
  ASSERT_FALSE(ShellHasIcon(record));

  const UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
  EXPECT_EQ(::SendMessageW(window.WindowHandle(), taskbarCreated, 0, 0), 0);
  EXPECT_TRUE(window.desktopState().trayAvailable);
  EXPECT_TRUE(ShellHasIcon(record));
  EXPECT_STREQ(window.trayIcon().record().szTip, L"VELTRIX VPN - Connection error");
}

// The stand-in engine's transcript, written while an object of this class
// lives: what the host asked of the engine, one line per call.
class EngineTranscript {
 public:
  EngineTranscript() {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    ::GetTempFileNameW(folder, L"vlx", 0, file_);
    char narrow[MAX_PATH] = {};
    ::WideCharToMultiByte(CP_UTF8, 0, file_, -1, narrow, MAX_PATH, nullptr, nullptr);
    ::SetEnvironmentVariableA("VELTRIX_UI_TRANSCRIPT", narrow);
  }
  ~EngineTranscript() {
    ::SetEnvironmentVariableA("VELTRIX_UI_TRANSCRIPT", nullptr);
    ::DeleteFileW(file_);
  }

  std::vector<std::string> Lines() const {
    std::ifstream input(file_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(input, line);) lines.push_back(line);
    return lines;
  }

 private:
  wchar_t file_[MAX_PATH] = {};
};

// Whether `expected` appear in `lines` in this order (others may come between).
testing::AssertionResult InOrder(const std::vector<std::string>& lines,
                                 const std::vector<std::string>& expected) {
  auto next = lines.begin();
  for (const std::string& line : expected) {
    next = std::find(next, lines.end(), line);
    if (next == lines.end()) {
      std::string all;
      for (const std::string& l : lines) all += "\n  " + l;
      return testing::AssertionFailure() << "missing or out of order: " << line << all;
    }
    ++next;
  }
  return testing::AssertionSuccess();
}

TEST_F(FlutterWindowTest, PreparesTheEngineInOrderAndPassesFontChanges) {
  EngineTranscript transcript;
  FlutterWindow& window = Start();
  const RECT client = window.ClientArea();
  ::SendMessageW(window.WindowHandle(), WM_FONTCHANGE, 0, 0);

  EXPECT_TRUE(InOrder(
      transcript.Lines(),
      {"registrar FlutterSecureStorageWindowsPlugin", "plugin flutter_secure_storage_windows",
       "registrar UrlLauncherWindows", "plugin url_launcher_windows", "redraw", "font-reload"}));
  EXPECT_TRUE(InOrder(transcript.Lines(), {"view " + std::to_string(client.right) + " " +
                                           std::to_string(client.bottom)}));
}

// What the tray menu showed, read from inside its modal loop.
struct ShownMenu {
  std::vector<std::wstring> texts;
  std::vector<UINT> states;
  int defaultId = -1;
};

ShownMenu* shownMenu = nullptr;

void CALLBACK ReadAndDismissMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND popup = ::FindWindowW(L"#32768", nullptr);
  if (popup == nullptr) return;  // not open yet
  ::KillTimer(nullptr, timer);
  HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
  for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
    wchar_t text[64] = {};
    ::GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
    shownMenu->texts.push_back(text);
    shownMenu->states.push_back(::GetMenuState(menu, i, MF_BYPOSITION));
  }
  shownMenu->defaultId = static_cast<int>(::GetMenuDefaultItem(menu, FALSE, 0));
  ::EndMenu();
}

TEST_F(FlutterWindowTest, TrayMenuFollowsTheConnectionState) {
  FlutterWindow& window = Start();
  ASSERT_TRUE(window.desktopState().trayVersion4);
  const auto openMenu = [&] {
    ShownMenu menu;
    shownMenu = &menu;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, &ReadAndDismissMenu);
    // Version 4: the anchor in wParam, the event in the low word of lParam.
    ::SendMessageW(window.WindowHandle(), kTrayCallbackMessage, MAKEWPARAM(200, 150),
                   MAKELPARAM(WM_CONTEXTMENU, 1));
    ::KillTimer(nullptr, timer);
    shownMenu = nullptr;
    return menu;
  };

  // Before "initialize" the toggle is greyed: nothing could receive it.
  ShownMenu before = openMenu();
  ASSERT_EQ(before.texts.size(), 4u);
  EXPECT_EQ(before.texts[0], L"Open VELTRIX VPN");
  EXPECT_EQ(before.texts[1], L"Connect");
  EXPECT_EQ(before.texts[3], L"Quit");
  EXPECT_EQ(before.states[1] & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
  EXPECT_EQ(before.states[2] & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(before.defaultId, 1);

  ASSERT_TRUE(Call(window, "initialize").IsSuccess());
  ASSERT_TRUE(
      Call(window, "updateConnection", std::make_unique<flutter::EncodableValue>("connected"))
          .IsSuccess());
  ShownMenu connected = openMenu();
  ASSERT_EQ(connected.texts.size(), 4u);
  EXPECT_EQ(connected.texts[1], L"Disconnect");
  EXPECT_EQ(connected.states[1] & MF_GRAYED, 0u);

  // Dismissed: nothing else happened to the window.
  EXPECT_TRUE(::IsWindow(window.WindowHandle()));
  EXPECT_FALSE(window.desktopState().quitting);
}

}  // namespace
}  // namespace veltrix
