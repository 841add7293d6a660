#pragma once
// A link on its own, wired to the fakes, with every event it raises
// recorded and its diagnostics shown in a factory window model: for tests of
// the link that need no other subsystem.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "FakeSerialPort.h"
#include "FakeTimers.h"
#include "factory/FactoryDiagnostics.h"
#include "link/Link.h"

namespace oxalis::test {

struct RecordedLinkEvents final : LinkEvents {
  int identifications = 0;
  int identifyRequests = 0;
  int searchFailures = 0;
  int portsLost = 0;
  std::vector<std::vector<std::uint8_t>> measurements;
  std::vector<std::pair<int, double>> params;
  std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>> memoryBlocks;
  std::vector<double> runningTimes;
  std::vector<LinkStatus> statuses;
  std::vector<int> portsShown;
  std::vector<std::uint8_t> bootloaderReplies;
  std::vector<std::string> refused;
  std::vector<std::string> abandoned;

  void identified() override { ++identifications; }
  void identifyRequested() override { ++identifyRequests; }
  void measurement(std::span<const std::uint8_t> data, std::uint8_t) override {
    measurements.emplace_back(data.begin(), data.end());
  }
  void parameterValue(std::uint8_t offset, double value) override { params.emplace_back(offset, value); }
  void memoryBlock(std::uint16_t address, std::span<const std::uint8_t> bytes) override {
    memoryBlocks.emplace_back(address, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  }
  void runningTime(double hundredths) override { runningTimes.push_back(hundredths); }
  void linkStatusChanged(LinkStatus status) override { statuses.push_back(status); }
  void portShown(int portNumber) override { portsShown.push_back(portNumber); }
  void searchFailed() override { ++searchFailures; }
  void portLost() override { ++portsLost; }
  void bootloaderReply(std::uint8_t code) override { bootloaderReplies.push_back(code); }
  void recordRefused(std::string_view record) override { refused.emplace_back(record); }
  void recordAbandoned(std::string_view record) override { abandoned.emplace_back(record); }
};

struct LinkFixture {
  FakeSerialPort port;
  FakeTimers timers;
  RecordedLinkEvents events;
  FactoryModel factory;
  FactoryDiagnostics diagnostics{factory};
  Link link{port, timers, events, diagnostics};
};

}  // namespace oxalis::test
