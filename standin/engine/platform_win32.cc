// Windows: a message-only window runs the messenger's queue from the
// platform thread's message loop, the view is a child window of its own
// class, and the UI module is a DLL loaded from the project.
#include <windows.h>

#include <cstdio>
#include <mutex>
#include <string>

#include "standin/engine/engine.h"
#include "standin/engine/messenger_core.h"
#include "standin/engine/platform.h"
#include "standin/environment.h"
#include "win32/system_paths.h"
#include "win32/unique_handle.h"

namespace veltrix::standin {
namespace {

constexpr wchar_t kQueueClass[] = L"VELTRIX_STANDIN_ENGINE_QUEUE";
constexpr wchar_t kViewClass[] = L"VELTRIX_STANDIN_ENGINE_VIEW";
constexpr wchar_t kParkingClass[] = L"VELTRIX_STANDIN_ENGINE_PARKING";
constexpr UINT kRunPendingMessage = WM_APP + 1;

HINSTANCE ThisModule() { return ModuleContaining(reinterpret_cast<const void*>(&ThisModule)); }

LRESULT CALLBACK QueueProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kRunPendingMessage) {
    // The messenger, not the engine: the engine may end inside a task.
    auto* messenger = reinterpret_cast<MessengerCore*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (messenger != nullptr) messenger->RunPending();
    return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

LRESULT CALLBACK ViewProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* engine = reinterpret_cast<Engine*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  LRESULT result = 0;
  if (engine != nullptr && engine->HandleViewWindowProc(window, message, wparam, lparam, &result)) {
    return result;
  }
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      // No UI module: an empty, dark view.
      PAINTSTRUCT paint;
      HDC dc = ::BeginPaint(window, &paint);
      HBRUSH brush = ::CreateSolidBrush(RGB(0x12, 0x14, 0x1C));
      ::FillRect(dc, &paint.rcPaint, brush);
      ::DeleteObject(brush);
      ::EndPaint(window, &paint);
      return 0;
    }
    default:
      return ::DefWindowProcW(window, message, wparam, lparam);
  }
}

void RegisterClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASSEXW queue{};
    queue.cbSize = sizeof(queue);
    queue.lpfnWndProc = &QueueProc;
    queue.hInstance = ThisModule();
    queue.lpszClassName = kQueueClass;
    ::RegisterClassExW(&queue);

    WNDCLASSEXW view{};
    view.cbSize = sizeof(view);
    view.style = CS_HREDRAW | CS_VREDRAW;
    view.lpfnWndProc = &ViewProc;
    view.hInstance = ThisModule();
    view.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    view.lpszClassName = kViewClass;
    ::RegisterClassExW(&view);

    WNDCLASSEXW parking{};
    parking.cbSize = sizeof(parking);
    parking.lpfnWndProc = &::DefWindowProcW;
    parking.hInstance = ThisModule();
    parking.lpszClassName = kParkingClass;
    ::RegisterClassExW(&parking);
  });
}

bool IsRelative(const std::wstring& path) {
  if (path.size() >= 2 && path[1] == L':') return false;
  return path.empty() || (path[0] != L'\\' && path[0] != L'/');
}

// The bundle lies beside the executable, whatever the current folder is.
std::wstring ResolveBesideExecutable(const std::wstring& path) {
  if (!IsRelative(path)) return path;
  const Win32Result<std::wstring> program = RunningModulePath();
  if (!program) return path;
  const std::wstring& exe = *program;
  size_t slash = exe.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return path;
  return exe.substr(0, slash + 1) + path;
}

template <typename Function>
Function ProcAddress(HMODULE module, const char* name) {
  FARPROC address = ::GetProcAddress(module, name);
  return reinterpret_cast<Function>(reinterpret_cast<void (*)(void)>(address));
}

class Win32Platform : public Platform {
 public:
  Win32Platform(Engine* engine, MessengerCore* messenger) : engine_(engine) {
    RegisterClasses();
    queue_ = ::CreateWindowExW(0, kQueueClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               ThisModule(), nullptr);
    if (queue_ != nullptr) {
      ::SetWindowLongPtrW(queue_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(messenger));
      HWND queue = queue_;
      messenger->SetWake([queue] { ::PostMessageW(queue, kRunPendingMessage, 0, 0); });
    }
  }

