#include <gtest/gtest.h>

#include <functional>

#include "FakeDialogs.h"
#include "FakeSetupHost.h"
#include "config/ChannelLine.h"
#include "setup/ConfigCodec.h"
#include "setup/Setup.h"

namespace oxalis {
namespace {

using test::FakeDialogs;


class SetupTest : public ::testing::Test {
 protected:
  SetupTest() { LoadDefaultChannels(channels); }

  void open(std::string code = "OX2", std::uint8_t level = 3) {
    host.code = std::move(code);
    host.level = level;
    setup.open();
  }
  // Typing a whole text into a box and ending with a key.
  void type(Field field, const std::string& text, SetupKey key = SetupKey::Enter) {
    setup.fieldEdited(field, text);
    setup.fieldKey(field, SetupKey::Other);
    setup.fieldKey(field, key);
  }
  const Control& c(Field field) const { return setup.window.control(field); }
  std::vector<std::string> messageTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : dialogs.messages) texts.push_back(m.text);
    return texts;
  }

  test::FakeSetupHost host;
  ChannelTable channels;
  FakeDialogs dialogs;
  oxalis::Setup setup{host, channels, dialogs};
};

TEST_F(SetupTest, TypedNumbersAreClampedOnEnterAndOnLeaving) {
  open();
  struct Case {
    Field field;
    const char* typed;
    const char* shown;
  };
  for (const Case& k : {Case{Field::Vout_HS, "6000", "5000"}, Case{Field::Vout_HS, "-3", "0"},
                        Case{Field::Rich_NOT, "1.8", "1.750"}, Case{Field::W_Stoichio, "60", "50"}}) {
    type(k.field, k.typed);
    EXPECT_EQ(c(k.field).text, k.shown) << k.typed;
    EXPECT_EQ(c(k.field).state, EditState::Modified);
  }
  // The heater's fields have no key handling: typing leaves them as they
  // were until they are left.
  setup.setupModified = false;
  setup.fieldEdited(Field::Heater_Timeout, "300");
  setup.fieldKey(Field::Heater_Timeout, SetupKey::Enter);
  EXPECT_EQ(c(Field::Heater_Timeout).text, "300");
  EXPECT_EQ(c(Field::Heater_Timeout).state, EditState::Normal);
  EXPECT_FALSE(setup.setupModified);
  setup.fieldLeave(Field::Heater_Timeout);
  EXPECT_EQ(c(Field::Heater_Timeout).text, "255");
  EXPECT_TRUE(setup.setupModified);
}

TEST_F(SetupTest, UnsavedStateFollowsExactlyTheUserChangesThatCount) {
  open();
  EXPECT_FALSE(setup.setupModified);
  struct Step {
    const char* what;
    std::function<void(oxalis::Setup&)> act;
    bool sets;
  };
  const std::vector<Step> steps{
      {"escape in a box", [](oxalis::Setup& s) { s.fieldKey(Field::Vout_NOT, SetupKey::Escape); }, false},
      {"double click on a box", [](oxalis::Setup& s) { s.fieldDoubleClick(Field::Vout_NOT); }, false},
      {"heater check box", [](oxalis::Setup& s) { s.checkClick(Field::Check_Heater, true); }, false},
      {"ID label double click", [](oxalis::Setup& s) { s.idLabelDoubleClick(0); }, false},
      {"a key in a box", [](oxalis::Setup& s) { s.fieldKey(Field::Rich_HS, SetupKey::Other); }, true},
      {"a key in an identifier", [](oxalis::Setup& s) { s.fieldKey(Field::ID1, SetupKey::Other); }, true},
      {"Intel format", [](oxalis::Setup& s) { s.checkClick(Field::Format_Intel, true); }, true},
      {"filter list", [](oxalis::Setup& s) { s.listClick(Field::Combo_Filtre, 1); }, true},
      {"speed list", [](oxalis::Setup& s) { s.listClick(Field::BaudRateList, 2); }, true},
      {"leaving the RPM threshold", [](oxalis::Setup& s) { s.fieldLeave(Field::RPM_threshold); }, true},
  };
  for (const Step& step : steps) {
    setup.setupModified = false;
    step.act(setup);
    EXPECT_EQ(setup.setupModified, step.sets) << step.what;
  }
  // The double click colours without counting as a change.
  EXPECT_EQ(c(Field::Vout_NOT).state, EditState::Modified);
  EXPECT_EQ(c(Field::SelMsg0).state, EditState::Modified);
  // Choosing a speed marks the Skynam identifier too.
  EXPECT_EQ(c(Field::ID3).state, EditState::Modified);
}

