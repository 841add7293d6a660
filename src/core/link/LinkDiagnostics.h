#pragma once
// The narrow sink through which the link shows its inner workings to the
// factory window: the link log, the error indications, the last record sent
// and the transmit queue's fill level. Nothing is built for it unless it is
// watching.
#include <string_view>

namespace oxalis {

enum class LinkFlag { Checksum, Blank, Verify, Overrun, LostFrame };

class LinkDiagnostics {
 public:
  virtual ~LinkDiagnostics() = default;
  // Someone looks (the factory window is visible); otherwise every other
  // call may be skipped.
  virtual bool watching() const = 0;
  // One line of the link log (the sink adds the line break).
  virtual void logLine(std::string_view text) = 0;
  virtual void flag(LinkFlag flag) = 0;
  // Every request clears the checksum, blank, verify and overrun indications.
  virtual void clearFlags() = 0;
  virtual void recordSent(std::string_view record) = 0;
  // Waiting records in percent of the queue.
  virtual void queueLevel(int percent) = 0;
};

// For a link that nobody watches.
class NoDiagnostics final : public LinkDiagnostics {
 public:
  bool watching() const override { return false; }
  void logLine(std::string_view) override {}
  void flag(LinkFlag) override {}
  void clearFlags() override {}
  void recordSent(std::string_view) override {}
  void queueLevel(int) override {}
};

}  // namespace oxalis
