#pragma once
// What the link tells the rest of the tool. The link never knows a window, a
// decoder or the composition root: it calls these, and the composition root
// fans them out to the subsystems and to the presenter of the main window's
// texts. Every call comes on the user-interface thread, from inside the
// link's handling of a byte, a tick or a request.
#include <cstdint>
#include <span>
#include <string_view>

namespace oxalis {

enum class LinkStatus {
  Up,        // bytes arrive from the identified module
  TimedOut,  // five refresh ticks without a byte: the module is considered gone
};

class LinkEvents {
 public:
  virtual ~LinkEvents() = default;

  // A known module answered the identification request: the link's identity
  // and device code are set, the link is up.
  virtual void identified() = 0;
  // The identification request went out (the port is open): the follow-up
  // reads go right after it.
  virtual void identifyRequested() = 0;
  // A checked measurement record while a module is connected: its data
  // bytes and the slow-slot selector (address low byte).
  virtual void measurement(std::span<const std::uint8_t> data, std::uint8_t selector) = 0;
  // A parameter reply: configuration offset and the bytes folded into one
  // number, most significant first.
  virtual void parameterValue(std::uint8_t offset, double value) = 0;
  // A memory reply: 16-bit address and the data bytes.
  virtual void memoryBlock(std::uint16_t address, std::span<const std::uint8_t> bytes) = 0;
  // The probe's running time, in hundredths of a second.
  virtual void runningTime(double hundredths) = 0;
  virtual void linkStatusChanged(LinkStatus status) = 0;
  // The port search shows the port it tries (1..32), or 0 when no module
  // was found on any port.
  virtual void portShown(int portNumber) = 0;
  // The search tried every port without an answer (`PortSearch::tried` says
  // what each port did); it tries again by itself a moment later.
  virtual void searchFailed() = 0;
  // The port went away (adapter unplugged) or a write to it failed; the
  // link goes on asking for the module, which is found again on its return.
  virtual void portLost() = 0;
  // A bootloader's single-character report (firmware checksum error, update
  // successful).
  virtual void bootloaderReply(std::uint8_t code) = 0;
  // The transmit queue was full: this record was not sent.
  virtual void recordRefused(std::string_view record) = 0;
  // The module rejected this record every time it was sent
  // (TransmitQueue::kMaxTries): it is given up, and the queue goes on with
  // the next one.
  virtual void recordAbandoned(std::string_view record) = 0;
};

}  // namespace oxalis
