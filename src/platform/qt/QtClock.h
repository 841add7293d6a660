#pragma once
#include "platform/Clock.h"

namespace oxalis {

// The local date and time of the computer.
class QtClock : public Clock {
 public:
  DateTime now() const override;
};

}  // namespace oxalis
