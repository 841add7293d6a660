// The firmware window's update: which files it refuses, what it sends to a
// module that keeps up and what it does with one that stops answering.
#include <gtest/gtest.h>

#include "FakeDialogs.h"
#include "FakeTimers.h"
#include "TempFolder.h"
#include "firmware/FirmwareUpdate.h"
#include "link/RecordCodec.h"

namespace oxalis {
namespace {

// A module that takes each record at once, unless told to stall.
struct FakeFirmwareHost : FirmwareHost {
  std::string deviceCode() const override { return "OX2"; }
  bool linkUp() const override { return link; }
  bool portOpen() const override { return true; }
  bool moduleReady() const override { return ready; }
  bool updateReported() const override { return success; }
  void clearUpdateReported() override { success = false; }
  bool queueNearlyFull() override { return false; }
  bool queueEmpty() const override { return true; }
  void queue(std::string record) override { sent.push_back(std::move(record)); }
  void dropQueue() override { ++drops; }
  void readBootloaderVersion() override { ++versionReads; }
  void stopMainTimers() override { mainTimers = false; }
  void restartRefresh() override { mainTimers = true; }
  void setLoading(bool value) override { loading = value; }
  void clearErrorIndications() override {}
  void identify() override { ++identifications; }

  bool link = true;
  bool ready = true;
  bool success = false;
  bool mainTimers = true;
  bool loading = false;
  int drops = 0;
  int versionReads = 0;
  int identifications = 0;
  std::vector<std::string> sent;
};

std::string data(std::uint16_t address, std::string bytes) { return BuildRecord(0x00, address, bytes); }

// A small image: the bootloader part (with its version at 0x0050), then
// firmware from 0x0800, then the end record.
std::string image(std::uint8_t bootloaderVersion, int firmwareLines = 4) {
  std::string file;
  if (bootloaderVersion != 0) file += data(0x0050, std::string{static_cast<char>(bootloaderVersion), '\0'}) + "\r\n";
  file += data(0x0100, std::string(16, '\x55')) + "\r\n";
  for (int i = 0; i < firmwareLines; ++i)
    file += data(static_cast<std::uint16_t>(0x0800 + 16 * i), std::string(16, static_cast<char>(i))) + "\r\n";
  return file + ":00000001FF\r\n";
}

class FirmwareUpdateTest : public ::testing::Test {
 protected:
  // The window opened with the module's bootloader at `moduleVersion` and
  // the file chosen.
  bool choose(const std::string& bytes, std::uint8_t moduleVersion) {
    update.open();
    update.bootloaderVersionRead(moduleVersion);
    test::WriteBytes(folder / "new.OX2", bytes);
    return update.chooseFile((folder / "new.OX2").string());
  }
  void runToEnd(int maxTicks = 1000) {
    for (int i = 0; i < maxTicks && update.running(); ++i) update.tick();
  }

