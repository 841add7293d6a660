#pragma once
// The setup window's behaviour: opening and the layouts per module type and
// user level, the entry rules of every input, the CAN options and the
// channel grid, decoding the module's configuration values and closing. It
// owns the window's model; what it needs of the rest of the tool comes
// through SetupHost, the channel table and the dialogs.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include <vector>

#include "config/ChannelTable.h"
#include "config/ConfigMap.h"
#include "setup/CanId.h"
#include "platform/Dialogs.h"
#include "setup/SetupWindowModel.h"

namespace oxalis {

// What the setup window reads of the tool and tells it.
class SetupHost {
 public:
  virtual ~SetupHost() = default;
  virtual std::string deviceCode() const = 0;
  virtual std::uint8_t userLevel() const = 0;  // 1 Basic .. 4 Master
  virtual bool factoryWindowShown() const = 0;
  virtual bool dataFlowing() const = 0;
  virtual int softwareRevision() const = 0;
  virtual double stoichRatio() const = 0;
  // The ratio changed: the live panel and A/F values follow it.
  virtual void setStoichRatio(double ratio) = 0;
  // A channel's definition changed (its colour, its name): the live label
  // follows it.
  virtual void channelChanged(int slot) = 0;
  // "Data not save. Do you want to save them?" answered Yes: the setup is
  // saved to an archive; false when the user cancelled or the save failed.
  virtual bool saveSetupAs() = 0;
  // The folder of the channel library and the .TAB files.
  virtual std::string libraryFolder() const = 0;
  // The current setup archive ("Default.OXS" until one is opened or the
  // settings file names one) and the folder "&Open" starts in; an archive
  // opened becomes the current one and its folder the setup folder. Both
  // are kept in the settings file.
  virtual std::string setupFileName() const = 0;
  virtual std::string setupFolder() const = 0;
  virtual void setupFileOpened(const std::string& file) = 0;
  // The CAN channels shown on the live panel (4, or 5 on the display).
  virtual int channelCount() const = 0;
  // The link: a module answers; live frames wanted; its serial number.
  virtual bool linkUp() const = 0;
  virtual bool streamRunning() const = 0;
  virtual std::int32_t serialNumber() const = 0;
  // Records for the module, in order; a series waits for room in the
  // transmit queue rather than being refused.
  virtual void send(std::vector<std::string> records) = 0;
  // The next `ticks` keep-alive ticks ask the module for no time, while the
  // window talks to it.
  virtual void holdKeepAlive(int ticks) = 0;
};

// Whether a file's bytes hold at least one setup archive line: a file
// without any is not a setup archive.
bool HoldsSetupArchiveTag(std::string_view bytes);

// A key as the inputs' rules tell keys apart.
enum class SetupKey { Enter, Escape, Other };

class Setup {
 public:
  Setup(SetupHost& host, ChannelTable& channels, Dialogs& dialogs) : host_(host), channels_(channels), dialogs_(dialogs) {}
  Setup(const Setup&) = delete;
  Setup& operator=(const Setup&) = delete;

  SetupWindowModel window;
  // The window's "data not saved" state.
  bool setupModified = false;

  // Opening: lists, defaults, the layout for the module type and the user
  // level, the channel grid; nothing modified.
  void open();
  // The close box or `Exit_Setup`: asks about unsaved data (Yes saves, No
  // discards, Cancel keeps the window). True when the window closed.
  bool close();
  // The window goes away without a question (the tool is shutting down).
  void discard();

  // The level-dependent enabling, at opening and after a CAN option or
  // protocol change.
  void applyUserLevel();

