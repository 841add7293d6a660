#include "link/ReplyDispatch.h"

#include <span>
#include <string>

#include "link/Link.h"
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
  const bool lost = sequence != 0 && hasPrevious && sequence != rx.lastFrameSeq + 1;
  if (lost) ++rx.lostFrames;
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

void handleMeasurement(Link& link) {
  LinkState& state = link.state;
  RxState& rx = state.rx;
  if (!state.streamRunning) link.commands.stopFrames();  // the user stopped the stream
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
