#include "app/Core.h"

#include "app/Recording.h"
#include "app/Shutdown.h"
#include "app/UserLevel.h"
#include "files/SettingsFile.h"
#include "monitor/ChannelLine.h"
#include "monitor/LivePanel.h"
#include "monitor/MeasurementDecoder.h"
#include "monitor/RefreshTick.h"
#include "trace/Trace.h"

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
  installTrace(*this);
  hooks.layoutPanel = [this] { layoutPanelForModule(*this); };
  hooks.stopRecording = [this] { stopRecord(*this); };
  platform.timers.setInterval(TimerId::Refresh, kRefreshIntervalMs);
  platform.timers.setInterval(TimerId::KeepAlive, kKeepAliveIntervalMs);
  initialiseLivePanel(*this);
}

void Core::start() {
  state.canTimingClock = 40;
  state.userLevel = kLevelBasic;
  ApplyUserLevel(*this);
  state.channelCount = 4;
  state.deviceCode = "OX2";
  mainWindow.caption = std::string("Oxalis_Monitor ") + kVersion;
  state.dataFileName = "default.DA1";
  state.stoichRatio = 14.57;

  // The settings file: the channel defaults first, then what it holds.
  ReadSettings(*this, settingsFilePath(*this));
  startLink();

  factory.visible = false;
  state.userLevel = kLevelExpert;
  ApplyUserLevel(*this);

  // The window width in samples follows the time-base list's text.
  if (const auto samples = timeBaseSamples(traceView.timeBaseText)) state.tracePoints = *samples;
  if (state.tracePoints == 0) state.tracePoints = 1000;

  state.recording = false;
  state.recordPaused = false;
  state.dataNotSaved = false;
  initialiseTrace(*this);
  updateMemoryText(*this);

  state.keepAliveDelay = 0;
  state.setupOpen = false;
  platform.timers.setEnabled(TimerId::KeepAlive, false);
  layoutPanelForModule(*this);
  setAfLabel(*this);
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
