// The application shell: tool bar enabling, the firmware guard, the about
// text, start-up from a settings file and shutdown.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include "CoreFixture.h"
#include "TempFolder.h"
#include "app/AboutText.h"
#include "app/DataCommands.h"
#include "app/MainMenu.h"
#include "app/Recording.h"
#include "app/Recovery.h"
#include "app/Shutdown.h"
#include "app/Toolbar.h"

namespace oxalis {
namespace {

const ToolButton& button(const Core& core, std::string_view key) {
  for (const auto& b : core.mainWindow.toolbar)
    if (b.key == key) return b;
  throw std::runtime_error("no such button");
}

TEST(Toolbar, DisablingTwiceGreysOnce) {
  test::CoreFixture f;
  disableToolButton(f.core.mainWindow, "Start_Record");
  disableToolButton(f.core.mainWindow, "Start_Record");
  EXPECT_FALSE(button(f.core, "Start_Record").enabled);
  EXPECT_EQ(button(f.core, "Start_Record").image, 6);
  enableToolButton(f.core.mainWindow, "Start_Record");
  enableToolButton(f.core.mainWindow, "Start_Record");
  EXPECT_EQ(button(f.core, "Start_Record").image, 5);
  disableToolButton(f.core.mainWindow, "NoSuchKey");  // ignored
}

TEST(Toolbar, RecordingDisablesFileCommandsUntilStopped) {
  test::CoreFixture f;
  startRecord(f.core);
  EXPECT_TRUE(f.core.state.recording);
  EXPECT_FALSE(button(f.core, "Open").enabled);
  EXPECT_FALSE(button(f.core, "Start_Record").enabled);
  EXPECT_TRUE(button(f.core, "Pause_Record").enabled);
  EXPECT_FALSE(f.core.mainWindow.dataSaveAs.enabled);
  pauseRecord(f.core);
  EXPECT_TRUE(button(f.core, "Start_Record").enabled);
  EXPECT_FALSE(button(f.core, "Pause_Record").enabled);
  EXPECT_TRUE(button(f.core, "Stop_Record").enabled);
  stopRecord(f.core);
  EXPECT_TRUE(button(f.core, "Open").enabled);
  EXPECT_FALSE(button(f.core, "Stop_Record").enabled);
  EXPECT_TRUE(f.core.mainWindow.dataSaveAs.enabled);
}

TEST(Firmware, WithoutLinkShowsTheWarning) {
  test::CoreFixture f;
  firmwareClick(f.core);
  ASSERT_EQ(f.dialogs.messages.size(), 1u);
  EXPECT_EQ(f.dialogs.messages[0].text,
            "Communication with Oxalis must be established before opening the firmware update window");
  EXPECT_EQ(f.dialogs.messages[0].title, "Warning");
}

TEST(About, VersionHistoryNewestFirstWithItsBlanks) {
  const std::string text = ReleaseNoteText();
  EXPECT_EQ(text.substr(0, 55), "V2.8    Fix: crash during minimisation of main window\r\n");
  EXPECT_NE(text.find("\r\n\nV2.7   New: channels library"), std::string::npos);
  EXPECT_NE(text.find("       New: adaptation for Oxalis V2\r\n\n"), std::string::npos);
  EXPECT_EQ(ReleaseNoteText(), text);
}

class StartupTest : public ::testing::Test, public test::CoreFixture {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() / ("oxalis-shell-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder);
    core.state.appFolder = folder.string();
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
  void settings(const std::string& text) { std::ofstream(folder / "OXL_Monitor.ini", std::ios::binary) << text; }
  std::string settingsText() {
    std::ifstream in(folder / "OXL_Monitor.ini", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // Ten recorded samples, richness 900..909, not saved.
  void recordTenSamples() {
    core.state.recording = true;
    for (int i = 0; i < 10; ++i) {
      core.monitor.live.richness = static_cast<std::int32_t>(900 + i);
      core.recordLiveSample();
    }
  }
  std::filesystem::path folder;
};

TEST_F(StartupTest, LastModulePanoraStartsInThePanoraLayout) {
  settings("[Last Module]:PNU\r\n");
  core.start();
  EXPECT_EQ(core.link.state.identity.deviceCode, "PNU");
  EXPECT_EQ(core.monitor.livePanel.cells[0].label, "V Richness (mV)");
  EXPECT_TRUE(core.monitor.livePanel.panoraListsVisible);
  EXPECT_EQ(core.state.userLevel, kLevelExpert);
  EXPECT_TRUE(timers.isEnabled(TimerId::Search));
}

TEST_F(StartupTest, UnknownTimeBaseGives1000AndSavedPortIsTriedFirst) {
  settings("[COM]:7\r\n[Tbase]:7s\r\n[STOICHIO]:14.7\r\n");
  core.start();
  EXPECT_EQ(core.trace.tracePoints, 1000);
  EXPECT_EQ(core.link.state.currentPort, 7);
  EXPECT_EQ(core.monitor.livePanel.cells[4].label, "A/F (St:14.7)");
  core.link.search.tick();
  EXPECT_EQ(port.openAttempts, std::vector<int>{7});
}

TEST_F(StartupTest, KnownTimeBaseSetsTheWindowWidth) {
  settings("[Tbase]:50s\r\n");
  core.start();
  EXPECT_EQ(core.trace.tracePoints, 2500);
  EXPECT_EQ(core.trace.buffer.viewEnd - core.trace.buffer.viewStart, 2500);
}

TEST_F(StartupTest, ShutdownWritesSettingsAndClosesThePortAskingNothingWithoutData) {
  core.start();
  port.open(3);
  core.link.state.currentPort = 3;
  const ShutdownReport report = shutdown(core, true);
  EXPECT_TRUE(dialogs.questions.empty());
  EXPECT_FALSE(port.isOpen());
  EXPECT_NE(settingsText().find("[COM]:3\r\n"), std::string::npos);
  EXPECT_TRUE(report.error.empty());
}

TEST_F(StartupTest, ClosedPortWritesNoComLine) {
  core.start();
  shutdown(core, true);
  EXPECT_EQ(settingsText().find("[COM]:"), std::string::npos);
}

// The unsaved-data question at close: Yes saves and closes, No closes, and
// every way of not saving (Cancel or Escape, a cancelled dialog, a failed
// save) keeps the tool open with its samples.
TEST_F(StartupTest, ClosingWithUnsavedDataClosesOnlyWhenSavedOrLetGo) {
  struct Case {
    const char* name;
    Answer answer;
    std::optional<std::string> file;  // the save dialog's answer
    bool closes;
  };
  const Case cases[] = {
      {"Cancel or Escape", Answer::Cancel, std::nullopt, false},
      {"Yes, dialog cancelled", Answer::Yes, std::nullopt, false},
      {"Yes, save failed", Answer::Yes, (folder / "no-such-folder" / "run.DA1").string(), false},
      {"Yes, saved", Answer::Yes, (folder / "run.DA1").string(), true},
      {"No", Answer::No, std::nullopt, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::CoreFixture f;
    f.core.state.appFolder = folder.string();
    f.core.start();
    f.port.open(3);
    f.core.state.recording = true;
    for (int i = 0; i < 5; ++i) f.core.recordLiveSample();
    f.dialogs.answers = {c.answer};
    f.dialogs.files = {c.file};
    std::filesystem::remove(folder / "OXL_Monitor.ini");

    const ShutdownReport report = shutdown(f.core, true);
    ASSERT_EQ(f.dialogs.questions.size(), 1u);
    EXPECT_EQ(f.dialogs.questions[0].text, "Data not saved. Do you want save them?");
    EXPECT_EQ(f.dialogs.questions[0].title, "Save Data");
    EXPECT_EQ(report.cancelled, !c.closes);
    EXPECT_EQ(f.port.isOpen(), !c.closes);
    EXPECT_EQ(std::filesystem::exists(folder / "OXL_Monitor.ini"), c.closes);
    if (!c.closes) {
      EXPECT_TRUE(f.core.state.dataNotSaved);
      EXPECT_TRUE(f.core.state.recording);
      EXPECT_EQ(f.core.trace.buffer.sampleCount, 5);
    }
  }
}

TEST_F(StartupTest, ClosingWithoutQuestionsWritesUnsavedSamplesToARecoveryFile) {
  core.start();
  recordTenSamples();
  ASSERT_TRUE(core.state.dataNotSaved);
  const ShutdownReport report = shutdown(core, false);
  EXPECT_TRUE(dialogs.questions.empty());
  ASSERT_FALSE(report.recoveryFile.empty()) << report.error;
  EXPECT_EQ(std::filesystem::path(report.recoveryFile).parent_path(), folder);
  std::ifstream in(report.recoveryFile, std::ios::binary);
  const std::string content(std::istreambuf_iterator<char>(in), {});
  EXPECT_NE(content.find("Korvane"), std::string::npos);
  EXPECT_NE(content.find("\r\n9;0;909;"), std::string::npos);
}

// A run ended by the system leaves a recovery file; the next start offers
// it in the window (no box over the port search): open, later, delete.
TEST_F(StartupTest, RecoveryFileIsOfferedAtTheNextStart) {
  core.start();
  recordTenSamples();
  const std::string recovery = shutdown(core, false).recoveryFile;
  ASSERT_FALSE(recovery.empty());

  const auto nextStart = [&] {
    auto next = std::make_unique<test::CoreFixture>();
    next->core.state.appFolder = folder.string();
    next->core.start();
    return next;
  };
  auto later = nextStart();
  EXPECT_TRUE(later->dialogs.messages.empty() && later->dialogs.questions.empty());
  ASSERT_TRUE(later->core.mainWindow.recoveryNotice.visible());
  EXPECT_EQ(later->core.mainWindow.recoveryNotice.actions,
            (std::vector<std::string>{"&Open", "&Later", "&Delete"}));
  recoveryNotice_Click(later->core, kRecoveryLater);
  EXPECT_FALSE(later->core.mainWindow.recoveryNotice.visible());

  auto open = nextStart();  // "Later" kept it for this start
  recoveryNotice_Click(open->core, kRecoveryOpen);
  EXPECT_EQ(open->core.trace.buffer.sampleCount, 10);
  EXPECT_EQ(open->core.state.dataFileName, recovery);
  EXPECT_FALSE(open->core.mainWindow.recoveryNotice.visible());

  auto keep = nextStart();
  keep->dialogs.answers = {Answer::No};
  recoveryNotice_Click(keep->core, kRecoveryDelete);
  EXPECT_TRUE(std::filesystem::exists(recovery));  // asked first; No keeps it
  keep->dialogs.answers = {Answer::Yes};
  recoveryNotice_Click(keep->core, kRecoveryDelete);
  EXPECT_FALSE(std::filesystem::exists(recovery));
  EXPECT_FALSE(nextStart()->core.mainWindow.recoveryNotice.visible());
}

TEST_F(StartupTest, ALaterSavedDataFileSupersedesTheRecoveryFile) {
  test::WriteBytes(folder / "Recovery 2026-12-01 10-00-00.DA1", "x");
  EXPECT_TRUE(FindRecoveryFile(folder));
  std::filesystem::last_write_time(folder / "Recovery 2026-12-01 10-00-00.DA1",
                                   std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
  test::WriteBytes(folder / "run.DA1", "x");
  EXPECT_FALSE(FindRecoveryFile(folder));
}

// While recording the window says so: a REC mark with the recorded time and
// a star in the title for samples not saved.
TEST_F(StartupTest, RecordingShowsItsMarkAndTheUnsavedStar) {
  core.start();
  startRecord(core);
  for (int i = 0; i < 125; ++i) core.recordLiveSample();
  core.showRecordingState();
  EXPECT_EQ(core.mainWindow.recordMark, "REC 0:02");
  EXPECT_EQ(core.mainWindow.caption.substr(0, 2), "* ");
  pauseRecord(core);
  EXPECT_EQ(core.mainWindow.recordMark, "REC paused 0:02");
  stopRecord(core);
  EXPECT_EQ(core.mainWindow.recordMark, "");
  core.state.dataNotSaved = false;
  core.showRecordingState();
  EXPECT_EQ(core.mainWindow.caption, "Oxalis Monitor 2.10");
  // A data command that lets the samples go takes the star away at once.
  core.recordLiveSample();
  core.showRecordingState();
  ASSERT_EQ(core.mainWindow.caption.substr(0, 2), "* ");
  dialogs.answers = {Answer::No};
  ASSERT_TRUE(dataNew(core));
  EXPECT_NE(core.mainWindow.caption.substr(0, 2), "* ");
}

}  // namespace
}  // namespace oxalis
