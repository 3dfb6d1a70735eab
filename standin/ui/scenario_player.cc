#include "standin/ui/scenario_player.h"

#include <string_view>
#include <utility>
#include <vector>

#include "base/utf.h"
#include "standin/environment.h"
#include "win32/last_error.h"
#include "win32/system_paths.h"
#include "win32/unique_handle.h"
#include "window/window_messages.h"

namespace veltrix {
namespace {

constexpr wchar_t kPlayerClass[] = L"VELTRIX_STANDIN_UI_PLAYER";
// Nobody listens here: its empty reply comes back after every piece of
// work queued before it, a frame included.
constexpr char kFrameMarkerChannel[] = "veltrix/standin-ui/frame-marker";

constexpr UINT_PTR kStepTimer = 1;
constexpr UINT_PTR kStuckTimer = 2;
constexpr UINT kStepIntervalMs = 10;
constexpr UINT kStuckAfterMs = 10000;
constexpr uint64_t kReplyTimeoutMs = 10000;
// A click on a greyed entry leaves the menu open; it is closed after this.
constexpr uint64_t kMenuCloseTimeoutMs = 1000;

// The Save As dialog's file name box: a combo box on current systems, an
// edit box on older templates.
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

bool HasClass(HWND window, const wchar_t* className) {
  wchar_t name[64] = {};
  return ::GetClassNameW(window, name, 64) > 0 && ::lstrcmpW(name, className) == 0;
}

// The top-level windows of this thread with that class, in z-order.
std::vector<HWND> ThreadWindows(const wchar_t* className, bool visibleOnly) {
  struct Search {
    const wchar_t* className;
    bool visibleOnly;
    std::vector<HWND> found;
  } search{className, visibleOnly, {}};
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM context) -> BOOL {
        auto* search = reinterpret_cast<Search*>(context);
        if (HasClass(window, search->className) &&
            (!search->visibleOnly || ::IsWindowVisible(window))) {
          search->found.push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND HostWindow() {
  std::vector<HWND> windows = ThreadWindows(kWindowClassName, false);
  return windows.empty() ? nullptr : windows.front();
}

HWND FileNameBox(HWND dialog) {
  HWND box = ::GetDlgItem(dialog, kFileNameCombo);
  return box != nullptr ? box : ::GetDlgItem(dialog, kFileNameEdit);
}

// The Save As dialog, whatever language its title is in: the dialog box
// with a file name box that the host's window owns. Its "replace?" prompt is
// owned by the dialog itself.
HWND SaveDialog() {
  HWND host = HostWindow();
  for (HWND dialog : ThreadWindows(L"#32770", true)) {
    if (host != nullptr && ::GetWindow(dialog, GW_OWNER) == host &&
        FileNameBox(dialog) != nullptr) {
      return dialog;
    }
  }
  return nullptr;
}

void PostCommand(HWND dialog, int id) {
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

std::vector<MenuEntry> MenuEntries(HMENU menu) {
  std::vector<MenuEntry> entries;
  int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MenuEntry entry;
    UINT state = ::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    if (state & MF_SEPARATOR) {
      entry.flags = kMenuEntrySeparator;
    } else {
      if (state & (MF_GRAYED | MF_DISABLED)) entry.flags = kMenuEntryDisabled;
      wchar_t text[256] = {};
      ::GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
      entry.text = Utf16ToUtf8(text).value_or("");
    }
    UINT id = ::GetMenuItemID(menu, i);
    entry.id = id == static_cast<UINT>(-1) ? 0 : id;
    entries.push_back(std::move(entry));
  }
  return entries;
}

// A click as the menu's own tracking loop reads it: Wine takes the point of
// a mouse message in menu mode as screen coordinates.
void ClickMenuItem(HWND menuWindow, HMENU menu, int position) {
  RECT rect{};
  if (!::GetMenuItemRect(nullptr, menu, static_cast<UINT>(position), &rect)) return;
  LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  ::PostMessageW(menuWindow, WM_MOUSEMOVE, 0, point);
  ::PostMessageW(menuWindow, WM_LBUTTONDOWN, MK_LBUTTON, point);
  ::PostMessageW(menuWindow, WM_LBUTTONUP, 0, point);
}

// The message of a "send" or "post" step, or of a step that names one.
UINT WindowMessage(const ScenarioStep& step) {
  switch (step.kind) {
    case StepKind::kClose:
      return WM_CLOSE;
    case StepKind::kFontChange:
      return WM_FONTCHANGE;
    case StepKind::kQueryEndSession:
      return WM_QUERYENDSESSION;
    case StepKind::kEndSession:
      return WM_ENDSESSION;
    case StepKind::kTray:
      return kTrayCallbackMessage;
    default:
      return static_cast<UINT>(step.message);
  }
}

std::string RegistryLine(const ScenarioStep& step) {
  UniqueRegistryKey key;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, Utf8ToUtf16(step.text).value_or(L"").c_str(), 0,
                      KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS) {
    return "reg absent";
  }
  std::wstring name = Utf8ToUtf16(step.valueName).value_or(L"");
  DWORD type = 0;
  DWORD size = 0;
  if (::RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, nullptr, &size) !=
      ERROR_SUCCESS) {
    return "reg absent";
  }
  std::vector<uint8_t> data(size);
  if (::RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, data.data(), &size) !=
      ERROR_SUCCESS) {
    return "reg absent";
  }
  data.resize(size);
  return "reg " + std::to_string(type) + " " + LowerHex(data);
}

// Starts the program again, as a user would, and waits for that copy to
// end. Meanwhile this copy answers only what is sent to its thread (the
// second copy's request to show the window); anything posted waits for the
// step to end. "start exit <code>", or "start timeout".
std::string StartSecondCopy(const std::string& arguments) {
  const Win32Result<std::wstring> program = RunningModulePath();
  if (!program) return "start failed";
  std::wstring commandLine = L"\"" + *program + L"\" " + Utf8ToUtf16(arguments).value_or(L"");
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(program->c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
    return "start failed";
  }
  UniqueKernelHandle processHandle(process.hProcess);
  UniqueKernelHandle threadHandle(process.hThread);
  const HANDLE running = processHandle.Get();
  const auto deadline = ::GetTickCount64() + 10000;
  for (;;) {
    const auto now = ::GetTickCount64();
    const DWORD wait = now >= deadline ? WAIT_TIMEOUT
                                       : ::MsgWaitForMultipleObjects(
                                             1, &running, FALSE, static_cast<DWORD>(deadline - now),
                                             QS_SENDMESSAGE);
    if (wait == WAIT_OBJECT_0) break;
    if (wait != WAIT_OBJECT_0 + 1) return "start timeout";
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  DWORD code = 0;
  ::GetExitCodeProcess(processHandle.Get(), &code);
  return "start exit " + std::to_string(code);
}

std::string RectWords(const RECT& rect) {
  return std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
         std::to_string(rect.right - rect.left) + " " + std::to_string(rect.bottom - rect.top);
}

MONITORINFO MonitorNear(const RECT& rect) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  ::GetMonitorInfoW(::MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &monitor);
  return monitor;
}

// "placement <x> <y> <width> <height> maximized=<0|1> work <x> <y> <width>
// <height>": where the window goes when restored, on the screen, and the work
// area of the monitor nearest to that.
std::string PlacementLine(HWND host) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  if (!::GetWindowPlacement(host, &placement)) {
    return "placement failed " + std::to_string(LastError().code);
  }
  RECT normal = placement.rcNormalPosition;
  // Unless it is a tool window, that rectangle is in workspace coordinates:
  // they start at the top left of its monitor's work area, not of the monitor.
  if ((::GetWindowLongPtrW(host, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) == 0) {
    const MONITORINFO monitor = MonitorNear(normal);
    ::OffsetRect(&normal, monitor.rcWork.left - monitor.rcMonitor.left,
                 monitor.rcWork.top - monitor.rcMonitor.top);
  }
  const bool maximized = placement.showCmd == SW_SHOWMAXIMIZED || ::IsZoomed(host);
  return "placement " + RectWords(normal) + " maximized=" + (maximized ? "1" : "0") + " work " +
         RectWords(MonitorNear(normal).rcWork);
}

void ReleaseScreenDc(HDC dc) { ::ReleaseDC(nullptr, dc); }
void DeleteDcHandle(HDC dc) { ::DeleteDC(dc); }
void DeleteBitmapHandle(HBITMAP bitmap) { ::DeleteObject(bitmap); }

// The whole virtual screen as a 24-bit bottom-up BMP file: "snapshot", or
// "snapshot failed <error>".
std::string SnapshotLine(const std::wstring& path) {
  const auto failed = [] { return "snapshot failed " + std::to_string(LastError().code); };
  const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: the bottom row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  // Rows are padded to whole 32-bit words.
  info.bmiHeader.biSizeImage = (static_cast<DWORD>(width) * 3 + 3) / 4 * 4 * height;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
  file.bfSize = file.bfOffBits + info.bmiHeader.biSizeImage;

  // The bitmap outlives the memory DC it is selected into.
  UniqueHandle<HDC, ReleaseScreenDc> screen(::GetDC(nullptr));
  if (!screen || width <= 0 || height <= 0) return failed();
  void* bits = nullptr;
  UniqueHandle<HBITMAP, DeleteBitmapHandle> bitmap(
      ::CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) return failed();
  UniqueHandle<HDC, DeleteDcHandle> memory(::CreateCompatibleDC(screen.Get()));
  if (!memory || ::SelectObject(memory.Get(), bitmap.Get()) == nullptr ||
      !::BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), left, top, SRCCOPY | CAPTUREBLT)) {
    return failed();
  }
  ::GdiFlush();

  UniqueKernelHandle out(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out) return failed();
  for (const auto& [data, size] : {std::pair<const void*, DWORD>(&file, sizeof(file)),
                                   {&info.bmiHeader, sizeof(info.bmiHeader)},
                                   {bits, info.bmiHeader.biSizeImage}}) {
    DWORD written = 0;
    if (!::WriteFile(out.Get(), data, size, &written, nullptr) || written != size) return failed();
  }
  return "snapshot";
}

}  // namespace

