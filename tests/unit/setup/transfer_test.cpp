#include <gtest/gtest.h>

#include <algorithm>

#include "FakeDialogs.h"
#include "FakeSetupHost.h"
#include "config/ChannelLine.h"
#include "link/Requests.h"
#include "setup/ConfigCodec.h"
#include "setup/Setup.h"

namespace oxalis {
namespace {

std::string write(std::uint8_t offset, std::vector<int> bytes) {
  return records::WriteParams(offset, std::string(bytes.begin(), bytes.end()));
}

// The configuration offset a parameter record addresses, or -1.
int offsetOf(const std::string& record, int type) {
  if (record.size() < 11 || std::stoi(record.substr(7, 2), nullptr, 16) != type) return -1;
  return std::stoi(record.substr(5, 2), nullptr, 16);
}

class TransferTest : public ::testing::Test {
 protected:
  TransferTest() { LoadDefaultChannels(channels); }
  void open(std::string code = "OX2", std::uint8_t level = 3) {
    host.code = std::move(code);
    host.level = level;
    setup.open();
    host.sent.clear();
  }
  void type(Field field, const std::string& text) {
    setup.fieldEdited(field, text);
    setup.fieldKey(field, SetupKey::Enter);
  }
  std::vector<int> offsets(int type) const {
    std::vector<int> out;
    for (const std::string& r : host.sent)
      if (offsetOf(r, type) >= 0) out.push_back(offsetOf(r, type));
    return out;
  }
  bool wasSent(const std::string& record) const {
    return std::find(host.sent.begin(), host.sent.end(), record) != host.sent.end();
  }

