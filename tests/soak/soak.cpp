// A day at the engine in minutes: the core against the simulated module on
// a virtual clock, streaming and recording throughout, through every fault
// the module and the line can show, with five configuration writes every
// ten minutes and a firmware update every few hours.
//
//   oxalis_soak [--hours H] [--firmware-every-hours F]     (24 and 3)
//
// Each ten minutes of module time: a clean minute; a minute of corrupted
// bytes (1 in 1000), one of dropped bytes (1 in 1000), one of checksum-error
// replies (1 in 20), each with a configuration write (a value changed,
// "Write all", checked by its read-back) in its middle; 10 s with the XON
// withheld, and a write in it; 15 s of silence; the adapter pulled out for
// 10 s.
//
// It prints what it counted and fails (status 1) when the tool hangs (a
// write neither verified nor reported, an update that never ends), when the
// link takes more than 2 s to come back once the module answers again, when
// the recording lacks a sample the module sent intact, or when memory grows
// after the first hour.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "SimulatedLink.h"
#include "TempFolder.h"
#include "app/MainMenu.h"
#include "app/Recording.h"
#include "sim/FirmwareImage.h"

using namespace oxalis;

namespace {

constexpr int kCycleMs = 600'000;
constexpr int kRecoveryLimitMs = 2000;

long residentKiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * 4;
}

struct Soak {
  test::SimulatedLink link;
  sim::ModuleSimulator* module = nullptr;
  test::TempFolder folder;
  std::string firmwareFile;

  // What was counted.
  std::uint64_t intactAtStart = 0;
  std::uint64_t intactOfEarlierModules = 0;
  // What the module sent while the tool's port was closed (the adapter
  // out, the search not yet at the port) reached no one; what it sent
  // before the tool had identified it again is not decoded (it could be
  // another module type, whose records read differently).
  std::uint64_t sentWhileClosed = 0;
  std::uint64_t sentBeforeIdentified = 0;
  int recoveries = 0, worstRecoveryMs = 0, slowRecoveries = 0;
  int writes = 0, verified = 0, reported = 0, hung = 0;
  int updates = 0, updatesDone = 0, updatesFailed = 0, updatesHung = 0, stallsTried = 0, stallsReported = 0;
  long firstHourKiB = 0, lastKiB = 0;

  Soak() {
    module = &link.plug(1, "OX2");
    link.core.state.appFolder = folder.path().string();
    firmwareFile = (folder / "soak.OX2").string();
    std::ofstream(firmwareFile, std::ios::binary) << sim::MakeFirmwareImage({.firmwareBytes = 8 * 1024});
  }

  Core& core() { return link.core; }

  // Module time passes; the firmware window's 10 ms timer is ticked too.
  void run(int ms) {
    for (int i = 0; i < ms; ++i) {
      const bool open = link.port.isOpen();
      const bool identified = core().link.state.linkUp;
      const std::uint64_t sent = module->intactMeasurements();
      link.run(1);
      if (!open || !link.port.isOpen())
        sentWhileClosed += module->intactMeasurements() - sent;
      else if (!identified || !core().link.state.linkUp)
        sentBeforeIdentified += module->intactMeasurements() - sent;
      if (link.now % FirmwareUpdate::kTickMs == 0 && link.timers.state(TimerId::Firmware).enabled)
        core().onTimer(TimerId::Firmware);
    }
  }
  template <typename Done>
  bool runUntil(Done done, int limitMs) {
    for (int waited = 0; waited < limitMs; waited += 1) {
      if (done()) return true;
      run(1);
    }
    return done();
  }

  void faults(sim::SimFaults f) { module->setFaults(f); }

  // The module answers again: how long until the link is up with fresh data.
  void measureRecovery() {
    ++recoveries;
    const std::int32_t before = core().trace.buffer.sampleCount;
    int waited = 0;
    while (waited < 60'000 && !(core().link.state.linkUp && core().trace.buffer.sampleCount > before)) {
      run(1);
      ++waited;
    }
    worstRecoveryMs = std::max(worstRecoveryMs, waited);
    if (waited > kRecoveryLimitMs) ++slowRecoveries;
  }

