#include "ShutdownSignals.h"

#include <csignal>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace oxalis {

namespace {
int signalPipe[2] = {-1, -1};

#ifndef _WIN32
extern "C" void onShutdownSignal(int) {
  const char byte = 1;
  // Only async-signal-safe work here: one byte into the pipe.
  [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}
#endif
}  // namespace

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent) {
#ifndef _WIN32
  if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    char buffer[16];
    while (::read(signalPipe[0], buffer, sizeof buffer) > 0) {
    }
    emit shutdownRequested();
  });
  struct sigaction action {};
  action.sa_handler = onShutdownSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
#endif
}

ShutdownSignals::~ShutdownSignals() {
#ifndef _WIN32
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGINT, SIG_DFL);
  if (signalPipe[0] >= 0) {
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
  }
#endif
}

}  // namespace oxalis
