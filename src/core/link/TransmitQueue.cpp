#include "link/TransmitQueue.h"

#include "app/AppState.h"
#include "factory/FactoryModel.h"
#include "link/LinkLog.h"
#include "platform/Dialogs.h"
#include "platform/SerialPort.h"

namespace oxalis {

namespace {
constexpr char kXon = 0x11;
}

TransmitQueue::TransmitQueue(AppState& state, SerialPort& port, Dialogs& dialogs, FactoryModel& factory,
                             LinkLog& log)
    : state_(state), ring_(state.tx), port_(port), dialogs_(dialogs), factory_(factory), log_(log) {}

int TransmitQueue::waitingCount(int readIndex, int writeIndex) {
  return ((writeIndex - readIndex) % TxRing::kSlots + TxRing::kSlots) % TxRing::kSlots;
}

bool TransmitQueue::QueueIsEmpty() const { return ring_.txReadIndex == ring_.txWriteIndex; }

bool TransmitQueue::QueueNearlyFull() {
  if (QueueIsEmpty()) return false;
  ring_.txLevel = waitingCount(ring_.txReadIndex, ring_.txWriteIndex);
  return ring_.txLevel > kNearlyFullLevel;
}

void TransmitQueue::showLevel() {
  if (!factory_.visible) return;
  factory_.BufferLevel = ring_.txLevel * 100 / 200;
  factory_.changed.notify();
}

bool TransmitQueue::QueueRecord(std::string record) {
  if (waitingCount(ring_.txReadIndex, ring_.txWriteIndex) >= kMaxWaiting) {
    log_.LogLine("Buffer full, record not queued : " + record);
    return false;
  }
  const bool sendNow = QueueIsEmpty() && ring_.moduleReady;
  std::string& slot = ring_.txQueue[static_cast<std::size_t>(ring_.txWriteIndex)];
  slot = std::move(record);
  ring_.txWriteIndex = static_cast<std::int16_t>(nextIndex(ring_.txWriteIndex));
  showLevel();
  log_.LogLine("Put in buffer VB6 " + slot);
  if (sendNow) SendNextRecord();
  return true;
}

void TransmitQueue::SendNextRecord() {
  if (QueueIsEmpty()) return;
  ring_.moduleReady = false;
  const std::string& record = ring_.txQueue[static_cast<std::size_t>(ring_.txReadIndex)];
  ring_.lastSentRecord = record;
  if (factory_.visible) {
    factory_.DEBUG_TX = record;
    factory_.changed.notify();
  }
  if (!port_.write(record)) {
    reportDisconnected();
    return;
  }
  ring_.txReadIndex = static_cast<std::int16_t>(nextIndex(ring_.txReadIndex));
  showLevel();
  log_.LogLine("Put in buffer PC " + ring_.lastSentRecord);
}

void TransmitQueue::onXoff() { ring_.moduleReady = false; }

void TransmitQueue::onXon(std::string_view partialFrame) {
  if (!partialFrame.empty()) log_.LogLine("Xon pendant trame : " + std::string(partialFrame));
  ring_.moduleReady = true;
  log_.LogLine("TxON reçu");
  if (!QueueIsEmpty() && (state_.linkUp || state_.firmwareLoading)) SendNextRecord();
}

void TransmitQueue::stepBack() {
  ring_.txReadIndex = static_cast<std::int16_t>(previousIndex(ring_.txReadIndex));
}

void TransmitQueue::onChecksumError() {
  stepBack();
  log_.LogLine("Checksum error");
  if (factory_.visible) {
    factory_.Chksum = true;
    factory_.changed.notify();
  }
}

void TransmitQueue::onOverrun() {
  stepBack();
  log_.LogLine("OverRun error");
  if (factory_.visible) {
    factory_.OverRun = true;
    factory_.changed.notify();
  }
}

bool TransmitQueue::SendXon() {
  if (port_.write(std::string_view(&kXon, 1))) return true;
  reportDisconnected();
  return false;
}

void TransmitQueue::dropWaiting() { ring_.txReadIndex = ring_.txWriteIndex; }

void TransmitQueue::resetIndices() { ring_.txReadIndex = ring_.txWriteIndex = 0; }

void TransmitQueue::reportDisconnected() {
  if (disconnectReported_) return;
  // Set before the box is shown: bytes and ticks delivered while it is open
  // must not stack a second one.
  disconnectReported_ = true;
  dialogs_.message("COM port disconnected", "USB ERROR", MessageIcon::Error);
}

}  // namespace oxalis
