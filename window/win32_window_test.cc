#include "window/win32_window.h"
#include "window/window_messages.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

namespace veltrix {
namespace {

class TestWindow : public Win32Window {
 public:
  ~TestWindow() override { Destroy(); }
  bool acceptCreation = true;

 protected:
  bool OnWindowCreated() override { return acceptCreation; }
};

bool ClassRegistered() {
  WNDCLASSW windowClass;
  return ::GetClassInfoW(::GetModuleHandleW(nullptr), kWindowClassName, &windowClass);
}

// Left, top, right, bottom of `window`, on the screen or, given `parent`, in
// its client area.
std::tuple<LONG, LONG, LONG, LONG> Edges(HWND window, HWND parent = nullptr) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  if (parent) ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right, rect.bottom};
}

TEST(Win32WindowTest, ClassGoesWithTheLastWindowAndNoWindowIsLeftBehind) {
  auto first = std::make_unique<TestWindow>();
  auto second = std::make_unique<TestWindow>();
  ASSERT_TRUE(first->Create(L"first", {10, 10}, {320, 200}));
  ASSERT_TRUE(second->Create(L"second", {20, 20}, {320, 200}));
  first.reset();
  EXPECT_TRUE(ClassRegistered()) << "a window of the class is still alive";

  // A second Create replaces the window; a refused one keeps it until Destroy.
  const HWND replaced = second->WindowHandle();
  ASSERT_TRUE(second->Create(L"again", {20, 20}, {320, 200}));
  EXPECT_FALSE(::IsWindow(replaced));
  second->acceptCreation = false;
  EXPECT_FALSE(second->Create(L"refused", {20, 20}, {320, 200}));
  const HWND refused = second->WindowHandle();
  EXPECT_TRUE(::IsWindow(refused));
  second.reset();
  EXPECT_FALSE(::IsWindow(refused));
  EXPECT_FALSE(ClassRegistered());
}

TEST(Win32WindowTest, CreatedHiddenWithContentFillingTheClientArea) {
  TestWindow window;
  ASSERT_TRUE(window.Create(L"VELTRIX VPN", {10, 10}, {640, 360}));
  const HWND handle = window.WindowHandle();
  EXPECT_FALSE(window.Show()) << "was hidden before";

  HWND content = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, handle,
                                   nullptr, nullptr, nullptr);
  window.AttachContent(content);
  const auto expectContentFills = [&] {
    const RECT client = window.ClientArea();
    EXPECT_EQ(Edges(content, handle),
              std::make_tuple(client.left, client.top, client.right, client.bottom));
  };
  ::SetWindowPos(handle, nullptr, 0, 0, 500, 420, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  expectContentFills();

  // A DPI change takes the suggested rectangle.
  RECT suggested{30, 40, 30 + 600, 40 + 450};
  ::SendMessageW(handle, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(Edges(handle),
            std::make_tuple(suggested.left, suggested.top, suggested.right, suggested.bottom));
  expectContentFills();

  // Another child going away leaves the content in its place.
  ::DestroyWindow(::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 1, 1, handle, nullptr,
                                    nullptr, nullptr));
  ::SetWindowPos(handle, nullptr, 0, 0, 520, 400, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  expectContentFills();
}

}  // namespace
}  // namespace veltrix
