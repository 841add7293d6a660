#include "link/ReplyDispatch.h"

#include <span>
#include <string>

#include "link/Link.h"
#include "link/ModuleTypes.h"
#include "link/RecordCodec.h"

namespace oxalis {

namespace {

std::span<const std::uint8_t> frameData(const RxState& rx) {
  return std::span<const std::uint8_t>(rx.rxFrame).subspan(5, rx.rxFrame[1]);
}

double foldBytes(std::span<const std::uint8_t> bytes) {
  double value = 0;
  for (std::uint8_t b : bytes) value = value * 256 + b;
  return value;
}

bool checksLostFrames(const std::string& deviceCode) { return deviceCode == "OX2" || deviceCode == "PNU"; }

// The sequence byte of a measurement record counts up by one; a gap is a
// lost record ("Perte de trame").
void checkSequence(Link& link) {
  RxState& rx = link.state.rx;
  const int sequence = rx.rxFrame[2];
  // Sequence 0 is not checked, and neither is the first record after the
  // module was identified: there is no previous record to compare with.
  const bool hasPrevious = !rx.lastFrameText.empty();
  // The count is of the records missing between the two, the sequence
  // running 0..255 and round again: 10 then 15 lost 4, 254 then 1 lost 2.
  // The same number again is a repeat, not a turn of 255 lost records;
  // a module that does not number its records sends 0 every time.
  if (hasPrevious && sequence != rx.lastFrameSeq) rx.lostFrames += (sequence - rx.lastFrameSeq - 1 + 256) % 256;
  // The report compares without wrapping: after 255 only 0, which is never
  // checked, follows without one.
  const bool lost = sequence != 0 && hasPrevious && sequence != rx.lastFrameSeq + 1;
  LinkDiagnostics& diagnostics = link.diagnostics();
  if (lost && diagnostics.watching()) {
    diagnostics.flag(LinkFlag::LostFrame);
    diagnostics.logLine(rx.lastFrameText);
    diagnostics.logLine("Trame perdu :" + std::to_string(sequence) + "-" + std::to_string(rx.lastFrameSeq) + "-" +
                        rx.rxLine);
  }
  rx.lastFrameText = rx.rxLine;
  rx.lastFrameSeq = static_cast<std::uint8_t>(sequence);
}

// A measurement record is exactly as long as its module type's layout; any
// other length is a damaged record that passed the 8-bit checksum (two
// compensating errors do). A type the link does not know has no layout.
bool hasLayoutLength(Link& link) {
  RxState& rx = link.state.rx;
  const ModuleType* type = findModuleType(link.state.identity.deviceCode);
  if (!type || rx.rxFrame[1] == type->measurementBytes) return true;
  ++rx.droppedRecords;
  if (link.diagnostics().watching())
    link.diagnostics().logLine("Record dropped, " + std::to_string(rx.rxFrame[1]) + " bytes for " + type->code +
                               " (" + std::to_string(type->measurementBytes) + " expected) : " + rx.rxLine);
  return false;
}

void handleMeasurement(Link& link) {
  LinkState& state = link.state;
  RxState& rx = state.rx;
  if (!state.streamRunning) link.commands.stopFrames();  // the user stopped the stream
  // A damaged record is not a sample; the next good one shows it as lost.
  if (!hasLayoutLength(link)) return;
  state.freshSample = true;
  // The sequence is checked before the record is handed on, so that a
  // recording sees the lost-frame count that includes this record.
  if (checksLostFrames(state.identity.deviceCode)) checkSequence(link);
  link.events().measurement(frameData(rx), rx.rxFrame[3]);
}

}  // namespace

void dispatchReply(Link& link) {
  const RxState& rx = link.state.rx;
  switch (rx.rxFrame[4]) {
    case record_type::kMeasurement:
      if (link.state.linkUp) handleMeasurement(link);
      break;
    case record_type::kIdentify:
      handleIdentification(link);
      break;
    case record_type::kParameters:
      link.events().parameterValue(rx.rxFrame[3], foldBytes(frameData(rx)));
      break;
    case record_type::kMemory:
      link.events().memoryBlock(static_cast<std::uint16_t>(rx.rxFrame[2] * 256 + rx.rxFrame[3]), frameData(rx));
      break;
    case record_type::kTime:
      link.events().runningTime(foldBytes(frameData(rx)));
      break;
    default:
      break;
  }
}

}  // namespace oxalis
