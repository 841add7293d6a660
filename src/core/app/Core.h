#pragma once
// The application's core: the shared state, the view models and the link,
// wired to the platform through the four interfaces. The Qt layer and the
// tests both build one of these.
#include <cstdint>
#include <functional>
#include <span>

#include "app/AppState.h"
#include "app/MainWindowModel.h"
#include "app/SecondaryWindows.h"
#include "factory/FactoryModel.h"
#include "link/LinkLog.h"
#include "link/PortSearch.h"
#include "link/ReceiveParser.h"
#include "link/Requests.h"
#include "link/TransmitQueue.h"
#include "monitor/ChannelTable.h"
#include "monitor/LivePanelModel.h"
#include "monitor/LiveValues.h"
#include "trace/TraceBuffer.h"
#include "trace/TraceModel.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/SerialPort.h"
#include "platform/Timers.h"

namespace oxalis {

struct Platform {
  SerialPort& port;
  Timers& timers;
  Dialogs& dialogs;
  Clock& clock;
};

// Where the link hands over to the subsystems that decode what it received.
struct CoreHooks {
  // A checked measurement record, while a module is connected: its data
  // bytes and the slow-slot selector (address low byte).
  std::function<void(std::span<const std::uint8_t> data, std::uint8_t selector)> decodeMeasurement;
  // A parameter reply: configuration offset and the bytes folded into one number.
  std::function<void(std::uint8_t offset, double value)> decodeConfigValue;
  // A memory reply inside the output tables.
  std::function<void(std::uint16_t address, std::span<const std::uint8_t> bytes)> decodeTableBlock;
  // The module type changed: lay the live panel out for it.
  std::function<void()> layoutPanel;
  // A measurement arrived while recording.
  std::function<void()> appendTraceSample;
  // The search failed: recording stops as the "Stop_Record" button does.
  std::function<void()> stopRecording;
};

class Core {
 public:
  explicit Core(Platform platform);

  Core(const Core&) = delete;
  Core& operator=(const Core&) = delete;

  // Every byte received from the port, in order.
  void onByte(std::uint8_t byte) { parser.onByte(byte); }
  // The port owner reports a lost port (adapter unplugged).
  void onPortLost() { queue.reportDisconnected(); }

  // Start-up: channel defaults, the live panel laid out for the assumed
  // module type, the link reset and the port search started.
  void start();

  // Resets the link and starts the port search, the last module's port
  // first (the link steps of start-up, after the settings are read).
  void startLink();

  // Timer ticks, as the platform delivers them.
  void onTimer(TimerId id);

  // Opens port n; once it is open, a failed write or a lost port is
  // reported again.
  PortOpenResult openPort(int portNumber) {
    const PortOpenResult result = platform.port.open(portNumber);
    if (result == PortOpenResult::Ok) queue.portOpened();
    return result;
  }

  // Button `Identifie`.
  void Identifie_Click() { commands.IdentifyRequest(); }

  // The setup and firmware windows are not part of this version yet.
  static constexpr bool setupWindowAvailable = false;
  static constexpr bool firmwareWindowAvailable = false;

  Platform platform;
  AppState state;
  MainWindowModel mainWindow;
  FactoryModel factory;
  LivePanelModel livePanel;
  LiveValues live;
  ChannelTable channels;
  TraceBuffer trace;
  TraceModel traceView;
  FirmwareWindowModel firmwareWindow;
  AccessCodeModel accessCode;
  CoreHooks hooks;

  LinkLog log;
  TransmitQueue queue;
  CommandSet commands;
  ReceiveParser parser;
  PortSearch search;
};

}  // namespace oxalis
