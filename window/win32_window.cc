#include "window/win32_window.h"

#include <dwmapi.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <vector>

#include "engine_client/engine_api.h"
#include "resources/resource_ids.h"
#include "win32/unique_handle.h"
#include "window/window_messages.h"

namespace veltrix {

namespace {

constexpr wchar_t kPersonalizeKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

// One user-interface thread: plain variables.
int activeWindowCount = 0;

// Registers the window class on first use and forgets it when the last
// window object goes.
class WindowClassRegistry {
 public:
  static WindowClassRegistry& Instance() {
    // Never freed: it may still be needed while statics are torn down.
    static WindowClassRegistry* registry = new WindowClassRegistry();
    return *registry;
  }

  const wchar_t* GetWindowClass() {
    if (!registered_) {
      WNDCLASSW windowClass{};
      windowClass.style = CS_HREDRAW | CS_VREDRAW;
      windowClass.lpfnWndProc = Win32Window::StaticWindowProc;
      windowClass.hInstance = ::GetModuleHandleW(nullptr);
      windowClass.hIcon = ::LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(VELTRIX_APP_ICON));
      windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
      windowClass.lpszClassName = kWindowClassName;
      ::RegisterClassW(&windowClass);
      // Set even on failure: that shows up as a failed window creation.
      registered_ = true;
    }
    return kWindowClassName;
  }

  void UnregisterWindowClass() {
    ::UnregisterClassW(kWindowClassName, nullptr);
    registered_ = false;
  }

 private:
  bool registered_ = false;
};

// Lets the caption and frame follow the monitor's DPI on systems where
// the manifest alone does not do it; absent on newer and older systems.
void EnableFrameDpiScaling(HWND window) {
  UniqueLibrary user32(::LoadLibraryA("User32.dll"));
  if (!user32) return;
  using EnableNonClientDpiScalingFunction = BOOL(WINAPI*)(HWND);
  const auto enable = reinterpret_cast<EnableNonClientDpiScalingFunction>(
      reinterpret_cast<void*>(::GetProcAddress(user32.Get(), "EnableNonClientDpiScaling")));
  if (enable != nullptr) enable(window);
}

// The running system's build number, as the kernel reports it (the
// documented version calls answer what the manifest asked for).
uint32_t WindowsBuildNumber() {
  using GetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
  static const uint32_t build = [] {
    const auto getVersion = reinterpret_cast<GetVersionFunction>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    return getVersion != nullptr && getVersion(&version) == 0 ? version.dwBuildNumber : 0u;
  }();
  return build;
}

WindowBounds BoundsOf(const RECT& rect) {
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

std::vector<WindowBounds> WorkAreas() {
  std::vector<WindowBounds> areas;
  ::EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, RECT*, LPARAM context) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (::GetMonitorInfoW(monitor, &info)) {
          reinterpret_cast<std::vector<WindowBounds>*>(context)->push_back(BoundsOf(info.rcWork));
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&areas));
  return areas;
}

WindowBounds WorkAreaOf(HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  ::GetMonitorInfoW(monitor, &info);
  return BoundsOf(info.rcWork);
}

HMONITOR MonitorOf(const WindowBounds& bounds) {
  const RECT rect{bounds.x, bounds.y, bounds.x + bounds.width, bounds.y + bounds.height};
  return ::MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST);
}

// A saved placement where the user can still reach it, no smaller than the
// minimum; otherwise the first start's, fitted to the work area.
WindowPlacement StartPlacement(const Point& origin, const Size& size,
                               const std::optional<WindowPlacement>& saved) {
  if (saved) {
    const uint32_t dpi = FlutterDesktopGetDpiForMonitor(MonitorOf(saved->bounds));
    if (TitleBarReachable(saved->bounds, WorkAreas(), dpi)) {
      WindowPlacement placement = *saved;
      const Size minimum = MinimumWindowSize(dpi);
      placement.bounds.width = std::max(placement.bounds.width, minimum.width);
      placement.bounds.height = std::max(placement.bounds.height, minimum.height);
      return placement;
    }
  }
  const POINT target{origin.x, origin.y};
  const HMONITOR monitor = ::MonitorFromPoint(target, MONITOR_DEFAULTTONEAREST);
  return {FitToWorkArea(ScaleWindowBounds(origin, size, FlutterDesktopGetDpiForMonitor(monitor)),
                        WorkAreaOf(monitor)),
          false};
}

bool IsThemeChange(LPARAM lParam) {
  const auto* area = reinterpret_cast<const wchar_t*>(lParam);
  return area != nullptr && std::wcscmp(area, L"ImmersiveColorSet") == 0;
}

}  // namespace

Win32Window::Win32Window() { ++activeWindowCount; }

Win32Window::~Win32Window() {
  --activeWindowCount;
  Destroy();
}

