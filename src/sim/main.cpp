// oxalis-sim: a simulated module on a pseudo-terminal, found by the monitor's
// port search as <port dir>/COM<n>.
#include <signal.h>
#include <time.h>

#include <cmath>
#include <iostream>
#include <optional>
#include <string_view>
#include <vector>

#include "sim/PtyHost.h"
#include "sim/SimCommandLine.h"

namespace {

// Waits for SIGINT or SIGTERM, or until `seconds` have passed when given.
// Returns true when a signal came.
bool WaitForSignal(const sigset_t& signals, std::optional<double> seconds) {
  if (!seconds) {
    int signal = 0;
    return sigwait(&signals, &signal) == 0;
  }
  double whole = 0.0;
  const double fraction = std::modf(*seconds, &whole);
  timespec timeout{static_cast<time_t>(whole), static_cast<long>(fraction * 1e9)};
  return sigtimedwait(&signals, nullptr, &timeout) > 0;
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

  // The signals are taken here, synchronously; the module's thread, started
  // after this, inherits the mask and never sees them.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  PtyHost host(line.options, line.portDir, line.port);
  if (!host.start()) {
    std::cerr << "oxalis-sim: " << host.error() << "\n";
    return 1;
  }
  std::cout << "oxalis-sim: " << line.options.device << " S/N " << line.options.serial << " on "
            << host.linkPath().string() << std::endl;

  if (!WaitForSignal(signals, line.unplugAfterSeconds)) {
    host.unplug();
    std::cout << "oxalis-sim: unplugged " << host.linkPath().string() << std::endl;
    WaitForSignal(signals, std::nullopt);
  }
  host.stop();
  return 0;
}
