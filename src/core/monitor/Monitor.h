#pragma once
// Live monitoring: the latest decoded measurement and the live panel that
// shows it. It reads the module's identity from the link and the channel
// definitions it decodes with; it owns its values and its panel.
#include <array>
#include <cstdint>
#include <string>

#include "config/ChannelTable.h"
#include "link/RxState.h"
#include "monitor/LivePanelModel.h"
#include "monitor/LiveValues.h"

namespace oxalis {

struct Monitor {
  Monitor(const ModuleIdentity& module, ChannelTable& channels) : module(module), channels(channels) {}
  Monitor(const Monitor&) = delete;
  Monitor& operator=(const Monitor&) = delete;

  const ModuleIdentity& module;  // device code and versions
  ChannelTable& channels;

  LiveValues live;
  LivePanelModel livePanel;
  double stoichRatio = 14.57;  // stoichiometric air/fuel ratio
  // Captions of the nine diagnostic lamps, with the CAN bus fine or in error.
  std::array<std::string, 9> diagLabelsCanOk{"Warm Up", "Open Circuit", "Short Circuit", "Probe Temp.", "Power GND",
                                             "Vgnd",    "VBat",         "Vs",            "CAN ok"};
  std::array<std::string, 9> diagLabelsCanErr{"Warm Up", "Open Circuit", "Short Circuit", "Probe Temp.", "Power GND",
                                              "Vgnd",    "VBat",         "Vs",            "CAN Err"};
  std::uint8_t channelCount = 4;  // CAN channels shown: 4, or 5 for some module types
};

}  // namespace oxalis
