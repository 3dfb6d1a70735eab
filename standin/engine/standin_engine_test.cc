#include "standin/engine/standin_engine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
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
  FlutterDesktopMessengerSendResponse(engine.messenger(), handles[0], &first, 1);
  FlutterDesktopMessengerSendResponse(engine.messenger(), handles[0], &second, 1);
  PumpEngine();
  EXPECT_EQ(ui.replies, (std::vector<std::vector<uint8_t>>{{9}}));
}

}  // namespace
}  // namespace veltrix::standin