TEST_F(SetupTest, StoichiometricRatioFollowsTheFieldAndEscapeRestoresIt) {
  open();
  type(Field::W_Stoichio, "14.7");
  EXPECT_DOUBLE_EQ(host.ratio, 14.7);
  setup.fieldEdited(Field::W_Stoichio, "9");
  setup.fieldKey(Field::W_Stoichio, SetupKey::Escape);
  EXPECT_EQ(c(Field::W_Stoichio).text, "14.7");
  EXPECT_DOUBLE_EQ(host.ratio, 14.7);
  // An erased module's ratio stands in as petrol's.
  setup.DecodeConfigValue(0x2C, 0xFFFF);
  EXPECT_DOUBLE_EQ(host.ratio, 14.57);
  EXPECT_EQ(c(Field::W_Stoichio).text, "14.57");
  EXPECT_EQ(c(Field::W_Stoichio).state, EditState::Confirmed);
}

TEST_F(SetupTest, DecodedValuesShowWithTheirReplacementsAndTurnGreen) {
  open();
  struct Case {
    std::uint8_t offset;
    double value;
    Field field;
    const char* shown;
    EditState state;
  };
  const std::vector<Case> cases{
      {0x30, 6000, Field::Vout_NOT, "5000", EditState::Confirmed},
      {0x32, 1200, Field::Vout_HS, "1200", EditState::Confirmed},
      {0x3A, 1800, Field::Rich_NOT, "1.750", EditState::Confirmed},
      {0x3C, 950, Field::Rich_HS, "0.95", EditState::Confirmed},
      {0x2E, 64, Field::Combo_Filtre, "High", EditState::Confirmed},
      {0x2E, 5, Field::Combo_Filtre, "Medium", EditState::Modified},
      {0x7A, 20, Field::Heater_Timeout, "20", EditState::Confirmed},
      {0x10, 0x01B505, Field::BaudRateList, "500k", EditState::Confirmed},
      {0x10, 0x02B703, Field::BaudRateList, "???", EditState::Confirmed},
      {0x14, 0x80000123, Field::ID0, "0x00000123", EditState::Confirmed},
      {0x24, 0x400, Field::ID4, "0x400", EditState::Confirmed},
      {0x20, 0x805AFF03, Field::ListSensorSkynam, "WinjNet sensor 4", EditState::Confirmed},
      {0x20, 0x805AFF0C, Field::ListSensorSkynam, "WinjNet sensor 1", EditState::Confirmed},
  };
  for (const Case& k : cases) {
    setup.DecodeConfigValue(k.offset, k.value);
    EXPECT_EQ(c(k.field).text, k.shown) << int(k.offset) << " " << k.value;
    EXPECT_EQ(c(k.field).state, k.state) << int(k.offset) << " " << k.value;
  }
  // The engine-speed threshold comes in channel 1's raw units (1 per rpm
  // by default) and goes back the same way.
  setup.DecodeConfigValue(0x78, 1500);
  EXPECT_EQ(c(Field::RPM_threshold).text, "1500");
  EXPECT_EQ(setup.EncodeField(Setting::RpmThreshold), (std::vector<std::uint8_t>{0x05, 0xDC}));
  setup.DecodeConfigValue(0x7B, 2);
  EXPECT_FALSE(c(Field::Check_Heater).checked);
  EXPECT_TRUE(c(Field::Check_WarmInit).checked);
}

