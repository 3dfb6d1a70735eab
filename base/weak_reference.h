#ifndef BASE_WEAK_REFERENCE_H_
#define BASE_WEAK_REFERENCE_H_

#include <memory>

#include "base/thread_checker.h"

namespace veltrix {

template <typename T>
class WeakAnchor;

// A reference to an object that may be gone by the time it is used: an
// answer that comes later than its asker lives. Empty once the owner's
// anchor is invalidated. Used on the owner's thread.
template <typename T>
class WeakReference {
 public:
  WeakReference() = default;

  // The object, or null once its owner let it go.
  T* get() const {
    thread_.Check();
    const std::shared_ptr<T* const> target = target_.lock();
    return target ? *target : nullptr;
  }

 private:
  friend class WeakAnchor<T>;
  explicit WeakReference(std::weak_ptr<T* const> target) : target_(std::move(target)) {}

  std::weak_ptr<T* const> target_;
  ThreadChecker thread_;
};

// Held by the object it hands out references to; its end, or Invalidate,
// empties every reference at once.
template <typename T>
class WeakAnchor {
 public:
  explicit WeakAnchor(T* target) : target_(std::make_shared<T* const>(target)) {}

  WeakAnchor(const WeakAnchor&) = delete;
  WeakAnchor& operator=(const WeakAnchor&) = delete;

  WeakReference<T> Reference() const { return WeakReference<T>(target_); }

  // References handed out so far are empty from now on; later ones work.
  void Invalidate() { target_ = std::make_shared<T* const>(*target_); }

 private:
  std::shared_ptr<T* const> target_;
};

}  // namespace veltrix

#endif  // BASE_WEAK_REFERENCE_H_
