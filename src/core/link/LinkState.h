#pragma once
// Everything the link knows: whether a module is connected, the port, the
// receiver and transmitter, the module's identity. Owned by Link; the rest
// of the tool reads it.
#include <cstdint>

#include "link/RxState.h"
#include "link/TxRing.h"

namespace oxalis {

struct LinkState {
  bool linkUp = false;             // a module answered; records go through the queue
  bool rxIdle = true;              // the receiver waits for ":"
  std::uint8_t currentPort = 0;    // port in use or under test, 1..32, 0 none
  std::uint8_t lastModulePort = 0; // port of the last module found (settings file)
  std::uint8_t chosenPort = 0;     // the Port menu: 0 searches ports 1..32, n tries port n alone
  bool firstSearchTick = true;     // the next search tick tries lastModulePort first
  TxRing tx;                       // transmit queue, with txReadIndex and txWriteIndex
  RxState rx;                      // receive parser
  ModuleIdentity identity;         // from the identification reply
  std::uint8_t silentTicks = 0;    // refresh ticks since the last received byte while linked
  bool freshSample = false;        // a measurement record arrived since the last refresh tick
  bool streamRunning = true;       // live frames wanted (Run / Stop Frames button)
  bool dataFlowing = false;        // bytes received since the last link time-out
  bool firmwareLoading = false;    // a firmware update runs
  std::uint8_t keepAliveDelay = 0; // seconds before the next keep-alive request
  // While the setup window exchanges configuration below the Master level,
  // a module answering again must not re-lay the windows under it.
  bool identificationHeld = false;
};

}  // namespace oxalis
