#include "app/Core.h"

#include "platform/Timers.h"

namespace oxalis {

void Core::startLink() {
  state.rxIdle = true;
  state.linkUp = false;
  state.currentPort = 0;
  queue.resetIndices();
  state.dataFlowing = false;
  state.logEnabled = true;
  state.streamRunning = true;
  state.firmwareLoading = false;

  state.firstSearchTick = true;
  state.currentPort = state.lastModulePort;

  platform.timers.setInterval(TimerId::Search, PortSearch::kIntervalNextPort);
  platform.timers.setEnabled(TimerId::Search, true);
}

}  // namespace oxalis
