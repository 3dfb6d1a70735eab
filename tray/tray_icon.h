#ifndef TRAY_TRAY_ICON_H_
#define TRAY_TRAY_ICON_H_

#include <windows.h>

#include <shellapi.h>

#include <functional>

#include "base/connection_state.h"
#include "locale/language.h"
#include "tray/tray_appearance.h"
#include "win32/unique_handle.h"

namespace veltrix {

inline constexpr UINT kTrayIconId = 1;

// The shell, as the tray icon reaches it. The product uses
// DefaultTrayShell(); tests make the shell refuse in each way.
struct TrayShell {
  std::function<BOOL(DWORD message, NOTIFYICONDATAW* record)> notifyIcon;
};

TrayShell DefaultTrayShell();

inline void DestroyIconHandle(HICON icon) { ::DestroyIcon(icon); }
using UniqueIcon = UniqueHandle<HICON, DestroyIconHandle>;

// The host window's one notification-area icon. It alone knows whether the
// icon is shown, which decides whether the window may hide. It keeps the
// shell's record for the icon's whole life, shows the connection state it is
// given in the language it is given (English until then), and always takes
// the icon away at the end, so that none is left behind. The window handle
// is passed to each call that may add the icon: null when the icon may not be
// added (the window is gone, or the host is quitting).
class TrayIcon {
 public:
  // `callbackMessage`: the window message the shell sends for the icon.
  TrayIcon(UINT callbackMessage, TrayShell shell)
      : callbackMessage_(callbackMessage), shell_(std::move(shell.notifyIcon)) {}
  ~TrayIcon() { Remove(); }

  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Registers "TaskbarCreated", which the shell broadcasts when it restarts,
  // and lets it through the window's message filter.
  void RegisterTaskbarCreated(HWND window);
  // 0 when the registration failed; the icon is then not re-added after a
  // shell restart.
  UINT taskbarCreatedMessage() const { return taskbarCreatedMessage_; }

  // Adds the icon, showing `connection`, when it is missing; true when it is
  // shown afterwards.
  bool Ensure(HWND window, ConnectionState connection);
  // Shows `connection`, its image and tooltip in one change, or adds the
  // icon when it is missing. False when the shell refused the change, or
  // the change right after adding: the icon counts as lost, and the next
  // Ensure adds it again.
  [[nodiscard]] bool Show(HWND window, ConnectionState connection);
  // The window moved to another DPI: the image is loaded again at its size.
  // False when the shell refused the change.
  [[nodiscard]] bool RefreshImage(HWND window);
  // Speaks `language` from now on: the tooltip changes at once when the icon
  // is shown, and the next balloon and menu use it. False when the shell
  // refused the change: the icon counts as lost.
  [[nodiscard]] bool ShowLanguage(Language language);
  // A balloon from the icon, in its language; the shell's quiet hours
  // apply. False when the icon is not shown or the shell refused (the icon
  // then counts as lost).
  [[nodiscard]] bool Notify(TrayBalloon balloon);
  // The shell restarted and forgot the icon: adds it again, whatever became
  // of it before; true when it is back.
  [[nodiscard]] bool OnTaskbarCreated(HWND window, ConnectionState connection);
  // Takes the icon away, whether or not it counts as shown: a shell that
  // refused a change may still show it.
  void Remove();
  // Gives the keyboard focus back to the icon after its menu was dismissed.
  void ReturnFocus();

  bool shown() const { return shown_; }
  // The state the icon was last asked to show, whether or not it could.
  ConnectionState connection() const { return connection_; }
  // The language of its tooltip, balloons and menu.
  Language language() const { return language_; }
  // The shell accepted notify-icon version 4: events arrive in that form.
  bool version4() const { return version4_; }
  const NOTIFYICONDATAW& record() const { return record_; }

 private:
  // NIM_MODIFY of the whole record; a refusal loses the icon.
  bool Modify();
  // Loads the image of the connection shown, at the window's DPI, and
  // modifies the icon.
  bool ChangeImage(HWND window);

  UINT callbackMessage_;
  std::function<BOOL(DWORD message, NOTIFYICONDATAW* record)> shell_;
  NOTIFYICONDATAW record_{};
  // The image at the window's DPI; the shell keeps using it while shown.
  UniqueIcon image_;
  UINT taskbarCreatedMessage_ = 0;
  ConnectionState connection_ = ConnectionState::Disconnected;
  Language language_ = Language::kEnglish;
  bool shown_ = false;
  // The last Ensure added the icon and the shell refused the change after.
  bool addedThenLost_ = false;
  bool version4_ = false;
};

}  // namespace veltrix

#endif  // TRAY_TRAY_ICON_H_
