#pragma once
// Storage of the transmit queue: a ring of 201 record slots. The operations
// live in TransmitQueue.
#include <array>
#include <cstdint>
#include <string>

namespace oxalis {

struct TxRing {
  static constexpr int kSlots = 201;
  std::array<std::string, kSlots> txQueue{};
  std::int16_t txReadIndex = 0;   // slot of the next record to send
  std::int16_t txWriteIndex = 0;  // slot the next queued record goes into
  int txLevel = 0;                // waiting records, as last computed by QueueNearlyFull
  bool moduleReady = false;       // the module sent XON since the last record was written
  int ticksWithoutXon = 0;        // refresh ticks with records waiting and no XON
  std::string lastSentRecord;
};

}  // namespace oxalis