  // Inputs. `fieldEdited` keeps the model's text as typed; the key, enter,
  // leave and double-click handlers apply each input's rules.
  void fieldEdited(Field field, std::string_view text);
  void fieldKey(Field field, SetupKey key);
  void fieldLeave(Field field);
  void fieldDoubleClick(Field field);
  // Lists, check boxes and option buttons clicked (a list: the position
  // chosen; a check box: its new tick).
  void listClick(Field field, int index);
  void checkClick(Field field, bool checked);
  void Option_Skynam_Click();
  void Option_User_Click();
  void Option_Skynam_DblClick();
  void BaudRateList_DblClick();
  void ListSensorSkynam_Enter(int index);
  void ListeProtocoles_Click(int index);
  // Entering an identifier box: the text after "0x" is selected (the
  // window does it; nothing changes here).
  // The labels "ID 1", "ID 2", "ID Display" double-clicked (0..2), "Word4"
  // clicked.
  void idLabelDoubleClick(int message);
  void Word4Label_Click();

  // The channel grid.
  void GrilleCan_Click(int row, int column);
  void GrilleCan_KeyEnter();
  void GrilleCan_DblClick(int row, int column);
  void GrilleCan_RightClick(int row);
  void editorEdited(std::string_view text);
  void editorEscape();
  void editorCommit();
  // `RefreshChannelGrid`: 0 keeps the cells' colours, 1 paints ID, MSB and
  // LSB in the confirmed colour, 2 every cell in the archive colour, 3 in
  // the modified colour.
  void RefreshChannelGrid(int mode);
  // `CloseFrame`: hides the coefficient toolbox.
  void CloseFrame_Click();

  // Transfers. "Read all" (`ReadCfgCAN`, the tool bar's "Read from
  // Oxalis") and "Read selected cells" (`ReadCfg_Selection`); "Write all"
  // (`WriteCfgCAN`, "Write to Oxalis") and "Write selected cells"
  // (`WriteCfg_selection`); "SEND TIME" (`Send_Time`) from `Set_Time`.
  void ReadCfgCAN_Click();
  void ReadCfg_Selection_Click();
  void WriteCfgCAN_Click();
  void WriteCfg_selection_Click();
  void Send_Time_Click();
  void Set_Time_Change(std::string_view text) { window.Set_Time = std::string(text); }
  // The table page: "Read" (`ReadVout`), "Write" (`WriteVout`), "Factory
  // set", the unit options, the display's tabs, the grid and its editor,
  // the `MapFile` menu (.TAB files in the library folder).
  void ReadVout_Click();
  void WriteVout_Click();
  void FactorySet_Click();
  void tableUnit_Click(TableUnit unit);
  void TabStripCarto_Click(int tab);
  void GrilleConversion_Click(int row, int column);
  void GrilleConversion_KeyEnter();
  void SaisieText_Change(std::string_view text);
  void SaisieText_Escape();
  void SaisieText_Enter();
  void LoadMapFile_Click();
  void SaveMapFile_Click();
  // A memory reply: an output-table block.
  void memoryBlock(std::uint16_t address, std::span<const std::uint8_t> bytes);

  // The coefficient toolbox: its inputs as typed, the form, `SET_COEF`.
  void toolboxEdited(ToolboxInput input, std::string_view text);
  void toolboxForm_Click(bool linear);
  void SET_COEF_Click();

  // The refresh tick: a written value whose read-back does not come, or a
  // value asked for that never comes, is reported after a while instead of
  // being waited for.
  void tick();
  // Requests sent whose replies have not all come: a write still being
  // checked, or values and table blocks asked for. False again once every
  // reply is in or the wait for them has been given up and reported.
  bool transferring() const {
    return !expected_.empty() || !expectedBlocks_.empty() || !awaitedSettings_.empty() || !awaitedBlocks_.empty();
  }

  // Setup archives: the window's whole setup as the archive's text
  // (Windows-1252, CR LF), an archive's text applied (every field it sets
  // takes the archive colour; nothing is then unsaved), and "&Save as"
  // (false when cancelled or failed, with the failure said).
  std::string FormatSetupArchive() const;
  void ReadSetupArchive(std::string_view bytes);
  bool SaveSetupAs();
  // The "&File" menu and the tool bar's first two buttons: "&Open" (the
  // archive read, the caption naming it), "&Save" (the current archive
  // rewritten), "&Save as".
  void Open_Click();
  void Save_Click();
  void Save_as_Click() { SaveSetupAs(); }

