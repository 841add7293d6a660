#pragma once
// SIGTERM and SIGINT (logout, Ctrl+C in a terminal) are turned into an
// ordinary event on the user-interface thread, so the tool closes through
// its normal shutdown path instead of dying mid-way.
#include <QObject>
#include <QSocketNotifier>

namespace oxalis {

class ShutdownSignals : public QObject {
  Q_OBJECT
 public:
  explicit ShutdownSignals(QObject* parent = nullptr);
  ~ShutdownSignals() override;

 signals:
  void shutdownRequested();

 private:
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace oxalis
