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

// What a real engine would punish is reported, so that a host fault shows
// here and not only on a user's machine.
TEST(StandinEngineTest, MisuseThatARealEngineWouldPunishIsAFault) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "veltrix-standin-engine-faults.txt";
  std::filesystem::remove(path);
  ScopedEnvironment transcript("VELTRIX_UI_TRANSCRIPT", path.string().c_str());
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

}  // namespace
}  // namespace veltrix::standin