ScenarioPlayer::ScenarioPlayer(EngineLink& link, Scenario scenario)
    : link_(link),
      scenario_(std::move(scenario)),
      hex_(standin::EnvironmentValue(L"VELTRIX_E2E_HEX") == L"1") {}

ScenarioPlayer::~ScenarioPlayer() {
  if (window_ != nullptr) ::DestroyWindow(window_);
}

void ScenarioPlayer::Start() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &WindowProc;
  windowClass.hInstance = ModuleInstance();
  windowClass.lpszClassName = kPlayerClass;
  ::RegisterClassExW(&windowClass);  // fails harmlessly when already there
  window_ = ::CreateWindowExW(0, kPlayerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              ModuleInstance(), this);
  if (window_ == nullptr) {
    Record("scenario-error no player window");
    return;
  }
  link_.SetHandler(kDesktopChannelName,
                   [this](const uint8_t* message, size_t size, const VeltrixUiResponse* response) {
                     Record("host-call " + Words(true, message, size));
                     if (hostCallAnswer_) link_.Respond(response, *hostCallAnswer_);
                   });
  ::SetTimer(window_, kStepTimer, kStepIntervalMs, nullptr);
}

void ScenarioPlayer::Stop() {
  stopped_ = true;
  if (!watched_.empty()) link_.SetTopLevelWindowHook(nullptr, nullptr);
  if (window_ != nullptr) {
    ::DestroyWindow(window_);
    window_ = nullptr;
  }
}

