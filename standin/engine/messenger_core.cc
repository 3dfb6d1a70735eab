#include "standin/engine/messenger_core.h"

#include <optional>
#include <utility>

#include "standin/engine/faults.h"

namespace veltrix::standin {
namespace {

// Response handles are numbers, never addresses, and unique in the process:
// a stale or foreign handle cannot be mistaken for a live one.
std::atomic<uintptr_t> nextResponse{1};

const uint8_t* DataOrNull(const std::vector<uint8_t>& bytes) {
  return bytes.empty() ? nullptr : bytes.data();
}

}  // namespace

MessengerCore::MessengerCore() = default;

void MessengerCore::AddRef() { references_.fetch_add(1); }

void MessengerCore::Release() {
  if (references_.fetch_sub(1) == 1) delete this;
}

void MessengerCore::SetWake(std::function<void()> wake) {
  std::lock_guard<std::mutex> lock(mutex_);
  wake_ = std::move(wake);
}

void MessengerCore::SetFrameHandler(std::function<void()> frame) {
  std::lock_guard<std::mutex> lock(mutex_);
  frame_ = std::move(frame);
}

void MessengerCore::Enqueue(Task task) {
  queue_.push_back(std::move(task));
  if (wake_) wake_();
}

bool MessengerCore::Send(Side from, const char* channel, const uint8_t* message, size_t size,
                         ReplyTarget reply) {
  if (channel == nullptr || (message == nullptr && size != 0)) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  if (!available_) return false;
  Task task;
  task.kind = Task::Kind::kMessage;
  task.to = from == Side::kHost ? Side::kUi : Side::kHost;
  task.channel = channel;
  task.bytes.assign(message, message + size);
  task.response = nextResponse.fetch_add(1);
  reply.side = from;
  pending_[task.response] = reply;
  Enqueue(std::move(task));
  return true;
}

void MessengerCore::SetHostHandler(const char* channel, FlutterDesktopMessageCallback callback,
                                   void* user) {
  if (channel == nullptr) return;
  std::lock_guard<std::mutex> lock(mutex_);
  if (!available_) return;
  if (callback == nullptr) {
    hostHandlers_.erase(channel);
  } else {
    hostHandlers_[channel] = Handler{callback, nullptr, user};
  }
}

void MessengerCore::SetUiHandler(const char* channel, VeltrixUiMessageHandler handler, void* user) {
  if (channel == nullptr) return;
  std::lock_guard<std::mutex> lock(mutex_);
  if (!available_) return;
  if (handler == nullptr) {
    uiHandlers_.erase(channel);
  } else {
    uiHandlers_[channel] = Handler{nullptr, handler, user};
  }
}

bool MessengerCore::TakeResponse(uintptr_t response, ReplyTarget* target) {
  auto it = pending_.find(response);
  if (it == pending_.end()) return false;
  *target = it->second;
  pending_.erase(it);
  return true;
}

bool MessengerCore::Respond(uintptr_t response, const uint8_t* data, size_t size) {
  if (data == nullptr && size != 0) size = 0;
  std::unique_lock<std::mutex> lock(mutex_);
  if (!available_) return false;
  ReplyTarget target;
  if (!TakeResponse(response, &target)) {
    lock.unlock();
    // Handles are handed out in order, so a lower one was answered before.
    ReportFault(response != 0 && response < nextResponse.load() ? "response answered twice"
                                                                : "response handle unknown");
    return true;
  }
  if (target.callback == nullptr) return true;  // the sender wants no reply
  Task task;
  task.kind = Task::Kind::kReply;
  task.bytes.assign(data, data + size);
  task.reply = target;
  Enqueue(std::move(task));
  return true;
}

void MessengerCore::ScheduleFrame() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!available_) return;
  Enqueue(Task{});
}

size_t MessengerCore::RunPending() {
  size_t count = 0;
  AddRef();  // the engine may end inside one of the tasks
  for (;;) {
    Task task;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (queue_.empty()) break;
      task = std::move(queue_.front());
      queue_.pop_front();
    }
    Run(task);
    ++count;
  }
  Release();
  return count;
}

void MessengerCore::Run(Task& task) {
  switch (task.kind) {
    case Task::Kind::kMessage:
      Deliver(task);
      break;
    case Task::Kind::kReply:
      CallReply(task.reply, DataOrNull(task.bytes), task.bytes.size());
      break;
    case Task::Kind::kFrame: {
      std::function<void()> frame;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        frame = frame_;
      }
      if (frame) frame();
      break;
    }
  }
}

void MessengerCore::Deliver(Task& task) {
  Handler handler;
  bool found = false;
  ReplyTarget unanswered;
  bool owesReply = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto& handlers = task.to == Side::kHost ? hostHandlers_ : uiHandlers_;
    auto it = handlers.find(task.channel);
    if (it != handlers.end()) {
      handler = it->second;
      found = true;
    } else {
      owesReply = TakeResponse(task.response, &unanswered);
    }
  }
  if (!found) {
    // Nobody listens on the channel: the sender gets an empty reply.
    if (owesReply) CallReply(unanswered, nullptr, 0);
    return;
  }
  if (handler.host != nullptr) {
    HostCallback scope(*this);
    FlutterDesktopMessage message{};
    message.structSize = sizeof(message);
    message.channel = task.channel.c_str();
    message.message = DataOrNull(task.bytes);
    message.messageSize = task.bytes.size();
    message.responseHandle =
        reinterpret_cast<const FlutterDesktopMessageResponseHandle*>(task.response);
    handler.host(handle(), &message, handler.user);
  } else {
    handler.ui(task.channel.c_str(), DataOrNull(task.bytes), task.bytes.size(),
               reinterpret_cast<const VeltrixUiResponse*>(task.response), handler.user);
  }
}

void MessengerCore::CallReply(const ReplyTarget& target, const uint8_t* data, size_t size) {
  if (target.callback == nullptr) return;
  std::optional<HostCallback> scope;
  if (target.side == Side::kHost) scope.emplace(*this);
  target.callback(data, size, target.user);
}

void MessengerCore::Shutdown() {
  std::vector<std::pair<ReplyTarget, std::vector<uint8_t>>> owed;
  {
    // Waits for a reply that another thread is sending right now.
    std::lock_guard<std::mutex> engine(engineLock_);
    std::lock_guard<std::mutex> lock(mutex_);
    available_ = false;
    wake_ = nullptr;
    frame_ = nullptr;
    hostHandlers_.clear();
    uiHandlers_.clear();
    for (auto& [response, target] : pending_) {
      if (target.side == Side::kHost && target.callback != nullptr) {
        owed.emplace_back(target, std::vector<uint8_t>());
      }
    }
    pending_.clear();
    for (Task& task : queue_) {
      if (task.kind == Task::Kind::kReply && task.reply.side == Side::kHost) {
        owed.emplace_back(task.reply, std::move(task.bytes));
      }
    }
    queue_.clear();
  }
  for (auto& [target, bytes] : owed) target.callback(DataOrNull(bytes), bytes.size(), target.user);
}

}  // namespace veltrix::standin
