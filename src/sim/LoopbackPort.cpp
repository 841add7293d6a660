#include "sim/LoopbackPort.h"

namespace oxalis::sim {

namespace {
constexpr std::chrono::milliseconds kStep{1};

std::string Reason(int portNumber, PortOpenResult result) {
  const std::string port = "COM" + std::to_string(portNumber);
  switch (result) {
    case PortOpenResult::Ok:
      return {};
    case PortOpenResult::Absent:
      return port + ": no such device";
    case PortOpenResult::Busy:
      return port + " is in use by another program";
    case PortOpenResult::PermissionDenied:
      return port + ": permission denied";
    case PortOpenResult::Failed:
      return port + " could not be opened";
  }
  return {};
}
}  // namespace

void LoopbackPort::attach(int portNumber, ModuleSimulator& simulator) { simulators_[portNumber] = &simulator; }

void LoopbackPort::detach(int portNumber) {
  if (openPort_ == portNumber) close();
  simulators_.erase(portNumber);
}

PortOpenResult LoopbackPort::open(int portNumber) {
  close();
  PortOpenResult result = simulators_.contains(portNumber) ? PortOpenResult::Ok : PortOpenResult::Absent;
  if (const auto it = scripted_.find(portNumber); it != scripted_.end()) result = it->second;
  if (unplugged_.contains(portNumber)) result = PortOpenResult::Absent;
  lastOpenError_ = Reason(portNumber, result);
  if (result != PortOpenResult::Ok) return result;
  openPort_ = portNumber;
  ++openings_;
  // Whatever the module sent before the port was opened is gone.
  if (ModuleSimulator* sim = openSimulator()) sim->takeOutput();
  return result;
}

void LoopbackPort::close() {
  if (openPort_ == 0) return;
  openPort_ = 0;
  ++openings_;
}

bool LoopbackPort::write(std::string_view bytes) {
  if (!isOpen()) return false;
  written.append(bytes);
  if (ModuleSimulator* sim = openSimulator()) sim->receive(bytes);
  return true;
}

ModuleSimulator* LoopbackPort::openSimulator() const {
  const auto it = simulators_.find(openPort_);
  return it == simulators_.end() ? nullptr : it->second;
}

void LoopbackPort::deliver() {
  if (delivering_) return;
  ModuleSimulator* sim = openSimulator();
  if (sim == nullptr) return;
  const std::string bytes = sim->takeOutput();
  if (!byteHandler_) return;
  delivering_ = true;
  const unsigned opening = openings_;
  for (char c : bytes) {
    if (openings_ != opening) break;
    byteHandler_(static_cast<std::uint8_t>(c));
  }
  delivering_ = false;
}

void LoopbackPort::advance(std::chrono::milliseconds elapsed) {
  for (auto done = std::chrono::milliseconds{0}; done < elapsed; done += kStep) {
    for (auto& [port, sim] : simulators_) {
      sim->advance(kStep);
      if (port != openPort_) sim->takeOutput();  // nobody listens
    }
    deliver();
  }
}

void LoopbackPort::unplug() {
  if (openPort_ == 0) return;
  unplugged_.insert(openPort_);
  close();
  if (lostHandler_) lostHandler_();
}

}  // namespace oxalis::sim
