#pragma once
// What the setup window reads of the tool, set by the test; what it sends
// and tells, recorded.
#include <string>
#include <vector>

#include "setup/Setup.h"

namespace oxalis::test {

class FakeSetupHost : public SetupHost {
 public:
  std::string deviceCode() const override { return code; }
  std::uint8_t userLevel() const override { return level; }
  bool factoryWindowShown() const override { return factory; }
  bool dataFlowing() const override { return flowing; }
  int softwareRevision() const override { return revision; }
  double stoichRatio() const override { return ratio; }
  void setStoichRatio(double r) override { ratio = r; }
  void channelChanged(int slot) override { changedSlots.push_back(slot); }
  bool saveSetupAs() override {
    ++saves;
    return saveSucceeds;
  }
  int channelCount() const override { return channels; }
  std::string libraryFolder() const override { return library; }
  std::string setupFileName() const override { return archive; }
  std::string setupFolder() const override { return archiveFolder; }
  void setupFileOpened(const std::string& file) override { archive = file; }
  bool linkUp() const override { return connected; }
  bool streamRunning() const override { return streaming; }
  std::int32_t serialNumber() const override { return serial; }
  void send(std::vector<std::string> records) override { sent.insert(sent.end(), records.begin(), records.end()); }
  void holdKeepAlive(int ticks) override { keepAliveHeld = ticks; }

  std::string code = "OX2";
  std::uint8_t level = 3;
  bool factory = false;
  bool flowing = false;
  int revision = 7;
  double ratio = 14.57;
  int channels = 4;
  bool connected = true;
  bool streaming = true;
  std::int32_t serial = 1234;
  std::string library;
  std::string archive = "Default.OXS";
  std::string archiveFolder;
  int keepAliveHeld = 0;
  std::vector<int> changedSlots;
  std::vector<std::string> sent;
  int saves = 0;
  bool saveSucceeds = true;
};

}  // namespace oxalis::test
