#include "link/LinkLog.h"

#include "app/AppState.h"
#include "factory/FactoryModel.h"

namespace oxalis {

void LinkLog::LogLine(std::string_view text) {
  if (!factory_.visible || !state_.logEnabled) return;
  std::string& log = factory_.W_Log;
  log.append(text);
  log.append("\r\n");
  if (log.size() > kMaxText) {
    // Keep the newest half, starting at a line boundary.
    const auto cut = log.find('\n', log.size() - kMaxText / 2);
    log.erase(0, cut == std::string::npos ? log.size() - kMaxText / 2 : cut + 1);
  }
  factory_.changed.notify();
}

}  // namespace oxalis