  test::TempFolder folder;
  FakeFirmwareHost host;
  test::FakeDialogs dialogs;
  test::FakeTimers timers;
  FirmwareUpdate update{host, dialogs, timers};
};

TEST_F(FirmwareUpdateTest, BootloaderOptionFollowsTheVersionsOfFileAndModule) {
  struct Case {
    std::uint8_t module, file;
    bool offered;
  };
  for (const Case c : {Case{11, 12, true}, Case{10, 12, false}, Case{12, 12, false}, Case{13, 0, false}}) {
    dialogs.messages.clear();
    ASSERT_TRUE(choose(image(c.file), c.module));
    EXPECT_EQ(update.window.Check_BootloaderUpdateEnabled, c.offered) << int(c.module) << " " << int(c.file);
    if (c.module == 11) {
      ASSERT_EQ(dialogs.messages.size(), 1u);
      EXPECT_EQ(dialogs.messages[0].text, "New Bootloader version in this file ( 1.2 vs  1.1).");
    }
    EXPECT_TRUE(update.window.BoutonLoad);
    EXPECT_EQ(update.window.caption, "Updating (new.OX2)");
  }
}

TEST_F(FirmwareUpdateTest, ADamagedFileIsRefusedNamingItsLineAndNothingIsSent) {
  const std::string good = image(0);
  std::string flipped = good;
  flipped[good.find("\r\n") + 2 + 12] ^= 1;  // a digit of line 2 ("4" <-> "5" and the like)
  const std::string truncated = good.substr(0, good.size() - 6);
  const std::string noEnd = good.substr(0, good.rfind(":00000001FF"));
  struct Case {
    std::string bytes;
    const char* says;
  };
  for (const Case& c : {Case{flipped, "line 2: checksum"}, Case{truncated, "line 6: "},
                        Case{noEnd, "without its end record"}, Case{"hello\r\n", "line 1: does not begin with"},
                        Case{data(0xFFF8, std::string(16, 'x')) + "\r\n:00000001FF\r\n", "outside"}}) {
    dialogs.messages.clear();
    EXPECT_FALSE(choose(c.bytes, 13));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find(c.says), std::string::npos) << dialogs.messages[0].text;
    EXPECT_FALSE(update.window.BoutonLoad);
    update.BoutonLoad_Click();
    runToEnd();
  }
  EXPECT_TRUE(host.sent.empty());
}

// From bootloader 13 on the end record carries the sum of the checksum
// bytes sent; up to 12 no end record goes at all.
TEST_F(FirmwareUpdateTest, FirmwareRunRestartsTheModuleAndEndsAsItsBootloaderWants) {
  for (std::uint8_t version : {12, 13}) {
    host.sent.clear();
    const std::string file = image(0);
    ASSERT_TRUE(choose(file, version));
    host.ready = false;  // a record on its way: the restart waits in the queue
    update.BoutonLoad_Click();
    host.ready = true;
    EXPECT_FALSE(update.window.Cancel_update);
    EXPECT_FALSE(update.escape());  // not during a run
    host.success = true;
    runToEnd();
    ASSERT_FALSE(host.sent.empty());
    EXPECT_EQ(host.sent.front(), ":00000120DF");
    if (version == 12) {
      EXPECT_EQ(host.sent.size(), 6u);  // restart and five data records
      EXPECT_NE(host.sent.back().substr(7, 2), "01");
    } else {
      std::uint8_t sum = 0;
      for (std::size_t i = 1; i + 1 < host.sent.size(); ++i)
        sum = static_cast<std::uint8_t>(sum + RecordChecksumByte(host.sent[i]));
      EXPECT_EQ(host.sent.back(), EndRecordWithChecksum(sum));
    }
    EXPECT_EQ(update.window.Etat_load, "100%");
    EXPECT_EQ(dialogs.messages.back().text, "Firmware successful updated. Remember to reload lookup table. ");
    EXPECT_TRUE(update.window.Cancel_update);
    EXPECT_TRUE(update.escape());  // closes at 100 %
    EXPECT_TRUE(host.mainTimers);
    EXPECT_GE(host.identifications, 1);
  }
}

TEST_F(FirmwareUpdateTest, BootloaderRunSendsTheBootloaderPartWithProgressByFileLength) {
  ASSERT_TRUE(choose(image(12), 11));
  update.Check_BootloaderUpdate_Click(true);
  update.BoutonLoad_Click();
  update.tick();
  EXPECT_EQ(host.sent, (std::vector<std::string>{":020000040000FA", data(0x0050, std::string{'\x0C', '\0'})}));
  // Progress by the file's length, not in jumps to 100 %.
  EXPECT_GT(update.window.ProgressBar1, 0);
  EXPECT_LT(update.window.ProgressBar1, 30);
  runToEnd();
  // Up to, not including, the first firmware line at 0x0800.
  EXPECT_EQ(host.sent.size(), 3u);
  EXPECT_EQ(update.window.Text1.size(), 2u);
  EXPECT_EQ(dialogs.messages.back().text, "Boot Update Done. Select 'LOAD' again to update now the firmware");
  EXPECT_FALSE(update.window.Check_BootloaderUpdate);
  EXPECT_EQ(host.versionReads, 2);  // at opening, and the new version

  // A file without firmware lines is a bootloader part to its end.
  host.sent.clear();
  ASSERT_TRUE(choose(image(12, 0), 11));
  update.Check_BootloaderUpdate_Click(true);
  update.BoutonLoad_Click();
  runToEnd();
  EXPECT_EQ(host.sent.size(), 4u);  // area, 0x0050, 0x0100 and the end record
}

TEST_F(FirmwareUpdateTest, AModuleThatStopsAnsweringEndsTheRunWithWhatToDoNext) {
  ASSERT_TRUE(choose(image(0), 13));
  update.BoutonLoad_Click();
  update.tick();
  host.ready = false;
  for (int i = 0; i < FirmwareUpdate::kStallTicks - 1; ++i) update.tick();
  EXPECT_TRUE(update.running());
  update.tick();
  EXPECT_FALSE(update.running());
  EXPECT_EQ(update.outcome(), FirmwareUpdate::Outcome::Failed);
  EXPECT_EQ(dialogs.messages.back().text.rfind("Link with board failed \n", 0), 0u);
  EXPECT_NE(dialogs.messages.back().text.find("force its bootloader"), std::string::npos);
  EXPECT_EQ(host.drops, 1);
  EXPECT_TRUE(host.mainTimers);
  EXPECT_FALSE(host.loading);
}

// Everything sent is not yet an update: the module's report decides.
TEST_F(FirmwareUpdateTest, ARunTheModuleDoesNotConfirmIsNotCalledDone) {
  ASSERT_TRUE(choose(image(0), 13));
  update.BoutonLoad_Click();
  for (int i = 0; i < 10; ++i) update.tick();  // every record sent
  EXPECT_TRUE(update.running());
  runToEnd(FirmwareUpdate::kStallTicks);
  EXPECT_EQ(update.outcome(), FirmwareUpdate::Outcome::Failed);
  EXPECT_EQ(dialogs.messages.back().text.rfind("The module did not report a successful update.", 0), 0u);

  ASSERT_TRUE(choose(image(0), 13));
  update.BoutonLoad_Click();
  for (int i = 0; i < 10; ++i) update.tick();
  update.bootloaderReply(link_char::kFirmwareChecksumError);
  update.tick();
  EXPECT_EQ(update.outcome(), FirmwareUpdate::Outcome::Failed);
  EXPECT_EQ(dialogs.messages.back().text.rfind("Firmware checksum error", 0), 0u);
}

}  // namespace
}  // namespace oxalis
