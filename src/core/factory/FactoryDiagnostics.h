#pragma once
// The link's diagnostics shown in the factory window: the link log `W_Log`
// (while the window is visible and logging is on), the error indications,
// `DEBUG_TX` and `BufferLevel`.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "factory/FactoryModel.h"
#include "link/LinkDiagnostics.h"
#include "link/RxState.h"

namespace oxalis {

class FactoryDiagnostics final : public LinkDiagnostics {
 public:
  // The log box keeps about this much text; older lines are dropped first.
  static constexpr std::size_t kMaxLogText = 1 << 20;

  explicit FactoryDiagnostics(FactoryModel& factory) : factory_(factory) {}

  bool watching() const override { return factory_.visible; }
  void logLine(std::string_view text) override;
  void flag(LinkFlag flag) override;
  void clearFlags() override;
  void recordSent(std::string_view record) override;
  void queueLevel(int percent) override;

 private:
  FactoryModel& factory_;
};

// The identity boxes, filled when a module answers while the window is
// visible: versions as the module type writes them, and the serial number.
void showModuleIdentity(FactoryModel& factory, const ModuleIdentity& module);

// The refresh tick's mirrors while the window is visible: the last records
// received and sent, the diagnostic byte, the CAN error count and flags, the
// number of lost frames; the lost-frame indication is cleared, so that it
// shows a loss for one tick.
void showRefreshDiagnostics(FactoryModel& factory, std::string_view lastReceived, std::string_view lastSent,
                            int diagFlags, int canErrorCount, int canErrorFlags, std::uint32_t lostFrames);

}  // namespace oxalis
