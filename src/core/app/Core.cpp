#include "app/Core.h"

#include <filesystem>

#include "app/Persistence.h"
#include "app/Presenter.h"
#include "app/Recording.h"
#include "app/Recovery.h"
#include "app/Shutdown.h"
#include "app/UserLevel.h"
#include "config/MemoryMap.h"
#include "monitor/LivePanel.h"
#include "monitor/MeasurementDecoder.h"
#include "monitor/RefreshTick.h"
#include "util/NumberFormat.h"

namespace oxalis {

namespace {
constexpr int kRefreshIntervalMs = 330;
constexpr int kKeepAliveIntervalMs = 1000;
}  // namespace

Core::Core(Platform platform)
    : platform(platform),
      link(platform.port, platform.timers, *this, diagnostics_),
      monitor(link.state.identity, channels),
      trace(monitor.live, channels, monitor.livePanel) {
  platform.timers.setInterval(TimerId::Refresh, kRefreshIntervalMs);
  platform.timers.setInterval(TimerId::KeepAlive, kKeepAliveIntervalMs);
  initialiseLivePanel(monitor);
}

void Core::start() {
  state.userLevel = kLevelBasic;
  ApplyUserLevel(*this);
  monitor.channelCount = 4;
  link.state.identity.deviceCode = "OX2";
  state.dataFileName = "default.DA1";
  monitor.stoichRatio = 14.57;

  // The settings file: the channel defaults first, then what it holds.
  loadSettings(*this, settingsFilePath(*this));
  startLink();

  factory.visible = false;
  state.userLevel = kLevelExpert;
  ApplyUserLevel(*this);

  // The window width in samples follows the time-base list's text.
  if (const auto samples = timeBaseSamples(trace.view.timeBaseText)) trace.tracePoints = *samples;
  if (trace.tracePoints == 0) trace.tracePoints = 1000;

  state.recording = false;
  state.recordPaused = false;
  state.dataNotSaved = false;
  initialiseTrace(trace);
  updateMemoryText();

  link.state.keepAliveDelay = 0;
  state.setupOpen = false;
  updateIdentificationHold();
  platform.timers.setEnabled(TimerId::KeepAlive, false);
  // A settings file naming a module type this version does not know lays
  // the panel out for the lambda controller.
  if (!HasPanelLayout(link.state.identity.deviceCode)) link.state.identity.deviceCode = "OX2";
  layoutPanel();
  offerRecovery(*this);
}

void Core::startLink() {
  factory.logRunning = true;
  link.start();
}

void Core::onTimer(TimerId id) {
  switch (id) {
    case TimerId::Search: link.search.tick(); break;
    case TimerId::Refresh: refreshTick(); break;
    case TimerId::KeepAlive: link.keepAliveTick(); break;
    case TimerId::Firmware: firmware.tick(); break;
    case TimerId::Replay: replayTick(*this); break;
  }
}

void Core::chooseOfflineModule(const std::string& deviceCode) {
  link.state.identity.deviceCode = deviceCode;
  layoutPanel();
}

void Core::layoutPanel() {
  const PanelLayout family = layoutPanelForModule(monitor);
  if (family == PanelLayout::None) return;
  showPanelFamily(mainWindow, family);
  // "Send Tprop et Tint": lambda controllers only.
  factory.sendTpropEnabled = family == PanelLayout::Oxalis;
  factory.displayThresholdsEnabled = family == PanelLayout::Panora;
  showCaption(mainWindow, link.state.identity.deviceCode);
}

void Core::updateMemoryText() { showMemoryText(mainWindow, memoryText(trace.buffer)); }

void Core::showRecordingState() {
  oxalis::showRecordingState(mainWindow, state.recording, state.recordPaused, state.dataNotSaved,
                             trace.buffer.sampleCount / TraceBuffer::kSamplesPerSecond);
}

void Core::dismissLinkNotice() {
  linkNoticeDismissed_ = true;
  showLinkNotice(mainWindow, Notice{});
}

void Core::updateIdentificationHold() {
  link.state.identificationHeld = state.setupOpen && state.userLevel != kLevelMaster;
}

// The refresh tick (`Timer1`): link supervision and keep-alive, the live
// panel, and the factory window's mirrors.
void Core::refreshTick() {
  setup.tick();
  if (!link.refreshTick()) return;
  LinkState& linkState = link.state;
  if (!replay.active) refreshPanel(monitor, linkState.dataFlowing, linkState.freshSample);
  // Bytes arrive but no measurement: ask for the stream again, once per tick.
  if (linkState.dataFlowing && !linkState.freshSample && linkState.streamRunning) link.commands.startFrames();
  const LiveValues& v = monitor.live;
  showRefreshDiagnostics(factory, linkState.rx.previousRxLine, linkState.tx.lastSentRecord, v.diagFlags,
                         v.canErrorCount, v.canErrorFlags, linkState.rx.lostFrames);
  linkState.freshSample = false;
  showRecordingState();
}

// ---- what the link reports ----

void Core::identified() {
  const ModuleIdentity& id = link.state.identity;
  refusalReported_ = false;
  linkNoticeDismissed_ = false;
  showLinkNotice(mainWindow, Notice{});
  showIdentity(mainWindow, id);
  layoutPanel();
  showLinkStatus(mainWindow, LinkStatus::Up);
  showModuleIdentity(factory, id);
  if (link.state.streamRunning) {
    link.commands.readParams(memory_map::kStoichiometricRatio, 2);
    link.commands.startFrames();
  }
}

void Core::identifyRequested() {
  state.storedLevelKnown = false;
  link.commands.readParams(memory_map::kStoredUserLevel, 1);
  if (!factory.visible) return;
  // The calibration the factory window shows.
  link.commands.readParams(memory_map::kVgndOffset, 2);
  link.commands.readParams(memory_map::kVsOffset, 2);
  link.commands.readParams(memory_map::kProbeLoopP, 1);
  link.commands.readParams(memory_map::kProbeLoopI, 1);
  link.commands.readParams(memory_map::kVddOffset, 2);
}

void Core::measurement(std::span<const std::uint8_t> data, std::uint8_t selector) {
  // During a replay the panel shows the file; the module's values wait.
  if (replay.active) return;
  decodeMeasurement(monitor, data, selector, factory.visible);
  if (state.recording) recordLiveSample();
}

void Core::recordLiveSample() {
  state.dataNotSaved = true;
  recordSample(trace, state.recordPaused);
  updateMemoryText();
}

void Core::parameterValue(std::uint8_t offset, double value) {
  if (offset == memory_map::kStoredUserLevel) storedLevelRead(*this, value);
  factoryWindow.decodeValue(offset, value);
  if (setup.window.visible) {
    setup.DecodeConfigValue(offset, value);
  } else if (offset == memory_map::kStoichiometricRatio) {
    // An erased or unconfigured module answers far above any fuel's ratio
    // (0xFFFF): the petrol ratio stands in.
    setStoichRatio(value > 5000 ? 14.57 : value / 100);
  }
}

void Core::openSetup() {
  state.setupOpen = true;
  // The next three keep-alive ticks ask for no time while the window talks
  // to the module.
  link.state.keepAliveDelay = 3;
  updateIdentificationHold();
  setup.open();
}

bool Core::closeSetup() {
  if (!setup.close()) return false;
  state.setupOpen = false;
  updateIdentificationHold();
  return true;
}

std::string Core::deviceCode() const { return link.state.identity.deviceCode; }
std::uint8_t Core::userLevel() const { return state.userLevel; }
bool Core::factoryWindowShown() const { return factory.visible; }
bool Core::dataFlowing() const { return link.state.dataFlowing; }
// The revision is the minor part of the module's software version.
int Core::softwareRevision() const { return link.state.identity.fwMinor; }
double Core::stoichRatio() const { return monitor.stoichRatio; }
int Core::channelCount() const { return monitor.channelCount; }
std::string Core::libraryFolder() const { return (std::filesystem::path(state.appFolder) / "lib").string(); }
std::string Core::setupFileName() const { return state.setupFileName; }
std::string Core::setupFolder() const { return state.setupFolder; }
void Core::setupFileOpened(const std::string& file) {
  state.setupFileName = file;
  state.setupFolder = std::filesystem::path(file).parent_path().string();
}
bool Core::linkUp() const { return link.state.linkUp; }
bool Core::streamRunning() const { return link.state.streamRunning; }
std::int32_t Core::serialNumber() const { return link.state.identity.serialNumber; }
void Core::send(std::vector<std::string> records) { link.queue.queueSeries(std::move(records)); }
void Core::holdKeepAlive(int ticks) { link.state.keepAliveDelay = static_cast<std::uint8_t>(ticks); }

void Core::setStoichRatio(double ratio) {
  monitor.stoichRatio = ratio;
  setAfLabel(monitor);
  monitor.livePanel.changed.notify();
}

void Core::channelChanged(int slot) { showChannel(monitor, slot); }

bool Core::saveSetupAs() { return setup.SaveSetupAs(); }

void Core::memoryBlock(std::uint16_t address, std::span<const std::uint8_t> bytes) {
  if (address == memory_map::kBootloaderVersion) {
    if (!bytes.empty()) firmware.bootloaderVersionRead(bytes[0]);
  } else if (address >= memory_map::kUserCodeBase) {
    if (!accessCode.visible || bytes.size() < 2) return;
    accessCode.userCodeBase = static_cast<std::uint16_t>(bytes[0] * 256 + bytes[1]);
    accessCode.caption =
        "User Code ID: " + std::to_string(accessCode.requestedLevel) + std::to_string(accessCode.userCodeBase);
    accessCode.changed.notify();
  } else if (address >= memory_map::kOutputTablesFirst && address <= memory_map::kOutputTablesLast) {
    if (setup.window.visible) setup.memoryBlock(address, bytes);
  }
}

void Core::runningTime(double hundredths) { showRunningTime(mainWindow, hundredths); }

void Core::linkStatusChanged(LinkStatus status) { showLinkStatus(mainWindow, status); }

void Core::portShown(int portNumber) { showPort(mainWindow, portNumber); }

// The search goes on by itself; a recording in progress keeps its samples
// and goes on when the module answers again.
void Core::searchFailed() {
  if (linkNoticeDismissed_) return;
  std::vector<PortReport> ports;
  for (const auto& [number, result] : link.search.tried()) ports.push_back({platform.port.portName(number), result});
  showLinkNotice(mainWindow, noModuleNotice(ports));
}

void Core::portLost() {
  linkNoticeDismissed_ = false;
  showLinkNotice(mainWindow, portLostNotice(platform.port.portName(link.state.currentPort), state.recording));
}

// The receive parser keeps the success flag the firmware window reads; a
// firmware checksum error ends its wait for that flag.
void Core::bootloaderReply(std::uint8_t code) { firmware.bootloaderReply(code); }

bool Core::portOpen() const { return platform.port.isOpen(); }
bool Core::moduleReady() const { return link.state.tx.moduleReady; }
bool Core::updateReported() const { return link.state.rx.updateOk; }
void Core::clearUpdateReported() { link.state.rx.updateOk = false; }
bool Core::queueNearlyFull() { return link.queue.nearlyFull(); }
bool Core::queueEmpty() const { return link.queue.isEmpty(); }
void Core::queue(std::string record) {
  // The firmware sends only below the nearly-full level: room is certain.
  (void)link.queue.queueRecord(std::move(record));
}
void Core::dropQueue() {
  platform.port.discardOutput();
  link.queue.dropWaiting();
}
void Core::readBootloaderVersion() { link.commands.readMemory(memory_map::kBootloaderVersion, 1); }
void Core::stopMainTimers() {
  platform.timers.setEnabled(TimerId::Refresh, false);
  platform.timers.setEnabled(TimerId::KeepAlive, false);
}
void Core::restartRefresh() { platform.timers.setEnabled(TimerId::Refresh, true); }
void Core::setLoading(bool loading) { link.state.firmwareLoading = loading; }
void Core::clearErrorIndications() {
  factory.clearErrorTicks();
  factory.changed.notify();
}
void Core::identify() { link.commands.identify(); }

void Core::recordAbandoned(std::string_view record) {
  mainWindow.statusMessage = "Record " + std::string(record) + " refused " + std::to_string(TransmitQueue::kMaxTries) +
                             " times by the module: skipped";
  mainWindow.changed.notify();
}

void Core::recordRefused(std::string_view) {
  // A request that never leaves would go unnoticed: say so, once per
  // connection, so that a stuck link does not stack messages.
  if (refusalReported_) return;
  refusalReported_ = true;
  platform.dialogs.message(
      "The link to the module is saturated: a request was not sent. Check the cable, then search the module again.",
      "Link", MessageIcon::Warning);
}

}  // namespace oxalis