LRESULT CALLBACK ScenarioPlayer::WindowProc(HWND window, UINT message, WPARAM wparam,
                                            LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* player = reinterpret_cast<ScenarioPlayer*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_TIMER && player != nullptr) {
    switch (wparam) {
      case kStepTimer:
        player->OnStepTimer();
        return 0;
      case kStuckTimer:
        player->OnStuckTimer();
        return 0;
      default:
        break;
    }
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

bool ScenarioPlayer::OnTopLevelMessage(HWND, UINT message, WPARAM, LPARAM, LRESULT*, void* user) {
  auto* player = static_cast<ScenarioPlayer*>(user);
  auto found = player->watched_.find(message);
  if (!player->stopped_ && found != player->watched_.end()) {
    player->Record("offered " + found->second);
  }
  return false;
}

std::string ScenarioPlayer::Words(bool call, const uint8_t* data, size_t size) const {
  if (hex_) return size == 0 && !call ? "empty" : LowerHex({data, size});
  return call ? CallWords(data, size) : ReplyWords(data, size);
}

void ScenarioPlayer::OnStepTimer() {
  // Menus and dialogs are answered first, also while a step is running
  // (the step may be what opened them).
  DriveNativeUi();
  if (inStep_ || finished_ || stopped_) return;
  // A clicked entry closes its menu before anything else happens.
  if (clickedMenu_ != nullptr) return;
  if (wait_ == Wait::kReply || wait_ == Wait::kFrame) {
    if (::GetTickCount64() < deadline_) return;
    Record(wait_ == Wait::kReply ? "reply timeout" : "frame timeout");
    wait_ = Wait::kNone;
    waitingFor_ = 0;
  } else if (wait_ == Wait::kPump) {
    if (::GetTickCount64() < deadline_) return;
    wait_ = Wait::kNone;
  }
  Advance();
}

void ScenarioPlayer::Advance() {
  if (inStep_ || finished_ || stopped_ || wait_ != Wait::kNone) return;
  if (!scenario_.error.empty()) {
    Record("scenario-error " + scenario_.error);
    Finish();
    return;
  }
  if (next_ >= scenario_.steps.size()) {
    Finish();
    return;
  }
  const ScenarioStep& step = scenario_.steps[next_++];
  inStep_ = true;
  Execute(step);
  inStep_ = false;
  // The step may have ended the host, and the engine with it.
  if (stopped_) return;
  if (wait_ == Wait::kNone) StepDone();
}

void ScenarioPlayer::StepDone() {
  if (next_ >= scenario_.steps.size()) Finish();
}

void ScenarioPlayer::Execute(const ScenarioStep& step) {
  switch (step.kind) {
    case StepKind::kCall: {
      uint64_t call = ++lastTicket_;
      wait_ = Wait::kReply;
      waitingFor_ = call;
      deadline_ = ::GetTickCount64() + kReplyTimeoutMs;
      bool sent = link_.Send(
          kDesktopChannelName, step.bytes,
          [this, call](const uint8_t* reply, size_t size) { OnReply(call, reply, size); });
      if (!sent) {
        wait_ = Wait::kNone;
        Record("reply unsent");
      }
      break;
    }
    case StepKind::kFrame: {
      uint64_t frame = ++lastTicket_;
      wait_ = Wait::kFrame;
      waitingFor_ = frame;
      deadline_ = ::GetTickCount64() + kReplyTimeoutMs;
      link_.RequestFrame();
      bool sent = link_.Send(kFrameMarkerChannel, {},
                             [this, frame](const uint8_t*, size_t) { OnFrameMarker(frame); });
      if (!sent) {
        wait_ = Wait::kNone;
        Record("frame unsent");
      }
      break;
    }
    case StepKind::kState: {
      HWND host = HostWindow();
      bool exists = host != nullptr && ::IsWindow(host);
      Record(std::string("state exists=") + (exists ? "1" : "0") +
             " visible=" + (exists && ::IsWindowVisible(host) ? "1" : "0") +
             " iconic=" + (exists && ::IsIconic(host) ? "1" : "0"));
      break;
    }
    case StepKind::kSend:
    case StepKind::kClose:
    case StepKind::kFontChange:
    case StepKind::kQueryEndSession:
    case StepKind::kEndSession: {
      LRESULT result =
          ::SendMessageW(HostWindow(), WindowMessage(step), static_cast<WPARAM>(step.wparam),
                         static_cast<LPARAM>(step.lparam));
      // Written even when the message ended the host: the transcript file
      // is still there after the engine.
      Record("result " + std::to_string(static_cast<long long>(result)));
      break;
    }
    case StepKind::kPost:
    case StepKind::kTray: {
      BOOL posted =
          ::PostMessageW(HostWindow(), WindowMessage(step), static_cast<WPARAM>(step.wparam),
                         static_cast<LPARAM>(step.lparam));
      Record(posted ? "posted 1" : "posted 0");
      break;
    }
    case StepKind::kMinimize:
      ::ShowWindow(HostWindow(), SW_MINIMIZE);
      Record("minimized");
      break;
    case StepKind::kPlacement:
      Record(PlacementLine(HostWindow()));
      break;
    case StepKind::kMove:
      Record(::SetWindowPos(HostWindow(), nullptr, static_cast<int>(step.box[0]),
                            static_cast<int>(step.box[1]), static_cast<int>(step.box[2]),
                            static_cast<int>(step.box[3]), SWP_NOZORDER | SWP_NOACTIVATE)
                 ? "moved"
                 : "move failed " + std::to_string(LastError().code));
      break;
    case StepKind::kSnapshot:
      Record(SnapshotLine(Utf8ToUtf16(step.text).value_or(L"")));
      break;
    case StepKind::kPump:
      wait_ = Wait::kPump;
      deadline_ = ::GetTickCount64() + static_cast<uint64_t>(step.message);
      break;
    case StepKind::kDialogSave:
      dialogAnswer_ = DialogAnswer::kSave;
      dialogPath_ = Utf8ToUtf16(step.text).value_or(L"");
      break;
    case StepKind::kDialogCancel:
      dialogAnswer_ = DialogAnswer::kCancel;
      break;
    case StepKind::kMenuChoose:
      menuAnswer_ = MenuAnswer::kChoose;
      menuChoice_ = static_cast<unsigned>(step.message);
      break;
    case StepKind::kMenuDismiss:
      menuAnswer_ = MenuAnswer::kDismiss;
      break;
    case StepKind::kReg:
      Record(RegistryLine(step));
      break;
    case StepKind::kAnswer:
      hostCallAnswer_.reset();
      if (step.message != 0) hostCallAnswer_ = step.bytes;
      break;
    case StepKind::kStart:
      Record(StartSecondCopy(step.text));
      break;
    case StepKind::kWatch:
      if (watched_.empty()) link_.SetTopLevelWindowHook(&OnTopLevelMessage, this);
      watched_[static_cast<UINT>(step.message)] = step.text;
      break;
  }
}

void ScenarioPlayer::OnReply(uint64_t call, const uint8_t* reply, size_t size) {
  if (stopped_) return;
  std::string words = Words(false, reply, size);
  if (wait_ != Wait::kReply || call != waitingFor_) {
    // Its step gave up waiting (a dialog held the call open, say).
    Record("late-reply " + words);
    return;
  }
  Record("reply " + words);
  wait_ = Wait::kNone;
  waitingFor_ = 0;
  if (inStep_) return;
  if (next_ >= scenario_.steps.size()) {
    Finish();
  } else if (scenario_.steps[next_].kind == StepKind::kCall) {
    // Calls in a row go out back to back, before the window messages the
    // last one posted: a second "quit" reaches the host before the first
    // one has closed it.
    Advance();
  }
}

void ScenarioPlayer::OnFrameMarker(uint64_t frame) {
  if (stopped_ || wait_ != Wait::kFrame || frame != waitingFor_) return;
  Record("frame");
  wait_ = Wait::kNone;
  waitingFor_ = 0;
  if (!inStep_) StepDone();
}

void ScenarioPlayer::Finish() {
  if (finished_) return;
  finished_ = true;
  Record("end");
  if (window_ != nullptr) ::SetTimer(window_, kStuckTimer, kStuckAfterMs, nullptr);
}

void ScenarioPlayer::OnStuckTimer() {
  if (window_ != nullptr) ::KillTimer(window_, kStuckTimer);
  HWND host = HostWindow();
  if (host == nullptr || !::IsWindow(host)) return;
  Record("stuck");
  ::TerminateProcess(::GetCurrentProcess(), 3);
}

void ScenarioPlayer::DriveNativeUi() {
  if (inDriver_ || stopped_) return;
  inDriver_ = true;
  DriveDialog();
  if (!stopped_) DriveMenu();
  inDriver_ = false;
}

void ScenarioPlayer::DriveDialog() {
  HWND dialog = SaveDialog();
  if (confirmPrompts_) {
    if (dialog == nullptr) {
      confirmPrompts_ = false;
    } else {
      // "Replace it?" and the like: a second dialog box over the first.
      for (HWND box : ThreadWindows(L"#32770", true)) {
        if (box == dialog || FileNameBox(box) != nullptr) continue;
        PostCommand(box, ::GetDlgItem(box, IDYES) != nullptr ? IDYES : IDOK);
      }
    }
  }
  if (dialogAnswer_ == DialogAnswer::kNone || dialog == nullptr || !::IsWindowEnabled(dialog)) {
    return;
  }
  if (dialogAnswer_ == DialogAnswer::kCancel) {
    dialogAnswer_ = DialogAnswer::kNone;
    PostCommand(dialog, IDCANCEL);
    Record("dialog cancel");
    return;
  }
  dialogAnswer_ = DialogAnswer::kNone;
  ::SetWindowTextW(FileNameBox(dialog), dialogPath_.c_str());
  PostCommand(dialog, IDOK);
  confirmPrompts_ = true;
  Record("dialog save");
}

void ScenarioPlayer::DriveMenu() {
  std::vector<HWND> menus = ThreadWindows(L"#32768", true);
  if (clickedMenu_ != nullptr) {
    bool open = false;
    for (HWND menu : menus) open = open || menu == clickedMenu_;
    if (!open) {
      clickedMenu_ = nullptr;
    } else if (::GetTickCount64() - clickedAt_ >= kMenuCloseTimeoutMs) {
      clickedMenu_ = nullptr;
      ::EndMenu();
      Record("menu dismiss");
    }
    return;
  }
  if (menuAnswer_ == MenuAnswer::kNone || menus.empty()) return;
  HWND menuWindow = menus.front();
  auto menu = reinterpret_cast<HMENU>(::SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
  if (menu == nullptr) return;
  std::vector<MenuEntry> entries = MenuEntries(menu);
  Record(MenuItemsLine(entries));
  MenuAnswer answer = std::exchange(menuAnswer_, MenuAnswer::kNone);
  int position = -1;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].flags != kMenuEntrySeparator && entries[i].id == menuChoice_) {
      position = static_cast<int>(i);
    }
  }
  if (answer == MenuAnswer::kDismiss || position < 0) {
    ::EndMenu();
    Record("menu dismiss");
    return;
  }
  ClickMenuItem(menuWindow, menu, position);
  clickedMenu_ = menuWindow;
  clickedAt_ = ::GetTickCount64();
  Record("menu " + std::to_string(menuChoice_));
}

}  // namespace veltrix