TEST_F(SetupTest, ModeByteSetsTheFiveInputsAndClearsTheUnsavedState) {
  open();
  setup.setupModified = true;
  setup.DecodeConfigValue(0x13, 0x1C);
  EXPECT_EQ(c(Field::TypeDataMSG1).text, "A/F");
  EXPECT_TRUE(c(Field::Option_Skynam).checked);
  EXPECT_TRUE(c(Field::Format_Intel).checked);
  for (Field m : {Field::SelMsg0, Field::SelMsg1, Field::SelMsg2}) EXPECT_FALSE(c(m).checked);
  EXPECT_FALSE(setup.setupModified);
  EXPECT_EQ(setup.EncodeField(Setting::ModeByte), std::vector<std::uint8_t>{0x1C});

  setup.DecodeConfigValue(0x13, 0xE3);
  EXPECT_EQ(c(Field::TypeDataMSG1).text, "O2");
  EXPECT_TRUE(c(Field::Option_User).checked);
  EXPECT_FALSE(c(Field::Format_Intel).checked);
  for (Field m : {Field::SelMsg0, Field::SelMsg1, Field::SelMsg2}) EXPECT_TRUE(c(m).checked);
  EXPECT_EQ(setup.EncodeField(Setting::ModeByte), std::vector<std::uint8_t>{0xE3});

  // A content the list does not offer (0x11 anywhere, "A/F" on the
  // first-generation module) leaves nothing chosen, red, and writes nothing.
  for (const char* code : {"OX2", "OXL"}) {
    open(code);
    setup.DecodeConfigValue(0x13, std::string(code) == "OXL" ? 0x10 : 0x11);
    EXPECT_EQ(c(Field::TypeDataMSG1).text, "???") << code;
    EXPECT_EQ(c(Field::TypeDataMSG1).state, EditState::Modified);
    EXPECT_TRUE(setup.EncodeField(Setting::ModeByte).empty());
  }
}

TEST_F(SetupTest, ProtocolByte255MeansNoneUnlessTheSkynamConfigurationIsChosen) {
  open();
  setup.DecodeConfigValue(0x2F, 255);
  EXPECT_EQ(c(Field::ListeProtocoles).text, "No special protocol");
  EXPECT_FALSE(c(Field::ID4).visible);
  setup.DecodeConfigValue(0x13, 0x04);  // Skynam configuration
  setup.DecodeConfigValue(0x2F, 255);
  EXPECT_EQ(c(Field::ListeProtocoles).text, "Skynam");
  // Skynam forces the medium filter and shows the sensor list.
  EXPECT_EQ(c(Field::Combo_Filtre).text, "Medium");
  EXPECT_FALSE(c(Field::Combo_Filtre).enabled);
  EXPECT_TRUE(c(Field::ListSensorSkynam).visible);
  EXPECT_EQ(c(Field::ListeProtocoles).state, EditState::Confirmed);
}

TEST_F(SetupTest, ProtocolChoiceDrivesTheTransmitOptionAndTheEcuIdentifier) {
  open();
  setup.ListeProtocoles_Click(kMicrotecProtocol);
  EXPECT_TRUE(c(Field::Option_User).checked);
  EXPECT_TRUE(c(Field::ID4).visible && c(Field::ID4).enabled && c(Field::ID4).captionVisible);
  EXPECT_EQ(c(Field::ListeProtocoles).state, EditState::Modified);
  EXPECT_TRUE(setup.setupModified);
  // Skynam cuts 29-bit transmit identifiers to 11 bits, saying so for each.
  setup.fieldEdited(Field::ID0, "0x00000201");
  setup.ListeProtocoles_Click(kSkynamProtocol);
  EXPECT_TRUE(c(Field::Option_Skynam).checked);
  EXPECT_EQ(c(Field::ID0).text, "0x201");
  EXPECT_EQ(messageTexts(), std::vector<std::string>{"ID was truncated because must be 11bit with Skynam protocole"});
  EXPECT_FALSE(c(Field::BaudRateList).enabled);
  EXPECT_FALSE(c(Field::ID4).visible);
  EXPECT_TRUE(c(Field::ID4).captionVisible);
  // Whatever the list says, Skynam runs at 1 Mbit/s.
  setup.listClick(Field::BaudRateList, 3);
  EXPECT_EQ(setup.EncodeField(Setting::CanBitTiming), (std::vector<std::uint8_t>{0x40, 0xB7, 0x03}));
}

