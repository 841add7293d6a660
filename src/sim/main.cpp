// oxalis-sim: a simulated module on a pseudo-terminal, found by the monitor's
// port search as <port dir>/COM<n>.
#include <signal.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <fstream>
#include <iostream>
#include <optional>
#include <string_view>
#include <vector>

#include "sim/FirmwareImage.h"
#include "sim/PtyHost.h"
#include "sim/SimCommandLine.h"

namespace {

using Clock = std::chrono::steady_clock;

// Waits for one of `signals`, or until `until` when given. Returns the
// signal, or 0 when the time came first.
int WaitForSignal(const sigset_t& signals, std::optional<Clock::time_point> until) {
  for (;;) {
    if (!until) {
      int signal = 0;
      if (sigwait(&signals, &signal) == 0) return signal;
      continue;
    }
    const double seconds = std::max(0.0, std::chrono::duration<double>(*until - Clock::now()).count());
    double whole = 0.0;
    const double fraction = std::modf(seconds, &whole);
    const timespec timeout{static_cast<time_t>(whole), static_cast<long>(fraction * 1e9)};
    const int signal = sigtimedwait(&signals, nullptr, &timeout);
    if (signal > 0) return signal;
    if (errno == EAGAIN) return 0;
  }
}

// Writes the firmware file of --make-firmware. Returns the exit status.
int WriteFirmwareFile(const std::filesystem::path& path, const oxalis::sim::FirmwareImageOptions& image) {
  const std::string text = oxalis::sim::MakeFirmwareImage(image);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
  file.close();
  if (!file) {
    std::cerr << "oxalis-sim: cannot write " << path.string() << "\n";
    return 1;
  }
  std::cout << "oxalis-sim: wrote firmware " << int{image.firmwareMajor} << "." << int{image.firmwareMinor} << " to "
            << path.string() << std::endl;
  return 0;
}

Clock::time_point After(double seconds) {
  return Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

}  // namespace

int main(int argc, char** argv) {
  using namespace oxalis::sim;
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  const SimCommandLineResult parsed = ParseSimCommandLine(arguments);
  if (!parsed.commandLine) {
    std::cerr << "oxalis-sim: " << parsed.error << "\n" << SimUsage();
    return 2;
  }
  const SimCommandLine& line = *parsed.commandLine;
  if (line.help) {
    std::cout << SimUsage();
    return 0;
  }
  if (line.makeFirmware) return WriteFirmwareFile(*line.makeFirmware, line.image);

  // The signals are taken here, synchronously; the module's thread, started
  // after this, inherits the mask and never sees them.
  sigset_t signals;
  sigemptyset(&signals);
  for (const int signal : {SIGINT, SIGTERM, SIGUSR1, SIGUSR2, SIGRTMIN, SIGRTMIN + 1}) sigaddset(&signals, signal);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  PtyHost host(line.options, line.portDir, line.port);
  if (!host.start()) {
    std::cerr << "oxalis-sim: " << host.error() << "\n";
    return 1;
  }
  std::cout << "oxalis-sim: " << line.options.device << " S/N " << line.options.serial << " on "
            << host.linkPath().string() << std::endl;

  const auto unplug = [&] {
    if (!host.running()) return;
    host.unplug();
    std::cout << "oxalis-sim: unplugged " << host.linkPath().string() << std::endl;
  };
  const auto plugIn = [&] {
    if (host.running()) return;
    if (host.start())
      std::cout << "oxalis-sim: plugged in again on " << host.linkPath().string() << std::endl;
    else
      std::cerr << "oxalis-sim: " << host.error() << "\n";
  };

  // The module falls silent with its adapter still plugged in (powered
  // off behind a self-powered adapter), and talks again.
  const auto setSilent = [&](bool silent) {
    SimFaults faults = line.options.faults;
    faults.silent = silent;
    host.setFaults(faults);
    std::cout << "oxalis-sim: " << (silent ? "silent" : "talking again") << std::endl;
  };

  // The timed unplug, then the timed plugging in again, each at most once.
  std::optional<Clock::time_point> unplugAt, plugInAt;
  if (line.unplugAfterSeconds) unplugAt = After(*line.unplugAfterSeconds);
  for (;;) {
    const int signal = WaitForSignal(signals, unplugAt ? unplugAt : plugInAt);
    if (signal == SIGINT || signal == SIGTERM) break;
    if (signal == SIGUSR1) {
      unplug();
    } else if (signal == SIGUSR2) {
      plugIn();
    } else if (signal == SIGRTMIN || signal == SIGRTMIN + 1) {
      setSilent(signal == SIGRTMIN);
    } else if (unplugAt) {
      unplug();
      unplugAt.reset();
      if (line.replugAfterSeconds) plugInAt = After(*line.replugAfterSeconds);
    } else if (plugInAt) {
      plugIn();
      plugInAt.reset();
    }
  }
  host.stop();
  return 0;
}
