#include "link/Link.h"

#include "platform/Timers.h"

namespace oxalis {

namespace {
constexpr int kSilentTicksBeforeTimeout = 4;
}  // namespace

Link::Link(SerialPort& port, Timers& timers, LinkEvents& events, LinkDiagnostics& diagnostics)
    : queue(state, port, diagnostics, events),
      commands(state, port, queue, diagnostics, events),
      parser(*this),
      search(*this),
      port_(port),
      timers_(timers),
      events_(events),
      diagnostics_(diagnostics) {}

PortOpenResult Link::openPort(int portNumber) {
  const PortOpenResult result = port_.open(portNumber);
  if (result == PortOpenResult::Ok) queue.portOpened();
  return result;
}

void Link::start() {
  state.rxIdle = true;
  state.linkUp = false;
  state.currentPort = 0;
  queue.resetIndices();
  state.dataFlowing = false;
  state.streamRunning = true;
  state.firmwareLoading = false;

  state.firstSearchTick = true;
  state.currentPort = state.lastModulePort;

  timers_.setInterval(TimerId::Search, PortSearch::kIntervalNextPort);
  timers_.setEnabled(TimerId::Search, true);
}

void Link::timeOut() {
  state.linkUp = false;
  state.rxIdle = true;
  state.dataFlowing = false;
  queue.dropWaiting();
  parser.linkLost();
  events_.linkStatusChanged(LinkStatus::TimedOut);
  // An unplugged adapter closed the port; when it comes back on the same
  // port the module is found again without the user starting a search.
  if (!port_.isOpen() && state.currentPort >= 1 && state.currentPort <= PortSearch::kLastPort)
    openPort(state.currentPort);
  commands.identify();
}

bool Link::refreshTick() {
  if (state.silentTicks < kSilentTicksBeforeTimeout)
    ++state.silentTicks;
  else
    timeOut();
  if (port_.isOpen()) queue.onRefreshTick();
  if (port_.isOpen() && state.linkUp && queue.isEmpty()) return queue.sendXon();
  return true;
}

void Link::keepAliveTick() {
  if (state.keepAliveDelay > 0) {
    --state.keepAliveDelay;
    return;
  }
  commands.requestTime();
}

}  // namespace oxalis
