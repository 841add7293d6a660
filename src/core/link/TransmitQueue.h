#pragma once
// The transmit queue. Records wait in a ring of 201 slots and leave one at a
// time, each after the module signalled with XON that it can take the next.
// The module reports a rejected (0xC3) or lost (0xD8) record, which is then
// sent again.
#include <string>
#include <string_view>

#include "link/TxRing.h"

namespace oxalis {

struct AppState;
struct FactoryModel;
class SerialPort;
class Dialogs;
class LinkLog;

class TransmitQueue {
 public:
  static constexpr int kNearlyFullLevel = 195;
  // At most this many records wait. One slot stays free to tell a full ring
  // from an empty one, and one more keeps the record last sent intact, so a
  // resend after 0xC3 or 0xD8 never meets an overwritten slot.
  static constexpr int kMaxWaiting = TxRing::kSlots - 2;

  TransmitQueue(AppState& state, SerialPort& port, Dialogs& dialogs, FactoryModel& factory, LinkLog& log);

  // Puts a record into the queue and sends it at once when the queue was
  // empty and the module ready. Returns false, logs and drops the record when
  // the ring is full: a waiting record is never overwritten.
  bool QueueRecord(std::string record);
  // Writes the record at the head of the queue.
  void SendNextRecord();
  bool QueueIsEmpty() const;
  // Refreshes the stored txLevel; true when more than 195 records wait.
  bool QueueNearlyFull();

  // Single-character messages from the module. `partialFrame` is the frame
  // being received when the XON arrived, empty when the receiver was idle.
  void onXoff();
  void onXon(std::string_view partialFrame = {});
  void onChecksumError();
  void onOverrun();

  // The keep-alive XON of the refresh tick; false when the write failed.
  bool SendXon();

  // Waiting records are dropped (link lost, firmware update).
  void dropWaiting();
  // Both indices back to slot 0 (port search restart).
  void resetIndices();

  // "COM port disconnected" for a write that failed or a port that was lost;
  // shown once until the port is opened again.
  void reportDisconnected();
  void portOpened() { disconnectReported_ = false; }

  static int nextIndex(int index) { return index > TxRing::kSlots - 2 ? 0 : index + 1; }
  static int previousIndex(int index) { return index == 0 ? TxRing::kSlots - 1 : index - 1; }
  static int waitingCount(int readIndex, int writeIndex);

 private:
  void showLevel();
  void stepBack();

  AppState& state_;
  TxRing& ring_;
  SerialPort& port_;
  Dialogs& dialogs_;
  FactoryModel& factory_;
  LinkLog& log_;
  bool disconnectReported_ = false;
};

}  // namespace oxalis
