// The identification reply: which module answered, its serial number and
// versions; the link comes up once a known module is recognised.
#include <string>

#include "link/Link.h"
#include "link/ModuleTypes.h"
#include "link/ReplyDispatch.h"
#include "platform/Timers.h"

namespace oxalis {

void handleIdentification(Link& link) {
  LinkState& state = link.state;
  const auto& f = state.rx.rxFrame;
  if (state.identificationHeld) return;

  ModuleIdentity& id = state.identity;
  id.serialNumber = f[2] * 256 + f[3];
  id.deviceCode = std::string{static_cast<char>(f[5]), static_cast<char>(f[6]), static_cast<char>(f[7])};
  const ModuleType* row = findModuleType(id.deviceCode);
  if (!row) return;

  if (row->startsKeepAlive) link.timers().setEnabled(TimerId::KeepAlive, true);
  if (id.deviceCode == "OXL") {
    // One byte each, the version times ten.
    id.hwMajor = f[8];
    id.fwMajor = f[9];
  } else {
    const auto v = static_cast<std::size_t>(row->versionIndex);
    id.hwMajor = f[v];
    id.hwMinor = f[v + 1];
    id.fwMajor = f[v + 2];
    id.fwMinor = f[v + 3];
  }

  state.linkUp = true;
  // The link is new: the silence count starts again, or a module whose
  // reply ended its bytes for now would time out on the very next tick.
  state.silentTicks = 0;
  // A new link: the first measurement record has no predecessor to compare.
  state.rx.lastFrameText.clear();
  link.parser.linkReportedUp();
  link.timers().setEnabled(TimerId::Refresh, true);
  link.events().identified();
}

}  // namespace oxalis
