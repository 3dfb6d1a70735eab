// The exported functions of the stand-in engine library.
#include <chrono>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <set>
#include <string>

#include <chrono>
#include <thread>

#include "base/utf.h"
#include "engine_client/engine_api.h"
#include "standin/engine/engine.h"
#include "standin/engine/faults.h"
#include "standin/engine/messenger_core.h"
#include "standin/engine/platform.h"
#include "standin/engine/standin_engine.h"

using veltrix::standin::AppendTranscriptLine;
using veltrix::standin::Engine;
using veltrix::standin::EnvironmentFlag;
using veltrix::standin::MessengerCore;
using veltrix::standin::ReplyTarget;
using veltrix::standin::ReportFault;
using veltrix::standin::Side;

namespace {

// A view controller owns its engine; its view is the same object seen
// through the view handle.
struct ViewController {
  Engine* engine;
};

std::mutex liveMutex;
std::set<ViewController*> liveControllers;

void AfterShutdown(const char* function) {
  ReportFault(std::string("call after shutdown: ") + function);
}

void CheckPlatformThread(const MessengerCore& messenger, const char* function) {
  if (!messenger.OnPlatformThread()) {
    ReportFault(std::string("off the platform thread: ") + function);
  }
}

// The checks before a function of the platform thread's own does its work:
// null when the handle is null or already destroyed.
Engine* LiveEngine(FlutterDesktopEngineRef engine, const char* function) {
  if (engine == nullptr) return nullptr;
  if (!Engine::IsLive(engine)) {
    AfterShutdown(function);
    return nullptr;
  }
  Engine* live = Engine::FromHandle(engine);
  CheckPlatformThread(live->messenger(), function);
  return live;
}

// A view handle is its controller seen through another type.
ViewController* LiveController(void* handle, const char* function) {
  if (handle == nullptr) return nullptr;
  auto* live = static_cast<ViewController*>(handle);
  {
    std::lock_guard<std::mutex> lock(liveMutex);
    if (liveControllers.count(live) == 0) {
      AfterShutdown(function);
      return nullptr;
    }
  }
  CheckPlatformThread(live->engine->messenger(), function);
  return live;
}

// The same for a messenger, which outlives its engine while referenced.
MessengerCore* LiveMessenger(FlutterDesktopMessengerRef messenger, const char* function) {
  if (messenger == nullptr) return nullptr;
  MessengerCore* core = MessengerCore::FromHandle(messenger);
  if (!core->IsAvailable()) {
    AfterShutdown(function);
    return nullptr;
  }
  CheckPlatformThread(*core, function);
  return core;
}

}  // namespace

