#pragma once
// The shared application state, owned by the main window's core and read and
// written by every subsystem. Members carry their start values.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "link/RxState.h"
#include "link/TxRing.h"

namespace oxalis {

enum UserLevel : std::uint8_t { kLevelBasic = 1, kLevelNormal = 2, kLevelExpert = 3, kLevelMaster = 4 };

struct AppState {
  // Folder of the settings file, lib/, ports/ and the cursor files.
  std::string appFolder;

  std::uint8_t userLevel = kLevelBasic;
  // Index = userLevel; the status bar shows "User level : " + name.
  std::vector<std::string> levelNames{"?", "Basic", "Normal", "Expert", "Master"};
  // Captions of the nine diagnostic lamps, with the CAN bus fine or in error.
  std::array<std::string, 9> diagLabelsCanOk{"Warm Up", "Open Circuit", "Short Circuit", "Probe Temp.", "Power GND",
                                             "Vgnd",    "VBat",         "Vs",            "CAN ok"};
  std::array<std::string, 9> diagLabelsCanErr{"Warm Up", "Open Circuit", "Short Circuit", "Probe Temp.", "Power GND",
                                              "Vgnd",    "VBat",         "Vs",            "CAN Err"};
  std::uint8_t canTimingClock = 40;  // used by the CAN bit-rate computation
  std::uint8_t channelCount = 4;     // CAN channels shown: 4, or 5 for some module types

  // Link.
  std::string deviceCode = "OX2";  // type assumed before any module is found
  bool linkUp = false;             // a module answered; records go through the queue
  bool rxIdle = true;              // the receiver waits for ":"
  std::uint8_t currentPort = 0;    // port in use or under test, 1..32, 0 none
  std::uint8_t lastModulePort = 0; // port of the last module found (settings file)
  bool firstSearchTick = true;     // the next search tick tries lastModulePort first
  TxRing tx;                       // transmit queue, with txReadIndex and txWriteIndex
  RxState rx;                      // receive parser
  ModuleIdentity identity;         // from the identification reply
  std::uint8_t silentTicks = 0;    // refresh ticks since the last received byte while linked
  bool freshSample = false;        // a measurement record arrived since the last refresh tick

  bool streamRunning = true;    // live frames wanted (Run / Stop Frames button)
  bool dataFlowing = false;     // bytes received since the last link time-out
  bool logEnabled = true;       // link log lines are written
  bool firmwareLoading = false; // a firmware update runs
  bool setupOpen = false;       // the setup window is open
  std::uint8_t keepAliveDelay = 0;  // seconds before the next keep-alive request

  // Recording and files.
  std::string dataFileName = "default.DA1";
  bool recording = false;
  bool recordPaused = false;
  bool dataNotSaved = false;    // recorded samples exist that were not saved
  bool dataFileOpened = false;  // the trace holds samples read from a data file
  bool afrTenfold = false;      // the data file being read stores A/F x 10
  std::string dataFolder;       // folder of the data file dialogs
  std::string setupFolder;      // folder of the setup archive dialogs
  std::string setupFileName = "Default.OXS";
  double hcRatio = 2;           // carried through the settings file unchanged

  double stoichRatio = 14.57;  // stoichiometric air/fuel ratio
  std::int32_t tracePoints = 1000;  // samples across the trace window (50 per second)
};

}  // namespace oxalis