  ~Win32Platform() override {
    UnloadUiModule();
    if (view_ != nullptr && ::IsWindow(view_)) {
      ::SetWindowLongPtrW(view_, GWLP_USERDATA, 0);
      ::DestroyWindow(view_);
    }
    if (parking_ != nullptr) ::DestroyWindow(parking_);
    if (queue_ != nullptr) {
      ::SetWindowLongPtrW(queue_, GWLP_USERDATA, 0);
      ::DestroyWindow(queue_);
    }
  }

  bool CreateView(int width, int height) override {
    // A child needs a parent until the host adopts it: a hidden one of ours.
    parking_ = ::CreateWindowExW(0, kParkingClass, L"", WS_OVERLAPPED, 0, 0, width, height, nullptr,
                                 nullptr, ThisModule(), nullptr);
    if (parking_ == nullptr) return false;
    view_ = ::CreateWindowExW(0, kViewClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                              width, height, parking_, nullptr, ThisModule(), engine_);
    return view_ != nullptr;
  }

  HWND ViewWindow() const override { return view_; }

  void PaintView() override {
    if (view_ != nullptr && ::IsWindow(view_)) {
      ::RedrawWindow(view_, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
  }

  void LoadUiModule(const std::wstring& path, const VeltrixEngineServices* services) override {
    std::wstring full = ResolveBesideExecutable(path);
    if (::GetFileAttributesW(full.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    module_.Reset(::LoadLibraryExW(full.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!module_) return;
    auto start =
        ProcAddress<VeltrixUiModuleStartFunction>(module_.Get(), VELTRIX_UI_MODULE_START_NAME);
    if (start == nullptr) {
      module_.Reset();
      return;
    }
    start(services);
  }

  void UnloadUiModule() override {
    if (!module_) return;
    auto stop =
        ProcAddress<VeltrixUiModuleStopFunction>(module_.Get(), VELTRIX_UI_MODULE_STOP_NAME);
    if (stop != nullptr) stop();
    module_.Reset();
  }

 private:
  Engine* engine_;
  HWND queue_ = nullptr;
  HWND parking_ = nullptr;
  HWND view_ = nullptr;
  UniqueLibrary module_;
};

std::mutex transcriptMutex;

}  // namespace

std::unique_ptr<Platform> Platform::Create(Engine* engine, MessengerCore* messenger) {
  return std::make_unique<Win32Platform>(engine, messenger);
}

std::wstring MissingDataFile(const FlutterDesktopEngineProperties& properties) {
  for (const wchar_t* path :
       {properties.assetsPath, properties.icuDataPath, properties.aotLibraryPath}) {
    if (path != nullptr &&
        ::GetFileAttributesW(ResolveBesideExecutable(path).c_str()) == INVALID_FILE_ATTRIBUTES) {
      return path;
    }
  }
  return {};
}

bool EnvironmentFlag(const char* name) {
  std::wstring wide(name, name + std::char_traits<char>::length(name));  // ASCII names
  return EnvironmentValue(wide.c_str()) == L"1";
}

void AppendTranscriptLine(const std::string& line) {
  std::lock_guard<std::mutex> lock(transcriptMutex);
  AppendToTranscriptFile(line);
}

UINT DpiForMonitor(HMONITOR monitor) {
  // shcore is not there on every system, so it is looked up, not linked.
  using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const GetDpiForMonitorFunction getDpi = [] {
    HMODULE shcore = ::LoadLibraryW(L"shcore.dll");  // kept for the process
    return shcore != nullptr ? ProcAddress<GetDpiForMonitorFunction>(shcore, "GetDpiForMonitor")
                             : nullptr;
  }();
  constexpr int kEffectiveDpi = 0;
  UINT x = 0;
  UINT y = 0;
  if (getDpi != nullptr && monitor != nullptr &&
      SUCCEEDED(getDpi(monitor, kEffectiveDpi, &x, &y)) && x != 0) {
    return x;
  }
  return 96;
}

}  // namespace veltrix::standin