  void writeConfiguration(int n) {
    ++writes;
    core().openSetup();
    run(3000);  // the configuration comes in
    Setup& setup = core().setup;
    setup.fieldEdited(Field::Vout_NOT, std::to_string(2000 + n % 500));
    setup.fieldKey(Field::Vout_NOT, SetupKey::Enter);
    setup.WriteCfgCAN_Click();
    // With the XON withheld a record goes out a second, so a write takes minutes.
    if (!runUntil([&] { return setup.window.transferStatus != "Writing..."; }, 300'000)) ++hung;
    const std::string& status = setup.window.transferStatus;
    if (status == "Written and verified") ++verified;
    else if (status.starts_with("Written, but") || status.starts_with("No answer")) ++reported;
    else if (status != "Writing...") ++hung;  // anything else is neither
    core().closeSetup();
  }

  // A bootloader that hangs halfway: the run fails and says so ("Link with
  // board failed"); the module is switched off and on, the link comes back,
  // and the next update puts the firmware in.
  void updateFirmwareThroughAStall() {
    ++stallsTried;
    faults({.stallUpdateAfter = 20});
    const std::size_t messages = link.dialogs.messages.size();
    updateFirmware();
    --updates;
    if (updatesFailed > 0 && link.dialogs.messages.size() > messages &&
        link.dialogs.messages.back().text.starts_with("Link with board failed")) {
      --updatesFailed;
      ++stallsReported;
    }
    powerCycle();
    measureRecovery();
    updateFirmware();
  }

  // A new module in the same place, as a module switched off and on.
  void powerCycle() {
    intactOfEarlierModules += module->intactMeasurements();
    link.port.detach(1);
    link.modules.erase(1);
    module = &link.plug(1, "OX2");
  }
  std::uint64_t intactSent() const { return intactOfEarlierModules + module->intactMeasurements(); }

  void updateFirmware() {
    ++updates;
    if (!firmwareClick(core())) {
      ++updatesFailed;
      return;
    }
    run(1000);  // the bootloader version comes in
    FirmwareUpdate& update = core().firmware;
    if (!update.chooseFile(firmwareFile)) {
      ++updatesFailed;
      update.close();
      return;
    }
    update.BoutonLoad_Click();
    if (!runUntil([&] { return !update.running(); }, 600'000)) ++updatesHung;
    if (update.outcome() == FirmwareUpdate::Outcome::Done) ++updatesDone;
    else ++updatesFailed;
    update.close();
  }

  // One ten-minute cycle of faults and work.
  void cycle(int n, bool withUpdate, bool stalled) {
    const int start = link.now;
    // The harness's own records of the traffic would grow all day.
    link.port.written.clear();
    link.dialogs.messages.clear();
    link.dialogs.questions.clear();
    // Configuration writes on a clean line, through corrupted and dropped
    // bytes, through checksum-error replies and with the XON withheld: each
    // ends verified or reported.
    faults({});
    run(30'000);
    writeConfiguration(n);
    run(30'000);
    faults({.corruptProbability = 0.001});
    run(30'000);
    writeConfiguration(n + 1);
    run(30'000);
    faults({.dropProbability = 0.001});
    run(30'000);
    writeConfiguration(n + 2);
    run(30'000);
    faults({.checksumErrorProbability = 0.05});
    run(30'000);
    writeConfiguration(n + 3);
    run(30'000);
    faults({.withholdXon = true});
    run(10'000);
    writeConfiguration(n + 4);
    faults({});
    run(20'000);
    faults({.silent = true});
    run(15'000);
    faults({});
    measureRecovery();
    run(15'000);
    link.port.unplug();
    run(10'000);
    link.port.plugIn(1);
    measureRecovery();
    run(20'000);
    if (withUpdate && stalled) updateFirmwareThroughAStall();
    else if (withUpdate) updateFirmware();
    faults({});
    run(std::max(0, start + kCycleMs - link.now));
  }
};

}  // namespace

int main(int argc, char** argv) {
  double hours = 24, firmwareEvery = 3;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--hours") hours = std::atof(argv[i + 1]);
    else if (option == "--firmware-every-hours") firmwareEvery = std::atof(argv[i + 1]);
  }
  const auto started = std::chrono::steady_clock::now();
  Soak soak;
  soak.core().start();
  if (!soak.runUntil([&] { return soak.core().link.state.linkUp; }, 10'000)) {
    std::printf("no link with the module\n");
    return 1;
  }
  startRecord(soak.core());
  soak.intactAtStart = soak.intactSent();
  const std::int32_t samplesAtStart = soak.core().trace.buffer.sampleCount;

  const int cycles = std::max(1, static_cast<int>(hours * 3'600'000 / kCycleMs));
  const int updateEvery = std::max(1, static_cast<int>(firmwareEvery * 3'600'000 / kCycleMs));
  for (int n = 0; n < cycles; ++n) {
    // The cycle after an update has the module's new firmware.
    // Every other update stalls halfway first.
    const bool update = n % updateEvery == updateEvery - 1;
    soak.cycle(n, update, update && (n / updateEvery) % 2 == 1);
    if (n + 1 == 3'600'000 / kCycleMs) soak.firstHourKiB = residentKiB();
  }
  soak.lastKiB = residentKiB();
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  const std::uint64_t intact = soak.intactSent() - soak.intactAtStart - soak.sentWhileClosed - soak.sentBeforeIdentified;
  const auto kept = static_cast<std::uint64_t>(soak.core().trace.buffer.sampleCount - samplesAtStart);

  std::printf("module time %.2f h in %.0f s of wall time\n", soak.link.now / 3.6e6, wall);
  std::printf("samples: %llu sent intact to an identified link, %llu recorded (%llu more sent intact while the "
              "port was closed, %llu before identification)\n",
              static_cast<unsigned long long>(intact), static_cast<unsigned long long>(kept),
              static_cast<unsigned long long>(soak.sentWhileClosed),
              static_cast<unsigned long long>(soak.sentBeforeIdentified));
  std::printf("recoveries: %d, worst %d ms, %d over %d ms\n", soak.recoveries, soak.worstRecoveryMs,
              soak.slowRecoveries, kRecoveryLimitMs);
  std::printf("configuration writes: %d, %d verified, %d reported, %d neither\n", soak.writes, soak.verified,
              soak.reported, soak.hung);
  std::printf("firmware updates: %d, %d done, %d failed, %d never ended; %d of %d stalls halfway reported\n",
              soak.updates, soak.updatesDone, soak.updatesFailed, soak.updatesHung, soak.stallsReported, soak.stallsTried);
  if (soak.firstHourKiB > 0)
    std::printf("memory: %ld KiB after the first hour, %ld KiB at the end\n", soak.firstHourKiB, soak.lastKiB);

  const bool ok = kept >= intact && soak.slowRecoveries == 0 && soak.hung == 0 && soak.updatesHung == 0 &&
                  soak.updatesFailed == 0 && soak.stallsReported == soak.stallsTried &&
                  soak.verified + soak.reported == soak.writes &&
                  (soak.firstHourKiB == 0 || soak.lastKiB <= soak.firstHourKiB + 4096);
  std::printf("%s\n", ok ? "soak passed" : "soak FAILED");
  return ok ? 0 : 1;
}
