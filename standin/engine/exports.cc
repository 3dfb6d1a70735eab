// The exported functions of the stand-in engine library.
#include <cstdio>
#include <iostream>
#include <string>

#include "engine_client/engine_api.h"
#include "standin/engine/engine.h"
#include "standin/engine/messenger_core.h"
#include "standin/engine/platform.h"
#include "standin/engine/standin_engine.h"

using veltrix::standin::AppendTranscriptLine;
using veltrix::standin::Engine;
using veltrix::standin::EnvironmentFlag;
using veltrix::standin::MessengerCore;
using veltrix::standin::ReplyTarget;
using veltrix::standin::Side;

namespace {

// A view controller owns its engine; its view is the same object seen
// through the view handle.
struct ViewController {
  Engine* engine;
};

ViewController* ControllerOf(FlutterDesktopViewControllerRef controller) {
  return reinterpret_cast<ViewController*>(controller);
}

}  // namespace

extern "C" {

FlutterDesktopEngineRef FlutterDesktopEngineCreate(
    const FlutterDesktopEngineProperties* properties) {
  // The test switch lets the host's "no engine" paths run.
  if (properties == nullptr || EnvironmentFlag("VELTRIX_ENGINE_FAIL_CREATE")) return nullptr;
  return (new Engine(*properties))->handle();
}

bool FlutterDesktopEngineDestroy(FlutterDesktopEngineRef engine) {
  if (engine == nullptr) return false;
  delete Engine::FromHandle(engine);
  return true;
}

FlutterDesktopMessengerRef FlutterDesktopEngineGetMessenger(FlutterDesktopEngineRef engine) {
  return engine != nullptr ? Engine::FromHandle(engine)->messenger().handle() : nullptr;
}

FlutterDesktopPluginRegistrarRef FlutterDesktopEngineGetPluginRegistrar(
    FlutterDesktopEngineRef engine, const char* pluginName) {
  return engine != nullptr ? Engine::FromHandle(engine)->RegistrarFor(pluginName) : nullptr;
}

void FlutterDesktopEngineReloadSystemFonts(FlutterDesktopEngineRef engine) {
  if (engine != nullptr) Engine::FromHandle(engine)->ReloadSystemFonts();
}

void FlutterDesktopEngineSetNextFrameCallback(FlutterDesktopEngineRef engine,
                                              FlutterDesktopNextFrameCallback callback,
                                              void* userData) {
  if (engine != nullptr) Engine::FromHandle(engine)->SetNextFrameCallback(callback, userData);
}

FlutterDesktopViewControllerRef FlutterDesktopViewControllerCreate(int width, int height,
                                                                   FlutterDesktopEngineRef engine) {
  if (engine == nullptr) return nullptr;
  Engine* owned = Engine::FromHandle(engine);
  // Ownership has passed, so a refused view ends the engine here.
  if (EnvironmentFlag("VELTRIX_ENGINE_FAIL_VIEW") || !owned->StartView(width, height)) {
    delete owned;
    return nullptr;
  }
  return reinterpret_cast<FlutterDesktopViewControllerRef>(new ViewController{owned});
}

void FlutterDesktopViewControllerDestroy(FlutterDesktopViewControllerRef controller) {
  if (controller == nullptr) return;
  ViewController* owned = ControllerOf(controller);
  delete owned->engine;
  delete owned;
}

FlutterDesktopViewRef FlutterDesktopViewControllerGetView(
    FlutterDesktopViewControllerRef controller) {
  return reinterpret_cast<FlutterDesktopViewRef>(controller);
}

void FlutterDesktopViewControllerForceRedraw(FlutterDesktopViewControllerRef controller) {
  if (controller != nullptr) ControllerOf(controller)->engine->ForceRedraw();
}

bool FlutterDesktopViewControllerHandleTopLevelWindowProc(
    FlutterDesktopViewControllerRef controller, HWND window, UINT message, WPARAM wparam,
    LPARAM lparam, LRESULT* result) {
  if (controller == nullptr) return false;
  return ControllerOf(controller)
      ->engine->HandleTopLevelWindowProc(window, message, wparam, lparam, result);
}

HWND FlutterDesktopViewGetHWND(FlutterDesktopViewRef view) {
  if (view == nullptr) return nullptr;
  return reinterpret_cast<ViewController*>(view)->engine->ViewWindow();
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
  if (messenger == nullptr) return false;
  return MessengerCore::FromHandle(messenger)->Send(Side::kHost, channel, message, messageSize,
                                                    ReplyTarget{});
}

bool FlutterDesktopMessengerSendWithReply(FlutterDesktopMessengerRef messenger, const char* channel,
                                          const uint8_t* message, size_t messageSize,
                                          FlutterDesktopBinaryReply reply, void* userData) {
  if (messenger == nullptr) return false;
  return MessengerCore::FromHandle(messenger)->Send(Side::kHost, channel, message, messageSize,
                                                    ReplyTarget{Side::kHost, reply, userData});
}

void FlutterDesktopMessengerSendResponse(FlutterDesktopMessengerRef messenger,
                                         const FlutterDesktopMessageResponseHandle* handle,
                                         const uint8_t* data, size_t dataSize) {
  if (messenger == nullptr) return;
  MessengerCore::FromHandle(messenger)->Respond(reinterpret_cast<uintptr_t>(handle), data,
                                                dataSize);
}

void FlutterDesktopMessengerSetCallback(FlutterDesktopMessengerRef messenger, const char* channel,
                                        FlutterDesktopMessageCallback callback, void* userData) {
  if (messenger != nullptr) {
    MessengerCore::FromHandle(messenger)->SetHostHandler(channel, callback, userData);
  }
}

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

size_t VeltrixStandinRunPendingWork(void) { return Engine::RunAllPending(); }

}  // extern "C"
