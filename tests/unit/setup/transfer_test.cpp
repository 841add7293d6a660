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
  // A later reply could still match (one to an earlier read may come
  // first): the verdict waits for the replies to stop.
  EXPECT_EQ(setup.window.transferStatus, "Writing...");
  for (int i = 0; i < 10; ++i) setup.tick();
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

// The headless commands wait on this: a read is over when every value asked
// for came, or when the module stopped answering, which is said.
TEST_F(TransferTest, AReadIsOverWhenEveryReplyCameOrTheWaitWasGivenUp) {
  host.connected = true;
  open();
  setup.ReadCfgCAN_Click();
  setup.ReadVout_Click();
  EXPECT_TRUE(setup.transferring());
  for (const std::string& record : host.sent) {
    // ":LLAAAATT..." read parameters: type 10, offset in the low address byte.
    if (record.substr(7, 2) == "10" && record.substr(5, 2) != "7B")
      setup.DecodeConfigValue(static_cast<std::uint8_t>(std::stoi(record.substr(5, 2), nullptr, 16)), 0);
    if (record.substr(7, 2) == "11")
      setup.memoryBlock(static_cast<std::uint16_t>(std::stoi(record.substr(3, 4), nullptr, 16)),
                        std::vector<std::uint8_t>(32, 0));
  }
  EXPECT_TRUE(setup.transferring());
  for (int i = 0; i < 10; ++i) setup.tick();
  EXPECT_FALSE(setup.transferring());
  EXPECT_EQ(setup.window.transferStatus, "No answer from the module for: configuration byte 0x7B");
  setup.ReadCfg_Selection_Click();  // nothing red: nothing asked, and the last verdict goes
  EXPECT_FALSE(setup.transferring());
  EXPECT_EQ(setup.window.transferStatus, "");
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

TEST_F(TransferTest, OpeningWithAStreamingModuleReadsItsConfigurationAndTables) {
  struct Case {
    const char* code;
    std::vector<int> blocks;
    int keepAliveHeld;
  };
  const std::vector<Case> cases{
      {"OX2", {0x0E00, 0x0E20, 0x0E40, 0x0E60}, 0},
      {"PNU", {0x0E00, 0x0E20, 0x0E40, 0x0E60, 0x0E80, 0x0EA0, 0x0EC0, 0x0EE0, 0x0F00, 0x0F20}, 2},
      {"RMW", {}, 0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.code);
    host.flowing = true;
    host.keepAliveHeld = 0;
    host.sent.clear();
    host.code = k.code;
    setup.open();
    std::vector<int> blocks;
    for (const std::string& r : host.sent)
      if (r.size() > 9 && r.substr(7, 2) == "11") blocks.push_back(std::stoi(r.substr(3, 4), nullptr, 16));
    EXPECT_EQ(blocks, k.blocks);
    EXPECT_FALSE(offsets(0x10).empty());
    EXPECT_EQ(host.keepAliveHeld, k.keepAliveHeld);
    EXPECT_FALSE(setup.setupModified);
  }
  // Without a module nothing is asked.
  host.flowing = false;
  open("OX2");
  EXPECT_TRUE(host.sent.empty());
}

TEST_F(TransferTest, TablesAreWrittenLowByteFirstReadBackAndChecked) {
  open("OX2");
  setup.FactorySet_Click();
  EXPECT_TRUE(setup.setupModified);
  setup.WriteVout_Click();
  ASSERT_EQ(host.sent.size(), 12u);
  EXPECT_EQ(host.sent[0], ":020000040000FA");
  // In of point 1 is 1, of point 2 is 50: 01 00 32 00 ...
  EXPECT_EQ(host.sent[1].substr(0, 17), ":200E000001003200");
  EXPECT_EQ(host.sent[5], records::StopFrames());
  EXPECT_EQ(host.sent[6], records::ReadMemory(0x0E00, 32));
  EXPECT_EQ(host.sent[10], records::StartFrames());
  EXPECT_EQ(host.sent[11], ":0200000400F00A");
  // The points are richness whatever the unit shown: the same bytes, and
  // the unit stays.
  const std::vector<std::string> inRichness = host.sent;
  setup.tableUnit_Click(TableUnit::Lambda);
  host.sent.clear();
  setup.WriteVout_Click();
  EXPECT_EQ(host.sent, inRichness);
  EXPECT_EQ(setup.window.tables.unit, TableUnit::Lambda);
  host.sent = inRichness;

  // The module answers with what was written, except one block.
  const auto blockOf = [&](std::size_t record) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 9; i + 2 < host.sent[record].size(); i += 2)
      bytes.push_back(static_cast<std::uint8_t>(std::stoi(host.sent[record].substr(i, 2), nullptr, 16)));
    return bytes;
  };
  for (std::size_t record = 1; record <= 3; ++record) {
    const std::vector<std::uint8_t> bytes = blockOf(record);
    setup.memoryBlock(static_cast<std::uint16_t>(0x0E00 + 0x20 * (record - 1)), bytes);
  }
  EXPECT_EQ(setup.window.transferStatus, "Writing...");
  std::vector<std::uint8_t> last = blockOf(4);
  last[0] ^= 1;
  setup.memoryBlock(0x0E60, last);
  EXPECT_EQ(setup.window.transferStatus, "Written, but the module holds other values for: output table block 0x0E60");
  EXPECT_EQ(setup.window.tables.GrilleConversion.cell(17, 2).background, kConfirmedColour);

  // A module that stops answering is reported.
  setup.WriteVout_Click();
  for (int i = 0; i < 10; ++i) setup.tick();
  EXPECT_EQ(setup.window.transferStatus.substr(0, 30), "No answer from the module for:");
}

TEST_F(TransferTest, ToolboxPutsItsCoefficientsIntoTheChannelsRow) {
  open("OX2");
  setup.GrilleCan_Click(2, 0);
  setup.toolboxEdited(ToolboxInput::VX1, "0");
  setup.toolboxEdited(ToolboxInput::VX2, "1000");
  setup.toolboxEdited(ToolboxInput::VY1, "0");
  setup.toolboxEdited(ToolboxInput::VY2, "5000");
  setup.toolboxEdited(ToolboxInput::Vdec, "2");
  setup.setupModified = false;
  setup.SET_COEF_Click();
  const ChannelDefinition& ch = channels.slot(2);
  EXPECT_EQ((std::vector<double>{ch.A, ch.B, ch.C, ch.D}), (std::vector<double>{500, 0, 0, 100}));
  EXPECT_EQ(ch.Dec, 2);
  EXPECT_EQ(setup.window.GrilleCan.cell(2, 6).text, "500");
  EXPECT_EQ(setup.window.GrilleCan.cell(2, 6).background, kModifiedColour);
  EXPECT_TRUE(setup.setupModified);
  EXPECT_FALSE(setup.window.toolbox.visible);
  // Equal inputs make A too large: refused with its message.
  setup.GrilleCan_Click(3, 0);
  setup.toolboxEdited(ToolboxInput::VX2, setup.window.toolbox.VX1);
  setup.SET_COEF_Click();
  EXPECT_EQ(dialogs.messages.back().text, "A is too high. Must be <32767");
  EXPECT_TRUE(setup.window.toolbox.visible);
}

}  // namespace
}  // namespace oxalis
