#include "standin/engine/standin_engine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine_client/engine_api.h"
#include "engine_client/testing/engine_test_support.h"

namespace veltrix::standin {
namespace {

using ::flutter::testing::PumpEngine;
using ::flutter::testing::RawEngine;
using ::flutter::testing::ScopedEnvironment;
using ::flutter::testing::UiSide;

// A transcript file of this test, removed afterwards.
class TranscriptTest : public ::testing::Test {
 protected:
  TranscriptTest()
      : path_(std::filesystem::temp_directory_path() /
              ("veltrix-transcript-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
               ".txt")) {
    std::filesystem::remove(path_);
  }
  ~TranscriptTest() override { std::filesystem::remove(path_); }

  std::vector<std::string> Lines() const {
    std::ifstream file(path_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
  }

  std::filesystem::path path_;
  ScopedEnvironment transcript_{"VELTRIX_UI_TRANSCRIPT", path_.string()};
};

TEST_F(TranscriptTest, RecordsWhatTheHostAskedOfTheEngine) {
  {
    RawEngine engine({"--autostart", "\xC3\xA9", ""});
    FlutterDesktopPluginRegistrarRef registrar =
        FlutterDesktopEngineGetPluginRegistrar(engine.get(), "a");
    EXPECT_EQ(FlutterDesktopEngineGetPluginRegistrar(engine.get(), "a"), registrar);
    FlutterDesktopEngineReloadSystemFonts(engine.get());
    VeltrixStandinRecordPluginRegistration(registrar, "a_plugin");
    engine.services().recordTranscript(engine.services().engine, "ui says hello");

    FlutterDesktopViewControllerRef controller =
        FlutterDesktopViewControllerCreate(640, 480, engine.Release());
    ASSERT_NE(controller, nullptr);
    FlutterDesktopViewControllerForceRedraw(controller);
    FlutterDesktopViewControllerDestroy(controller);  // ends the engine too
  }
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "engine-args 3 2d2d6175746f7374617274 c3a9 -",
                         "registrar a",
                         "font-reload",
                         "plugin a_plugin",
                         "ui says hello",
                         "view 640 480",
                         "redraw",
                     }));
}

#if defined(_WIN32)
TEST_F(TranscriptTest, PluginLibrariesRecordTheirRegistration) {
  RawEngine engine;
  struct Plugin {
    const wchar_t* library;
    const char* entry;
  };
  for (const Plugin& plugin :
       {Plugin{L"flutter_secure_storage_windows_plugin.dll",
               "FlutterSecureStorageWindowsPluginRegisterWithRegistrar"},
        Plugin{L"url_launcher_windows_plugin.dll", "UrlLauncherWindowsRegisterWithRegistrar"}}) {
    HMODULE module = ::LoadLibraryW(plugin.library);
    ASSERT_NE(module, nullptr);
    auto registerWith = reinterpret_cast<void (*)(FlutterDesktopPluginRegistrarRef)>(
        reinterpret_cast<void (*)(void)>(::GetProcAddress(module, plugin.entry)));
    ASSERT_NE(registerWith, nullptr);
    registerWith(FlutterDesktopEngineGetPluginRegistrar(engine.get(), plugin.entry));
    ::FreeLibrary(module);
  }
  std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[2], "plugin flutter_secure_storage_windows");
  EXPECT_EQ(lines[4], "plugin url_launcher_windows");
}
#endif

TEST(StandinEngineTest, ResponseHandleAnswersOnce) {
  RawEngine engine;
  UiSide ui(engine.services());
  std::vector<const FlutterDesktopMessageResponseHandle*> handles;
  FlutterDesktopMessengerSetCallback(
      engine.messenger(), "c",
      [](FlutterDesktopMessengerRef, const FlutterDesktopMessage* message, void* user) {
        EXPECT_EQ(message->structSize, sizeof(FlutterDesktopMessage));
        EXPECT_STREQ(message->channel, "c");
        static_cast<std::vector<const FlutterDesktopMessageResponseHandle*>*>(user)->push_back(
            message->responseHandle);
      },
      &handles);
  ui.Send("c", {1});
  ui.Send("c", {2});
  PumpEngine();
  ASSERT_EQ(handles.size(), 2u);
  const uint8_t first[] = {9};
  const uint8_t second[] = {8};
  FlutterDesktopMessengerSendResponse(engine.messenger(), handles[1], first, 1);
  FlutterDesktopMessengerSendResponse(engine.messenger(), handles[1], second, 1);
  FlutterDesktopMessengerSendResponse(engine.messenger(), nullptr, second, 1);
  PumpEngine();
  ASSERT_EQ(ui.replies.size(), 1u);
  EXPECT_EQ(ui.replies[0], std::vector<uint8_t>{9});
}

TEST(StandinEngineTest, MessengerOutlivesItsEngineWhileReferenced) {
  RawEngine engine;
  FlutterDesktopMessengerRef messenger = FlutterDesktopMessengerAddRef(engine.messenger());
  EXPECT_TRUE(FlutterDesktopMessengerIsAvailable(messenger));
  engine.Destroy();
  EXPECT_EQ(FlutterDesktopMessengerLock(messenger), messenger);
  EXPECT_FALSE(FlutterDesktopMessengerIsAvailable(messenger));
  FlutterDesktopMessengerUnlock(messenger);
  const uint8_t byte = 1;
  EXPECT_FALSE(FlutterDesktopMessengerSend(messenger, "c", &byte, 1));
  FlutterDesktopMessengerRelease(messenger);
}

TEST(StandinEngineTest, TopLevelMessagesGoToTheUiOnlyWhenItAsks) {
  RawEngine engine;
  const VeltrixEngineServices& services = engine.services();
  FlutterDesktopViewControllerRef controller =
      FlutterDesktopViewControllerCreate(10, 10, engine.Release());
  ASSERT_NE(controller, nullptr);
  LRESULT result = 0;
  EXPECT_FALSE(
      FlutterDesktopViewControllerHandleTopLevelWindowProc(controller, nullptr, 1, 0, 0, &result));
  services.setTopLevelWindowHook(
      services.engine,
      [](HWND, UINT message, WPARAM, LPARAM, LRESULT* out, void*) {
        *out = 77;
        return message == 2;
      },
      nullptr);
  EXPECT_FALSE(
      FlutterDesktopViewControllerHandleTopLevelWindowProc(controller, nullptr, 1, 0, 0, &result));
  EXPECT_TRUE(
      FlutterDesktopViewControllerHandleTopLevelWindowProc(controller, nullptr, 2, 0, 0, &result));
  EXPECT_EQ(result, 77);
  // Also with the first frame still queued, destruction is clean.
  FlutterDesktopViewControllerDestroy(controller);
}

TEST(StandinEngineTest, UiFrameRequestFiresThePendingCallback) {
  RawEngine engine;
  int frames = 0;
  FlutterDesktopEngineSetNextFrameCallback(
      engine.get(), [](void* user) { ++*static_cast<int*>(user); }, &frames);
  engine.services().requestFrame(engine.services().engine);
  EXPECT_EQ(frames, 0);
  PumpEngine();
  EXPECT_EQ(frames, 1);
}

TEST(StandinEngineTest, DpiWithoutAMonitorIsTheDefault) {
  EXPECT_EQ(FlutterDesktopGetDpiForMonitor(nullptr), 96u);
#if defined(_WIN32)
  HMONITOR monitor = ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  EXPECT_GE(FlutterDesktopGetDpiForMonitor(monitor), 96u);
#endif
}

}  // namespace
}  // namespace veltrix::standin
