// Files under stress: a disk that fills during a save, files far larger than
// any the tool writes, binary files and very long lines. Each is read in
// bounded time and memory or refused with a message that says why, and a
// failed save leaves the previous file as it was.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <random>

#include "CoreFixture.h"
#include "RecordedTrace.h"
#include "TempFolder.h"
#include "app/DataCommands.h"
#include "config/ChannelLine.h"
#include "files/DataFile.h"
#include "files/SettingsFile.h"

namespace oxalis {
namespace {

// The file size limit stands in for a full disk: writing past it fails as
// writing to a full disk does, in the middle of the file.
class FullDisk {
 public:
  explicit FullDisk(rlim_t bytesLeft) {
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &before_);
    const rlimit limit{bytesLeft, before_.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FullDisk() { setrlimit(RLIMIT_FSIZE, &before_); }

 private:
  rlimit before_{};
};

class FileStress : public ::testing::Test, public test::CoreFixture {
 protected:
  void SetUp() override {
    core.state.appFolder = folder.path().string();
    core.start();
    core.state.dataFolder = folder.path().string();
  }
  std::string messages() const {
    std::string all;
    for (const auto& m : dialogs.messages) all += m.text + "\n";
    return all;
  }
  test::TempFolder folder;
};

TEST_F(FileStress, ADiskThatFillsDuringASaveKeepsThePreviousFileAndTheSamplesAndSaysSo) {
  const auto file = folder / "run.DA1";
  test::recordSamples(core.trace.buffer, 100, [](std::int32_t n) { return TraceSample{.richness = static_cast<std::int16_t>(n)}; });
  core.state.dataNotSaved = true;
  dialogs.files = {file.string()};
  ASSERT_TRUE(dataSaveAs(core));
  const std::string previous = test::ReadBytes(file);

  test::recordSamples(core.trace.buffer, 20000, [](std::int32_t n) { return TraceSample{.richness = static_cast<std::int16_t>(n)}; });
  core.state.dataNotSaved = true;
  dialogs.answers = {Answer::Yes};  // replace the file
  {
    FullDisk full(64 * 1024);
    EXPECT_FALSE(dataSave(core));
  }
  EXPECT_EQ(test::ReadBytes(file), previous);
  EXPECT_EQ(folder.entryCount(), 1);  // no temporary left behind
  EXPECT_TRUE(core.state.dataNotSaved);
  EXPECT_EQ(core.trace.buffer.sampleCount, 20000);
  EXPECT_NE(messages().find("run.DA1"), std::string::npos) << messages();
}

TEST_F(FileStress, TwoHundredThousandLinesKeepTheNewestSamplesAsARecordingWould) {
  std::string file = "05/12/2026;Oxalis;Korvane;1234\r\nDATA\r\n";
  constexpr int kLines = 200'000;
  for (int n = 0; n < kLines; ++n) file += std::to_string(n) + ";2500;" + std::to_string(n % 1000) + "\r\n";
  const DataFileRead read = ParseDataFile(file, UserChannels(core.channels));
  ASSERT_EQ(read.status, DataFileRead::Status::Ok);
  EXPECT_EQ(read.sampleCount, kLines);
  EXPECT_EQ(read.linesDropped, static_cast<std::size_t>(kLines - TraceBuffer::kRingSize));
  EXPECT_EQ(read.ring.size(), static_cast<std::size_t>(TraceBuffer::kRingSize));  // memory bounded by the ring
  EXPECT_EQ(read.ring[(kLines - 1) % TraceBuffer::kRingSize].richness, (kLines - 1) % 1000);
}

// What a user may pick by mistake: a binary file, a text file of a single
// megabyte-long line, a file far larger than any the tool writes.
TEST_F(FileStress, BinaryHugeAndEndlessFilesAreReadSafelyOrRefusedWithAReason) {
  std::mt19937 random(7);
  std::string binary(1 << 20, '\0');
  for (char& c : binary) c = static_cast<char>(random());
  test::WriteBytes(folder / "binary.DA1", binary);
  test::WriteBytes(folder / "long.DA1", "05/12/2026;Oxalis;Korvane;1\r\nDATA\r\n0;1;" + std::string(1 << 20, '7') + "\r\n");
  const auto huge = folder / "huge.DA1";
  test::WriteBytes(huge, "05/12/2026;Oxalis;Korvane;1\r\n");
  std::filesystem::resize_file(huge, kLargestFileRead + 1);  // sparse: no disk taken

  EXPECT_FALSE(dataOpenFile(core, (folder / "binary.DA1").string()));
  EXPECT_NE(messages().find("Invalid data file"), std::string::npos) << messages();

  ASSERT_TRUE(dataOpenFile(core, (folder / "long.DA1").string()));
  EXPECT_EQ(core.trace.buffer.sampleCount, 1);

  dialogs.messages.clear();
  EXPECT_FALSE(dataOpenFile(core, huge.string()));
  EXPECT_NE(messages().find("larger than 64 MB"), std::string::npos) << messages();
  EXPECT_EQ(core.trace.buffer.sampleCount, 1);  // the opened file stays

  // The settings file read at start-up: its defaults, without a word.
  test::WriteBytes(folder / kSettingsFileName, binary);
  EXPECT_EQ(ReadSettings(folder / kSettingsFileName, Settings{}).deviceCode, "OX2");
  std::filesystem::resize_file(folder / kSettingsFileName, kLargestFileRead + 1);
  EXPECT_EQ(ReadSettings(folder / kSettingsFileName, Settings{}).timeBaseText, "20s");
}

}  // namespace
}  // namespace oxalis
