#ifndef WINDOW_WIN32_WINDOW_H_
#define WINDOW_WIN32_WINDOW_H_

#include <windows.h>

#include <optional>
#include <string>

#include "window/window_decisions.h"
#include "window/window_placement.h"

namespace veltrix {

// A top-level window sized for its monitor's DPI, with one child that
// fills the client area and holds the focus, and a title bar that follows
// the user's dark or light app theme. Subclasses hook creation, messages
// and destruction.
class Win32Window {
 public:
  Win32Window();
  virtual ~Win32Window();

  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  // Creates the window hidden: where `saved` says when its title bar can
  // still be reached, otherwise at `origin` with the outer `size`, both in
  // logical units scaled by the DPI of the monitor nearest to `origin`,
  // fitted to that monitor's work area. A second call replaces the first
  // window. False when the window cannot be made or OnWindowCreated
  // refuses.
  bool Create(const std::wstring& title, const Point& origin, const Size& size,
              const std::optional<WindowPlacement>& saved = std::nullopt);

  // Shows and activates the window, maximised if it was made so; the
  // result tells whether it was visible before.
  bool Show();

  // The window's normal bounds, and whether it is maximised (or was, before
  // it was minimised).
  WindowPlacement Placement() const;

  // Destroys the native window (its WM_DESTROY runs OnWindowDestroyed); the
  // class goes with the last window object.
  void Destroy();

  HWND WindowHandle() const { return windowHandle_; }

  // Makes `content` the child that fills the client area.
  void AttachContent(HWND content);

  RECT ClientArea() const;

  // Dark title bar when the user's apps use the dark theme; the system
  // default when the preference cannot be read.
  static void ApplyTitleBarTheme(HWND window);

  // The class's window procedure: binds the object on WM_NCCREATE and
  // hands every later message to HandleMessage.
  static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) noexcept;

 protected:
  virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Runs at the end of Create; false makes Create fail.
  virtual bool OnWindowCreated();
  // Runs once per native window, after its WM_DESTROY has been handled,
  // whoever destroyed it and whatever handled it; the child windows still
  // exist then.
  virtual void OnWindowDestroyed();

 private:
  // Sizes the content to the client area.
  void FitContent();
  // The base's part in every message, before the subclass sees it: the
  // minimum size and the normal bounds.
  void ObserveMessage(HWND window, UINT message, LPARAM lParam);
  // WM_DESTROY's end: forgets the handles and runs OnWindowDestroyed.
  void TearDown();

  HWND windowHandle_ = nullptr;
  HWND childContent_ = nullptr;
  WindowBounds normalBounds_;
  bool maximized_ = false;
};

}  // namespace veltrix

#endif  // WINDOW_WIN32_WINDOW_H_
