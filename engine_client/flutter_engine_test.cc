#include "engine_client/flutter_engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_client/engine_project.h"
#include "engine_client/engine_properties.h"
#include "engine_client/flutter_view_controller.h"
#include "engine_client/testing/engine_test_support.h"

namespace flutter {
namespace {

using ::flutter::testing::PumpEngine;
using ::flutter::testing::ScopedEnvironment;

constexpr char kRegistrarLine[] =
    "Cannot get plugin registrar on an engine that isn't running; call Run first.\n";

TEST(EnginePropertiesTest, ArgumentsPointIntoTheProjectInOrderOrAreAbsent) {
  EngineProject project(L"data");
  {
    EnginePropertiesRecord properties(project);
    EXPECT_EQ(properties.record().entryPointArgumentCount, 0);
    EXPECT_EQ(properties.record().entryPointArguments, nullptr);
    EXPECT_STREQ(properties.record().entryPoint, "");  // empty text, never null
  }
  project.SetEntryPointArguments({"--autostart", "", "--autostart"});
  EnginePropertiesRecord properties(project);
  const FlutterDesktopEngineProperties& record = properties.record();
  ASSERT_EQ(record.entryPointArgumentCount, 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(record.entryPointArguments[i], project.entryPointArguments()[i].c_str());
  }
}

TEST(FlutterEngineTest, DestroysOnlyAnEngineItStillOwns) {
  const int before = VeltrixStandinLiveEngineCount();
  EngineProject project(L"data");
  FlutterDesktopEngineRef taken = nullptr;
  {
    FlutterEngine owning(project);
    EXPECT_EQ(VeltrixStandinLiveEngineCount(), before + 1);
  }
  EXPECT_EQ(VeltrixStandinLiveEngineCount(), before);
  {
    FlutterEngine engine(project);
    taken = engine.TakeEngineHandle();
  }
  EXPECT_EQ(VeltrixStandinLiveEngineCount(), before + 1);
  EXPECT_TRUE(FlutterDesktopEngineDestroy(taken));
  EXPECT_EQ(VeltrixStandinLiveEngineCount(), before);
}

TEST(FlutterEngineTest, RegistrarsComeFromARunningEngineOnly) {
  EngineProject project(L"data");
  {
    FlutterEngine engine(project);
    FlutterDesktopPluginRegistrarRef registrar = engine.RegistrarForPlugin("a");
    EXPECT_NE(registrar, nullptr);
    EXPECT_EQ(engine.RegistrarForPlugin("a"), registrar);
    EXPECT_NE(engine.RegistrarForPlugin("b"), registrar);
  }
  ScopedEnvironment failing("VELTRIX_ENGINE_FAIL_CREATE", "1");
  FlutterEngine engine(project);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(engine.RegistrarForPlugin("a"), nullptr);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), kRegistrarLine);
  // The other operations have nothing to act on and stay quiet.
  engine.ReloadSystemFonts();
  engine.SetNextFrameCallback([] {});
  engine.messenger()->SetMessageHandler("c", [](const uint8_t*, size_t, ReplyCallback) {});
}

TEST(FlutterViewControllerTest, NextFrameCallbackRunsOnceAfterAFrame) {
  EngineProject project(L"data");
  FlutterViewController controller(320, 200, project);
  ASSERT_NE(controller.view(), nullptr);
  int frames = 0;
  controller.engine()->SetNextFrameCallback([&frames] { ++frames; });
  EXPECT_EQ(frames, 0);  // frames come from the loop, not from the call
  PumpEngine();
  EXPECT_EQ(frames, 1);

  controller.ForceRedraw();
  PumpEngine();
  EXPECT_EQ(frames, 1);

  controller.engine()->SetNextFrameCallback([&frames] { ++frames; });
  controller.ForceRedraw();
  PumpEngine();
  EXPECT_EQ(frames, 2);
}

TEST(FlutterViewControllerTest, ViewHasAWindowAndPassesTopLevelMessagesOn) {
  EngineProject project(L"data");
  FlutterViewController controller(320, 200, project);
  ASSERT_NE(controller.view(), nullptr);
#if defined(_WIN32)
  HWND view = controller.view()->NativeWindow();
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(::IsWindow(view));
  EXPECT_NE(::GetWindowLongPtrW(view, GWL_STYLE) & WS_CHILD, 0);
#endif
  // Without a UI module nothing is consumed.
  EXPECT_FALSE(controller.HandleTopLevelWindowProc(nullptr, 0x0005, 0, 0).has_value());
}

TEST(FlutterViewControllerTest, RefusedViewLeavesNoViewAndNoEngineBehind) {
  const int before = VeltrixStandinLiveEngineCount();
  EngineProject project(L"data");
  ScopedEnvironment failing("VELTRIX_ENGINE_FAIL_VIEW", "1");
  ::testing::internal::CaptureStderr();
  {
    FlutterViewController controller(320, 200, project);
    EXPECT_EQ(controller.view(), nullptr);
    ASSERT_NE(controller.engine(), nullptr);
    EXPECT_EQ(controller.engine()->RegistrarForPlugin("a"), nullptr);
    controller.ForceRedraw();
    EXPECT_FALSE(controller.HandleTopLevelWindowProc(nullptr, 0, 0, 0).has_value());
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            std::string("Failed to create view controller.\n") + kRegistrarLine);
  EXPECT_EQ(VeltrixStandinLiveEngineCount(), before);
}

}  // namespace
}  // namespace flutter
