#include "app/Core.h"

#include "monitor/ChannelLine.h"
#include "monitor/LivePanel.h"
#include "monitor/MeasurementDecoder.h"
#include "monitor/RefreshTick.h"

namespace oxalis {

namespace {
constexpr int kRefreshIntervalMs = 330;
constexpr int kKeepAliveIntervalMs = 1000;
}  // namespace

Core::Core(Platform platform)
    : platform(platform),
      log(state, factory),
      queue(state, platform.port, platform.dialogs, factory, log),
      commands(state, platform.port, factory, queue),
      parser(*this),
      search(*this) {
  installMeasurementDecoder(*this);
  hooks.layoutPanel = [this] { layoutPanelForModule(*this); };
  platform.timers.setInterval(TimerId::Refresh, kRefreshIntervalMs);
  platform.timers.setInterval(TimerId::KeepAlive, kKeepAliveIntervalMs);
  initialiseLivePanel(*this);
}

void Core::start() {
  LoadDefaultChannels(channels);
  setChannelLabels(*this);
  for (int k = 1; k <= 5; ++k) livePanel.showCanal[static_cast<std::size_t>(k - 1)] = channels.slot(k).Show;
  startLink();
  platform.timers.setEnabled(TimerId::KeepAlive, false);
  layoutPanelForModule(*this);
}

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

void Core::onTimer(TimerId id) {
  switch (id) {
    case TimerId::Search: search.tick(); break;
    case TimerId::Refresh: refreshTick(*this); break;
    case TimerId::KeepAlive: keepAliveTick(*this); break;
    case TimerId::Firmware: break;
  }
}

}  // namespace oxalis
