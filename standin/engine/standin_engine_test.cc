#include "standin/engine/standin_engine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
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

// Bytes above 0x7F are two hex digits like any other.
TEST(StandinEngineTest, TranscriptWritesArgumentsAsHex) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() /
      ("veltrix-transcript-" + std::to_string(std::random_device()()));
  {
    ScopedEnvironment transcript("VELTRIX_UI_TRANSCRIPT", path.string().c_str());
    const char* arguments[] = {"\xC3\xA9"};
    FlutterDesktopEngineProperties properties{};
    properties.entryPointArgumentCount = 1;
    properties.entryPointArguments = arguments;
    FlutterDesktopEngineDestroy(FlutterDesktopEngineCreate(&properties));
  }
  std::string line;
  std::getline(std::ifstream(path), line);
  std::filesystem::remove(path);
  EXPECT_EQ(line, "engine-args 1 c3a9");
}

// Messages and frames come from the loop, never inside the caller's call; a
// response handle answers once, and a frame fires one next-frame callback once.
TEST(StandinEngineTest, QueuedWorkRunsLaterAndOnce) {
  RawEngine engine;
  UiSide ui(engine.services());
  std::vector<const FlutterDesktopMessageResponseHandle*> handles;
  FlutterDesktopMessengerSetCallback(
      engine.messenger(), "c",
      [](FlutterDesktopMessengerRef, const FlutterDesktopMessage* message, void* user) {
        static_cast<std::vector<const FlutterDesktopMessageResponseHandle*>*>(user)->push_back(
            message->responseHandle);
      },
      &handles);
  int frames = 0;
  FlutterDesktopEngineSetNextFrameCallback(
      engine.get(), [](void* user) { ++*static_cast<int*>(user); }, &frames);
  ui.Send("c", {1});
  engine.services().requestFrame(engine.services().engine);
  EXPECT_TRUE(handles.empty() && frames == 0);
  PumpEngine();
  engine.services().requestFrame(engine.services().engine);
  PumpEngine();
  EXPECT_EQ(frames, 1);
  ASSERT_EQ(handles.size(), 1u);
  const uint8_t first = 9, second = 8;
  const size_t faults = VeltrixStandinFaultCount();
  FlutterDesktopMessengerSendResponse(engine.messenger(), handles[0], &first, 1);
  FlutterDesktopMessengerSendResponse(engine.messenger(), handles[0], &second, 1);
  PumpEngine();
  EXPECT_EQ(ui.replies, (std::vector<std::vector<uint8_t>>{{9}}));
  EXPECT_EQ(VeltrixStandinFaultCount() - faults, 1u);  // answered twice
}

// What a real engine would punish is reported, so that a host fault shows
// here and not only on a user's machine.
TEST(StandinEngineTest, MisuseThatARealEngineWouldPunishIsAFault) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "veltrix-standin-engine-faults.txt";
  std::filesystem::remove(path);
  ScopedEnvironment transcript("VELTRIX_UI_TRANSCRIPT", path.string().c_str());
  void (*const misuses[])(RawEngine&) = {
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
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "fault engine destroyed inside its own callback",
                       "fault call after shutdown: FlutterDesktopEngineReloadSystemFonts",
                       "fault off the platform thread: FlutterDesktopEngineReloadSystemFonts"}));
}

}  // namespace
}  // namespace veltrix::standin
