#pragma once
// An in-process serial port wired to simulated modules, for fast
// deterministic tests of the tool.
//  - attach(n, simulator) plugs a module in at port number n. open(n) gives Ok
//    for a port with a module and Absent for one without; setOpenResult(n, r)
//    scripts another answer (Busy, PermissionDenied, Failed, or Ok without a
//    module).
//  - write() hands the bytes to the open port's module one at a time and
//    records them in `written`; it fails while the port is closed or after
//    unplug(). Bytes written to a port without a module go nowhere.
//  - deliver() passes what the open port's module has sent so far to the
//    byte handler, one byte per call. The handler may write, close the port or
//    open another one: the bytes were taken before the first call, replies to
//    what the handler writes come with the next deliver(), and delivery stops
//    when the port is closed or changed. A nested deliver() from inside the
//    handler does nothing.
//  - advance(t) moves every module's time on in steps of 1 ms and delivers
//    after each step, so replies and measurement records reach the tool in
//    the order and at about the time a real link would bring them.
//  - What a module sends while its port is not open is lost.
//  - unplug() pulls the open port's adapter out: the port closes, the lost
//    handler is called once, writes fail and open() of that port number
//    reports Absent until plugIn(n).
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "platform/SerialPort.h"
#include "sim/ModuleSimulator.h"

namespace oxalis::sim {

class LoopbackPort : public SerialPort {
 public:
  void attach(int portNumber, ModuleSimulator& simulator);
  void detach(int portNumber);
  void setOpenResult(int portNumber, PortOpenResult result) { scripted_[portNumber] = result; }

  PortOpenResult open(int portNumber) override;
  void close() override;
  bool isOpen() const override { return openPort_ != 0; }
  bool write(std::string_view bytes) override;
  void discardOutput() override {}  // writes reach the module at once: nothing is ever pending
  std::string lastOpenError() const override { return lastOpenError_; }

  void setByteHandler(std::function<void(std::uint8_t)> handler) { byteHandler_ = std::move(handler); }
  void setLostHandler(std::function<void()> handler) { lostHandler_ = std::move(handler); }

  void deliver();
  void advance(std::chrono::milliseconds elapsed);
  void unplug();
  void plugIn(int portNumber) { unplugged_.erase(portNumber); }

  int openPort() const { return openPort_; }

  // Every byte written while the port was open, in order.
  std::string written;

 private:
  ModuleSimulator* openSimulator() const;

  std::map<int, ModuleSimulator*> simulators_;
  std::map<int, PortOpenResult> scripted_;
  std::set<int> unplugged_;
  std::function<void(std::uint8_t)> byteHandler_;
  std::function<void()> lostHandler_;
  std::string lastOpenError_;
  int openPort_ = 0;
  unsigned openings_ = 0;  // changes with every open and close
  bool delivering_ = false;
};

}  // namespace oxalis::sim
