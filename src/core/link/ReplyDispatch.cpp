#include "link/ReplyDispatch.h"

#include <cmath>
#include <string>

#include "app/Core.h"
#include "app/UserLevel.h"
#include "monitor/LivePanel.h"
#include "monitor/NumberFormat.h"

namespace oxalis {

namespace {

constexpr std::uint8_t kTypeParameters = 0x10;
constexpr std::uint8_t kTypeMemory = 0x11;
constexpr std::uint8_t kTypeIdentification = 0x12;
constexpr std::uint8_t kTypeMeasurement = 0x13;
constexpr std::uint8_t kTypeTime = 0x15;

constexpr std::uint16_t kBootloaderVersionAddress = 0x0050;
constexpr std::uint16_t kUserCodeAddress = 0x1000;
constexpr std::uint16_t kTablesFirst = 0x0E00;
constexpr std::uint16_t kTablesLast = 0x0F3F;

constexpr std::uint8_t kStoredLevelOffset = 0x0A;
constexpr std::uint8_t kStoichiometricOffset = 0x2C;

std::span<const std::uint8_t> frameData(const RxState& rx) {
  return std::span<const std::uint8_t>(rx.rxFrame).subspan(5, rx.rxFrame[1]);
}

double foldBytes(std::span<const std::uint8_t> bytes) {
  double value = 0;
  for (std::uint8_t b : bytes) value = value * 256 + b;
  return value;
}

bool checksLostFrames(const std::string& deviceCode) { return deviceCode == "OX2" || deviceCode == "PNU"; }

void handleMeasurement(Core& core) {
  AppState& state = core.state;
  RxState& rx = state.rx;
  if (!state.streamRunning) core.commands.StopFrames();  // the user stopped the stream
  state.freshSample = true;
  if (core.hooks.decodeMeasurement) core.hooks.decodeMeasurement(frameData(rx), rx.rxFrame[3]);

  if (checksLostFrames(state.deviceCode)) {
    const int sequence = rx.rxFrame[2];
    // Sequence 0 is not checked, and neither is the first record after the
    // module was identified: there is no previous record to compare with.
    const bool hasPrevious = !rx.lastFrameText.empty();
    const bool lost = sequence != 0 && hasPrevious && sequence != rx.lastFrameSeq + 1;
    if (lost) ++rx.lostFrames;
    if (lost && core.factory.visible) {
      core.factory.PerteDeTrame = true;
      core.factory.changed.notify();
      core.log.LogLine(rx.lastFrameText);
      core.log.LogLine("Trame perdu :" + std::to_string(sequence) + "-" + std::to_string(rx.lastFrameSeq) + "-" +
                       rx.rxLine);
    }
    rx.lastFrameText = rx.rxLine;
    rx.lastFrameSeq = static_cast<std::uint8_t>(sequence);
  }

  if (state.recording && core.hooks.appendTraceSample) core.hooks.appendTraceSample();
}

void handleTimeReply(Core& core) {
  const double hundredths = foldBytes(frameData(core.state.rx));
  core.mainWindow.panel(5) = formatDuration(static_cast<std::int64_t>(std::llround(hundredths / 100)));
  core.mainWindow.changed.notify();
}

}  // namespace

void dispatchReply(Core& core) {
  const RxState& rx = core.state.rx;
  switch (rx.rxFrame[4]) {
    case kTypeMeasurement:
      if (core.state.linkUp) handleMeasurement(core);
      break;
    case kTypeIdentification:
      handleIdentification(core);
      break;
    case kTypeParameters:
      handleParameterReply(core, rx.rxFrame[3], foldBytes(frameData(rx)));
      break;
    case kTypeMemory:
      handleMemoryReply(core, static_cast<std::uint16_t>(rx.rxFrame[2] * 256 + rx.rxFrame[3]), frameData(rx));
      break;
    case kTypeTime:
      handleTimeReply(core);
      break;
    default:
      break;
  }
}

void handleParameterReply(Core& core, std::uint8_t offset, double value) {
  if (offset == kStoredLevelOffset) storedLevelRead(core, value);
  if (offset == kStoichiometricOffset) {
    core.state.stoichRatio = value / 100;
    setAfLabel(core);
  }
  if (core.hooks.decodeConfigValue) core.hooks.decodeConfigValue(offset, value);
}

void handleMemoryReply(Core& core, std::uint16_t address, std::span<const std::uint8_t> bytes) {
  if (address == kBootloaderVersionAddress) {
    FirmwareWindowModel& firmware = core.firmwareWindow;
    if (!firmware.visible || bytes.empty()) return;
    // An erased byte means the first bootloader, version 1.0.
    firmware.bootloaderVersion = bytes[0] == 255 ? 10 : bytes[0];
    firmware.statusPanel1 = "BootLoader Version : " + formatFixedValue(firmware.bootloaderVersion, false, 1);
    firmware.changed.notify();
  } else if (address >= kUserCodeAddress) {
    AccessCodeModel& access = core.accessCode;
    if (!access.visible || bytes.size() < 2) return;
    access.userCodeBase = static_cast<std::uint16_t>(bytes[0] * 256 + bytes[1]);
    access.caption = "User Code ID: " + std::to_string(access.requestedLevel) + std::to_string(access.userCodeBase);
    access.changed.notify();
  } else if (address >= kTablesFirst && address <= kTablesLast) {
    if (core.hooks.decodeTableBlock) core.hooks.decodeTableBlock(address, bytes);
  }
}

}  // namespace oxalis
