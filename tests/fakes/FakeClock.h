#pragma once
#include "platform/Clock.h"

namespace oxalis::test {

// A clock that shows whatever the test sets.
class FakeClock : public Clock {
 public:
  DateTime now() const override { return time; }
  DateTime time{2026, 12, 8, 14, 30, 5};
};

}  // namespace oxalis::test
