#include "standin/ui/engine_link.h"

#include <windows.h>

#include <cstdio>
#include <memory>

#include "standin/environment.h"

namespace veltrix {
namespace {

void CallReply(const uint8_t* reply, size_t size, void* user) {
  std::unique_ptr<ReplyHandler> handler(static_cast<ReplyHandler*>(user));
  (*handler)(reply, size);
}

void CallHandler(const char*, const uint8_t* message, size_t size,
                 const VeltrixUiResponse* response, void* user) {
  auto* handler = static_cast<HostMessageHandler*>(user);
  if (*handler) (*handler)(message, size, response);
}

}  // namespace

HINSTANCE ModuleInstance() {
  return standin::ModuleContaining(reinterpret_cast<const void*>(&ModuleInstance));
}

void EngineLink::Detach() {
  services_ = nullptr;
  handler_ = nullptr;
}

bool EngineLink::Send(const char* channel, const std::vector<uint8_t>& message,
                      ReplyHandler reply) {
  if (services_ == nullptr) return false;
  auto* owned = reply ? new ReplyHandler(std::move(reply)) : nullptr;
  bool sent = services_->send(services_->engine, channel, message.data(), message.size(),
                              owned != nullptr ? &CallReply : nullptr, owned);
  if (!sent) delete owned;
  return sent;
}

void EngineLink::SetHandler(const char* channel, HostMessageHandler handler) {
  if (services_ == nullptr) return;
  handler_ = std::move(handler);
  services_->setMessageHandler(services_->engine, channel, handler_ ? &CallHandler : nullptr,
                               &handler_);
}

void EngineLink::Respond(const VeltrixUiResponse* response, const std::vector<uint8_t>& reply) {
  if (services_ == nullptr) return;
  services_->respond(services_->engine, response, reply.data(), reply.size());
}

void EngineLink::RequestFrame() {
  if (services_ != nullptr) services_->requestFrame(services_->engine);
}

void EngineLink::SetTopLevelWindowHook(VeltrixUiWindowHook hook, void* user) {
  if (services_ != nullptr) services_->setTopLevelWindowHook(services_->engine, hook, user);
}

void EngineLink::Record(const std::string& line) {
  if (services_ != nullptr) {
    services_->recordTranscript(services_->engine, line.c_str());
  } else {
    // The engine has gone (the module outlives it by a little): straight
    // to the file.
    standin::AppendToTranscriptFile(line);
  }
}

}  // namespace veltrix
