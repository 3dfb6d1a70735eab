// The host window against the stand-in engine, in this process, from the
// bundle; the test calls the desktop channel's handler where the user
// interface would. The end-to-end suite drives closing, the tray menu, the
// first frame and the session's end through the real bundle; this test sees
// what a scenario cannot: the shell's icon record, its tooltip, its return
// after a shell restart and its removal. Needs a display (Xvfb).
#include "window/flutter_window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "desktop/testing/recording_method_result.h"
#include "engine_client/engine_library.h"
#include "engine_client/method_call.h"
#include "window/window_messages.h"

namespace veltrix {
namespace {

// Whether the shell still knows the icon of `record` (a copy taken while
// the icon existed): changing a missing icon fails.
bool ShellHasIcon(NOTIFYICONDATAW record) {
  return ::Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
}

// The stand-in engine's count of live engines, bound as the host binds the engine.
int LiveEngines() {
  return reinterpret_cast<int (*)()>(
      *FindBundledFunction(kEngineLibraryFile, "VeltrixStandinLiveEngineCount"))();
}

bool TakeQuitMessage() {
  MSG message;
  return ::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

TEST(FlutterWindowTest, KeepsItsTrayIconFromCreationToDestruction) {
  // The bundle's data folder, beside this program wherever it is run from.
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  flutter::EngineProject project(std::filesystem::path(self).parent_path() / L"data");
  FlutterWindow window(project);
  ASSERT_TRUE(window.Create(L"VELTRIX VPN", {10, 10}, {800, 500}));
  const HWND handle = window.WindowHandle();
  EXPECT_EQ(LiveEngines(), 1);

  // The end-to-end suite sees the icon's events arrive; here, what it shows.
  ASSERT_TRUE(window.trayIcon().shown());
  EXPECT_NE(window.trayIcon().record().hIcon, nullptr);
  EXPECT_STREQ(window.trayIcon().record().szTip, L"VELTRIX VPN - Disconnected");

  // The tip follows the state, and a restarted shell, which knows no icon,
  // gets it back.
  RecordedReply reply;
  window.HandleDesktopCall(
      flutter::MethodCall("updateConnection", std::make_unique<flutter::EncodableValue>("error")),
      std::make_unique<RecordingMethodResult>(&reply));
  EXPECT_EQ(reply.answers, 1);
  NOTIFYICONDATAW copy = window.trayIcon().record();
  ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &copy));
  EXPECT_EQ(::SendMessageW(handle, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0), 0);
  EXPECT_TRUE(ShellHasIcon(copy));
  EXPECT_STREQ(window.trayIcon().record().szTip, L"VELTRIX VPN - Connection error");

  // The quit message takes everything down, the icon and the engine too.
  EXPECT_EQ(::SendMessageW(handle, kQuitMessage, 0, 0), 0);
  EXPECT_FALSE(::IsWindow(handle));
  EXPECT_TRUE(TakeQuitMessage());
  EXPECT_EQ(LiveEngines(), 0);
  EXPECT_FALSE(window.trayIcon().shown());
  EXPECT_FALSE(ShellHasIcon(copy));
}

}  // namespace
}  // namespace veltrix