TEST_F(SetupTest, SkynamSensorSetsTheIdentifierFromTheLastDigitOfItsPosition) {
  open();
  setup.ListeProtocoles_Click(kSkynamProtocol);
  setup.setupModified = false;
  setup.listClick(Field::ListSensorSkynam, 12);
  EXPECT_EQ(c(Field::ID3).text, "0x005AFF02");
  EXPECT_EQ(c(Field::ID3).state, EditState::Modified);
  EXPECT_TRUE(setup.setupModified);
  EXPECT_EQ(setup.EncodeField(Setting::SkynamId), (std::vector<std::uint8_t>{0x80, 0x5A, 0xFF, 0x02}));
  // Enter in the list sets the identifier without colouring.
  setup.setupModified = false;
  setup.window.ID[3].state = EditState::Normal;
  setup.ListSensorSkynam_Enter(5);
  EXPECT_EQ(c(Field::ID3).text, "0x005AFF05");
  EXPECT_EQ(c(Field::ID3).state, EditState::Normal);
  EXPECT_FALSE(setup.setupModified);
}

TEST_F(SetupTest, IdentifierBoxesParseOnEnterAndWarnAboutEqualMessages) {
  open("OX2", 4);
  type(Field::ID1, "200");
  EXPECT_EQ(c(Field::ID1).text, "0x200");
  EXPECT_EQ(messageTexts(), std::vector<std::string>{"IDs could not be same"});
  dialogs.messages.clear();
  type(Field::ID1, "g1");
  EXPECT_EQ(c(Field::ID1).text, "g1");  // rejected: the text stays for correcting
  EXPECT_EQ(messageTexts(), std::vector<std::string>{"Invalid caracter"});
}

TEST_F(SetupTest, FirstGenerationStoresAnElevenBitIdentifierInTheUpperHalf) {
  for (const char* code : {"OXL", "OX2"}) {
    open(code);
    type(Field::ID0, "0x100");
    const std::vector<std::uint8_t> stored = setup.EncodeField(Setting::TransmitId1);
    EXPECT_EQ(stored, std::string(code) == "OXL" ? (std::vector<std::uint8_t>{0x01, 0x00, 0x00, 0x00})
                                                 : (std::vector<std::uint8_t>{0x00, 0x00, 0x01, 0x00}));
    setup.DecodeConfigValue(0x14, stored[0] << 24 | stored[1] << 16 | stored[2] << 8 | stored[3]);
    EXPECT_EQ(c(Field::ID0).text, "0x100") << code;
  }
}

TEST_F(SetupTest, EncodedFieldsAreTheBytesTheModuleKeeps) {
  open();
  type(Field::Vout_NOT, "4095");
  type(Field::Rich_HS, "1.0005");
  type(Field::W_Stoichio, "14.565");
  setup.listClick(Field::Combo_Filtre, 3);
  setup.checkClick(Field::Check_Heater, true);
  struct Case {
    Setting setting;
    std::vector<std::uint8_t> bytes;
  };
  for (const Case& k : {Case{Setting::VoutInvalid, {0x0F, 0xFF}}, Case{Setting::RichnessProbeFault, {0x03, 0xE8}},
                        Case{Setting::StoichiometricRatio, {0x05, 0xB0}}, Case{Setting::FilterCoefficient, {64}},
                        Case{Setting::HeaterFlags, {1}}, Case{Setting::CanBitTiming, {0x40, 0xB7, 0x03}},
                        Case{Setting::EcuProtocol, {0}}, Case{Setting::ProbeLoopP, {}}})
    EXPECT_EQ(setup.EncodeField(k.setting), k.bytes) << int(configOffset(k.setting));
}

struct LayoutCase {
  const char* code;
  bool gridEnabled;
  bool filterVisible;
  bool richnessVisible;
  bool protocolsVisible;
  bool optionsVisible;
  const char* displayIdCaption;
  const char* tableCaption;
  int word4Entries;
};

