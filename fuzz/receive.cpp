// The module's bytes as they reach the tool: the receive parser and the
// reply dispatch for every module type, with the setup, factory and
// firmware windows open or closed. The first byte chooses the module type
// and the windows; the rest arrives byte by byte, with a refresh tick now
// and then. One tool per choice lives on from input to input, as the tool
// lives on while a noisy line feeds it.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>

#include "FakeClock.h"
#include "FakeDialogs.h"
#include "FakeSerialPort.h"
#include "FakeTimers.h"
#include "app/Core.h"
#include "app/UserLevel.h"

namespace {

using namespace oxalis;

constexpr const char* kTypes[] = {"OX2", "OXL", "PNU", "RMW", "QTX"};

struct Rig {
  explicit Rig(int choice) {
    core.start();
    core.openPort(1);
    core.link.state.linkUp = true;
    core.link.state.identity.deviceCode = kTypes[choice % 5];
    core.layoutPanel();
    if (choice & 8) core.openSetup();
    if (choice & 16) {
      core.state.userLevel = kLevelMaster;
      ApplyUserLevel(core);
    }
    if (choice & 32) core.firmware.open();
  }
  test::FakeSerialPort port;
  test::FakeTimers timers;
  test::FakeDialogs dialogs;
  test::FakeClock clock;
  Core core{{port, timers, dialogs, clock}};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static std::map<int, std::unique_ptr<Rig>> rigs;
  const int choice = data[0] % 64;
  auto& rig = rigs[choice];
  if (!rig) rig = std::make_unique<Rig>(choice);
  for (std::size_t i = 1; i < size; ++i) {
    rig->core.onByte(data[i]);
    if (i % 113 == 0) rig->core.onTimer(TimerId::Refresh);
  }
  rig->port.written.clear();
  rig->port.writes.clear();
  rig->dialogs.messages.clear();
  rig->dialogs.questions.clear();
  return 0;
}
