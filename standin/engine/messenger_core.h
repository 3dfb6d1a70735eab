#ifndef STANDIN_ENGINE_MESSENGER_CORE_H_
#define STANDIN_ENGINE_MESSENGER_CORE_H_

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine_client/engine_api.h"
#include "standin/ui_module_api.h"

namespace veltrix::standin {

// The two ends of every channel: the host program and the UI module.
enum class Side { kHost, kUi };

// Where the reply to one message goes. Both sides' reply callbacks have the
// same shape.
struct ReplyTarget {
  Side side = Side::kHost;
  void (*callback)(const uint8_t* data, size_t size, void* user) = nullptr;
  void* user = nullptr;
};

// The engine's messenger: channel handlers of both sides, the queue of
// messages, replies and frames waiting for the platform thread, and the
// once-only response handles. Reference counted, so that a reply from
// another thread can still lock it and find it unavailable after the engine
// has gone.
class MessengerCore {
 public:
  MessengerCore();  // one reference, the engine's

  MessengerCore(const MessengerCore&) = delete;
  MessengerCore& operator=(const MessengerCore&) = delete;

  static MessengerCore* FromHandle(FlutterDesktopMessengerRef handle) {
    return reinterpret_cast<MessengerCore*>(handle);
  }
  FlutterDesktopMessengerRef handle() { return reinterpret_cast<FlutterDesktopMessengerRef>(this); }

  void AddRef();
  void Release();

  // The engine's messenger lock, held by a replying thread around the
  // availability test and the response.
  void Lock() { engineLock_.lock(); }
  void Unlock() { engineLock_.unlock(); }
  bool IsAvailable() const { return available_.load(); }
  // The thread that made the engine, which runs its queue.
  bool OnPlatformThread() const { return std::this_thread::get_id() == platformThread_; }

  // Held around every call from the queue into the host: a host that ends
  // the engine while one is on the stack would pull a real engine's frames
  // from under it.
  class HostCallback {
   public:
    explicit HostCallback(MessengerCore& core) : core_(core) { ++core_.hostCallbackDepth_; }
    ~HostCallback() { --core_.hostCallbackDepth_; }
    HostCallback(const HostCallback&) = delete;
    HostCallback& operator=(const HostCallback&) = delete;

   private:
    MessengerCore& core_;
  };
  bool InHostCallback() const { return hostCallbackDepth_ > 0; }

  // `wake` is called, from any thread and with an internal lock held, each
  // time work is queued; it must only arrange for RunPending to run soon.
  void SetWake(std::function<void()> wake);
  // Produces one frame; run from the queue.
  void SetFrameHandler(std::function<void()> frame);

  // Queues `message` for the other side's handler of `channel`. A reply
  // target with a callback is answered exactly once, by the receiver or with
  // an empty reply when there is no handler. False when the engine is
  // stopping or the channel is missing; nothing is queued then.
  bool Send(Side from, const char* channel, const uint8_t* message, size_t size, ReplyTarget reply);
  void SetHostHandler(const char* channel, FlutterDesktopMessageCallback callback, void* user);
  void SetUiHandler(const char* channel, VeltrixUiMessageHandler handler, void* user);
  // Answers the message with `response`, once; a used or unknown response
  // is a fault and answers nothing. False, and nothing done, when the engine
  // has stopped. Any thread.
  bool Respond(uintptr_t response, const uint8_t* data, size_t size);
  void ScheduleFrame();

  // Runs queued work on the calling (platform) thread until the queue is
  // empty; the number of items run.
  size_t RunPending();

  // The engine is ending: nothing is delivered any more, replies still owed
  // to the host are answered empty (so its holders are freed), everything
  // owed to the UI module is dropped.
  void Shutdown();

 private:
  struct Handler {
    FlutterDesktopMessageCallback host = nullptr;
    VeltrixUiMessageHandler ui = nullptr;
    void* user = nullptr;
  };
  struct Task {
    enum class Kind { kMessage, kReply, kFrame } kind = Kind::kFrame;
    Side to = Side::kHost;  // message: the receiving side
    std::string channel;
    std::vector<uint8_t> bytes;
    uintptr_t response = 0;  // message: its response handle
    ReplyTarget reply;       // reply: where it goes
  };

  ~MessengerCore() = default;
  void Enqueue(Task task);  // with mutex_ held
  void Run(Task& task);
  void Deliver(Task& task);
  // Takes the reply target of `response` out of the table, if it is there.
  bool TakeResponse(uintptr_t response, ReplyTarget* target);
  // Calls the reply callback, if the sender gave one.
  void CallReply(const ReplyTarget& target, const uint8_t* data, size_t size);

  std::atomic<int> references_{1};
  std::atomic<bool> available_{true};
  std::mutex engineLock_;
  const std::thread::id platformThread_ = std::this_thread::get_id();
  int hostCallbackDepth_ = 0;  // platform thread only

  std::mutex mutex_;  // everything below
  std::function<void()> wake_;
  std::function<void()> frame_;
  std::map<std::string, Handler> hostHandlers_;
  std::map<std::string, Handler> uiHandlers_;
  // Every message not answered yet, also those sent without a reply
  // callback, so that answering any of them twice is seen.
  std::map<uintptr_t, ReplyTarget> pending_;
  std::deque<Task> queue_;
};

}  // namespace veltrix::standin

#endif  // STANDIN_ENGINE_MESSENGER_CORE_H_
