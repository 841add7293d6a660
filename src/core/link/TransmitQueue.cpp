#include "link/TransmitQueue.h"

#include <string>

#include "link/LinkDiagnostics.h"
#include "link/LinkEvents.h"
#include "link/LinkState.h"
#include "link/RecordCodec.h"
#include "platform/SerialPort.h"

namespace oxalis {

TransmitQueue::TransmitQueue(LinkState& state, SerialPort& port, LinkDiagnostics& diagnostics, LinkEvents& events)
    : state_(state), ring_(state.tx), port_(port), diagnostics_(diagnostics), events_(events) {}

int TransmitQueue::waitingCount(int readIndex, int writeIndex) {
  return ((writeIndex - readIndex) % TxRing::kSlots + TxRing::kSlots) % TxRing::kSlots;
}

bool TransmitQueue::isEmpty() const { return ring_.txReadIndex == ring_.txWriteIndex; }

bool TransmitQueue::nearlyFull() {
  if (isEmpty()) return false;
  ring_.txLevel = waitingCount(ring_.txReadIndex, ring_.txWriteIndex);
  return ring_.txLevel > kNearlyFullLevel;
}

void TransmitQueue::log(std::string_view prefix, std::string_view text) {
  if (!diagnostics_.watching()) return;
  std::string line(prefix);
  line += text;
  diagnostics_.logLine(line);
}

void TransmitQueue::showLevel() {
  if (diagnostics_.watching()) diagnostics_.queueLevel(ring_.txLevel * 100 / 200);
}

std::string_view TransmitQueue::recordText(std::string_view entry) {
  if (!entry.empty() && static_cast<std::uint8_t>(entry.back()) == link_char::kXon) entry.remove_suffix(1);
  return entry;
}

bool TransmitQueue::queueRecord(std::string record) {
  if (waitingCount(ring_.txReadIndex, ring_.txWriteIndex) >= kMaxWaiting) {
    log("Buffer full, record not queued : ", recordText(record));
    events_.recordRefused(recordText(record));
    return false;
  }
  const bool sendNow = isEmpty() && ring_.moduleReady;
  std::string& slot = ring_.txQueue[static_cast<std::size_t>(ring_.txWriteIndex)];
  slot = std::move(record);
  ring_.txWriteIndex = static_cast<std::int16_t>(nextIndex(ring_.txWriteIndex));
  showLevel();
  log("Put in buffer VB6 ", recordText(slot));
  if (sendNow) sendNextRecord();
  return true;
}

void TransmitQueue::queueSeries(std::vector<std::string> records) {
  for (std::string& record : records) backlog_.push_back(std::move(record));
  feedBacklog();
}

void TransmitQueue::feedBacklog() {
  // Fill up to the nearly-full level, leaving room for the single requests
  // the tool sends meanwhile (keep-alive, stream on and off).
  while (!backlog_.empty() && waitingCount(ring_.txReadIndex, ring_.txWriteIndex) < kNearlyFullLevel) {
    std::string record = std::move(backlog_.front());
    backlog_.pop_front();
    if (!queueRecord(std::move(record))) break;  // cannot happen below the nearly-full level
  }
}

void TransmitQueue::sendNextRecord() {
  if (isEmpty()) return;
  ring_.moduleReady = false;
  ring_.ticksWithoutXon = 0;
  const std::string& entry = ring_.txQueue[static_cast<std::size_t>(ring_.txReadIndex)];
  ring_.lastSentRecord = recordText(entry);
  if (diagnostics_.watching()) diagnostics_.recordSent(ring_.lastSentRecord);
  if (!port_.write(entry)) {
    reportDisconnected();
    return;
  }
  tries_ = resendDue_ ? tries_ + 1 : 1;
  resendDue_ = false;
  ring_.txReadIndex = static_cast<std::int16_t>(nextIndex(ring_.txReadIndex));
  showLevel();
  log("Put in buffer PC ", ring_.lastSentRecord);
  feedBacklog();
}

void TransmitQueue::onXoff() { ring_.moduleReady = false; }

void TransmitQueue::onRefreshTick() {
  if (isEmpty() || !(state_.linkUp || state_.firmwareLoading)) {
    ring_.ticksWithoutXon = 0;
    return;
  }
  // A ready module with records waiting (its XON came while the link was
  // down) is served at once.
  if (!ring_.moduleReady) {
    if (++ring_.ticksWithoutXon < kXonLostTicks) return;
    log("No XON for a second, record sent anyway : ",
        recordText(ring_.txQueue[static_cast<std::size_t>(ring_.txReadIndex)]));
  }
  ring_.moduleReady = true;
  sendNextRecord();
}

void TransmitQueue::onXon(std::string_view partialFrame) {
  if (!partialFrame.empty()) log("Xon pendant trame : ", partialFrame);
  ring_.moduleReady = true;
  log("TxON reçu", {});
  if (!isEmpty() && (state_.linkUp || state_.firmwareLoading)) sendNextRecord();
}

void TransmitQueue::stepBack() {
  ring_.txReadIndex = static_cast<std::int16_t>(previousIndex(ring_.txReadIndex));
}

void TransmitQueue::resendOrAbandon() {
  if (tries_ < kMaxTries) {
    stepBack();
    resendDue_ = true;
    return;
  }
  // The read index already points past it: the next XON sends the record
  // behind it.
  tries_ = 0;
  resendDue_ = false;
  log("Record abandoned after " + std::to_string(kMaxTries) + " tries : ", ring_.lastSentRecord);
  events_.recordAbandoned(ring_.lastSentRecord);
}

void TransmitQueue::onChecksumError() {
  log("Checksum error", {});
  if (diagnostics_.watching()) diagnostics_.flag(LinkFlag::Checksum);
  resendOrAbandon();
}

void TransmitQueue::onOverrun() {
  log("OverRun error", {});
  if (diagnostics_.watching()) diagnostics_.flag(LinkFlag::Overrun);
  resendOrAbandon();
}

bool TransmitQueue::sendXon() {
  const char xon = static_cast<char>(link_char::kXon);
  if (port_.write(std::string_view(&xon, 1))) return true;
  reportDisconnected();
  return false;
}

void TransmitQueue::dropWaiting() {
  ring_.txReadIndex = ring_.txWriteIndex;
  backlog_.clear();
  tries_ = 0;
  resendDue_ = false;
}

void TransmitQueue::resetIndices() {
  ring_.txReadIndex = ring_.txWriteIndex = 0;
  tries_ = 0;
  resendDue_ = false;
}

void TransmitQueue::reportDisconnected() {
  if (disconnectReported_) return;
  // Set before the box is shown: bytes and ticks delivered while it is open
  // must not stack a second one.
  disconnectReported_ = true;
  events_.portLost();
}

}  // namespace oxalis
