// The settings file OXL_Monitor.ini: defaults, tags, round trip, encoding.
#include "files/SettingsFile.h"

#include <gtest/gtest.h>

#include "CoreFixture.h"
#include "TempFolder.h"
#include "app/Persistence.h"
#include "config/ChannelLine.h"
#include "monitor/LivePanel.h"

namespace oxalis {
namespace {

class SettingsFileTest : public ::testing::Test, public test::CoreFixture {
 protected:
  void read(std::string_view content) {
    test::WriteBytes(folder / kSettingsFileName, content);
    loadSettings(core, folder / kSettingsFileName);
  }
  test::TempFolder folder;
};

TEST_F(SettingsFileTest, NoFileGivesTheDefaults) {
  core.state.hcRatio = 7;
  core.state.setupFileName = "other.OXS";
  core.channels.slot(3).Name = "changed";
  loadSettings(core, folder / "absent.ini");
  EXPECT_EQ(core.state.hcRatio, 2);
  EXPECT_EQ(core.state.setupFileName, "Default.OXS");
  EXPECT_EQ(core.channels.slot(3).Name, "CAN3");
  EXPECT_EQ(core.channels.slot(12).Max, 1500);  // slots 11..13 too
  EXPECT_EQ(core.monitor.livePanel.cells[15].label, "CAN3");
}

TEST_F(SettingsFileTest, WrittenAndReadBackGivesTheSameSettings) {
  port.open(7);
  core.link.state.currentPort = 7;
  core.state.setupFolder = "/home/ana/setups";
  core.state.dataFolder = "/home/ana/runs \xC3\xA9t\xC3\xA9";  // "été"
  core.state.setupFileName = "Circuit.OXS";
  core.state.hcRatio = 1.85;
  core.monitor.stoichRatio = 14.7;
  core.trace.view.timeBaseText = "50s";
  core.link.state.identity.deviceCode = "PNU";
  for (int k = 1; k <= 10; ++k) {
    ParseChannelLine(core.channels.slot(k), "Ch" + std::to_string(k) + ";0x1FFFFFF" + std::to_string(k) +
                                                ";3;4;0.1;-32768;0;3.25;2;-1.5;1000.5;\xC2\xBA" "C;16711935;YES;5");
    core.channels.slot(k).Show = k % 2 == 0;
  }
  ASSERT_TRUE(saveSettings(core, folder / kSettingsFileName).ok);

  test::CoreFixture fresh;
  loadSettings(fresh.core, folder / kSettingsFileName);
  const AppState& s = fresh.core.state;
  EXPECT_EQ(fresh.core.link.state.lastModulePort, 7);
  EXPECT_EQ(s.setupFolder, "/home/ana/setups");
  EXPECT_EQ(s.dataFolder, core.state.dataFolder);
  EXPECT_EQ(s.setupFileName, "Circuit.OXS");
  EXPECT_EQ(s.hcRatio, 1.85);
  EXPECT_EQ(fresh.core.monitor.stoichRatio, 14.7);
  EXPECT_EQ(fresh.core.trace.view.timeBaseText, "50s");
  EXPECT_EQ(fresh.core.link.state.identity.deviceCode, "PNU");
  for (int k = 1; k <= 10; ++k) EXPECT_EQ(fresh.core.channels.slot(k), core.channels.slot(k)) << "slot " << k;
  EXPECT_TRUE(fresh.core.monitor.livePanel.showCanal[1]);  // the panel follows the user channels
  EXPECT_EQ(fresh.core.monitor.livePanel.cells[14].label, "Ch2");
}

TEST_F(SettingsFileTest, FileIsWindows1252WithCrLfInTheTableOrder) {
  LoadDefaultChannels(core.channels);
  core.state.dataFolder = "C:\\Donn\xC3\xA9" "es";
  core.state.setupFolder = "/tmp/a\n[COM]:9";  // a line break cannot start a line of its own
  const std::string content = FormatSettings(currentSettings(core));
  // The port is closed: no "[COM]:" line, the first line is the setup folder.
  EXPECT_EQ(content.find("\n[COM]:"), std::string::npos);
  EXPECT_EQ(content.rfind("[DIRSETUP]:/tmp/a [COM]:9\r\n[DIRDATA]:C:\\Donn\xE9" "es\r\n", 0), 0u);
  EXPECT_NE(content.find("\r\n[DTA]:default.DA1\r\n[OXS]:Default.OXS\r\n[HC]:2\r\n[STOICHIO]:14.57\r\n"
                         "[Tbase]:20s\r\n[CHCAN1]:CAN1;"),
            std::string::npos);
  EXPECT_NE(content.find("[CFG_AFR]:A/F;0x000;1;2;1;0;0;1;2;0;9000;;16777215;NO;0\r\n[Last Module]:OX2\r\n"),
            std::string::npos);
  EXPECT_EQ(content.find("Tprobe"), std::string::npos);  // slots 11..13 are not stored

  port.open(12);
  core.link.state.currentPort = 12;
  EXPECT_EQ(FormatSettings(currentSettings(core)).substr(0, 10), "[COM]:12\r\n");
}

TEST_F(SettingsFileTest, LastModuleAloneSelectsThePanoraLayout) {
  core.start();
  read("[Last Module]:PNU");
  EXPECT_EQ(core.link.state.identity.deviceCode, "PNU");
  core.layoutPanel();  // as start-up does after reading
  EXPECT_EQ(core.monitor.livePanel.cells[0].label, "V Richness (mV)");
  EXPECT_EQ(core.link.state.lastModulePort, 0);  // no saved port: the search starts at port 1

  read("[Last Module]:\r\n[Last Module]:X2\r\n");  // too short: kept, not "e]:" nor "]:X"
  EXPECT_EQ(core.link.state.identity.deviceCode, "PNU");
  read("[Last Module]:old QTX  \r\n");  // the last three, trailing blanks aside
  EXPECT_EQ(core.link.state.identity.deviceCode, "QTX");
}

TEST_F(SettingsFileTest, RatiosAreNumbersAndRefreshTheAirFuelLabel) {
  read("[STOICHIO]:14.7\r\n");
  EXPECT_EQ(core.monitor.stoichRatio, 14.7);
  EXPECT_EQ(core.monitor.livePanel.cells[4].label, "A/F (St:14.7)");
  read("[HC]:1.9xyz\n[STOICHIO]:abc");
  EXPECT_EQ(core.state.hcRatio, 1.9);
  EXPECT_EQ(core.monitor.livePanel.cells[4].label, "A/F (St:0)");
}

TEST_F(SettingsFileTest, PortIsANumberFrom1To32OrNone) {
  const std::pair<const char*, int> cases[] = {{"[COM]:5", 5},   {"[COM]:32", 32}, {"[COM]:4.6", 5},
                                               {"[COM]: 3", 3},  {"[COM]:COM3", 0}, {"[COM]:300", 0},
                                               {"[COM]:256", 0}, {"[COM]:33", 0},   {"[COM]:-1", 0}};
  for (const auto& [line, number] : cases) {
    core.link.state.lastModulePort = 9;
    read(line);
    EXPECT_EQ(core.link.state.lastModulePort, number) << line;
  }
}

TEST_F(SettingsFileTest, UnknownLinesAreIgnoredAndATagCountsOnlyAtTheStart) {
  read("; comment\r\n[Section]\r\n\r\ngarbage \x01\xFF\r\n"
       "[DIRDATA]:/runs/[COM]:7/[HC]:3\r\n"
       "[CHCAN2]:[Tbase]:5s;0x101;1;2;1;0;0;1;0;0;5000;mV;255;YES;0\r\n"
       "[COM]:4 [Last Module]:PNU\r\n");
  EXPECT_EQ(core.state.dataFolder, "/runs/[COM]:7/[HC]:3");
  EXPECT_EQ(core.link.state.lastModulePort, 4);
  EXPECT_EQ(core.state.hcRatio, 2);
  EXPECT_EQ(core.channels.slot(2).Name, "[Tbase]:5s");
  EXPECT_EQ(core.trace.view.timeBaseText, "20s");
  EXPECT_EQ(core.link.state.identity.deviceCode, "OX2");
  EXPECT_EQ(core.monitor.livePanel.cells[14].label, "[Tbase]:5s");
  EXPECT_TRUE(core.monitor.livePanel.showCanal[1]);
}

TEST_F(SettingsFileTest, ValuesAreConvertedWhateverTheLineEnds) {
  read("[DIRSETUP]:C:\\R\xE9glages\r[CFG_MV]:Vout;0x000;1;2;1;0;0;1;0;0;5000;\xBA" "C;255;NO;0\n[Tbase]:10s\r\n");
  EXPECT_EQ(core.state.setupFolder, "C:\\R\xC3\xA9glages");
  EXPECT_EQ(core.channels.slot(6).Unit, "\xC2\xBA" "C");
  EXPECT_EQ(core.trace.view.timeBaseText, "10s");  // no CR left in the value
  read("\xEF\xBB\xBF[DIRDATA]:/home/\xC3\xA9t\xC3\xA9\r\n");  // UTF-8, as its mark says
  EXPECT_EQ(core.state.dataFolder, "/home/\xC3\xA9t\xC3\xA9");
}

}  // namespace
}  // namespace oxalis

