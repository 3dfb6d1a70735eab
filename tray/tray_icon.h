#ifndef TRAY_TRAY_ICON_H_
#define TRAY_TRAY_ICON_H_

#include <windows.h>

#include <shellapi.h>

#include "desktop/desktop_bridge.h"

namespace veltrix {

inline constexpr UINT kTrayIconId = 1;

// The host window's one notification-area icon. It keeps the shell's record
// for the icon's whole life and mirrors whether the icon exists in the
// bridge's trayAvailable, which decides whether the window may hide.
// The window handle is passed on each call: it is null once the window is
// gone, and then nothing is added.
class TrayIcon {
 public:
  explicit TrayIcon(DesktopBridge& bridge) : bridge_(bridge) {}

  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Registers "TaskbarCreated", which the shell broadcasts when it restarts,
  // and lets it through the window's message filter.
  void RegisterTaskbarCreated(HWND window);
  // 0 when the registration failed; the icon is then not re-added after a
  // shell restart.
  UINT taskbarCreatedMessage() const { return taskbarCreatedMessage_; }

  // Adds the icon when it is missing; true when it exists afterwards.
  bool Ensure(HWND window);
  // Rewrites the tooltip from the connection state, or adds the icon. A
  // refused change means the icon is gone: the window comes to the front.
  void RefreshTooltip(HWND window);
  // The shell restarted and forgot the icon: add it again, or bring the
  // window up if that fails.
  void OnTaskbarCreated(HWND window);
  // Takes the icon away, if there is one.
  void Remove();
  // Gives the keyboard focus back to the icon after its menu was dismissed.
  void ReturnFocus();

  const NOTIFYICONDATAW& record() const { return record_; }

 private:
  DesktopBridge& bridge_;
  NOTIFYICONDATAW record_{};
  UINT taskbarCreatedMessage_ = 0;
};

}  // namespace veltrix

#endif  // TRAY_TRAY_ICON_H_
