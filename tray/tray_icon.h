#ifndef TRAY_TRAY_ICON_H_
#define TRAY_TRAY_ICON_H_

#include <windows.h>

#include <shellapi.h>

#include "desktop/desktop_state.h"

namespace veltrix {

inline constexpr UINT kTrayIconId = 1;

// The host window's one notification-area icon. It alone knows whether the
// icon exists, which decides whether the window may hide. It keeps the
// shell's record for the icon's whole life, reads the connection state for
// its tooltip and adds nothing once the host is quitting. The window handle
// is passed on each call: it is null once the window is gone, and then
// nothing is added.
class TrayIcon {
 public:
  // `callbackMessage`: the window message the shell sends for the icon.
  TrayIcon(const DesktopState& state, UINT callbackMessage)
      : state_(state), callbackMessage_(callbackMessage) {}

  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Registers "TaskbarCreated", which the shell broadcasts when it restarts,
  // and lets it through the window's message filter.
  void RegisterTaskbarCreated(HWND window);
  // 0 when the registration failed; the icon is then not re-added after a
  // shell restart.
  UINT taskbarCreatedMessage() const { return taskbarCreatedMessage_; }

  // Adds the icon when it is missing; true when it is shown afterwards.
  bool Ensure(HWND window);
  // Rewrites the tooltip from the connection state, or adds the icon when it
  // is missing. False when the shell refused the change: the icon counts as
  // lost.
  [[nodiscard]] bool RefreshTooltip(HWND window);
  // The shell restarted and forgot the icon: adds it again; true when it is
  // back.
  [[nodiscard]] bool OnTaskbarCreated(HWND window);
  // Takes the icon away, if there is one.
  void Remove();
  // Gives the keyboard focus back to the icon after its menu was dismissed.
  void ReturnFocus();

  bool shown() const { return shown_; }
  // The shell accepted notify-icon version 4: events arrive in that form.
  bool version4() const { return version4_; }
  const NOTIFYICONDATAW& record() const { return record_; }

 private:
  const DesktopState& state_;
  UINT callbackMessage_;
  NOTIFYICONDATAW record_{};
  UINT taskbarCreatedMessage_ = 0;
  bool shown_ = false;
  bool version4_ = false;
};

}  // namespace veltrix

#endif  // TRAY_TRAY_ICON_H_
