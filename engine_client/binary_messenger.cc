#include "engine_client/binary_messenger.h"

#include <atomic>
#include <iostream>
#include <memory>
#include <utility>

namespace flutter {
namespace {

// Called by the engine once with the reply to a message sent with a reply
// callback; `user_data` is the heap holder made by Send. Nothing may unwind
// into the engine's C frames, so an escaping exception ends the process.
void ForwardReply(const uint8_t* data, size_t data_size, void* user_data) noexcept {
  std::unique_ptr<ReplyCallback> holder(static_cast<ReplyCallback*>(user_data));
  if (*holder) (*holder)(data, data_size);
}

// Holds the engine's messenger lock for one scope.
class MessengerLock {
 public:
  explicit MessengerLock(FlutterDesktopMessengerRef messenger)
      : locked_(FlutterDesktopMessengerLock(messenger)) {}
  ~MessengerLock() {
    if (locked_ != nullptr) FlutterDesktopMessengerUnlock(locked_);
  }
  MessengerLock(const MessengerLock&) = delete;
  MessengerLock& operator=(const MessengerLock&) = delete;

 private:
  FlutterDesktopMessengerRef locked_;
};

// Called by the engine on the platform thread for every message on a
// channel with a handler; `user_data` points at the stored handler.
void ForwardMessage(FlutterDesktopMessengerRef messenger, const FlutterDesktopMessage* message,
                    void* user_data) noexcept {
  // The reply may come from any thread after the engine is gone, so it keeps
  // the messenger alive through a reference of its own.
  std::shared_ptr<FlutterDesktopMessenger> shared(FlutterDesktopMessengerAddRef(messenger),
                                                  &FlutterDesktopMessengerRelease);
  // One handle, however often the callback is copied: the engine must see
  // each response handle used once.
  auto response = std::make_shared<std::atomic<const FlutterDesktopMessageResponseHandle*>>(
      message->responseHandle);
  ReplyCallback reply = [shared, response](const uint8_t* data, size_t data_size) {
    MessengerLock lock(shared.get());
    if (!FlutterDesktopMessengerIsAvailable(shared.get())) return;  // engine gone
    const FlutterDesktopMessageResponseHandle* handle = response->exchange(nullptr);
    if (handle == nullptr) {
      std::cerr << "Error: Response can be set only once. Ignoring duplicate response."
                << std::endl;
      return;
    }
    FlutterDesktopMessengerSendResponse(shared.get(), handle, data, data_size);
  };
  // A copy, so that a handler which replaces or removes itself while it runs
  // does not destroy the function being executed.
  MessageHandler handler = *static_cast<const MessageHandler*>(user_data);
  handler(message->message, message->messageSize, std::move(reply));
}

}  // namespace

BinaryMessengerImpl::BinaryMessengerImpl(FlutterDesktopMessengerRef messenger)
    : messenger_(messenger) {}

// The engine is shut down before its messenger wrapper goes, so there is no
// one left to unregister from.
BinaryMessengerImpl::~BinaryMessengerImpl() = default;

void BinaryMessengerImpl::Send(const std::string& channel, const uint8_t* message,
                               size_t message_size, ReplyCallback reply) const {
  if (messenger_ == nullptr) return;
  if (!reply) {
    FlutterDesktopMessengerSend(messenger_, channel.c_str(), message, message_size);
    return;
  }
  auto holder = std::make_unique<ReplyCallback>(std::move(reply));
  if (FlutterDesktopMessengerSendWithReply(messenger_, channel.c_str(), message, message_size,
                                           &ForwardReply, holder.get())) {
    holder.release();  // the engine hands it back to ForwardReply exactly once
  }
}

void BinaryMessengerImpl::SetMessageHandler(const std::string& channel, MessageHandler handler) {
  if (!handler) {
    handlers_.erase(channel);
    if (messenger_ != nullptr) {
      FlutterDesktopMessengerSetCallback(messenger_, channel.c_str(), nullptr, nullptr);
    }
    return;
  }
  MessageHandler& stored = handlers_[channel];
  stored = std::move(handler);
  if (messenger_ != nullptr) {
    FlutterDesktopMessengerSetCallback(messenger_, channel.c_str(), &ForwardMessage, &stored);
  }
}

}  // namespace flutter
