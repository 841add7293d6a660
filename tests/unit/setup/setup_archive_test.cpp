#include <gtest/gtest.h>

#include "FakeDialogs.h"
#include "FakeSetupHost.h"
#include "TempFolder.h"
#include "config/ChannelLine.h"
#include "setup/Setup.h"
#include "util/AtomicFile.h"

namespace oxalis {
namespace {

class SetupArchiveTest : public ::testing::Test {
 protected:
  SetupArchiveTest() { LoadDefaultChannels(channels); }
  void open(std::string code = "OX2") {
    host.code = std::move(code);
    setup.open();
  }

  test::FakeSetupHost host;
  ChannelTable channels;
  test::FakeDialogs dialogs;
  oxalis::Setup setup{host, channels, dialogs};
};

TEST_F(SetupArchiveTest, WrittenThenReadIntoAFreshWindowGivesTheSameSetupInTheArchiveColour) {
  open();
  setup.listClick(Field::BaudRateList, 2);
  setup.listClick(Field::Combo_Filtre, 3);
  setup.listClick(Field::TypeDataMSG1, 4);
  setup.checkClick(Field::Format_Intel, true);
  setup.checkClick(Field::Check_Heater, true);
  setup.fieldEdited(Field::Vout_NOT, "1234");
  setup.fieldEdited(Field::RPM_threshold, "1500");
  setup.fieldEdited(Field::Heater_Timeout, "20");
  setup.fieldEdited(Field::ID1, "0x00012345");
  setup.ListeProtocoles_Click(2);
  host.ratio = 14.7;
  channels.slot(2).Name = "Speed";
  channels.slot(5).Unit = "ºC";
  setup.window.tables.outputTable[0].out = 4000;
  setup.window.tables.displayTables[4][15].in = -12;
  const std::string archive = setup.FormatSetupArchive();
  EXPECT_EQ(std::count(archive.begin(), archive.end(), '\n'), 36);
  EXPECT_NE(archive.find("[HEATER]:YES;NO;1500;20\r\n"), std::string::npos);
  EXPECT_NE(archive.find("\xBA" "C"), std::string::npos);  // one byte on disk

  const std::string vout = setup.window.Vout_NOT.text;
  ChannelTable written = channels;
  const auto outputTable = setup.window.tables.outputTable;
  const auto displayTables = setup.window.tables.displayTables;

  LoadDefaultChannels(channels);
  host.ratio = 14.57;
  open();
  setup.setupModified = true;
  setup.ReadSetupArchive(archive);
  const SetupWindowModel& w = setup.window;
  EXPECT_EQ(w.BaudRateList.text, "250k");
  EXPECT_EQ(w.Combo_Filtre.text, "High");
  EXPECT_EQ(w.TypeDataMSG1.text, "A/F");
  EXPECT_TRUE(w.Format_Intel.checked);
  EXPECT_TRUE(w.Check_Heater.checked);
  EXPECT_EQ(w.Vout_NOT.text, vout);
  EXPECT_EQ(w.Heater_Timeout.text, "20");
  EXPECT_EQ(w.ID[1].text, "0x00012345");
  EXPECT_EQ(w.ListeProtocoles.text, "Microtec");
  EXPECT_TRUE(w.ID[4].visible);
  EXPECT_DOUBLE_EQ(host.ratio, 14.7);
  for (int slot = 1; slot <= 10; ++slot) EXPECT_EQ(channels.slot(slot), written.slot(slot)) << slot;
  for (std::size_t i = 0; i < outputTable.size(); ++i) {
    EXPECT_EQ(w.tables.outputTable[i].in, outputTable[i].in);
    EXPECT_EQ(w.tables.outputTable[i].out, outputTable[i].out);
  }
  for (std::size_t k = 0; k < displayTables.size(); ++k)
    for (std::size_t i = 0; i < displayTables[k].size(); ++i)
      EXPECT_EQ(w.tables.displayTables[k][i].in, displayTables[k][i].in) << k << " " << i;
  EXPECT_EQ(w.tables.displayTables[4][15].in, -12);
  for (const Control* c : {&w.BaudRateList, &w.Vout_NOT, &w.ID[1], &w.Check_Heater})
    EXPECT_EQ(c->state, EditState::Archive);
  EXPECT_EQ(w.GrilleCan.cell(2, 1).background, kArchiveColour);
  EXPECT_FALSE(setup.setupModified);
}

TEST_F(SetupArchiveTest, APartialArchiveChangesOnlyWhatItHolds) {
  open();
  setup.ReadSetupArchive("[STOICHIO]:14.7\r\n[UNKNOWN]:1\r\n");
  EXPECT_DOUBLE_EQ(host.ratio, 14.7);
  EXPECT_EQ(setup.window.W_Stoichio.text, "14.7");
  EXPECT_EQ(setup.window.Vout_NOT.text, "2500");
  EXPECT_EQ(setup.window.Vout_NOT.state, EditState::Normal);

  // A Skynam archive cuts 29-bit identifiers, saying so; a sensor text
  // ending in a letter selects the first sensor.
  setup.fieldEdited(Field::ID0, "0x00000201");
  setup.ReadSetupArchive("[Prot]:SKYNAM\n[IDSK]:0x005AFF0x\n");
  EXPECT_EQ(setup.window.ID[0].text, "0x201");
  EXPECT_EQ(dialogs.messages.at(0).text, "ID was truncated because must be 11bit with Skynam protocole");
  EXPECT_EQ(setup.window.ListSensorSkynam.index, 0);
}

TEST_F(SetupArchiveTest, SaveAsWritesTheArchiveWhereTheUserSays) {
  test::TempFolder folder;
  open();
  setup.fieldEdited(Field::Vout_NOT, "100");
  setup.fieldKey(Field::Vout_NOT, SetupKey::Other);
  // A cancelled save dialog saves nothing.
  EXPECT_FALSE(setup.SaveSetupAs());
  EXPECT_TRUE(setup.setupModified);
  dialogs.files = {(folder / "run.OXS").string()};
  EXPECT_TRUE(setup.SaveSetupAs());
  EXPECT_FALSE(setup.setupModified);
  const auto saved = ReadWholeFile(folder / "run.OXS");
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->rfind("[Prot]:USER\r\n", 0), 0u);
  EXPECT_EQ(dialogs.fileRequests.back().filter, "Setup archive (*.OXS)|*.OXS");
  // A folder that does not exist: said, and nothing saved.
  dialogs.files = {(folder / "missing" / "run.OXS").string()};
  EXPECT_FALSE(setup.SaveSetupAs());
  EXPECT_EQ(dialogs.messages.back().text.rfind("Fail to open file ", 0), 0u);
}

TEST_F(SetupArchiveTest, OpenNamesTheArchiveAndSaveWritesItBackByteForByte) {
  test::TempFolder folder;
  const std::string file = (folder / "car.OXS").string();
  open();
  setup.fieldEdited(Field::Vout_NOT, "1234");
  channels.slot(1).Unit = "ºC";
  dialogs.files = {file};
  setup.Save_as_Click();
  const std::string written = test::ReadBytes(file);

  LoadDefaultChannels(channels);
  open();
  // A file that cannot be read is said; nothing changes.
  dialogs.files = {(folder / "missing.OXS").string()};
  setup.Open_Click();
  EXPECT_EQ(dialogs.messages.back().text.rfind("Fail to open file " + (folder / "missing.OXS").string(), 0), 0u);
  EXPECT_EQ(setup.window.caption, "SETUP");
  EXPECT_EQ(host.archive, "Default.OXS");

  host.archiveFolder = folder.path().string();
  dialogs.files = {file};
  setup.Open_Click();
  EXPECT_EQ(dialogs.fileRequests.back().startFolder, folder.path().string());
  EXPECT_EQ(dialogs.fileRequests.back().filter, "Setup Archive(*.OXS)|*.OXS");
  EXPECT_EQ(setup.window.caption, "SETUP (" + file + ")");
  EXPECT_EQ(host.archive, file);
  EXPECT_EQ(setup.window.Vout_NOT.text, "1234");
  std::filesystem::remove(file);
  setup.Save_Click();
  EXPECT_EQ(test::ReadBytes(file), written);
  EXPECT_FALSE(setup.setupModified);

  // Without a current archive "&Save" is "&Save as".
  host.archive.clear();
  setup.Save_Click();
  EXPECT_EQ(dialogs.fileRequests.back().title, "Save as");
}

TEST_F(SetupArchiveTest, OpeningAsksToLoadTheLastArchiveOrReadsTheModule) {
  test::TempFolder folder;
  host.archive = (folder / "last.OXS").string();
  test::WriteBytes(host.archive, "[VOUTDEF]:1000\r\n");
  host.flowing = true;
  struct Case {
    Answer answer;
    bool archiveThere;
    bool flowing;
    const char* vout;
    bool reads;
  };
  for (const Case& k : {Case{Answer::Yes, true, true, "1000", false}, Case{Answer::Yes, false, true, "2500", false},
                        Case{Answer::No, true, true, "2500", true}, Case{Answer::No, true, false, "2500", false}}) {
    if (!k.archiveThere) std::filesystem::remove(host.archive);
    host.flowing = k.flowing;
    host.sent.clear();
    dialogs.messages.clear();
    dialogs.answers = {k.answer};
    open();
    EXPECT_EQ(dialogs.questions.back().text, "Would you load last Setup file?");
    EXPECT_EQ(setup.window.Vout_NOT.text, k.vout);
    EXPECT_EQ(setup.window.caption == "SETUP (" + host.archive + ")", k.vout == std::string("1000"));
    EXPECT_EQ(!host.sent.empty(), k.reads);
    EXPECT_TRUE(dialogs.messages.empty());  // a missing last archive is skipped silently
    EXPECT_FALSE(setup.setupModified);
  }
}

TEST_F(SetupArchiveTest, ChannelLibraryStoresRowsInsideItsFolderAndFillsOnlyTheClickedRow) {
  test::TempFolder folder;
  host.library = (folder / "lib").string();
  open();
  channels.slot(2).Name = "../x";
  channels.slot(3).Name = "";
  for (int row : {2, 3}) {
    setup.GrilleCan_RightClick(row);
    setup.AddToLibrary_Click();
    EXPECT_EQ(dialogs.messages.back().text, "channel saved");
  }
  EXPECT_TRUE(std::filesystem::exists(folder / "lib" / ".._x.lib"));
  EXPECT_TRUE(std::filesystem::exists(folder / "lib" / ".lib"));
  EXPECT_EQ(folder.entryCount(), 1);  // nothing beside lib/
  // Saving over a file asks first; Cancel keeps it.
  channels.slot(3).Unit = "bar";
  setup.AddToLibrary_Click();
  EXPECT_EQ(dialogs.questions.back().text, "File exist. Overwrite?");
  EXPECT_EQ(test::ReadBytes(folder / "lib" / ".lib").find("bar"), std::string::npos);

  setup.SelectFromLibrary_Click(40, 60);
  EXPECT_TRUE(setup.window.libraryList.visible);
  EXPECT_EQ(setup.window.libraryList.files, (std::vector<std::string>{".._x.lib", ".lib"}));
  setup.GrilleCan_RightClick(4);
  const auto rowOneColour = setup.window.GrilleCan.cell(1, 1).background;
  setup.setupModified = false;
  setup.LibraryList_Choose(0);
  EXPECT_FALSE(setup.window.libraryList.visible);
  EXPECT_EQ(channels.slot(4).Name, "../x");
  EXPECT_EQ(setup.window.GrilleCan.cell(4, 1).background, kModifiedColour);
  EXPECT_EQ(setup.window.GrilleCan.cell(1, 1).background, rowOneColour);
  EXPECT_TRUE(setup.setupModified);

  // A file gone since the list was made: said, and the row stays as it is.
  setup.SelectFromLibrary_Click(40, 60);
  std::filesystem::remove(folder / "lib" / ".lib");
  setup.LibraryList_Choose(1);
  EXPECT_EQ(dialogs.messages.back().text, "Channel Library file not find");
  EXPECT_EQ(channels.slot(4).Name, "../x");

  // Backspace deletes after a confirmation.
  setup.SelectFromLibrary_Click(40, 60);
  dialogs.answers = {Answer::No, Answer::Yes};
  setup.LibraryList_Delete(0);
  EXPECT_TRUE(std::filesystem::exists(folder / "lib" / ".._x.lib"));
  setup.LibraryList_Delete(0);
  EXPECT_FALSE(std::filesystem::exists(folder / "lib" / ".._x.lib"));
  EXPECT_TRUE(setup.window.libraryList.files.empty());
}

}  // namespace
}  // namespace oxalis
