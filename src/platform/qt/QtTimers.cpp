#include "QtTimers.h"

namespace oxalis {

QtTimers::QtTimers(QObject* parent) : QObject(parent) {
  for (std::size_t i = 0; i < kCount; ++i) {
    timers_[i] = new QTimer(this);
    timers_[i]->setTimerType(Qt::PreciseTimer);
    connect(timers_[i], &QTimer::timeout, this, [this, i] {
      if (handlers_[i]) handlers_[i]();
    });
  }
}

void QtTimers::setTickHandler(TimerId id, std::function<void()> handler) {
  handlers_[static_cast<std::size_t>(id)] = std::move(handler);
}

void QtTimers::setEnabled(TimerId id, bool enabled) {
  if (enabled == timer(id).isActive()) return;
  if (enabled)
    timer(id).start();
  else
    timer(id).stop();
}

bool QtTimers::isEnabled(TimerId id) const { return timer(id).isActive(); }

// A new interval restarts a running timer's period; setting the interval it
// already has changes nothing, so a stream of bytes that each set the same
// interval cannot hold the timer back forever.
void QtTimers::setInterval(TimerId id, int milliseconds) {
  if (timer(id).interval() != milliseconds) timer(id).setInterval(milliseconds);
}

int QtTimers::interval(TimerId id) const { return timer(id).interval(); }

}  // namespace oxalis
