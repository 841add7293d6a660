#pragma once
// The core's named timers as QTimers. A tick calls the handler the
// application registered for that timer, on the user-interface thread.
#include <QObject>
#include <QTimer>
#include <array>
#include <functional>

#include "platform/Timers.h"

namespace oxalis {

class QtTimers : public QObject, public Timers {
  Q_OBJECT
 public:
  explicit QtTimers(QObject* parent = nullptr);

  void setTickHandler(TimerId id, std::function<void()> handler);

  void setEnabled(TimerId id, bool enabled) override;
  bool isEnabled(TimerId id) const override;
  void setInterval(TimerId id, int milliseconds) override;
  int interval(TimerId id) const override;

 private:
  static constexpr std::size_t kCount = 5;
  QTimer& timer(TimerId id) { return *timers_[static_cast<std::size_t>(id)]; }
  const QTimer& timer(TimerId id) const { return *timers_[static_cast<std::size_t>(id)]; }

  std::array<QTimer*, kCount> timers_{};
  std::array<std::function<void()>, kCount> handlers_{};
};

}  // namespace oxalis
