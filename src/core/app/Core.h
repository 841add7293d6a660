#pragma once
// The composition root: it owns the subsystems (link, monitor, trace) and
// the shell's state and view models, wires them to the platform through the
// four interfaces, and turns what the link reports into work for the
// subsystems and texts for the main window. The Qt layer and the tests both
// build one of these.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "app/AppState.h"
#include "app/MainWindowModel.h"
#include "app/Replay.h"
#include "app/SecondaryWindows.h"
#include "config/ChannelTable.h"
#include "factory/FactoryDiagnostics.h"
#include "factory/FactoryModel.h"
#include "link/Link.h"
#include "monitor/Monitor.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/SerialPort.h"
#include "platform/Timers.h"
#include "factory/Factory.h"
#include "firmware/FirmwareUpdate.h"
#include "setup/Setup.h"
#include "trace/Trace.h"

namespace oxalis {

struct Platform {
  SerialPort& port;
  Timers& timers;
  Dialogs& dialogs;
  Clock& clock;
};

class Core final : private LinkEvents, private SetupHost, private FirmwareHost, private FactoryHost {
 public:
  explicit Core(Platform platform);

  Core(const Core&) = delete;
  Core& operator=(const Core&) = delete;

  // Every byte received from the port, in order.
  void onByte(std::uint8_t byte) { link.onByte(byte); }
  // The port owner reports a lost port (adapter unplugged).
  void onPortLost() { link.onPortLost(); }

  // Start-up: channel defaults, the settings file, the live panel laid out
  // for the assumed module type, the link reset and the port search started.
  void start();

  // Resets the link and starts the port search, the last module's port
  // first (the link steps of start-up, after the settings are read).
  void startLink();

  // Timer ticks, as the platform delivers them.
  void onTimer(TimerId id);

  PortOpenResult openPort(int portNumber) { return link.openPort(portNumber); }

  // Button `Identifie`.
  void Identifie_Click() { link.commands.identify(); }
  // Button `SearchPort`: the search starts again from port 1.
  void SearchPort_Click() { link.search.restart(); }
  // The Port menu: 0 for the automatic search, or a port 1..32 to try alone
  // (it becomes the last module's port). The search starts again at once.
  void choosePort(std::uint8_t port) {
    link.state.chosenPort = port;
    if (port != 0) link.state.lastModulePort = port;
    link.search.restart();
  }
  // Offline module choice: "OX2" (&Oxalis), "PNU" (&Panora) or "QTX" (&QTX).
  void chooseOfflineModule(const std::string& deviceCode);

  // Lays the live panel out for the module type and ticks its offline entry.
  void layoutPanel();
  // A measurement arrived while recording: the trace keeps it.
  void recordLiveSample();
  // Puts the trace's memory gauge into status panel 6.
  void updateMemoryText();
  // The caption's unsaved star and the recording mark follow the recording.
  void showRecordingState();
  // The link notice's close button.
  void dismissLinkNotice();
  // The setup window opened or closed, or the user level changed: a module
  // answering again may re-lay the windows only when no setup exchange can
  // be disturbed.
  void updateIdentificationHold();

  // "&Setup" and the tool-bar's setup button: the setup window opens (at
  // every user level); the window then shows `setup.window`.
  void openSetup();
  // The setup window's close box or `Exit_Setup`: true when it closed (a
  // question about unsaved data may keep it open).
  bool closeSetup();

  Platform platform;
  AppState state;
  MainWindowModel mainWindow;
  FactoryModel factory;
  AccessCodeModel accessCode;
  ChannelTable channels;
  ReplayState replay;

 private:
  FactoryDiagnostics diagnostics_{factory};

 public:
  Link link;
  Monitor monitor;
  Trace trace;
  Setup setup{*this, channels, platform.dialogs};
  FirmwareUpdate firmware{*this, platform.dialogs, platform.timers};
  // The factory window's calibration and identity (its model is `factory`).
  Factory factoryWindow{factory, *this, platform.dialogs};

 private:
  void refreshTick();

  // LinkEvents.
  void identified() override;
  void identifyRequested() override;
  void measurement(std::span<const std::uint8_t> data, std::uint8_t selector) override;
  void parameterValue(std::uint8_t offset, double value) override;
  void memoryBlock(std::uint16_t address, std::span<const std::uint8_t> bytes) override;
  void runningTime(double hundredths) override;
  void linkStatusChanged(LinkStatus status) override;
  void portShown(int portNumber) override;
  void searchFailed() override;
  void portLost() override;
  void bootloaderReply(std::uint8_t code) override;
  void recordRefused(std::string_view record) override;
  void recordAbandoned(std::string_view record) override;

  // SetupHost.
  std::string deviceCode() const override;
  std::uint8_t userLevel() const override;
  bool factoryWindowShown() const override;
  bool dataFlowing() const override;
  int softwareRevision() const override;
  double stoichRatio() const override;
  void setStoichRatio(double ratio) override;
  void channelChanged(int slot) override;
  bool saveSetupAs() override;
  int channelCount() const override;
  std::string libraryFolder() const override;
  std::string setupFileName() const override;
  std::string setupFolder() const override;
  void setupFileOpened(const std::string& file) override;
  bool linkUp() const override;
  bool streamRunning() const override;
  std::int32_t serialNumber() const override;
  void send(std::vector<std::string> records) override;
  void holdKeepAlive(int ticks) override;

  // FirmwareHost (deviceCode and linkUp as above).
  bool portOpen() const override;
  bool moduleReady() const override;
  bool updateReported() const override;
  void clearUpdateReported() override;
  bool queueNearlyFull() override;
  bool queueEmpty() const override;
  void queue(std::string record) override;
  void dropQueue() override;
  void readBootloaderVersion() override;
  void stopMainTimers() override;
  void restartRefresh() override;
  void setLoading(bool loading) override;
  void clearErrorIndications() override;
  void identify() override;

  bool refusalReported_ = false;
  bool linkNoticeDismissed_ = false;
};

}  // namespace oxalis
