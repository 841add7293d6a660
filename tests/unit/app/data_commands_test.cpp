// The data menu and the recording buttons: questions, dialogs, file names,
// and no lost samples when a save fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "CoreFixture.h"
#include "TempFolder.h"
#include "app/Recording.h"
#include "app/DataCommands.h"
#include "files/DataFile.h"
#include "trace/Trace.h"

namespace oxalis {
namespace {

class DataCommandsTest : public ::testing::Test, public test::CoreFixture {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() /
             ("oxalis-data-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    core.state.appFolder = folder.string();
    core.start();
    core.state.dataFolder = folder.string();
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
  void record(int samples) {
    core.state.recording = true;
    for (int i = 0; i < samples; ++i) {
      core.monitor.live.richness = 800 + i;
      core.recordLiveSample();
    }
    core.state.recording = false;
  }
  std::filesystem::path folder;
};

TEST_F(DataCommandsTest, SaveRightAfterStartAsksForAName) {
  record(3);
  dialogs.files = {(folder / "run1.DA1").string()};
  EXPECT_TRUE(dataSave(core));
  ASSERT_EQ(dialogs.fileRequests.size(), 1u);
  EXPECT_EQ(dialogs.fileRequests[0].title, "Save as");
  EXPECT_TRUE(dialogs.fileRequests[0].promptOverwrite);
  EXPECT_TRUE(std::filesystem::exists(folder / "run1.DA1"));
  EXPECT_FALSE(core.state.dataNotSaved);
  EXPECT_NE(core.mainWindow.caption.find("(" + (folder / "run1.DA1").string() + ")"), std::string::npos);
}

TEST_F(DataCommandsTest, AfterNewSaveWritesDefaultInTheDataFolderWithoutADialog) {
  EXPECT_TRUE(dataNew(core));
  record(2);
  EXPECT_TRUE(dataSave(core));
  EXPECT_TRUE(dialogs.fileRequests.empty());
  EXPECT_TRUE(std::filesystem::exists(folder / "Default.DA1"));
}

TEST_F(DataCommandsTest, SaveAfterNewAsksBeforeReplacingAFileThisRunDidNotWrite) {
  test::WriteBytes(folder / "Default.DA1", "an earlier run's recording");
  EXPECT_TRUE(dataNew(core));
  record(2);
  dialogs.answers = {Answer::No};  // then the "Save as" dialog is cancelled
  EXPECT_FALSE(dataSave(core));
  ASSERT_EQ(dialogs.questions.size(), 1u);
  EXPECT_EQ(dialogs.questions[0].text,
            "The file " + (folder / "Default.DA1").string() + " already exists.\nDo you want to replace it?");
  EXPECT_EQ(dialogs.fileRequests.size(), 1u);
  EXPECT_EQ(test::ReadBytes(folder / "Default.DA1"), "an earlier run's recording");
  EXPECT_TRUE(core.state.dataNotSaved);

  dialogs.answers = {Answer::Yes};
  EXPECT_TRUE(dataSave(core));
  EXPECT_NE(test::ReadBytes(folder / "Default.DA1").find("Korvane"), std::string::npos);
  record(1);
  EXPECT_TRUE(dataSave(core));  // this run's own file: replaced without a question
  EXPECT_EQ(dialogs.questions.size(), 2u);
}

TEST_F(DataCommandsTest, NewWithoutAUsableDataFolderPutsDefaultInTheAppFolder) {
  const test::TempFolder app;
  core.state.appFolder = app.path().string();
  for (const std::string& dataFolder : {std::string(), (folder / "gone").string()}) {
    SCOPED_TRACE("data folder \"" + dataFolder + "\"");
    core.state.dataFolder = dataFolder;
    const bool inWorkingFolder = std::filesystem::exists("Default.DA1");
    EXPECT_TRUE(dataNew(core));
    EXPECT_EQ(core.state.dataFileName, (app / "Default.DA1").string());
    record(2);
    EXPECT_TRUE(dataSave(core));
    EXPECT_TRUE(std::filesystem::exists(app / "Default.DA1"));
    EXPECT_EQ(std::filesystem::exists("Default.DA1"), inWorkingFolder);
  }
}

TEST_F(DataCommandsTest, DataFileDialogsSayDataFileAndOpenInTheDataFolder) {
  const test::TempFolder app;
  core.state.appFolder = app.path().string();
  dataSaveAs(core);
  dataOpen(core);
  core.state.dataFolder.clear();
  dataSaveAs(core);
  ASSERT_EQ(dialogs.fileRequests.size(), 3u);
  for (const FileDialogRequest& request : dialogs.fileRequests) {
    EXPECT_EQ(request.filter, "Data file (*.DA1)|*.DA1");
    EXPECT_EQ(request.defaultExtension, "DA1");
  }
  EXPECT_EQ(dialogs.fileRequests[0].fileName, "2026-12-08 14-30-05.DA1");  // the clock's date and time
  EXPECT_EQ(dialogs.fileRequests[0].startFolder, folder.string());
  EXPECT_EQ(dialogs.fileRequests[1].startFolder, folder.string());
  EXPECT_EQ(dialogs.fileRequests[2].startFolder, app.path().string());  // no data folder yet
}

TEST_F(DataCommandsTest, NewWithUnsavedDataAsksAndCancelKeepsEverything) {
  record(5);
  dialogs.answers = {Answer::Cancel};
  EXPECT_FALSE(dataNew(core));
  EXPECT_EQ(dialogs.questions.at(0).text, "Data not saved. Do you want to save data?");
  EXPECT_EQ(core.trace.buffer.sampleCount, 5);
  dialogs.answers = {Answer::No};
  EXPECT_TRUE(dataNew(core));
  EXPECT_EQ(core.trace.buffer.sampleCount, 0);
  EXPECT_FALSE(core.state.dataNotSaved);
}

TEST_F(DataCommandsTest, FailedSaveReportsAndKeepsTheSamples) {
  record(4);
  const std::string target = (folder / "no-such-folder" / "run.DA1").string();
  dialogs.files = {target};
  EXPECT_FALSE(dataSaveAs(core));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text.rfind("Fail to open file " + target, 0), 0u);
  EXPECT_EQ(dialogs.messages[0].title, "Error");
  EXPECT_TRUE(core.state.dataNotSaved);
  EXPECT_EQ(core.trace.buffer.sampleCount, 4);
  EXPECT_EQ(core.state.dataFileName, "default.DA1");
}

TEST_F(DataCommandsTest, OpenReadsTheFileAndRecordingAsksBeforeAppending) {
  record(6);
  dialogs.files = {(folder / "run.DA1").string()};
  ASSERT_TRUE(dataSaveAs(core));
  ASSERT_TRUE(dataNew(core));
  dialogs.files = {(folder / "run.DA1").string()};
  ASSERT_TRUE(dataOpen(core));
  EXPECT_EQ(dialogs.fileRequests.back().title, "Open Data File");
  EXPECT_EQ(core.trace.buffer.sampleCount, 6);
  EXPECT_EQ(core.trace.buffer.at(5).richness, 805);
  EXPECT_TRUE(core.state.dataFileOpened);

  dialogs.answers = {Answer::Yes};
  startRecord(core);
  EXPECT_EQ(dialogs.questions.back().text, "Data file opened. Do you want to append new datas?");
  EXPECT_TRUE(core.state.recording);
  core.recordLiveSample();
  EXPECT_EQ(core.trace.buffer.sampleCount, 7);  // appended after the loaded samples
}

TEST_F(DataCommandsTest, OpeningSomethingElseSaysInvalidDataFileAndChangesNothing) {
  record(3);
  core.state.dataNotSaved = false;
  std::ofstream(folder / "notes.txt") << "hello\r\n";
  dialogs.files = {(folder / "notes.txt").string()};
  EXPECT_FALSE(dataOpen(core));
  EXPECT_EQ(dialogs.messages.at(0).text, "Invalid data file");
  EXPECT_EQ(core.trace.buffer.sampleCount, 3);
  dialogs.files = {(folder / "missing.DA1").string()};
  EXPECT_FALSE(dataOpen(core));
  EXPECT_EQ(dialogs.messages.at(1).text.rfind("Fail to open file ", 0), 0u);
}

TEST_F(DataCommandsTest, StartRecordWithUnsavedDataOffersToSaveFirst) {
  record(3);
  dialogs.answers = {Answer::No};
  startRecord(core);
  EXPECT_TRUE(core.state.recording);
  EXPECT_EQ(core.trace.buffer.sampleCount, 0);  // "No": a new recording starts empty
  stopRecord(core);

  record(2);
  dialogs.answers = {Answer::Yes};  // save, but the dialog is cancelled: nothing is lost
  startRecord(core);
  EXPECT_FALSE(core.state.recording);
  EXPECT_EQ(core.trace.buffer.sampleCount, 2);
}

TEST_F(DataCommandsTest, ExportCsvWritesTheSamplesInPhysicalUnits) {
  record(2);
  const std::string target = (folder / "run.csv").string();
  dialogs.files = {target};
  EXPECT_TRUE(dataExportCsv(core));
  EXPECT_EQ(dialogs.fileRequests.back().title, "Export CSV");
  std::ifstream in(target, std::ios::binary);
  const std::string csv(std::istreambuf_iterator<char>(in), {});
  EXPECT_EQ(csv.rfind("time_s,", 0), 0u);
  EXPECT_NE(csv.find("\r\n0.02,0,0.801,"), std::string::npos);
  EXPECT_TRUE(core.state.dataNotSaved);  // a CSV is no substitute for the data file
}

// The recording waits for the module: samples kept, nothing stopped.
TEST_F(DataCommandsTest, FailedSearchKeepsTheRecordingGoing) {
  startRecord(core);
  ASSERT_TRUE(core.state.recording);
  for (int n = 1; n <= 32; ++n) port.setOpenResult(n, PortOpenResult::Absent);
  core.startLink();
  for (int tick = 0; tick < 100 && !core.mainWindow.linkNotice.visible(); ++tick) core.onTimer(TimerId::Search);
  EXPECT_EQ(core.mainWindow.panel(1), "No port");
  EXPECT_TRUE(core.state.recording);
}

}  // namespace
}  // namespace oxalis