TEST_F(SetupTest, EachModuleTypeGetsItsLayout) {
  const std::vector<LayoutCase> cases{
      {"OX2", true, true, true, true, false, "ID Display", "Vout=f(Richness)", 5},
      {"QTX", true, true, true, true, false, "ID Display", "Vout=f(Richness)", 5},
      {"PNU", true, true, true, true, false, "ID Oxalis", "Out=f(In)tables", 5},
      {"OXL", false, false, true, false, true, "ID Display", "Vout=f(Richness)", 4},
      {"RMW", true, true, false, false, false, "ID for ECU", "not available", 5},
  };
  for (const LayoutCase& k : cases) {
    SCOPED_TRACE(k.code);
    open(k.code);
    const SetupWindowModel& w = setup.window;
    EXPECT_EQ(w.GrilleCan.enabled, k.gridEnabled);
    EXPECT_EQ(w.Combo_Filtre.visible, k.filterVisible);
    EXPECT_EQ(w.Rich_NOT.visible, k.richnessVisible);
    EXPECT_EQ(w.ListeProtocoles.visible, k.protocolsVisible);
    EXPECT_EQ(w.Option_User.visible, k.optionsVisible);
    EXPECT_EQ(w.ID[2].caption, k.displayIdCaption);
    EXPECT_EQ(w.Linearisation_Vout.caption, k.tableCaption);
    EXPECT_EQ(static_cast<int>(w.TypeDataMSG1.items.size()), k.word4Entries);
    EXPECT_EQ(w.Label_NotAllowed, std::string(k.code) == "PNU");
    EXPECT_FALSE(setup.setupModified);
  }
  EXPECT_EQ(setup.window.Vout_NOT.caption, "Backligtht LED duty cycle");
  open("PNU");
  EXPECT_FALSE(setup.window.Vout_NOT.enabled);
  EXPECT_EQ(setup.window.Combo_Filtre.caption, "Analog input filter coefficient");
}

TEST_F(SetupTest, UserLevelDecidesWhatCanBeChanged) {
  open("OX2", 1);
  const SetupWindowModel& w = setup.window;
  EXPECT_FALSE(w.BaudRateList.enabled);
  EXPECT_TRUE(w.ListSensorSkynam.enabled);
  EXPECT_FALSE(w.VOUT_SETUP.enabled);
  EXPECT_FALSE(w.Linearisation_Vout.enabled);
  EXPECT_FALSE(w.Combo_Filtre.enabled);
  open("PNU", 1);
  EXPECT_TRUE(w.Linearisation_Vout.enabled);
  // Without the factory window, message 3 is off; Expert and Master may
  // switch it on.
  open("OX2", 2);
  EXPECT_FALSE(w.SelMsg[2].enabled);
  EXPECT_FALSE(w.SelMsg[2].checked);
  EXPECT_TRUE(w.BaudRateList.enabled);
  open("OX2", 3);
  EXPECT_TRUE(w.SelMsg[2].enabled);
  EXPECT_EQ(w.GrilleCan.rows.size(), 11u);
  open("OX2", 4);
  EXPECT_EQ(w.GrilleCan.rows.size(), 13u);
  // The filter waits for a software revision that has one.
  host.flowing = true;
  host.revision = 6;
  open("OX2", 3);
  EXPECT_FALSE(w.Combo_Filtre.enabled);
}

TEST_F(SetupTest, ClosingAsksOnlyAboutUnsavedDataAndCancelKeepsTheWindow) {
  open();
  EXPECT_TRUE(setup.close());
  ASSERT_EQ(dialogs.questions.size(), 1u);  // only the opening's own
  EXPECT_EQ(dialogs.questions[0].text, "Would you load last Setup file?");

  struct Case {
    Answer answer;
    bool saveSucceeds;
    bool closes;
    int saves;
  };
  for (const Case& k : {Case{Answer::Cancel, true, false, 0}, Case{Answer::Yes, false, false, 1},
                        Case{Answer::Yes, true, true, 1}, Case{Answer::No, true, true, 0}}) {
    open();
    type(Field::Vout_NOT, "100");
    dialogs.answers = {k.answer};
    host.saveSucceeds = k.saveSucceeds;
    host.saves = 0;
    EXPECT_EQ(setup.close(), k.closes);
    EXPECT_EQ(setup.window.visible, !k.closes);
    EXPECT_EQ(host.saves, k.saves);
    EXPECT_EQ(dialogs.questions.back().text, "Data not save. Do you want to save them?");
    if (!k.closes) {
      EXPECT_EQ(setup.window.Vout_NOT.text, "100");  // nothing lost
    }
  }
}

}  // namespace
}  // namespace oxalis
