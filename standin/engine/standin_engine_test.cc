#include "standin/engine/standin_engine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "engine_client/engine_api.h"
#include "engine_client/testing/engine_test_support.h"

namespace veltrix::standin {
namespace {

using ::flutter::testing::PumpEngine;
using ::flutter::testing::RawEngine;
using ::flutter::testing::ScopedEnvironment;
using ::flutter::testing::UiSide;

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
  std::ifstream file(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

// A message from the UI on "c" to `handler`, with the engine as its user.
void SendToHost(RawEngine& engine, FlutterDesktopMessageCallback handler) {
  FlutterDesktopMessengerSetCallback(engine.messenger(), "c", handler, &engine);
  engine.services().send(engine.services().engine, "c", nullptr, 0, nullptr, nullptr);
  PumpEngine();
}

TEST(StandinEngineTest, TranscriptRecordsWhatTheHostAskedOfTheEngine) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "veltrix-standin-engine-transcript.txt";
  std::filesystem::remove(path);
  ScopedEnvironment transcript("VELTRIX_UI_TRANSCRIPT", path.string());
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
  const std::vector<std::string> lines = ReadLines(path);
  std::filesystem::remove(path);
  EXPECT_EQ(lines, (std::vector<std::string>{"engine-args 3 2d2d6175746f7374617274 c3a9 -",
                                             "registrar a", "font-reload", "plugin a_plugin",
                                             "ui says hello", "view 640 480", "redraw"}));
}

TEST(StandinEngineTest, DeliversLaterAndAnswersEachResponseOnce) {
  RawEngine engine;
  UiSide ui(engine.services());
  std::vector<const FlutterDesktopMessageResponseHandle*> handles;
  FlutterDesktopMessengerSetCallback(
      engine.messenger(), "c",
      [](FlutterDesktopMessengerRef, const FlutterDesktopMessage* message, void* user) {
        EXPECT_STREQ(message->channel, "c");
        static_cast<std::vector<const FlutterDesktopMessageResponseHandle*>*>(user)->push_back(
            message->responseHandle);
      },
      &handles);
  const size_t faults = VeltrixStandinFaultCount();
  ui.Send("c", {1});
  ui.Send("c", {2});
  EXPECT_TRUE(handles.empty());  // never inside the sender's call
  PumpEngine();
  ASSERT_EQ(handles.size(), 2u);
  const uint8_t first = 9, second = 8;
  FlutterDesktopMessengerSendResponse(engine.messenger(), handles[1], &first, 1);
  FlutterDesktopMessengerSendResponse(engine.messenger(), handles[1], &second, 1);
  FlutterDesktopMessengerSendResponse(engine.messenger(), nullptr, &second, 1);
  PumpEngine();
  EXPECT_EQ(ui.replies, (std::vector<std::vector<uint8_t>>{{9}}));
  EXPECT_EQ(VeltrixStandinFaultCount() - faults, 2u);  // answered twice, unknown
}

TEST(StandinEngineTest, MessengerOutlivesItsEngineWhileReferenced) {
  RawEngine engine;
  FlutterDesktopMessengerRef messenger = FlutterDesktopMessengerAddRef(engine.messenger());
  EXPECT_TRUE(FlutterDesktopMessengerIsAvailable(messenger));
  engine.Destroy();
  EXPECT_EQ(FlutterDesktopMessengerLock(messenger), messenger);
  EXPECT_FALSE(FlutterDesktopMessengerIsAvailable(messenger));
  FlutterDesktopMessengerUnlock(messenger);
  const size_t faults = VeltrixStandinFaultCount();
  const uint8_t byte = 1;
  EXPECT_FALSE(FlutterDesktopMessengerSend(messenger, "c", &byte, 1));
  EXPECT_EQ(VeltrixStandinFaultCount() - faults, 1u);  // a call after shutdown
  FlutterDesktopMessengerRelease(messenger);
}

TEST(StandinEngineTest, MisuseThatARealEngineWouldPunishIsAFault) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "veltrix-standin-engine-faults.txt";
  std::filesystem::remove(path);
  ScopedEnvironment transcript("VELTRIX_UI_TRANSCRIPT", path.string());
  void (*const misuses[])(RawEngine&) = {
      [](RawEngine& engine) {
        SendToHost(engine, [](FlutterDesktopMessengerRef messenger,
                              const FlutterDesktopMessage* message, void*) {
          FlutterDesktopMessengerSendResponse(messenger, message->responseHandle, nullptr, 0);
          FlutterDesktopMessengerSendResponse(messenger, message->responseHandle, nullptr, 0);
        });
      },
      [](RawEngine& engine) {
        SendToHost(engine, [](FlutterDesktopMessengerRef, const FlutterDesktopMessage*,
                              void* user) { static_cast<RawEngine*>(user)->Destroy(); });
      },
      [](RawEngine& engine) {
        FlutterDesktopEngineRef gone = engine.get();
        engine.Destroy();
        FlutterDesktopEngineReloadSystemFonts(gone);
      },
      [](RawEngine& engine) {
        std::thread([&engine] { FlutterDesktopEngineReloadSystemFonts(engine.get()); }).join();
      },
  };
  for (auto misuse : misuses) {
    RawEngine engine;
    misuse(engine);
  }
  std::vector<std::string> lines = ReadLines(path);
  std::filesystem::remove(path);
  std::erase_if(lines, [](const std::string& line) { return !line.starts_with("fault"); });
  EXPECT_EQ(lines,
            (std::vector<std::string>{
                "fault response answered twice", "fault engine destroyed inside its own callback",
                "fault call after shutdown: FlutterDesktopEngineReloadSystemFonts",
                "fault off the platform thread: FlutterDesktopEngineReloadSystemFonts"}));
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
  FlutterDesktopViewControllerDestroy(controller);  // with the first frame still queued
}

TEST(StandinEngineTest, UiFrameFiresTheNextFrameCallbackOnce) {
  RawEngine engine;
  int frames = 0;
  FlutterDesktopEngineSetNextFrameCallback(
      engine.get(), [](void* user) { ++*static_cast<int*>(user); }, &frames);
  engine.services().requestFrame(engine.services().engine);
  EXPECT_EQ(frames, 0);
  PumpEngine();
  engine.services().requestFrame(engine.services().engine);
  PumpEngine();
  EXPECT_EQ(frames, 1);
}

}  // namespace
}  // namespace veltrix::standin
