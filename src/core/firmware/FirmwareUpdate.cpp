#include "firmware/FirmwareUpdate.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>

#include "link/RecordCodec.h"
#include "util/AtomicFile.h"
#include "util/NumberFormat.h"

namespace oxalis {

namespace {

constexpr std::string_view kRestartIntoBootloader = ":00000120DF";
constexpr std::string_view kProgramMemoryArea = ":020000040000FA";
constexpr std::string_view kBootloaderPartEnd = ":10080000";
constexpr std::string_view kEndRecord = ":00000001FF";
// What to do after a run that did not end well.
const std::string kForceBootloader =
    "The module may be left without a working program. Switch it off, connect its Vs input (pin 6 of the probe "
    "connector) to GND, switch it on again to force its bootloader, then choose \"Load\" again.";
// Bootloaders above this version check the sum carried by the end record;
// those up to it take no end record at all.
constexpr std::uint8_t kLastVersionWithoutEndChecksum = 12;

struct FirmwareExtension {
  std::string_view deviceCode;
  std::string_view extension;
};
constexpr std::array<FirmwareExtension, 5> kExtensions{
    {{"OXL", "OX1"}, {"OX2", "OX2"}, {"PNU", "PNU"}, {"RMW", "RMW"}, {"QTX", "QT1"}}};

std::string_view extensionFor(std::string_view deviceCode) {
  for (const FirmwareExtension& e : kExtensions)
    if (e.deviceCode == deviceCode) return e.extension;
  return "OX2";
}

std::string version(std::uint8_t tenths) { return formatFixedValue(tenths, false, 1); }

}  // namespace

void FirmwareUpdate::open() {
  FirmwareWindowModel& w = window;
  w.visible = true;
  w.caption = "Update Firmware";
  w.statusPanel1.clear();
  w.bootloaderVersion = 0;
  w.BoutonLoad = false;
  w.Cancel_update = true;
  w.Check_BootloaderUpdate = false;
  w.Check_BootloaderUpdateEnabled = false;
  w.ProgressBar1 = 0;
  w.Etat_load = "0%";
  w.Text1.clear();
  file_.reset();
  fileName_.clear();
  running_ = false;
  outcome_ = Outcome::None;
  host_.stopMainTimers();
  timers_.setEnabled(TimerId::Firmware, false);
  timers_.setInterval(TimerId::Firmware, kTickMs);
  host_.clearErrorIndications();
  // The queue waits for the module's XON by itself: the version is asked
  // for even when a record is on its way, since the end of a firmware run
  // depends on it.
  if (host_.linkUp()) host_.readBootloaderVersion();
  notify();
}

void FirmwareUpdate::bootloaderVersionRead(std::uint8_t byte) {
  if (!window.visible) return;
  // An erased byte means the first bootloader, version 1.0.
  window.bootloaderVersion = byte == 255 ? 10 : byte;
  window.statusPanel1 = "BootLoader Version : " + version(window.bootloaderVersion);
  notify();
}

void FirmwareUpdate::BoutonFile_Click() {
  if (running_) return;
  const std::string extension(extensionFor(host_.deviceCode()));
  FileDialogRequest request;
  request.title = "Open";
  request.fileName = "Default";
  request.defaultExtension = extension;
  request.filter = "Firmware archive (*." + extension + ")|*." + extension;
  request.startFolder = folder_;
  if (const std::optional<std::string> file = dialogs_.openFile(request)) chooseFile(*file);
}

bool FirmwareUpdate::chooseFile(const std::string& path) {
  FirmwareWindowModel& w = window;
  file_.reset();
  w.BoutonLoad = false;
  std::string error;
  const std::optional<std::string> bytes = ReadWholeFile(path, &error);
  if (!bytes) {
    dialogs_.message("Fail to open file " + path + "\n" + error, "Error", MessageIcon::Warning);
    notify();
    return false;
  }
  // A damaged file is refused whole: a module must never receive half an
  // image.
  FirmwareFileCheck check = ReadFirmwareFile(*bytes);
  if (!check.file) {
    dialogs_.message("The firmware file " + path + " is damaged and cannot be sent:\n" + check.error +
                         "\nNothing was sent to the module.",
                     "Error", MessageIcon::Warning);
    notify();
    return false;
  }
  file_ = std::move(check.file);
  fileName_ = path;
  const std::filesystem::path chosen(path);
  folder_ = chosen.parent_path().string();
  w.caption = "Updating (" + chosen.filename().string() + ")";
  next_ = 0;
  w.BoutonLoad = host_.portOpen();

  const std::uint8_t fileVersion = file_->bootloaderVersion;
  const std::uint8_t moduleVersion = w.bootloaderVersion;
  w.Check_BootloaderUpdateEnabled = moduleVersion > 10 && fileVersion != 0;
  if (fileVersion == 0 || moduleVersion == 0 || moduleVersion >= fileVersion) {
    w.Check_BootloaderUpdate = false;
    w.Check_BootloaderUpdateEnabled = false;
  } else {
    dialogs_.message("New Bootloader version in this file (" + version(fileVersion) + " vs " + version(moduleVersion) +
                         ").",
                     "Info", MessageIcon::Warning);
  }
  notify();
  return true;
}

void FirmwareUpdate::Check_BootloaderUpdate_Click(bool checked) {
  if (!window.Check_BootloaderUpdateEnabled || running_) return;
  window.Check_BootloaderUpdate = checked;
  notify();
}

void FirmwareUpdate::BoutonLoad_Click() {
  if (!file_ || running_) return;
  FirmwareWindowModel& w = window;
  next_ = 0;
  stall_ = 0;
  awaitingReport_ = 0;
  checksumRefused_ = false;
  endChecksum_ = 0;
  outcome_ = Outcome::None;
  w.ProgressBar1 = 0;
  w.Etat_load = "0%";
  if (w.Check_BootloaderUpdate) {
    bootloaderMode_ = true;
    host_.queue(std::string(kProgramMemoryArea));
  } else {
    bootloaderMode_ = false;
    host_.clearUpdateReported();
    w.Cancel_update = false;
    // The restart waits in the queue for the module's XON like any record:
    // a module busy with a measurement record at this instant must still
    // restart, or the image would reach the running firmware.
    if (host_.linkUp()) {
      host_.queue(std::string(kRestartIntoBootloader));
    } else {
      dialogs_.message(
          "Link is OFF. Verify that Vs input (pin 6 from probe connector) is connected to GND and switch ON the module "
          "to force Bootloader. Monitor will start to send firmware when you close this message box.",
          "Hardware Bootloader selection", MessageIcon::Warning);
    }
  }
  running_ = true;
  host_.setLoading(true);
  timers_.setEnabled(TimerId::Firmware, true);
  notify();
}

void FirmwareUpdate::setProgress(std::size_t position) {
  const std::size_t size = std::max<std::size_t>(file_->size, 1);
  window.ProgressBar1 = static_cast<int>(std::min<std::size_t>(position * 100 / size, 100));
  window.Etat_load = std::to_string(window.ProgressBar1) + "%";
}

void FirmwareUpdate::tick() {
  if (!running_ || !file_) return;
  const std::vector<FirmwareLine>& lines = file_->lines;
  if (host_.queueNearlyFull()) {
    ++stall_;
  } else if (!host_.moduleReady()) {
    // A module that no longer sends XON takes nothing more: that counts
    // towards giving up as much as a queue that does not drain.
    ++stall_;
  } else {
    stall_ = 0;
    const bool atEnd = next_ >= lines.size();
    if (bootloaderMode_) {
      if (atEnd || lines[next_].text.find(kBootloaderPartEnd) != std::string::npos) {
        if (host_.queueEmpty())
          return finishBootloader();
        ++stall_;
      } else {
        const FirmwareLine& line = lines[next_++];
        setProgress(line.endOffset);
        host_.queue(line.text);
        window.Text1.push_back(line.text);
        notify();
      }
    } else if (atEnd) {
      // Everything has left: the module's report (0xFA, or 0xF0 for an
      // image whose sum it did not find) may follow a while later.
      if (!host_.queueEmpty())
        ++stall_;
      else if (host_.updateReported() || checksumRefused_ || ++awaitingReport_ >= kStallTicks)
        return finishFirmware();
    } else {
      const FirmwareLine& line = lines[next_++];
      setProgress(line.endOffset);
      if (line.text.find(kEndRecord) != std::string::npos) {
        if (window.bootloaderVersion > kLastVersionWithoutEndChecksum) host_.queue(EndRecordWithChecksum(endChecksum_));
      } else {
        host_.queue(line.text);
        endChecksum_ = static_cast<std::uint8_t>(endChecksum_ + RecordChecksumByte(line.text));
      }
      notify();
    }
  }
  if (stall_ >= kStallTicks) fail();
}

void FirmwareUpdate::stop() {
  running_ = false;
  timers_.setEnabled(TimerId::Firmware, false);
  host_.setLoading(false);
}

void FirmwareUpdate::finishBootloader() {
  stop();
  outcome_ = Outcome::Done;
  window.ProgressBar1 = 100;
  window.Etat_load = "100%";
  notify();
  dialogs_.message("Boot Update Done. Select 'LOAD' again to update now the firmware", "Message",
                   MessageIcon::Information);
  window.Check_BootloaderUpdate = false;
  next_ = 0;
  window.Cancel_update = true;
  host_.readBootloaderVersion();
  notify();
}

void FirmwareUpdate::finishFirmware() {
  stop();
  window.ProgressBar1 = 100;
  window.Etat_load = "100%";
  window.Cancel_update = true;
  notify();
  if (host_.updateReported()) {
    outcome_ = Outcome::Done;
    dialogs_.message("Firmware successful updated. Remember to reload lookup table. ", "Update report",
                     MessageIcon::Information);
    return;
  }
  // Sent to its end, yet not confirmed: the module may be left without a
  // working program, and the user must know.
  outcome_ = Outcome::Failed;
  dialogs_.message(checksumRefused_ ? "Firmware checksum error: the module did not take the firmware. " + kForceBootloader
                                    : "The module did not report a successful update. " + kForceBootloader,
                   "Update report", MessageIcon::Error);
}

void FirmwareUpdate::bootloaderReply(std::uint8_t code) {
  if (running_ && !bootloaderMode_ && code == link_char::kFirmwareChecksumError) checksumRefused_ = true;
}

// Two seconds without progress: the run is given up, and the user told how
// to bring the module back into its bootloader.
void FirmwareUpdate::fail() {
  stop();
  outcome_ = Outcome::Failed;
  host_.dropQueue();
  host_.restartRefresh();
  window.Cancel_update = true;
  notify();
  dialogs_.message("Link with board failed \n" + kForceBootloader, "Error", MessageIcon::Error);
}

void FirmwareUpdate::Cancel_update_Click() {
  if (!window.Cancel_update) return;
  host_.dropQueue();
  close();
}

bool FirmwareUpdate::escape() {
  if (running_ || (window.ProgressBar1 != 0 && window.ProgressBar1 != 100)) return false;
  close();
  return true;
}

void FirmwareUpdate::close() {
  if (!window.visible) return;
  stop();
  file_.reset();
  window.visible = false;
  host_.restartRefresh();
  host_.identify();
  notify();
}

}  // namespace oxalis
