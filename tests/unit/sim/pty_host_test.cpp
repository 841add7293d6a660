// The simulated module served on a pseudo-terminal, opened as a program would.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "SimTestSupport.h"
#include "sim/PtyHost.h"

namespace oxalis::sim {
namespace {

namespace fs = std::filesystem;
using namespace test;

constexpr auto kReplyWait = std::chrono::seconds(5);

// A private folder for the COMn links of one test.
class PortFolder {
 public:
  PortFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = fs::temp_directory_path() / ("oxalis-sim-" + std::to_string(::getpid()) + "-" + info->name()) / "ports";
    fs::remove_all(path_.parent_path());
  }
  ~PortFolder() { fs::remove_all(path_.parent_path()); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// The program's side of the link: the device behind the COMn link, raw.
class ProgramSide {
 public:
  explicit ProgramSide(const fs::path& link) {
    fd_ = ::open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) return;
    termios tio{};
    ::tcgetattr(fd_, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(fd_, TCSANOW, &tio);
  }
  ~ProgramSide() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool ok() const { return fd_ >= 0; }
  bool write(std::string_view bytes) {
    return ::write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  }
  // Reads until `done` holds for what came so far, or the wait runs out.
  template <typename Done>
  std::string readUntil(Done done) {
    std::string in;
    const auto deadline = std::chrono::steady_clock::now() + kReplyWait;
    while (!done(in)) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd pfd{fd_, POLLIN, 0};
      if (::poll(&pfd, 1, static_cast<int>(left.count())) <= 0) continue;
      char buffer[256];
      const ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n > 0) in.append(buffer, static_cast<std::size_t>(n));
    }
    return in;
  }

 private:
  int fd_ = -1;
};

bool HasIdentificationAndXon(const std::string& in) {
  const auto items = SplitOutput(in);
  for (std::size_t i = 0; i + 1 < items.size(); ++i)
    if (items[i].record && items[i].type == 0x12 && items[i].checksumOk && items[i + 1].single == 0x11) return true;
  return false;
}

TEST(PtyHost, AnswersTheIdentificationRequestThroughTheComLinkAndRemovesItOnStop) {
  PortFolder folder;
  SimOptions options;
  options.device = "PNU";
  options.serial = 4321;
  PtyHost host(options, folder.path(), 5);
  ASSERT_TRUE(host.start()) << host.error();
  const fs::path link = folder.path() / "COM5";
  EXPECT_EQ(host.linkPath(), link);
  ASSERT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(fs::read_symlink(link), host.slavePath());
  {
    ProgramSide program(link);
    ASSERT_TRUE(program.ok());
    ASSERT_TRUE(program.write(kIdentify + "\x11"));
    const std::string in = program.readUntil(HasIdentificationAndXon);
    ASSERT_TRUE(HasIdentificationAndXon(in)) << in;
    const auto reply = RecordsOf(in, 0x12).front();
    EXPECT_EQ(reply.address, 4321);
    EXPECT_EQ(std::string(reply.data.begin(), reply.data.begin() + 3), "PNU");
  }
  host.stop();
  EXPECT_FALSE(host.running());
  EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

TEST(PtyHost, ReplacesAStaleLinkAndRefusesToReplaceAnythingElse) {
  PortFolder folder;
  fs::create_directories(folder.path());
  fs::create_symlink("/dev/pts/does-not-exist", folder.path() / "COM2");
  {
    PtyHost host({}, folder.path(), 2);
    ASSERT_TRUE(host.start()) << host.error();
    EXPECT_EQ(fs::read_symlink(folder.path() / "COM2"), host.slavePath());
  }  // the destructor stops the host
  EXPECT_FALSE(fs::exists(fs::symlink_status(folder.path() / "COM2")));

  std::ofstream(folder.path() / "COM3") << "not a port";
  PtyHost blocked({}, folder.path(), 3);
  EXPECT_FALSE(blocked.start());
  EXPECT_NE(blocked.error().find("COM3"), std::string::npos);
  EXPECT_TRUE(fs::is_regular_file(folder.path() / "COM3"));
}

TEST(PtyHost, PluggedBackInTheSameModuleKeepsItsMemory) {
  PortFolder folder;
  PtyHost host({}, folder.path(), 1);
  ASSERT_TRUE(host.start()) << host.error();
  const auto xons = [](std::size_t n) {
    return
        [n](const std::string& in) { return static_cast<std::size_t>(std::count(in.begin(), in.end(), '\x11')) >= n; };
  };
  {
    ProgramSide program(host.linkPath());
    ASSERT_TRUE(program.write(kEepromArea + Request(0x00, 0x0A, Bytes({2}))));
    ASSERT_EQ(program.readUntil(xons(2)), "\x11\x11");
  }
  host.unplug();
  EXPECT_FALSE(fs::exists(fs::symlink_status(host.linkPath())));
  ASSERT_TRUE(host.start()) << host.error();
  ProgramSide program(host.linkPath());
  ASSERT_TRUE(program.write(ReadParams(0x0A, 1)));
  const auto reply = RecordsOf(program.readUntil(xons(1)), 0x10);
  ASSERT_EQ(reply.size(), 1u);
  EXPECT_EQ(reply[0].data, std::vector<std::uint8_t>{2});
}

}  // namespace
}  // namespace oxalis::sim
