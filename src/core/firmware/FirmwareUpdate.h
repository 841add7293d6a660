#pragma once
// The firmware window `Load_Firmware`: a firmware image, or a new
// bootloader, sent line by line to the module's bootloader. Sending is paced
// by the window's 10 ms timer (one record a tick), by the transmit queue's
// fill level and by the module's XON. The window's model is rendered by the
// Qt layer; what the update needs of the rest of the tool comes through
// FirmwareHost.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "firmware/FirmwareFile.h"
#include "platform/Dialogs.h"
#include "platform/Timers.h"
#include "util/Notifier.h"

namespace oxalis {

struct FirmwareWindowModel {
  bool visible = false;
  std::string caption = "Update Firmware";
  std::string statusPanel1;            // "BootLoader Version : ..."
  std::uint8_t bootloaderVersion = 0;  // the module's, in tenths; an erased byte counts as 10
  bool BoutonLoad = false;             // "Load" enabled
  bool Cancel_update = true;           // "Cancel" enabled
  bool Check_BootloaderUpdate = false;         // "Update Bootloader" ticked
  bool Check_BootloaderUpdateEnabled = false;  // ... and enabled
  int ProgressBar1 = 0;                // 0..100
  std::string Etat_load = "0%";
  std::vector<std::string> Text1;      // the records sent in bootloader mode
  Notifier changed;
};

class FirmwareHost {
 public:
  virtual ~FirmwareHost() = default;
  virtual std::string deviceCode() const = 0;
  virtual bool linkUp() const = 0;
  virtual bool portOpen() const = 0;
  // The module sent XON since the last record was written.
  virtual bool moduleReady() const = 0;
  // The bootloader reported a successful update since the flag was cleared.
  virtual bool updateReported() const = 0;
  virtual void clearUpdateReported() = 0;
  // The transmit queue: more than 195 records wait; none waits; one more;
  // every waiting record and the port's pending output dropped.
  virtual bool queueNearlyFull() = 0;
  virtual bool queueEmpty() const = 0;
  virtual void queue(std::string record) = 0;
  virtual void dropQueue() = 0;
  // Asks the module for its bootloader version (memory 0x0050).
  virtual void readBootloaderVersion() = 0;
  // The main window's refresh and keep-alive timers stop while the window is
  // open; the refresh timer starts again when it closes or a run fails.
  virtual void stopMainTimers() = 0;
  virtual void restartRefresh() = 0;
  // Records go out on the module's XON even with the link down (a module
  // forced into its bootloader by hand does not identify).
  virtual void setLoading(bool loading) = 0;
  // The factory window's error indications ("Chksum", "Blank", "Verify",
  // "OverRun") cleared.
  virtual void clearErrorIndications() = 0;
  // Identification asked again (the window closed).
  virtual void identify() = 0;
};

class FirmwareUpdate {
 public:
  static constexpr int kTickMs = 10;
  static constexpr int kStallTicks = 200;

  FirmwareUpdate(FirmwareHost& host, Dialogs& dialogs, Timers& timers) : host_(host), dialogs_(dialogs), timers_(timers) {}
  FirmwareUpdate(const FirmwareUpdate&) = delete;
  FirmwareUpdate& operator=(const FirmwareUpdate&) = delete;

  FirmwareWindowModel window;

  void open();
  // "File": a firmware file chosen and checked whole.
  void BoutonFile_Click();
  // The same with the file named (headless use, tests).
  bool chooseFile(const std::string& path);
  void BoutonLoad_Click();
  void Check_BootloaderUpdate_Click(bool checked);
  // "Cancel": the queue emptied and the window closed.
  void Cancel_update_Click();
  // Esc: closes before or after a run, not during one. True when closed.
  bool escape();
  // The window goes (close box, Cancel, Esc).
  void close();
  // The window's 10 ms timer.
  void tick();
  // The module's bootloader version read (memory 0x0050).
  void bootloaderVersionRead(std::uint8_t byte);
  // A bootloader's single-character report.
  void bootloaderReply(std::uint8_t code);

  bool running() const { return running_; }
  // The last run ended: sent to its end and confirmed by the module (a
  // bootloader part: sent to its end), or not.
  enum class Outcome { None, Done, Failed };
  Outcome outcome() const { return outcome_; }

 private:
  void setProgress(std::size_t position);
  void finishBootloader();
  void finishFirmware();
  void fail();
  void stop();
  void notify() { window.changed.notify(); }

  FirmwareHost& host_;
  Dialogs& dialogs_;
  Timers& timers_;
  std::optional<FirmwareFile> file_;
  std::string fileName_;
  std::string folder_;
  std::size_t next_ = 0;  // the line read next
  bool bootloaderMode_ = false;
  bool running_ = false;
  int stall_ = 0;
  int awaitingReport_ = 0;  // ticks since the last record left, waiting for the module's report
  bool checksumRefused_ = false;
  std::uint8_t endChecksum_ = 0;
  Outcome outcome_ = Outcome::None;
};

}  // namespace oxalis
