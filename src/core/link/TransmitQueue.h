#pragma once
// The transmit queue. Records wait in a ring of 201 slots and leave one at a
// time, each after the module signalled with XON that it can take the next.
// The module reports a rejected (0xC3) or lost (0xD8) record, which is then
// sent again, up to kMaxTries times in all; a record the module rejects every
// time is given up, so that the records behind it still leave.
//
// A queue entry is a record, or the identification request with the XON
// that follows it on the wire; the logs and the factory window show the
// record alone.
//
// A long series of records (configuration writes and reads, firmware) waits
// in a backlog of its own and moves into the ring as the ring drains, so
// that the ring never fills and no record of the series is ever refused.
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "link/TxRing.h"

namespace oxalis {

struct LinkState;
class SerialPort;
class LinkDiagnostics;
class LinkEvents;

class TransmitQueue {
 public:
  static constexpr int kNearlyFullLevel = 195;
  // At most this many records wait. One slot stays free to tell a full ring
  // from an empty one, and one more keeps the record last sent intact, so a
  // resend after 0xC3 or 0xD8 never meets an overwritten slot.
  static constexpr int kMaxWaiting = TxRing::kSlots - 2;
  // Times a record is written before a rejection gives it up.
  static constexpr int kMaxTries = 5;

  TransmitQueue(LinkState& state, SerialPort& port, LinkDiagnostics& diagnostics, LinkEvents& events);

  // Puts a record into the queue and sends it at once when the queue was
  // empty and the module ready. A full ring refuses the record (false): a
  // waiting record is never overwritten. The refusal is also logged and
  // reported through LinkEvents::recordRefused.
  [[nodiscard]] bool queueRecord(std::string record);
  // Queues a series of records, in order: as many as fit go into the ring
  // now, the rest follow as the module takes records. Nothing is refused.
  void queueSeries(std::vector<std::string> records);
  // Records of series still waiting for room in the ring.
  std::size_t seriesBacklog() const { return backlog_.size(); }

  // Writes the record at the head of the queue.
  void sendNextRecord();
  bool isEmpty() const;
  // Refreshes the stored txLevel; true when more than 195 records wait.
  bool nearlyFull();

  // Single-character messages from the module. `partialFrame` is the frame
  // being received when the XON arrived, empty when the receiver was idle.
  void onXoff();
  void onXon(std::string_view partialFrame = {});
  void onChecksumError();
  void onOverrun();

  // The refresh tick. Records have waited this long for an XON that a noisy
  // line may have swallowed (the module sends one only after a record, so
  // both sides would wait for ever; with the stream stopped for a setup
  // write the link would then time out): after kXonLostTicks the next
  // record goes out anyway. A module that was busy answers it with an
  // overrun error, and the record is sent again. Records waiting for a
  // module that is ready (its XON came while the link was down) go at the
  // next tick.
  void onRefreshTick();
  static constexpr int kXonLostTicks = 3;  // about a second

  // The keep-alive XON of the refresh tick; false when the write failed.
  bool sendXon();

  // Waiting records and any series backlog are dropped (link lost, firmware
  // update).
  void dropWaiting();
  // Both indices back to slot 0 (port search restart).
  void resetIndices();

  // A write that failed or a port that was lost: reported (portLost) once
  // until the port is opened again.
  void reportDisconnected();
  void portOpened() { disconnectReported_ = false; }

  static int nextIndex(int index) { return index > TxRing::kSlots - 2 ? 0 : index + 1; }
  static int previousIndex(int index) { return index == 0 ? TxRing::kSlots - 1 : index - 1; }
  static int waitingCount(int readIndex, int writeIndex);
  // The record of a queue entry, without the XON an identification request
  // carries.
  static std::string_view recordText(std::string_view entry);

 private:
  void showLevel();
  void stepBack();
  // The module did not take the record last sent: send it again, or give it
  // up after kMaxTries.
  void resendOrAbandon();
  void feedBacklog();
  void log(std::string_view prefix, std::string_view text);

  LinkState& state_;
  TxRing& ring_;
  SerialPort& port_;
  LinkDiagnostics& diagnostics_;
  LinkEvents& events_;
  std::deque<std::string> backlog_;
  bool disconnectReported_ = false;
  int tries_ = 0;           // times the record last sent has been written
  bool resendDue_ = false;  // the module rejected it: the next send repeats it
};

}  // namespace oxalis