  test::FakeSetupHost host;
  ChannelTable channels;
  test::FakeDialogs dialogs;
  oxalis::Setup setup{host, channels, dialogs};
};

TEST_F(TransferTest, WritingOneRedFieldSendsItReadsItBackAndReloads) {
  open();
  type(Field::Vout_NOT, "2500");
  setup.WriteCfg_selection_Click();
  EXPECT_EQ(host.sent, (std::vector<std::string>{records::StopFrames(), ":0200000400F00A", ":0200300009C401",
                                                 ":00023010BE", ":00000314E9", records::StartFrames()}));
  // With the live frames stopped by the user they stay stopped.
  host.sent.clear();
  host.streaming = false;
  setup.WriteCfg_selection_Click();
  EXPECT_EQ(host.sent.back(), ":00000314E9");
}

TEST_F(TransferTest, WriteAllEncodesEveryFieldInTheModulesOrder) {
  open();
  type(Field::W_Stoichio, "14.57");
  type(Field::Rich_NOT, "1");
  setup.WriteCfgCAN_Click();
  EXPECT_TRUE(wasSent(write(0x2C, {0x05, 0xB1})));
  EXPECT_TRUE(wasSent(write(0x3A, {0x03, 0xE8})));
  // Identifiers and grid first, speed and mode byte next, the fallback
  // values and the ratio last (the filter list shows "Filter", no entry,
  // until one is chosen or read); then the whole read-back.
  const std::vector<int> written = offsets(0x00);
  const std::vector<int> expected{0x14, 0x18, 0x1C, 0x20, 0x60, 0x70, 0x71, 0x9D, 0x90, 0x92, 0x94, 0x96, 0x98, 0x99, 0x9B,
                                  0x64, 0x72, 0x73, 0xAD, 0xA0, 0xA2, 0xA4, 0xA6, 0xA8, 0xA9, 0xAB,
                                  0x68, 0x74, 0x75, 0xBD, 0xB0, 0xB2, 0xB4, 0xB6, 0xB8, 0xB9, 0xBB,
                                  0x6C, 0x76, 0x77, 0xCD, 0xC0, 0xC2, 0xC4, 0xC6, 0xC8, 0xC9, 0xCB,
                                  0x10, 0x13, 0x2F, 0x30, 0x32, 0x3A, 0x3C, 0x78, 0x7A, 0x7B, 0x2C};
  EXPECT_EQ(written, expected);
  // The ECU identifier is disabled without a protocol: not written; the
  // Skynam identifier always is.
  EXPECT_EQ(offsets(0x10).size(), 29u);
  EXPECT_EQ(host.sent.back(), records::StartFrames());
}

TEST_F(TransferTest, SkynamWritesOneMegabitAndNeverTheListEntry) {
  open("OX2", 3);
  setup.listClick(Field::BaudRateList, 3);  // "125k"
  setup.ListeProtocoles_Click(kSkynamProtocol);
  setup.WriteCfgCAN_Click();
  EXPECT_TRUE(wasSent(write(0x10, {0x40, 0xB7, 0x03})));
  EXPECT_FALSE(wasSent(write(0x10, {0x0F, 0x91, 0x03})));
  // At Basic the Skynam identifier and speed go first.
  open("OX2", 1);
  setup.Option_Skynam_Click();
  setup.WriteCfgCAN_Click();
  EXPECT_EQ(host.sent[2], write(0x20, {0x80, 0x5A, 0xFF, 0x00}));
  EXPECT_EQ(host.sent[3], write(0x10, {0x40, 0xB7, 0x03}));
}

TEST_F(TransferTest, FirstGenerationWritesNoIdentifierAndNoGridCell) {
  for (std::uint8_t level : {3, 1}) {
    open("OXL", level);
    setup.WriteCfgCAN_Click();
    std::vector<int> ids;
    for (int offset : offsets(0x00))
      if ((offset >= 0x14 && offset < 0x28) || (offset >= 0x60 && offset < 0x78) || offset >= 0x90) ids.push_back(offset);
    // Only the Skynam identifier, at Basic.
    EXPECT_EQ(ids, level == 1 ? std::vector<int>{0x20} : std::vector<int>{}) << int(level);
  }
}

TEST_F(TransferTest, ReadsAskForTheRightSettings) {
  open("OX2");
  setup.ReadCfgCAN_Click();
  EXPECT_EQ(offsets(0x10).size(), 29u);
  EXPECT_EQ(host.sent.front(), records::StopFrames());
  EXPECT_EQ(host.sent.back(), records::StartFrames());
  EXPECT_EQ(setup.window.caption, "SETUP ( Oxalis S/N 1234 )");

  open("PNU");
  setup.ReadCfgCAN_Click();
  const std::vector<int> asked = offsets(0x10);
  for (int skipped : {0x30, 0x32, 0x3A, 0x78, 0x7A, 0x7B})
    EXPECT_EQ(std::count(asked.begin(), asked.end(), skipped), 0) << skipped;
  EXPECT_EQ(std::count(asked.begin(), asked.end(), 0x3C), 1);
  EXPECT_EQ(std::count(asked.begin(), asked.end(), 0x9D), 1);  // the display's records
  EXPECT_EQ(setup.window.caption, "SETUP ( Display CAN S/N 1234 )");

  // Selected cells: only the red ones, and no frame control.
  open("OX2");
  setup.fieldDoubleClick(Field::Heater_Timeout);
  setup.ReadCfg_Selection_Click();
  EXPECT_EQ(host.sent, std::vector<std::string>{records::ReadParams(0x7A, 1)});
  setup.DecodeConfigValue(0x7A, 30);
  host.sent.clear();
  setup.ReadCfg_Selection_Click();
  EXPECT_TRUE(host.sent.empty());
}

TEST_F(TransferTest, WithoutAModuleNothingIsAskedAndTheUserIsTold) {
  open("PNU");
  host.connected = false;
  setup.ReadCfgCAN_Click();
  EXPECT_EQ(host.sent, (std::vector<std::string>{records::StopFrames(), records::StartFrames()}));
  host.sent.clear();
  type(Field::Rich_HS, "0.5");
  setup.WriteCfgCAN_Click();
  setup.WriteCfg_selection_Click();
  setup.ReadCfg_Selection_Click();
  EXPECT_TRUE(host.sent.empty());
  ASSERT_EQ(dialogs.messages.size(), 4u);
  EXPECT_EQ(dialogs.messages[0].text, "No Display detected. Quit setup window and connect again with a Display");
}

TEST_F(TransferTest, ReadBackConfirmsOrNamesWhatDiffersOrDidNotAnswer) {
  open();
  type(Field::Vout_NOT, "2500");
  type(Field::Heater_Timeout, "20");
  setup.fieldLeave(Field::Heater_Timeout);
  setup.fieldDoubleClick(Field::Heater_Timeout);
  setup.WriteCfg_selection_Click();
  EXPECT_EQ(setup.window.transferStatus, "Writing...");
  setup.DecodeConfigValue(0x30, 2500);
  setup.DecodeConfigValue(0x7A, 20);
  EXPECT_EQ(setup.window.transferStatus, "Written and verified");
  EXPECT_EQ(setup.window.Vout_NOT.state, EditState::Confirmed);

  type(Field::Vout_NOT, "1000");
  setup.WriteCfg_selection_Click();
  setup.DecodeConfigValue(0x30, 2500);  // the module kept its old value
  EXPECT_EQ(setup.window.transferStatus, "Written, but the module holds other values for: Vout on invalid measurement");
  EXPECT_EQ(setup.window.Vout_NOT.state, EditState::Modified);
  EXPECT_EQ(setup.window.Vout_NOT.text, "2500");

  type(Field::Vout_HS, "300");
  setup.WriteCfg_selection_Click();
  for (int i = 0; i < 9; ++i) setup.tick();
  EXPECT_EQ(setup.window.transferStatus, "Writing...");
  setup.tick();
  // The field that came back different is still red, so it went again.
  EXPECT_EQ(setup.window.transferStatus,
            "No answer from the module for: Vout on invalid measurement, Vout on probe out of order");
}

TEST_F(TransferTest, ProbeTimeIsSentInHundredthsOfASecond) {
  open();
  setup.Set_Time_Change("0001:00:00");
  setup.Send_Time_Click();
  EXPECT_EQ(host.sent, (std::vector<std::string>{":0200000400F00A", write(0x40, {0x00, 0x05, 0x7E, 0x40}),
                                                 records::ReloadRequest(4)}));
  host.sent.clear();
  for (const char* bad : {"0001:0a:00", "1:00:00", ""}) {
    setup.Set_Time_Change(bad);
    setup.Send_Time_Click();
  }
  EXPECT_TRUE(host.sent.empty());
  ASSERT_EQ(dialogs.messages.size(), 3u);
  EXPECT_EQ(dialogs.messages[0].text, "Invalid time format(hhhhh:mm:ss)");
}

}  // namespace
}  // namespace oxalis
