#pragma once
// A core wired to the four fakes, for tests that span subsystems.
#include "FakeClock.h"
#include "FakeDialogs.h"
#include "FakeSerialPort.h"
#include "FakeTimers.h"
#include "app/Core.h"

namespace oxalis::test {

struct CoreFixture {
  FakeSerialPort port;
  FakeTimers timers;
  FakeDialogs dialogs;
  FakeClock clock;
  Core core{{port, timers, dialogs, clock}};
};

}  // namespace oxalis::test
