#pragma once
// The link to a module: it owns the port search, the receive parser, the
// transmit queue and the request set, and everything they know (LinkState).
// It reaches the rest of the tool only through LinkEvents and
// LinkDiagnostics, and the platform through SerialPort and Timers; it never
// opens a dialog box (what the user must hear of goes out as an event).
#include <cstdint>

#include "link/LinkDiagnostics.h"
#include "link/LinkEvents.h"
#include "link/LinkState.h"
#include "link/PortSearch.h"
#include "link/ReceiveParser.h"
#include "link/Requests.h"
#include "link/TransmitQueue.h"
#include "platform/SerialPort.h"

namespace oxalis {

class Timers;

class Link {
 public:
  Link(SerialPort& port, Timers& timers, LinkEvents& events, LinkDiagnostics& diagnostics);

  Link(const Link&) = delete;
  Link& operator=(const Link&) = delete;

  // Every byte received from the port, in order.
  void onByte(std::uint8_t byte) { parser.onByte(byte); }
  // The port owner reports a lost port (adapter unplugged).
  void onPortLost() { queue.reportDisconnected(); }

  // Opens port n; once it is open, a failed write or a lost port is
  // reported again.
  PortOpenResult openPort(int portNumber);

  // Resets the link and starts the port search, the last module's port
  // first.
  void start();

  // The link's part of the refresh tick: supervision (after five ticks
  // without a byte the link is declared lost, and every further silent tick
  // says so again and asks for a module), then the keep-alive XON while a
  // module is connected and nothing waits. False when that XON could not be
  // written: the rest of the tick is skipped.
  bool refreshTick();

  // `Timer2`: the keep-alive time request, unless a delay is counting down.
  void keepAliveTick();

  SerialPort& port() { return port_; }
  const SerialPort& port() const { return port_; }
  Timers& timers() { return timers_; }
  LinkEvents& events() { return events_; }
  LinkDiagnostics& diagnostics() { return diagnostics_; }

  LinkState state;
  TransmitQueue queue;
  CommandSet commands;
  ReceiveParser parser;
  PortSearch search;

 private:
  void timeOut();

  SerialPort& port_;
  Timers& timers_;
  LinkEvents& events_;
  LinkDiagnostics& diagnostics_;
};

}  // namespace oxalis