bool Win32Window::Create(const std::wstring& title, const Point& origin, const Size& size,
                         const std::optional<WindowPlacement>& saved) {
  Destroy();

  const wchar_t* windowClass = WindowClassRegistry::Instance().GetWindowClass();
  const WindowPlacement placement = StartPlacement(origin, size, saved);
  normalBounds_ = placement.bounds;
  maximized_ = placement.maximized;
  // Maximised while still hidden, so that whatever shows it shows it so.
  const DWORD style = WS_OVERLAPPEDWINDOW | (placement.maximized ? WS_MAXIMIZE : 0);
  const WindowBounds& bounds = placement.bounds;
  HWND window =
      ::CreateWindowExW(0, windowClass, title.c_str(), style, bounds.x, bounds.y, bounds.width,
                        bounds.height, nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
  if (window == nullptr) return false;

  ApplyTitleBarTheme(window);
  return OnWindowCreated();
}

bool Win32Window::Show() {
  return ::ShowWindow(windowHandle_,
                      ::IsZoomed(windowHandle_) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL) != FALSE;
}

WindowPlacement Win32Window::Placement() const { return {normalBounds_, maximized_}; }

void Win32Window::ObserveMessage(HWND window, UINT message, LPARAM lParam) {
  switch (message) {
    case WM_GETMINMAXINFO: {
      const Size minimum = MinimumWindowSize(
          FlutterDesktopGetDpiForMonitor(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)));
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMinTrackSize = {minimum.width, minimum.height};
      return;
    }
    case WM_WINDOWPOSCHANGED: {
      // A minimised window comes back as it was before; the bounds to come
      // back to are those of the window neither minimised nor maximised.
      if (::IsIconic(window)) return;
      maximized_ = ::IsZoomed(window) != FALSE;
      RECT rect{};
      if (!maximized_ && ::GetWindowRect(window, &rect)) normalBounds_ = BoundsOf(rect);
      return;
    }
  }
}

void Win32Window::Destroy() {
  // WM_DESTROY arrives inside this call and does the teardown.
  if (windowHandle_ != nullptr) ::DestroyWindow(windowHandle_);
  if (activeWindowCount == 0) WindowClassRegistry::Instance().UnregisterWindowClass();
}

void Win32Window::AttachContent(HWND content) {
  childContent_ = content;
  ::SetParent(content, windowHandle_);
  FitContent();
  ::SetFocus(content);
}

void Win32Window::FitContent() {
  if (childContent_ == nullptr) return;
  const RECT frame = ClientArea();
  ::MoveWindow(childContent_, frame.left, frame.top, frame.right - frame.left,
               frame.bottom - frame.top, TRUE);
}

RECT Win32Window::ClientArea() const {
  RECT frame{};
  ::GetClientRect(windowHandle_, &frame);
  return frame;
}

void Win32Window::ApplyTitleBarTheme(HWND window) {
  DWORD lightTheme = 0;
  DWORD size = sizeof(lightTheme);
  const LSTATUS status = ::RegGetValueW(HKEY_CURRENT_USER, kPersonalizeKey, L"AppsUseLightTheme",
                                        RRF_RT_REG_DWORD, nullptr, &lightTheme, &size);
  if (status != ERROR_SUCCESS) return;
  const BOOL dark = lightTheme == 0 ? TRUE : FALSE;
  ::DwmSetWindowAttribute(window, DarkModeAttribute(WindowsBuildNumber()), &dark, sizeof(dark));
}

LRESULT CALLBACK Win32Window::StaticWindowProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    auto* self = static_cast<Win32Window*>(create->lpCreateParams);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    EnableFrameDpiScaling(window);
    self->windowHandle_ = window;
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  auto* self = reinterpret_cast<Win32Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  // Seen before the subclass (and the engine it hands messages to) can
  // take them.
  self->ObserveMessage(window, message, lParam);
  const LRESULT result = self->HandleMessage(window, message, wParam, lParam);
  // The window's own teardown, whatever the subclass or the engine did with
  // the message.
  if (message == WM_DESTROY) self->TearDown();
  return result;
}

void Win32Window::TearDown() {
  windowHandle_ = nullptr;
  childContent_ = nullptr;
  OnWindowDestroyed();
}

LRESULT Win32Window::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      FitContent();
      return 0;

    case WM_ACTIVATE:
      if (childContent_ != nullptr) ::SetFocus(childContent_);
      return 0;

    case WM_DPICHANGED: {
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      ::SetWindowPos(window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }

    case WM_DWMCOLORIZATIONCOLORCHANGED:
      ApplyTitleBarTheme(window);
      return 0;

    case WM_SETTINGCHANGE:
      // How Windows announces that the user switched between light and dark.
      if (IsThemeChange(lParam)) ApplyTitleBarTheme(window);
      break;

    case WM_PARENTNOTIFY:
      // The content went away on its own: no focus or move may reach it.
      if (LOWORD(wParam) == WM_DESTROY && reinterpret_cast<HWND>(lParam) == childContent_) {
        childContent_ = nullptr;
      }
      break;
  }
  // The message's own window: the stored handle is null during creation and
  // after destruction.
  return ::DefWindowProcW(window, message, wParam, lParam);
}

bool Win32Window::OnWindowCreated() { return true; }

void Win32Window::OnWindowDestroyed() {}

}  // namespace veltrix
