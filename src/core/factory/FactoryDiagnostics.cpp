#include "factory/FactoryDiagnostics.h"

#include <string>

#include "util/NumberFormat.h"

namespace oxalis {

void FactoryDiagnostics::logLine(std::string_view text) {
  if (!factory_.visible || !factory_.logRunning) return;
  std::string& log = factory_.W_Log;
  log.append(text);
  log.append("\r\n");
  factory_.logWritten += text.size() + 2;
  if (log.size() > kMaxLogText) {
    // Keep the newest half, starting at a line boundary.
    const auto cut = log.find('\n', log.size() - kMaxLogText / 2);
    log.erase(0, cut == std::string::npos ? log.size() - kMaxLogText / 2 : cut + 1);
  }
  factory_.changed.notify();
}

void FactoryDiagnostics::flag(LinkFlag flag) {
  if (!factory_.visible) return;
  switch (flag) {
    case LinkFlag::Checksum: factory_.checksumError = true; break;
    case LinkFlag::Blank: factory_.blankError = true; break;
    case LinkFlag::Verify: factory_.verifyError = true; break;
    case LinkFlag::Overrun: factory_.overrun = true; break;
    case LinkFlag::LostFrame: factory_.frameLost = true; break;
  }
  factory_.changed.notify();
}

void FactoryDiagnostics::clearFlags() {
  if (!factory_.visible) return;
  factory_.clearErrorTicks();
  factory_.changed.notify();
}

void FactoryDiagnostics::recordSent(std::string_view record) {
  if (!factory_.visible) return;
  factory_.DEBUG_TX = record;
  factory_.changed.notify();
}

void FactoryDiagnostics::queueLevel(int percent) {
  if (!factory_.visible) return;
  factory_.BufferLevel = percent;
  factory_.changed.notify();
}

namespace {
// A text box shows the number without the sign column.
std::string boxText(std::uint8_t value, int decimals) { return formatFixedValue(value, false, decimals).substr(1); }
}  // namespace

void showModuleIdentity(FactoryModel& factory, const ModuleIdentity& id) {
  if (!factory.visible) return;
  if (id.deviceCode == "OXL") {
    factory.W_HW = boxText(id.hwMajor, 1);
    factory.W_SW = boxText(id.fwMajor, 1);
  } else if (id.deviceCode != "QTX") {
    factory.W_HW = boxText(id.hwMajor, 0);
    factory.W_SW = boxText(id.fwMajor, 0);
    factory.W_RHW = boxText(id.hwMinor, 0);
    factory.W_RSW = boxText(id.fwMinor, 0);
  }
  factory.W_SN = std::to_string(id.serialNumber);
  factory.changed.notify();
}

void showRefreshDiagnostics(FactoryModel& factory, std::string_view lastReceived, std::string_view lastSent,
                            int diagFlags, int canErrorCount, int canErrorFlags, std::uint32_t lostFrames) {
  if (!factory.visible) return;
  factory.DEBUG_RX = lastReceived;
  factory.DEBUG_TX = lastSent;
  factory.W_DIAG = std::to_string(diagFlags);
  factory.CNTErrCAN = std::to_string(canErrorCount);
  for (std::size_t bit = 0; bit < factory.DiagCan.size(); ++bit) factory.DiagCan[bit] = (canErrorFlags >> bit & 1) != 0;
  factory.frameLost = false;
  factory.lostFramesText = std::to_string(lostFrames) + " lost frames";
  factory.changed.notify();
}

}  // namespace oxalis