extern "C" {

FlutterDesktopEngineRef FlutterDesktopEngineCreate(
    const FlutterDesktopEngineProperties* properties) {
  // The test switch lets the host's "no engine" paths run.
  if (properties == nullptr || EnvironmentFlag("VELTRIX_ENGINE_FAIL_CREATE")) return nullptr;
  if (const std::wstring missing = veltrix::standin::MissingDataFile(*properties);
      !missing.empty()) {
    std::cerr << "stand-in engine: " << veltrix::Utf16ToUtf8(missing).value_or("a data file")
              << " is missing; the engine does not start." << std::endl;
    return nullptr;
  }
  Engine* engine = new Engine(*properties);
  // A start on a busy disk, once the engine has said how it was started.
  if (EnvironmentFlag("VELTRIX_ENGINE_SLOW_START")) {
    std::this_thread::sleep_for(std::chrono::seconds(3));
  }
  return engine->handle();
}

bool FlutterDesktopEngineDestroy(FlutterDesktopEngineRef engine) {
  Engine* live = LiveEngine(engine, __func__);
  if (live == nullptr) return false;
  if (live->messenger().InHostCallback()) {
    ReportFault("engine destroyed inside its own callback");
  }
  delete live;
  return true;
}

FlutterDesktopMessengerRef FlutterDesktopEngineGetMessenger(FlutterDesktopEngineRef engine) {
  Engine* live = LiveEngine(engine, __func__);
  return live != nullptr ? live->messenger().handle() : nullptr;
}

FlutterDesktopPluginRegistrarRef FlutterDesktopEngineGetPluginRegistrar(
    FlutterDesktopEngineRef engine, const char* pluginName) {
  Engine* live = LiveEngine(engine, __func__);
  return live != nullptr ? live->RegistrarFor(pluginName) : nullptr;
}

void FlutterDesktopEngineReloadSystemFonts(FlutterDesktopEngineRef engine) {
  if (Engine* live = LiveEngine(engine, __func__)) live->ReloadSystemFonts();
}

void FlutterDesktopEngineSetNextFrameCallback(FlutterDesktopEngineRef engine,
                                              FlutterDesktopNextFrameCallback callback,
                                              void* userData) {
  if (Engine* live = LiveEngine(engine, __func__)) live->SetNextFrameCallback(callback, userData);
}

FlutterDesktopViewControllerRef FlutterDesktopViewControllerCreate(int width, int height,
                                                                   FlutterDesktopEngineRef engine) {
  Engine* owned = LiveEngine(engine, __func__);
  if (owned == nullptr) return nullptr;
  // Ownership has passed, so a refused view ends the engine here.
  if (EnvironmentFlag("VELTRIX_ENGINE_FAIL_VIEW") || !owned->StartView(width, height)) {
    delete owned;
    return nullptr;
  }
  auto* controller = new ViewController{owned};
  std::lock_guard<std::mutex> lock(liveMutex);
  liveControllers.insert(controller);
  return reinterpret_cast<FlutterDesktopViewControllerRef>(controller);
}

void FlutterDesktopViewControllerDestroy(FlutterDesktopViewControllerRef controller) {
  ViewController* live = LiveController(controller, __func__);
  if (live == nullptr) return;
  if (live->engine->messenger().InHostCallback()) {
    ReportFault("engine destroyed inside its own callback");
  }
  {
    std::lock_guard<std::mutex> lock(liveMutex);
    liveControllers.erase(live);
  }
  delete live->engine;
  delete live;
}

FlutterDesktopViewRef FlutterDesktopViewControllerGetView(
    FlutterDesktopViewControllerRef controller) {
  return reinterpret_cast<FlutterDesktopViewRef>(LiveController(controller, __func__));
}

void FlutterDesktopViewControllerForceRedraw(FlutterDesktopViewControllerRef controller) {
  if (ViewController* live = LiveController(controller, __func__)) live->engine->ForceRedraw();
}

bool FlutterDesktopViewControllerHandleTopLevelWindowProc(
    FlutterDesktopViewControllerRef controller, HWND window, UINT message, WPARAM wparam,
    LPARAM lparam, LRESULT* result) {
  ViewController* live = LiveController(controller, __func__);
  return live != nullptr &&
         live->engine->HandleTopLevelWindowProc(window, message, wparam, lparam, result);
}

HWND FlutterDesktopViewGetHWND(FlutterDesktopViewRef view) {
  ViewController* live = LiveController(view, __func__);
  return live != nullptr ? live->engine->ViewWindow() : nullptr;
}

UINT FlutterDesktopGetDpiForMonitor(HMONITOR monitor) {
  return veltrix::standin::DpiForMonitor(monitor);
}

// After the host reopened the standard streams on a console: this library's
// own stream objects follow the C streams again.
void FlutterDesktopResyncOutputStreams(void) {
  std::fflush(stdout);
  std::fflush(stderr);
  std::ios_base::sync_with_stdio(true);
  std::cout.clear();
  std::cerr.clear();
}

bool FlutterDesktopMessengerSend(FlutterDesktopMessengerRef messenger, const char* channel,
                                 const uint8_t* message, size_t messageSize) {
  MessengerCore* live = LiveMessenger(messenger, __func__);
  return live != nullptr && live->Send(Side::kHost, channel, message, messageSize, ReplyTarget{});
}

bool FlutterDesktopMessengerSendWithReply(FlutterDesktopMessengerRef messenger, const char* channel,
                                          const uint8_t* message, size_t messageSize,
                                          FlutterDesktopBinaryReply reply, void* userData) {
  MessengerCore* live = LiveMessenger(messenger, __func__);
  return live != nullptr && live->Send(Side::kHost, channel, message, messageSize,
                                       ReplyTarget{Side::kHost, reply, userData});
}

// Any thread, but only while the engine lives: a replying thread holds the
// messenger's lock and checks IsAvailable first.
void FlutterDesktopMessengerSendResponse(FlutterDesktopMessengerRef messenger,
                                         const FlutterDesktopMessageResponseHandle* handle,
                                         const uint8_t* data, size_t dataSize) {
  if (messenger == nullptr) return;
  if (!MessengerCore::FromHandle(messenger)->Respond(reinterpret_cast<uintptr_t>(handle), data,
                                                     dataSize)) {
    AfterShutdown(__func__);
  }
}

void FlutterDesktopMessengerSetCallback(FlutterDesktopMessengerRef messenger, const char* channel,
                                        FlutterDesktopMessageCallback callback, void* userData) {
  if (MessengerCore* live = LiveMessenger(messenger, __func__)) {
    live->SetHostHandler(channel, callback, userData);
  }
}

// These five are how a host learns that the engine has gone, from any
// thread: never a fault.
FlutterDesktopMessengerRef FlutterDesktopMessengerAddRef(FlutterDesktopMessengerRef messenger) {
  if (messenger != nullptr) MessengerCore::FromHandle(messenger)->AddRef();
  return messenger;
}

void FlutterDesktopMessengerRelease(FlutterDesktopMessengerRef messenger) {
  if (messenger != nullptr) MessengerCore::FromHandle(messenger)->Release();
}

bool FlutterDesktopMessengerIsAvailable(FlutterDesktopMessengerRef messenger) {
  return messenger != nullptr && MessengerCore::FromHandle(messenger)->IsAvailable();
}

FlutterDesktopMessengerRef FlutterDesktopMessengerLock(FlutterDesktopMessengerRef messenger) {
  if (messenger == nullptr) return nullptr;
  MessengerCore::FromHandle(messenger)->Lock();
  return messenger;
}

void FlutterDesktopMessengerUnlock(FlutterDesktopMessengerRef messenger) {
  if (messenger != nullptr) MessengerCore::FromHandle(messenger)->Unlock();
}

const VeltrixEngineServices* VeltrixStandinEngineServices(FlutterDesktopEngineRef engine) {
  return engine != nullptr ? Engine::FromHandle(engine)->services() : nullptr;
}

void VeltrixStandinRecordPluginRegistration(FlutterDesktopPluginRegistrarRef registrar,
                                            const char* pluginName) {
  if (registrar == nullptr || pluginName == nullptr) return;
  AppendTranscriptLine(std::string("plugin ") + pluginName);
}

void VeltrixStandinRecordTranscript(const char* line) {
  if (line != nullptr) AppendTranscriptLine(line);
}

int VeltrixStandinLiveEngineCount(void) { return Engine::LiveCount(); }

size_t VeltrixStandinFaultCount(void) { return veltrix::standin::FaultCount(); }

size_t VeltrixStandinRunPendingWork(void) { return Engine::RunAllPending(); }

}  // extern "C"
