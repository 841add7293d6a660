// "Write all" and its read-back against the simulated module over a line
// paced at 57600 baud (5760 bytes a second each way), in simulated time.
// Counter `wire_ratio`: the time from the click until every reply is in and
// the last record has left, divided by the pure wire time of the records
// exchanged (the tool's records and the module's replies, measurement
// records left out, one after the other as the module's XON pacing makes
// them go). 1.0 would be a line never idle; the goal is at most 1.2.
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <deque>

#include "FakeClock.h"
#include "FakeDialogs.h"
#include "FakeTimers.h"
#include "app/Core.h"
#include "sim/ModuleSimulator.h"

namespace {

using namespace oxalis;

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
struct Bench {
  Bench() {
    line.toTool = [this](std::uint8_t b) { core.onByte(b); };
  }

  void runOneMs() {
    line.advanceOneMs();
    ++now;
    for (const TimerId id : {TimerId::Search, TimerId::Refresh, TimerId::KeepAlive}) {
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

  sim::ModuleSimulator module{sim::SimOptions{}};
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

void BM_WriteAllRoundTrip(benchmark::State& state) {
  Bench bench;
  bench.core.start();
  if (!bench.runUntil([&] { return bench.core.link.state.linkUp && bench.core.state.storedLevelKnown; }, 10000)) {
    state.SkipWithError("the module did not answer");
    return;
  }
  bench.core.openSetup();
  if (!bench.runUntil([&] { return bench.transferOver(); }, 30000)) {
    state.SkipWithError("the opening reads did not end");
    return;
  }

  double simulatedMs = 0;
  double wireMs = 0;
  for (auto _ : state) {
    const long long start = bench.now;
    const long long toolBefore = bench.line.toolBytes;
    const long long repliesBefore = bench.line.replyBytes;
    bench.core.setup.WriteCfgCAN_Click();
    if (!bench.runUntil([&] { return bench.transferOver(); }, 60000) ||
        bench.core.setup.window.transferStatus != "Written and verified") {
      state.SkipWithError(("not verified: " + bench.core.setup.window.transferStatus).c_str());
      return;
    }
    simulatedMs += static_cast<double>(bench.now - start);
    wireMs += static_cast<double>(bench.line.toolBytes - toolBefore + bench.line.replyBytes - repliesBefore) / kBytesPerMs;
  }
  state.counters["wire_ratio"] = simulatedMs / wireMs;
  state.counters["simulated_ms"] = benchmark::Counter(simulatedMs, benchmark::Counter::kAvgIterations);
  state.counters["wire_ms"] = benchmark::Counter(wireMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_WriteAllRoundTrip)->Unit(benchmark::kMillisecond);

}  // namespace
