#pragma once
// The core and one simulated module on a serial line paced at the link's
// 57600 baud (5760 bytes a second each way), in simulated time, with the
// core's timers ticked as the event loop would. The line counts the bytes
// that cross it: the tool's, and the module's replies with its measurement
// records left out, so that a benchmark can set a transfer's time against
// the pure wire time of the records exchanged.
#include <algorithm>
#include <array>
#include <chrono>
#include <deque>
#include <functional>
#include <string>

#include "FakeClock.h"
#include "FakeDialogs.h"
#include "FakeTimers.h"
#include "app/Core.h"
#include "sim/ModuleSimulator.h"

namespace oxalis::bench {

constexpr double kBytesPerMs = 5.76;
constexpr int kStepsPerMs = 10;  // the line moves bytes every 0.1 ms

// One serial line to one simulated module, each direction paced at the
// link's speed. Bytes are counted as they arrive at the other end.
class PacedLine final : public SerialPort {
 public:
  explicit PacedLine(sim::ModuleSimulator& module) : module_(module) {}

  PortOpenResult open(int portNumber) override {
    open_ = portNumber == 1;
    return open_ ? PortOpenResult::Ok : PortOpenResult::Absent;
  }
  void close() override { open_ = false; }
  bool isOpen() const override { return open_; }
  bool write(std::string_view bytes) override {
    if (!open_) return false;
    toModule_.insert(toModule_.end(), bytes.begin(), bytes.end());
    return true;
  }
  void discardOutput() override { toModule_.clear(); }
  std::string lastOpenError() const override { return {}; }

  void setByteHandler(std::function<void(std::uint8_t)> handler) { toTool = std::move(handler); }

  // One millisecond of the line and the module.
  void advanceOneMs() {
    module_.advance(std::chrono::milliseconds(1));
    for (int step = 0; step < kStepsPerMs; ++step) {
      moduleCredit_ = std::min(moduleCredit_ + kBytesPerMs / kStepsPerMs, 1.0);
      toolCredit_ = std::min(toolCredit_ + kBytesPerMs / kStepsPerMs, 1.0);
      if (moduleCredit_ >= 1.0 && !toModule_.empty()) {
        moduleCredit_ -= 1.0;
        const char byte = toModule_.front();
        toModule_.pop_front();
        ++toolBytes;
        module_.receive(static_cast<std::uint8_t>(byte));
      }
      for (char c : module_.takeOutput()) fromModule_.push_back(c);
      if (toolCredit_ >= 1.0 && !fromModule_.empty()) {
        toolCredit_ -= 1.0;
        const char byte = fromModule_.front();
        fromModule_.pop_front();
        countReplyByte(byte);
        if (open_ && toTool) toTool(static_cast<std::uint8_t>(byte));
      }
    }
  }

  bool idle() const { return toModule_.empty(); }

  std::function<void(std::uint8_t)> toTool;
  long long toolBytes = 0;   // tool to module
  long long replyBytes = 0;  // module to tool, measurement records left out

 private:
  // Records have no terminator: ":LLAAAATT", 2 x LL data characters and the
  // checksum. A measurement record (type 13) is not a reply.
  void countReplyByte(char c) {
    if (recordLeft_ == 0 && c == ':') {
      header_ = ":";
      measurement_ = false;
      recordLeft_ = -1;
      return;
    }
    if (recordLeft_ < 0) {
      header_ += c;
      if (header_.size() == 9) {
        const int count = std::stoi(header_.substr(1, 2), nullptr, 16);
        measurement_ = header_.substr(7, 2) == "13";
        recordLeft_ = 2 * count + 2;
        if (!measurement_) replyBytes += 9;
      }
      return;
    }
    if (recordLeft_ > 0) {
      --recordLeft_;
      if (!measurement_) ++replyBytes;
      return;
    }
    // XON and the other single characters, but for the XON after a
    // measurement record.
    if (!measurement_) ++replyBytes;
    measurement_ = false;
  }

  sim::ModuleSimulator& module_;
  bool open_ = false;
  std::deque<char> toModule_;
  std::deque<char> fromModule_;
  double moduleCredit_ = 0;
  double toolCredit_ = 0;
  std::string header_;
  int recordLeft_ = 0;
  bool measurement_ = false;
};

// The core on the paced line, with its timers ticked in simulated time.
struct PacedLink {
  explicit PacedLink(sim::SimOptions options = {}) : module(std::move(options)) {
    line.toTool = [this](std::uint8_t b) { core.onByte(b); };
  }

  void runOneMs() {
    line.advanceOneMs();
    ++now;
    for (const TimerId id : {TimerId::Search, TimerId::Refresh, TimerId::KeepAlive, TimerId::Firmware}) {
      auto& due = due_[static_cast<std::size_t>(id)];
      const test::FakeTimers::State& timer = timers.state(id);
      if (timer.restarts != due.restarts) due = {timer.restarts, now + timer.interval};
      if (!timer.enabled || timer.interval <= 0 || now < due.at) continue;
      due.at = now + timer.interval;
      core.onTimer(id);
    }
  }

  template <typename Condition>
  bool runUntil(Condition done, int limitMs) {
    for (int ms = 0; ms < limitMs; ++ms) {
      if (done()) return true;
      runOneMs();
    }
    return done();
  }

  bool transferOver() { return !core.setup.transferring() && core.link.queue.isEmpty() && line.idle(); }

  sim::ModuleSimulator module;
  PacedLine line{module};
  test::FakeTimers timers;
  test::FakeDialogs dialogs;
  test::FakeClock clock;
  Core core{{line, timers, dialogs, clock}};
  long long now = 0;

 private:
  struct Due {
    int restarts = -1;
    long long at = 0;
  };
  std::array<Due, 4> due_{};
};

}  // namespace oxalis::bench
