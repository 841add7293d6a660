#include "sim/PtyHost.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>
#include <utility>

#include "sim/ModuleSimulator.h"

namespace oxalis::sim {

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kLinkBytesPerSecond = 5760.0;  // 57600 baud, 10 bits per byte
constexpr double kMaxBurstBytes = 64.0;
constexpr int kIdlePollMs = 5;
constexpr int kSendingPollMs = 1;

std::string ErrnoText() { return std::strerror(errno); }

}  // namespace

PtyHost::PtyHost(SimOptions options, std::filesystem::path portDir, int portNumber)
    : options_(std::move(options)), portDir_(std::move(portDir)), portNumber_(portNumber) {}

PtyHost::~PtyHost() { stop(); }

std::filesystem::path PtyHost::linkPath() const { return portDir_ / ("COM" + std::to_string(portNumber_)); }

bool PtyHost::fail(const std::string& what) {
  error_ = what;
  closeTerminal();
  return false;
}

bool PtyHost::start() {
  if (running()) return true;
  error_.clear();
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (master_ < 0) return fail("cannot open a pseudo-terminal: " + ErrnoText());
  if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
    return fail("cannot unlock the pseudo-terminal: " + ErrnoText());
  char name[256] = {};
  if (::ptsname_r(master_, name, sizeof name) != 0) return fail("cannot name the pseudo-terminal: " + ErrnoText());
  slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (slave_ < 0) return fail(std::string("cannot open ") + name + ": " + ErrnoText());
  // Raw before anything is written: no echo, no line editing, XON and XOFF
  // are data.
  termios tio{};
  if (::tcgetattr(slave_, &tio) != 0) return fail("cannot read the terminal settings: " + ErrnoText());
  ::cfmakeraw(&tio);
  ::cfsetspeed(&tio, B57600);
  if (::tcsetattr(slave_, TCSANOW, &tio) != 0) return fail("cannot make the terminal raw: " + ErrnoText());
  slavePath_ = name;

  std::error_code ec;
  std::filesystem::create_directories(portDir_, ec);
  if (ec) return fail("cannot create " + portDir_.string() + ": " + ec.message());
  const auto link = linkPath();
  const auto status = std::filesystem::symlink_status(link, ec);
  if (std::filesystem::is_symlink(status)) {
    std::filesystem::remove(link, ec);  // stale: its terminal number may be reused by now
  } else if (std::filesystem::exists(status)) {
    return fail(link.string() + " exists and is not a link");
  }
  std::filesystem::create_symlink(slavePath_, link, ec);
  if (ec) return fail("cannot create " + link.string() + ": " + ec.message());

  if (!simulator_) simulator_ = std::make_unique<ModuleSimulator>(options_);
  stopping_ = false;
  thread_ = std::thread(&PtyHost::run, this);
  return true;
}

void PtyHost::stop() {
  if (thread_.joinable()) {
    stopping_ = true;
    thread_.join();
  }
  std::error_code ec;
  const auto link = linkPath();
  if (!slavePath_.empty() && std::filesystem::is_symlink(std::filesystem::symlink_status(link, ec)) &&
      std::filesystem::read_symlink(link, ec) == slavePath_)
    std::filesystem::remove(link, ec);
  closeTerminal();
}

void PtyHost::closeTerminal() {
  if (slave_ >= 0) ::close(slave_);
  if (master_ >= 0) ::close(master_);
  slave_ = master_ = -1;
  slavePath_.clear();
}

void PtyHost::setFaults(const SimFaults& faults) {
  const std::lock_guard lock(faultsMutex_);
  newFaults_ = faults;
}

void PtyHost::run() {
  ModuleSimulator& sim = *simulator_;
  const Clock::time_point start = Clock::now();
  Clock::time_point last = start;
  std::chrono::milliseconds simulated{0};
  std::string pending;
  double credit = 0.0;
  char buffer[4096];

  while (!stopping_) {
    {
      const std::lock_guard lock(faultsMutex_);
      if (newFaults_) sim.setFaults(*std::exchange(newFaults_, std::nullopt));
    }
    pollfd pfd{master_, POLLIN, 0};
    ::poll(&pfd, 1, pending.empty() ? kIdlePollMs : kSendingPollMs);
    if (pfd.revents & POLLIN) {
      ssize_t n;
      while ((n = ::read(master_, buffer, sizeof buffer)) > 0)
        sim.receive(std::string_view(buffer, static_cast<std::size_t>(n)));
    }

    const Clock::time_point now = Clock::now();
    const auto real = std::chrono::duration_cast<std::chrono::milliseconds>(now - start);
    if (real > simulated) {
      sim.advance(real - simulated);
      simulated = real;
    }
    credit = std::min(credit + std::chrono::duration<double>(now - last).count() * kLinkBytesPerSecond, kMaxBurstBytes);
    last = now;

    pending += sim.takeOutput();
    const auto due = std::min(pending.size(), static_cast<std::size_t>(credit));
    if (due == 0) continue;
    const ssize_t written = ::write(master_, pending.data(), due);
    if (written > 0) {
      pending.erase(0, static_cast<std::size_t>(written));
      credit -= static_cast<double>(written);
    } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      // The terminal is full because nobody reads it: the line runs on and
      // these bytes are lost.
      pending.erase(0, due);
      credit -= static_cast<double>(due);
    }
  }
}

}  // namespace oxalis::sim
