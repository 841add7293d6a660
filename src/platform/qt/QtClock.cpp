#include "QtClock.h"

#include <QDateTime>

namespace oxalis {

DateTime QtClock::now() const {
  const QDateTime t = QDateTime::currentDateTime();
  return {t.date().year(), t.date().month(), t.date().day(), t.time().hour(), t.time().minute(), t.time().second()};
}

}  // namespace oxalis
