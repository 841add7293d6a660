#include "app/Persistence.h"

#include "app/Core.h"
#include "config/ChannelLine.h"
#include "monitor/LivePanel.h"

namespace oxalis {

Settings currentSettings(const Core& core) {
  const AppState& state = core.state;
  Settings s;
  s.port = core.platform.port.isOpen() ? core.link.state.currentPort : 0;
  s.setupFolder = state.setupFolder;
  s.dataFolder = state.dataFolder;
  s.dataFileName = state.dataFileName;
  s.setupFileName = state.setupFileName;
  s.hcRatio = state.hcRatio;
  s.stoichRatio = core.monitor.stoichRatio;
  s.timeBaseText = core.trace.view.timeBaseText;
  for (std::size_t k = 0; k < s.channels.size(); ++k) s.channels[k] = core.channels.slot(static_cast<int>(k + 1));
  s.deviceCode = core.link.state.identity.deviceCode;
  s.windowGeometry = state.windowGeometry;
  s.theme = state.theme;
  s.overlay = core.trace.overlay;
  return s;
}

void applySettings(Core& core, const Settings& s) {
  AppState& state = core.state;
  core.link.state.lastModulePort = s.port;
  state.setupFolder = s.setupFolder;
  state.dataFolder = s.dataFolder;
  state.setupFileName = s.setupFileName;
  state.hcRatio = s.hcRatio;
  core.monitor.stoichRatio = s.stoichRatio;
  core.link.state.identity.deviceCode = s.deviceCode;

  LoadDefaultChannels(core.channels);
  for (std::size_t k = 0; k < s.channels.size(); ++k) core.channels.slot(static_cast<int>(k + 1)) = s.channels[k];
  Monitor& monitor = core.monitor;
  for (std::size_t k = 0; k < 5; ++k) monitor.livePanel.showCanal[k] = core.channels.slot(static_cast<int>(k + 1)).Show;
  setChannelLabels(monitor);
  // A channel line read for slot 5 also names the analogue input.
  if (s.channelRead[4]) showChannel(monitor, 5);
  setAfLabel(monitor);

  core.trace.view.timeBaseText = s.timeBaseText;
  core.trace.overlay = s.overlay;
  state.windowGeometry = s.windowGeometry;
  state.theme = s.theme;
  core.trace.view.changed.notify();
}

void loadSettings(Core& core, const std::filesystem::path& file) {
  Settings current = currentSettings(core);
  current.port = core.link.state.lastModulePort;  // a file without "[COM]:" keeps it
  applySettings(core, ReadSettings(file, std::move(current)));
}

FileResult saveSettings(const Core& core, const std::filesystem::path& file) {
  return WriteSettings(currentSettings(core), file);
}

DataFileHeader currentDataFileHeader(const Core& core) {
  DataFileHeader header;
  header.deviceCode = core.link.state.identity.deviceCode;
  header.serialNumber = core.link.state.identity.serialNumber;
  header.created = core.platform.clock.now();
  header.channels = UserChannels(core.channels);
  header.show = core.monitor.livePanel.showCanal;
  return header;
}

FileResult saveDataFile(const Core& core, const std::filesystem::path& file) {
  return WriteDataFile(currentDataFileHeader(core), core.trace.buffer, file);
}

void applyDataFile(Core& core, DataFileRead&& read) {
  for (std::size_t k = 0; k < 5; ++k) {
    core.channels.slot(static_cast<int>(k + 1)) = read.channels[k];
    if (read.hasShowLine) core.monitor.livePanel.showCanal[k] = read.channels[k].Show;
  }
  setChannelLabels(core.monitor);
  core.state.afrTenfold = read.afrTenfold;
  loadSamples(core.trace.buffer, std::move(read.ring), read.sampleCount);
}

}  // namespace oxalis
