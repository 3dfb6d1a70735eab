#ifndef ENGINE_CLIENT_BINARY_MESSENGER_H_
#define ENGINE_CLIENT_BINARY_MESSENGER_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "engine_client/engine_api.h"

namespace flutter {

// Answers one message: (reply bytes, byte count); null and 0 for an empty
// reply. The same type as the method result's reply callback.
using ReplyCallback = std::function<void(const uint8_t* reply, size_t reply_size)>;

// Receives the messages of one channel together with their reply callback.
using MessageHandler =
    std::function<void(const uint8_t* message, size_t message_size, ReplyCallback reply)>;

// Byte messages on named channels.
class BinaryMessenger {
 public:
  BinaryMessenger() = default;
  virtual ~BinaryMessenger() = default;

  BinaryMessenger(const BinaryMessenger&) = delete;
  BinaryMessenger& operator=(const BinaryMessenger&) = delete;

  // Without `reply` nothing comes back; with one it is called once, later.
  virtual void Send(const std::string& channel, const uint8_t* message, size_t message_size,
                    ReplyCallback reply = nullptr) const = 0;
  // An empty handler unregisters the channel.
  virtual void SetMessageHandler(const std::string& channel, MessageHandler handler) = 0;
};

// The messenger over the engine's messenger handle.
class BinaryMessengerImpl : public BinaryMessenger {
 public:
  // `messenger` is not owned; it stays valid while the engine lives. A null
  // handle (no engine) makes every operation do nothing.
  explicit BinaryMessengerImpl(FlutterDesktopMessengerRef messenger);
  ~BinaryMessengerImpl() override;

  void Send(const std::string& channel, const uint8_t* message, size_t message_size,
            ReplyCallback reply = nullptr) const override;
  void SetMessageHandler(const std::string& channel, MessageHandler handler) override;

 private:
  FlutterDesktopMessengerRef messenger_;
  // The engine keeps a pointer to each stored handler, so they live in map
  // nodes, whose addresses never move.
  std::map<std::string, MessageHandler> handlers_;
};

}  // namespace flutter

#endif  // ENGINE_CLIENT_BINARY_MESSENGER_H_