  // The channel library (the "&Channels Library" menu of the grid): the
  // grid row last clicked stored as a library file, or filled from one
  // chosen in the floating file list, which Esc hides and Backspace
  // deletes from.
  void AddToLibrary_Click();
  void SelectFromLibrary_Click(int x, int y);
  void LibraryList_Choose(int index);
  void LibraryList_Escape();
  void LibraryList_Delete(int index);

  // A value the module sent for a configuration offset.
  void DecodeConfigValue(std::uint8_t offset, double value);
  // `EncodeField`: the bytes written at a setting's offset, from the
  // window's inputs; nothing for a setting the window does not hold or a
  // list with nothing chosen.
  std::vector<std::uint8_t> EncodeField(Setting setting) const;

 private:
  void markModified(Control& control) { control.state = EditState::Modified; }
  void setModified() { setupModified = true; }
  void applySkynamConfiguration(bool asClick);
  void applyUserConfiguration(bool asClick);
  void applyProtocol(int index);
  void applyModuleLayout();
  bool loadArchive(const std::string& file, bool quiet);
  bool writeArchive(const std::string& file);
  void refreshLibraryList();
  void showProtocols();
  void fillLists();
  void layoutChannelGrid();
  void validate(Field field);
  void confirmStoichiometric();
  ParsedCanId parseIdentifier(std::string_view text);
  bool acceptIdentifier(Field field);
  void CheckMessageIdsDistinct();
  bool checkGridValue(int row, int column, std::string text);
  void openToolbox(int slot);
  void decodeModeByte(std::uint32_t n);
  bool decodeChannelValue(std::uint8_t offset, std::uint32_t n);
  void notify() { window.changed.notify(); }
  std::vector<std::string> tableReads();
  // A request for a setting's bytes or for a table block, whose reply is
  // then awaited.
  std::string readSetting(std::uint8_t offset, int bytes);
  std::string readBlock(std::uint16_t address);
  void settingArrived(std::uint8_t offset);
  // A read (not a write) begins: the last verdict goes.
  void startRead();
  void openingReads();
  static std::string tableBlockName(std::uint16_t address);
  void refreshTables(int mode);
  // The requests of `ReadConfig`: every setting when `all`, otherwise the
  // modified ones.
  std::vector<std::string> readConfig(bool all);
  std::vector<std::string> writeConfig(bool all);
  bool checkConnected();
  void hideEditors();
  void expect(std::uint8_t offset, const std::vector<std::uint8_t>& bytes, std::string name, std::optional<Field> field,
              int gridRow = 0, int gridColumn = 0);
  void verify(std::uint8_t offset, std::uint32_t value);
  void finishVerification();

  // A written value awaiting its read-back.
  struct Expected {
    std::uint8_t offset;
    std::uint32_t value;
    std::string name;
    std::optional<Field> field;
    int gridRow = 0;
    int gridColumn = 0;
    // A reply came back different; a later one may still match (an
    // earlier read's reply can arrive after the write).
    bool differed = false;
  };
  std::vector<Expected> expected_;
  // Written table blocks awaiting their read-back.
  std::vector<TableBlock> expectedBlocks_;
  static std::string expectedNames(const std::vector<Expected>& list, bool differed);
  // Settings (by offset) and table blocks asked for, not yet answered.
  std::vector<std::uint8_t> awaitedSettings_;
  std::vector<std::uint16_t> awaitedBlocks_;
  std::string awaitedNames() const;
  int ticksWithoutReply_ = 0;

  SetupHost& host_;
  ChannelTable& channels_;
  Dialogs& dialogs_;
};

}  // namespace oxalis
