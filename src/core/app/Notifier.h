#pragma once
// Change notification of a view model: the core calls notify() after changing
// the model's data; a window that renders the model re-reads what it shows.
// A window holds its Subscription, which ends the subscription when the
// window goes away before the model.
#include <functional>
#include <map>
#include <utility>

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
  [[nodiscard]] Subscription subscribe(std::function<void()> listener) {
    listeners_.emplace(++lastId_, std::move(listener));
    return Subscription(this, lastId_);
  }
  void notify() const {
    for (const auto& [id, listener] : listeners_) listener();
  }

 private:
  friend class Subscription;
  std::map<int, std::function<void()>> listeners_;
  int lastId_ = 0;
};

inline void Subscription::reset() {
  if (notifier_) notifier_->listeners_.erase(id_);
  notifier_ = nullptr;
}

}  // namespace oxalis
