#pragma once
// Change notification of a view model: the core calls notify() after changing
// the model's data; a window that renders the model re-reads what it shows.
// A window holds its Subscription, which ends the subscription when the
// window goes away before the model.
//
// A listener may subscribe or unsubscribe listeners, itself included, while
// it is being notified (a window that closes on a model change does): a
// listener that was unsubscribed is not called again, one that subscribed
// during a notification is called from the next one on, and the listener
// that is running stays alive until it returns.
#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace oxalis {

class Notifier;

class Subscription {
 public:
  Subscription() = default;
  Subscription(Notifier* notifier, int id) : notifier_(notifier), id_(id) {}
  Subscription(Subscription&& other) noexcept { *this = std::move(other); }
  Subscription& operator=(Subscription&& other) noexcept {
    if (this != &other) {
      reset();
      notifier_ = std::exchange(other.notifier_, nullptr);
      id_ = other.id_;
    }
    return *this;
  }
  Subscription(const Subscription&) = delete;
  Subscription& operator=(const Subscription&) = delete;
  ~Subscription() { reset(); }
  void reset();

 private:
  Notifier* notifier_ = nullptr;
  int id_ = 0;
};

class Notifier {
 public:
  Notifier() = default;
  Notifier(const Notifier&) = delete;
  Notifier& operator=(const Notifier&) = delete;

  [[nodiscard]] Subscription subscribe(std::function<void()> listener) {
    listeners_.push_back({++lastId_, std::make_shared<std::function<void()>>(std::move(listener))});
    return Subscription(this, lastId_);
  }

  void notify() {
    ++depth_;
    // Listeners added meanwhile wait for the next notification; the index
    // stays valid as the list only grows until the outermost call is done.
    const std::size_t count = listeners_.size();
    for (std::size_t i = 0; i < count; ++i) {
      // A copy of the pointer keeps the listener alive should it unsubscribe
      // itself.
      const std::shared_ptr<std::function<void()>> listener = listeners_[i].call;
      if (listener) (*listener)();
    }
    if (--depth_ == 0 && removed_) compact();
  }

 private:
  friend class Subscription;

  struct Entry {
    int id;
    std::shared_ptr<std::function<void()>> call;  // empty once unsubscribed
  };

  void unsubscribe(int id) {
    for (Entry& entry : listeners_) {
      if (entry.id != id) continue;
      entry.call.reset();
      removed_ = true;
    }
    if (depth_ == 0) compact();
  }

  void compact() {
    std::erase_if(listeners_, [](const Entry& entry) { return !entry.call; });
    removed_ = false;
  }

  std::vector<Entry> listeners_;
  int lastId_ = 0;
  int depth_ = 0;
  bool removed_ = false;
};

inline void Subscription::reset() {
  if (notifier_) notifier_->unsubscribe(id_);
  notifier_ = nullptr;
}

}  // namespace oxalis
