#pragma once
// The live panel of the main window as data: 18 labelled value cells, nine
// pairs of diagnostic lamps, the trace channel ticks and the buttons.
#include <array>
#include <cstdint>
#include <string>

#include "util/Colour.h"
#include "util/Notifier.h"

namespace oxalis {

struct LiveCellModel {
  std::string label;         // DisplayLabel(i)
  std::string labelTooltip;
  std::uint32_t labelColor = kBlack;
  bool visible = true;       // the cell and its label
  std::string text;          // previousText(i): the text last painted
  std::uint32_t textColor = kOfflineGrey;
  int paintCount = 0;        // how often the cell was repainted (cleared and printed)
};

struct DiagLampModel {
  bool red = false;            // Alarme_DiagRouge(i) shown, Alarme_DiagVert(i) hidden
  bool known = false;          // a module reports the condition; grey while none does
  bool visible = true;         // the module type gives this lamp a meaning
  std::string greenLabel;      // printed on the green lamp
  std::string redLabel;        // printed on the red lamp
  std::string greenTooltip;
  std::string redTooltip;
};

struct LivePanelModel {
  static constexpr int kCells = 18;
  static constexpr int kLamps = 9;

  std::array<LiveCellModel, kCells> cells{};
  std::array<DiagLampModel, kLamps> lamps{};

  // ShowCanal(0..4): which user channels the trace draws; entry 4 only
  // for the five-channel module types.
  std::array<bool, 5> showCanal{};
  std::array<bool, 5> showCanalVisible{true, true, true, true, false};
  std::array<bool, 10> valCurseurVisible{true, true, true, true, true, true, true, true, true, false};
  // The trace's built-in quantities (`OptionChOscillo` 0..4) the module
  // type sends, and their names for it.
  std::array<bool, 5> traceChoiceVisible{true, true, true, true, true};
  std::array<std::string, 5> traceChoiceNames{"Vout", "Richness", "Lambda", "O2", "A/F"};

  // The three Panora setting lists, shown for the display only.
  bool panoraListsVisible = false;
  int comboChannel = -1;
  int comboLuminosite = -1;
  int comboTypeCarburant = -1;

  // Captions of the buttons `SearchPort`, `Identifie` and `Boutton_Frame`
  // (the measurement stream's Run/Stop button), by module type.
  std::string SearchPort = "Search Oxalis";
  std::string Identifie = "Oxalis info";
  std::string Boutton_Frame = "Stop Frames";

  // Repaint every cell on the next refresh tick (after a resize).
  bool forceRepaint = false;

  Notifier changed;
};

}  // namespace oxalis
