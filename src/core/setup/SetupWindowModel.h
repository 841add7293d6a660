#pragma once
// What the setup window `ModuleSetup` shows: every input of the
// configuration with its text or selection and its edit state, the frames,
// the CAN channel grid and the coefficient toolbox. This model is the one
// copy of the configuration the tool holds; the window renders it and
// forwards the user's actions to the handlers of Setup.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "setup/CoefficientToolbox.h"
#include "setup/EditState.h"
#include "setup/OutputTables.h"
#include "util/Notifier.h"

namespace oxalis {

// One input: a text box, a list, a check box or an option button, with the
// label beside it. Lists show `text` (which may be "???" or a caption such
// as "Filter" when nothing is chosen) and `index` (-1: nothing chosen).
struct Control {
  std::string text;
  std::vector<std::string> items;
  int index = -1;
  bool checked = false;
  bool enabled = true;
  bool visible = true;
  EditState state = EditState::Normal;
  std::string tip;
  std::string caption;  // the label beside the input, or its own caption
  bool captionVisible = true;

  void choose(int position) {
    index = position;
    text = position >= 0 && position < static_cast<int>(items.size()) ? items[static_cast<std::size_t>(position)]
                                                                       : std::string();
  }
};

// The inputs, by name, for the handlers that act on any of them.
enum class Field : std::uint8_t {
  Vout_NOT,
  Vout_HS,
  Rich_NOT,
  Rich_HS,
  W_Stoichio,
  RPM_threshold,
  Heater_Timeout,
  Combo_Filtre,
  Check_Heater,
  Check_WarmInit,
  Option_User,
  Option_Skynam,
  BaudRateList,
  Format_Intel,
  TypeDataMSG1,
  ListSensorSkynam,
  ListeProtocoles,
  ID0,
  ID1,
  ID2,
  ID3,
  ID4,
  SelMsg0,
  SelMsg1,
  SelMsg2,
};
inline constexpr int kFieldCount = static_cast<int>(Field::SelMsg2) + 1;

// A frame of the window.
struct Frame {
  std::string caption;
  bool enabled = true;
  bool visible = true;
};

// The channel grid `GrilleCan`: row 0 the header, row r slot r; columns
// "Ch;Name;ID;MSB;LSB;Map;A;B;C;D;Dec;Min;Max;Unit;" and the colour column.
// The channel library's floating file list: the ".lib" files of the
// library folder, shown where the grid was right-clicked (window
// coordinates).
struct LibraryFileList {
  bool visible = false;
  std::vector<std::string> files;
  int x = 0, y = 0;
};

struct CanGridModel {
  static constexpr int kColumns = 15;
  static constexpr int kColourColumn = 14;
  // Column widths in twips (1/1440 inch), columns 0..13; the colour column
  // is as wide as a row is high.
  static constexpr std::array<int, 14> kWidthsTwips{300, 1200, 1000, 500, 500, 500, 600,
                                                    600, 600,  600,  500, 1000, 1000, 1000};
  using Row = std::array<GridCell, kColumns>;
  std::vector<Row> rows;  // the header and the slots shown
  bool enabled = true;
  bool movedUp = false;  // shorter and higher up (steering wheel)

  // The floating cell editor.
  struct Editor {
    bool open = false;
    int row = 0;
    int column = 0;
    std::string text;
    bool typing = false;  // a key was typed since it opened
  } editor;

  int lastClickedRow = 1;  // the row the library commands act on
  int currentColumn = 1;   // with lastClickedRow, the cell Enter opens
  // The selection made by double clicks: rows and columns, inclusive.
  int selectionTop = 0, selectionBottom = 0, selectionLeft = 0, selectionRight = 0;

  GridCell& cell(int row, int column) { return rows.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column)); }
  const GridCell& cell(int row, int column) const {
    return rows.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
  }
};

// The coefficient toolbox `Frame_CalculCoef` ("Coefficients toolbox"):
// the form of conversion, two sample inputs and their outputs, the
// decimals; `SET_COEF` puts the coefficients into the channel's grid row.
struct CoefficientToolbox {
  bool visible = false;
  int slot = 0;
  bool linear = true;  // `OptionAx` "Type Ax+B"; otherwise `Option1surX` "Type 1/(Cx+D)"
  std::string VX1, VX2, VY1, VY2;
  std::string decimals = "2";  // `Vdec`
};
enum class ToolboxInput { VX1, VX2, VY1, VY2, Vdec };

struct SetupWindowModel {
  bool visible = false;
  std::string caption = "SETUP";

  // "Vout and Richness setup" and "Heater setup".
  Control Vout_NOT, Vout_HS, Rich_NOT, Rich_HS, W_Stoichio, Combo_Filtre;
  Control Check_Heater, Check_WarmInit, RPM_threshold, Heater_Timeout;
  // "CAN SETUP".
  Control Option_User, Option_Skynam, BaudRateList, Format_Intel, TypeDataMSG1, ListSensorSkynam, ListeProtocoles;
  std::array<Control, 5> ID;
  std::array<Control, 3> SelMsg;

  Frame CAN_SETUP{"CAN SETUP"};
  Frame VOUT_SETUP{"Vout and Richness setup"};
  Frame Frame_Heater{"Heater setup"};
  Frame Time_setup{"Time SETUP"};
  Frame Linearisation_Vout{"Vout=f(Richness)"};  // the table page
  bool tableTabsVisible = false;                 // the five display tabs
  bool tableGridVisible = true;
  bool factorySetVisible = true;                 // "Factory set"
  bool Label_NotAllowed = false;                 // "Table not allowed in Display mode (Only for Oxalis)"
  std::string Set_Time = "0000:00:00";  // "hhhh:mm:ss"
  // What the last write came to: "Written and verified", the settings the
  // module holds differently, or those it did not answer for.
  std::string transferStatus;

  CanGridModel GrilleCan;
  LibraryFileList libraryList;
  CoefficientToolbox toolbox;
  TablePage tables;  // `Linearisation_Vout`

  Notifier changed;

  Control& control(Field field);
  const Control& control(Field field) const { return const_cast<SetupWindowModel*>(this)->control(field); }
};

inline Control& SetupWindowModel::control(Field field) {
  switch (field) {
    case Field::Vout_NOT: return Vout_NOT;
    case Field::Vout_HS: return Vout_HS;
    case Field::Rich_NOT: return Rich_NOT;
    case Field::Rich_HS: return Rich_HS;
    case Field::W_Stoichio: return W_Stoichio;
    case Field::RPM_threshold: return RPM_threshold;
    case Field::Heater_Timeout: return Heater_Timeout;
    case Field::Combo_Filtre: return Combo_Filtre;
    case Field::Check_Heater: return Check_Heater;
    case Field::Check_WarmInit: return Check_WarmInit;
    case Field::Option_User: return Option_User;
    case Field::Option_Skynam: return Option_Skynam;
    case Field::BaudRateList: return BaudRateList;
    case Field::Format_Intel: return Format_Intel;
    case Field::TypeDataMSG1: return TypeDataMSG1;
    case Field::ListSensorSkynam: return ListSensorSkynam;
    case Field::ListeProtocoles: return ListeProtocoles;
    case Field::ID0: return ID[0];
    case Field::ID1: return ID[1];
    case Field::ID2: return ID[2];
    case Field::ID3: return ID[3];
    case Field::ID4: return ID[4];
    case Field::SelMsg0: return SelMsg[0];
    case Field::SelMsg1: return SelMsg[1];
    case Field::SelMsg2: return SelMsg[2];
  }
  return Vout_NOT;
}

}  // namespace oxalis
