#include "window/win32_window.h"

#include <gtest/gtest.h>

#include <memory>

#include "engine_client/engine_api.h"

namespace veltrix {
namespace {

class TestWindow : public Win32Window {
 public:
  ~TestWindow() override { Destroy(); }

  bool acceptCreation = true;
  int createdCount = 0;
  int destroyedCount = 0;

 protected:
  bool OnWindowCreated() override {
    ++createdCount;
    return acceptCreation;
  }
  void OnWindowDestroyed() override { ++destroyedCount; }
};

bool ClassRegistered() {
  WNDCLASSW windowClass;
  return ::GetClassInfoW(::GetModuleHandleW(nullptr), Win32Window::ClassName(), &windowClass) !=
         FALSE;
}

// Takes a posted quit message off the queue, if there is one.
bool TakeQuitMessage(WPARAM* exitCode = nullptr) {
  MSG message;
  if (!::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
  if (exitCode != nullptr) *exitCode = message.wParam;
  return true;
}

RECT WindowRect(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  return rect;
}

class Win32WindowTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Win32Window::ActiveWindowCount(), 0);
    while (TakeQuitMessage()) {
    }
  }
};

TEST_F(Win32WindowTest, ClassIsRegisteredOnceAndGoesWithTheLastWindow) {
  EXPECT_FALSE(ClassRegistered());
  auto first = std::make_unique<TestWindow>();
  auto second = std::make_unique<TestWindow>();
  ASSERT_TRUE(first->Create(L"first", {10, 10}, {320, 200}));
  ASSERT_TRUE(second->Create(L"second", {20, 20}, {320, 200}));
  EXPECT_TRUE(ClassRegistered());

  const HWND secondHandle = second->WindowHandle();
  first.reset();
  EXPECT_TRUE(ClassRegistered()) << "a window of the class is still alive";
  EXPECT_TRUE(::IsWindow(secondHandle));

  second.reset();
  EXPECT_FALSE(ClassRegistered());

  // And a later window registers it again.
  TestWindow third;
  EXPECT_TRUE(third.Create(L"third", {10, 10}, {320, 200}));
  EXPECT_TRUE(ClassRegistered());
}

TEST_F(Win32WindowTest, CreatesAHiddenWindowScaledForItsMonitor) {
  TestWindow window;
  ASSERT_TRUE(window.Create(L"VELTRIX VPN", {10, 10}, {640, 360}));
  const HWND handle = window.WindowHandle();
  ASSERT_NE(handle, nullptr);
  EXPECT_FALSE(::IsWindowVisible(handle));
  EXPECT_EQ(window.createdCount, 1);

  wchar_t text[64] = {};
  ::GetClassNameW(handle, text, 64);
  EXPECT_STREQ(text, L"FLUTTER_RUNNER_WIN32_WINDOW");
  ::GetWindowTextW(handle, text, 64);
  EXPECT_STREQ(text, L"VELTRIX VPN");

  const UINT dpi = FlutterDesktopGetDpiForMonitor(::MonitorFromPoint({10, 10}, 2));
  const WindowBounds expected = ScaleWindowBounds({10, 10}, {640, 360}, dpi);
  const RECT rect = WindowRect(handle);
  EXPECT_EQ(rect.left, expected.x);
  EXPECT_EQ(rect.top, expected.y);
  EXPECT_EQ(rect.right - rect.left, expected.width);
  EXPECT_EQ(rect.bottom - rect.top, expected.height);

  EXPECT_FALSE(window.Show()) << "was hidden before";
  EXPECT_TRUE(::IsWindowVisible(handle));
}

TEST_F(Win32WindowTest, QuitsTheLoopOnDestroyOnlyWhenAsked) {
  {
    TestWindow window;
    ASSERT_TRUE(window.Create(L"stays", {10, 10}, {320, 200}));
    window.Destroy();
    EXPECT_EQ(window.WindowHandle(), nullptr);
    EXPECT_FALSE(TakeQuitMessage());
  }
  EXPECT_FALSE(TakeQuitMessage());

  TestWindow window;
  ASSERT_TRUE(window.Create(L"quits", {10, 10}, {320, 200}));
  window.SetQuitOnDestroy(true);
  WPARAM exitCode = 99;
  // Destroyed from outside, as the system does: the WM_DESTROY path.
  ::DestroyWindow(window.WindowHandle());
  EXPECT_EQ(window.WindowHandle(), nullptr);
  EXPECT_GE(window.destroyedCount, 1);
  EXPECT_TRUE(TakeQuitMessage(&exitCode));
  EXPECT_EQ(exitCode, 0u);
}

TEST_F(Win32WindowTest, RefusedCreationFailsButKeepsTheWindowUntilDestroyed) {
  TestWindow window;
  window.acceptCreation = false;
  EXPECT_FALSE(window.Create(L"refused", {10, 10}, {320, 200}));
  const HWND handle = window.WindowHandle();
  EXPECT_TRUE(::IsWindow(handle));
  window.Destroy();
  EXPECT_FALSE(::IsWindow(handle));
}

TEST_F(Win32WindowTest, SecondCreateReplacesTheFirstWindow) {
  TestWindow window;
  ASSERT_TRUE(window.Create(L"one", {10, 10}, {320, 200}));
  const HWND first = window.WindowHandle();
  const int destroyedBefore = window.destroyedCount;
  ASSERT_TRUE(window.Create(L"two", {10, 10}, {320, 200}));
  EXPECT_FALSE(::IsWindow(first));
  EXPECT_NE(window.WindowHandle(), first);
  EXPECT_GT(window.destroyedCount, destroyedBefore);
}

TEST_F(Win32WindowTest, ContentFillsTheClientAreaThroughResizes) {
  TestWindow window;
  ASSERT_TRUE(window.Create(L"content", {10, 10}, {400, 300}));
  HWND content = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                                   window.WindowHandle(), nullptr, nullptr, nullptr);
  ASSERT_NE(content, nullptr);
  window.AttachContent(content);

  for (const SIZE size : {SIZE{500, 420}, SIZE{300, 200}}) {
    ::SetWindowPos(window.WindowHandle(), nullptr, 0, 0, size.cx, size.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT client = window.ClientArea();
    RECT child = WindowRect(content);
    ::MapWindowPoints(nullptr, window.WindowHandle(), reinterpret_cast<POINT*>(&child), 2);
    EXPECT_EQ(child.left, client.left);
    EXPECT_EQ(child.top, client.top);
    EXPECT_EQ(child.right, client.right);
    EXPECT_EQ(child.bottom, client.bottom);
  }
}

TEST_F(Win32WindowTest, DpiChangeTakesTheSuggestedRectangle) {
  TestWindow window;
  ASSERT_TRUE(window.Create(L"dpi", {10, 10}, {400, 300}));
  RECT suggested{30, 40, 30 + 600, 40 + 450};
  EXPECT_EQ(::SendMessageW(window.WindowHandle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                           reinterpret_cast<LPARAM>(&suggested)),
            0);
  const RECT rect = WindowRect(window.WindowHandle());
  EXPECT_EQ(rect.left, suggested.left);
  EXPECT_EQ(rect.top, suggested.top);
  EXPECT_EQ(rect.right, suggested.right);
  EXPECT_EQ(rect.bottom, suggested.bottom);
}

}  // namespace
}  // namespace veltrix
