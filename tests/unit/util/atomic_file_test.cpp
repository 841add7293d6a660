#include "util/AtomicFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "TempFolder.h"

namespace oxalis {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

bool mentions(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

TEST(AtomicFile, SaveReplacesTheWholeFileAndLeavesNothingBeside) {
  TempFolder folder;
  WriteBytes(folder / "run.DA1", std::string(5000, 'o'));
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);

  const FileResult result = WriteFileAtomically(folder / "run.DA1", bytes);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(ReadWholeFile(folder / "run.DA1"), bytes);  // as they are, no tail of the old content
  EXPECT_EQ(folder.entryCount(), 1);                    // no temporary file left
}

TEST(AtomicFile, FailuresNameTheFileAndTheReasonAndChangeNothing) {
  TempFolder folder;
  const fs::path missing = folder / "gone" / "run.DA1";
  FileResult result = WriteFileAtomically(missing, "data");
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(mentions(result.error, missing.string())) << result.error;
  EXPECT_TRUE(mentions(result.error, "no such folder")) << result.error;

  WriteBytes(folder / "plain", "keep");
  result = WriteFileAtomically(folder / "plain" / "run.DA1", "data");
  EXPECT_TRUE(mentions(result.error, "not a folder")) << result.error;
  EXPECT_EQ(ReadBytes(folder / "plain"), "keep");

  // A folder where the file should go: the temporary file is written but
  // cannot take the folder's place, and must not stay behind.
  fs::create_directory(folder / "busy.DA1");
  WriteBytes(folder / "busy.DA1" / "inside", "old");
  EXPECT_FALSE(WriteFileAtomically(folder / "busy.DA1", "data").ok);
  EXPECT_EQ(ReadBytes(folder / "busy.DA1" / "inside"), "old");
  EXPECT_EQ(folder.entryCount(), 2);
}

TEST(AtomicFile, ReadOnlyFolderKeepsThePreviousFile) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
  TempFolder folder;
  const fs::path locked = folder / "locked";
  fs::create_directory(locked);
  WriteBytes(locked / "OXL_Monitor.ini", "previous");
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
  const FileResult result = WriteFileAtomically(locked / "OXL_Monitor.ini", "next");
  fs::permissions(locked, fs::perms::owner_all);
  EXPECT_TRUE(mentions(result.error, "permission denied")) << result.error;
  EXPECT_EQ(ReadBytes(locked / "OXL_Monitor.ini"), "previous");
}

TEST(AtomicFile, SavingThroughALinkReplacesTheLinkedFile) {
  TempFolder folder;
  WriteBytes(folder / "real.ini", "old");
  fs::create_symlink("real.ini", folder / "link.ini");
  ASSERT_TRUE(WriteFileAtomically(folder / "link.ini", "new").ok);
  EXPECT_TRUE(fs::is_symlink(folder / "link.ini"));
  EXPECT_EQ(ReadBytes(folder / "real.ini"), "new");
}

TEST(AtomicFile, ReadingReportsWhatIsWrong) {
  TempFolder folder;
  std::string error;
  EXPECT_FALSE(ReadWholeFile(folder / "absent.DA1", &error));
  EXPECT_TRUE(mentions(error, "absent.DA1: no such file")) << error;
  EXPECT_FALSE(ReadWholeFile(folder / "nowhere" / "absent.DA1", &error));
  EXPECT_TRUE(mentions(error, "no such folder")) << error;
  EXPECT_FALSE(ReadWholeFile(folder.path(), &error));
  EXPECT_TRUE(mentions(error, "folder")) << error;
}

}  // namespace
}  // namespace oxalis