namespace oxalis {
namespace {

// The window's place and the trace's overlay come back next run; a reader
// that knows only the earlier tags (and ignores the rest, as every version
// has) reads everything it knows from this version's file.
TEST_F(SettingsFileTest, PreferencesComeBackAndEarlierReadersLoseNothing) {
  core.state.windowGeometry = "40,30,1366,740,1";
  core.trace.overlay = {false, false, true, false, true};
  core.trace.view.timeBaseText = "100s";
  core.state.theme = "Dark";
  const std::string content = FormatSettings(currentSettings(core));
  const auto last = content.find("[Last Module]:");
  ASSERT_NE(last, std::string::npos);
  EXPECT_GT(content.find("[Geometry]:40,30,1366,740,1\r\n"), last);
  EXPECT_GT(content.find("[Overlay]:00101\r\n"), last);
  EXPECT_GT(content.find("[Theme]:Dark\r\n"), last);

  const Settings mine = ParseSettings(content, Settings{});
  EXPECT_EQ(mine.windowGeometry, "40,30,1366,740,1");
  EXPECT_EQ(mine.overlay, (std::array<bool, 5>{false, false, true, false, true}));
  EXPECT_EQ(mine.theme, "Dark");
  EXPECT_EQ(mine.timeBaseText, "100s");
  // What an earlier reader sees: the same file without the lines it does not know.
  const Settings earlier = ParseSettings(content.substr(0, content.find("\r\n", last) + 2), Settings{});
  const std::string known = FormatSettings(mine);  // ([DTA] is written, never read)
  EXPECT_EQ(FormatSettings(earlier).substr(0, known.find("[Geometry]:")), known.substr(0, known.find("[Geometry]:")));
  EXPECT_EQ(earlier.timeBaseText, "100s");
}

}  // namespace
}  // namespace oxalis
