#pragma once
// Serves one simulated module on a pseudo-terminal, so that a program opens it
// like the module's USB serial adapter: `<portDir>/COM<n>` is a symbolic link
// to the terminal's slave side.
//
// start() opens the terminal (raw at once, so that nothing is echoed or
// rewritten and XON/XOFF pass as data), keeps a slave descriptor open so the
// master side never sees a hang-up when the program closes its side, makes
// the link (replacing a stale one) and runs the module on a thread of its
// own. That thread alone touches the simulator: it feeds it what the program
// writes, advances its time by the real time elapsed, and writes what it sends
// at the link's speed (57600 baud, about 5760 bytes per second). Bytes the
// terminal cannot take are lost, as on a line nobody reads.
//
// stop() ends the thread, removes the link and closes the terminal; the
// destructor stops. unplug() is the same as stop(): the adapter is gone. A
// later start() plugs the same module back in, with its memories as they
// were; its clock stands still while it is unplugged.
// setFaults() may be called from any thread; the module takes the new faults
// within a few milliseconds.
#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "sim/SimOptions.h"

namespace oxalis::sim {

class ModuleSimulator;

class PtyHost {
 public:
  PtyHost(SimOptions options, std::filesystem::path portDir, int portNumber);
  ~PtyHost();
  PtyHost(const PtyHost&) = delete;
  PtyHost& operator=(const PtyHost&) = delete;

  // False with error() set when the terminal or the link cannot be made.
  bool start();
  void stop();
  void unplug() { stop(); }
  bool running() const { return thread_.joinable(); }

  void setFaults(const SimFaults& faults);

  // <portDir>/COM<n>
  std::filesystem::path linkPath() const;
  // The terminal's slave device, while running.
  const std::string& slavePath() const { return slavePath_; }
  const std::string& error() const { return error_; }

 private:
  void run();
  bool fail(const std::string& what);
  void closeTerminal();

  SimOptions options_;
  std::unique_ptr<ModuleSimulator> simulator_;  // made by the first start()
  std::filesystem::path portDir_;
  int portNumber_;
  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
  std::string error_;
  std::thread thread_;
  std::atomic<bool> stopping_{false};
  std::mutex faultsMutex_;
  std::optional<SimFaults> newFaults_;  // waiting for the module's thread
};

}  // namespace oxalis::sim
