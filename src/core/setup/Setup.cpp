#include "setup/Setup.h"

#include "setup/CanId.h"
#include "setup/ConfigCodec.h"
#include "util/NumberFormat.h"

namespace oxalis {

namespace {

constexpr std::uint8_t kBasic = 1;
constexpr std::uint8_t kNormal = 2;
constexpr std::uint8_t kMaster = 4;

constexpr std::string_view kIdTip = "Write 0x000 for hexa format 11bit or 0x00000000 for 29bit format";
constexpr std::string_view kSkynamIdPrefix = "0x005AFF0";
constexpr int kSkynamSensors = 16;

std::vector<std::string> names(auto list) { return {list.begin(), list.end()}; }

Control textBox(std::string caption, std::string text, std::string tip = {}) {
  Control c;
  c.caption = std::move(caption);
  c.text = std::move(text);
  c.tip = std::move(tip);
  return c;
}

Control list(std::string caption, std::vector<std::string> items, int chosen, std::string tip = {}) {
  Control c;
  c.caption = std::move(caption);
  c.items = std::move(items);
  c.tip = std::move(tip);
  c.choose(chosen);
  return c;
}

void show(Control& c, bool visible, bool enabled) {
  c.visible = visible;
  c.enabled = enabled;
}

// The setting a typed field is written to, for its entry rule.
std::optional<Setting> settingOf(Field field) {
  switch (field) {
    case Field::Vout_NOT: return Setting::VoutInvalid;
    case Field::Vout_HS: return Setting::VoutProbeFault;
    case Field::Rich_NOT: return Setting::RichnessInvalid;
    case Field::Rich_HS: return Setting::RichnessProbeFault;
    case Field::W_Stoichio: return Setting::StoichiometricRatio;
    case Field::RPM_threshold: return Setting::RpmThreshold;
    case Field::Heater_Timeout: return Setting::HeaterTimeout;
    default: return std::nullopt;
  }
}

// The fields that react to every key: Escape aside, a key marks them
// modified, and Enter checks them.
bool reactsToKeys(Field field) {
  switch (field) {
    case Field::Vout_NOT:
    case Field::Vout_HS:
    case Field::Rich_NOT:
    case Field::Rich_HS:
    case Field::W_Stoichio:
    case Field::ID0:
    case Field::ID1:
    case Field::ID2:
    case Field::ID3:
    case Field::ID4:
      return true;
    default:
      return false;
  }
}

bool isIdentifier(Field field) { return field >= Field::ID0 && field <= Field::ID4; }

std::string ratioText(double ratio) { return FormatPlainNumber(ratio); }

}  // namespace

void Setup::open() {
  SetupWindowModel& w = window;
  w.caption = "SETUP";
  w.Vout_NOT = textBox("Vout on invalid measurement", "2500");
  w.Vout_HS = textBox("Vout on probe out of order", "100");
  w.Rich_NOT = textBox("Richness on invalid measurement", "1");
  w.Rich_HS = textBox("Richness on probe out of order", "0");
  w.Combo_Filtre = list("Richness filter coefficient", names(kFilterNames), -1);
  w.Combo_Filtre.text = "Filter";
  w.W_Stoichio = textBox("Stoichiometric", "14.57", "Use to calculate AF from Richness. Usually 14.57 for gasoline engine.");
  w.Check_Heater = textBox("Enable strategy", {});
  w.Check_WarmInit = textBox("Warm at init", {});
  w.RPM_threshold =
      textBox("RPM threshold", "RPM threshold", "RPM threshold. RPM CAN channel must first of CAN channels setting.");
  w.Heater_Timeout = textBox("Timeout (s)", "Heater timeout", "Time to switch off probe heater if RPM less than threshold");

  w.Option_User = textBox("User configuration", {}, "Free usable IDs and speed");
  w.Option_Skynam = textBox("Skynam configuration", {}, "Default Skynam configuration (1Mb,Intel, 29 bit, ID 5AFF00)");
  std::vector<std::string> speeds;
  for (const CanSpeed& speed : kCanSpeeds) speeds.emplace_back(speed.name);
  w.BaudRateList = list("Baud Rate", speeds, 0);
  w.Format_Intel = textBox("Intel format", {}, "Enable Intel format (LSB MSB) for words");
  const std::array<std::string, 5> idCaptions{"ID 1", "ID 2", "ID Display", "", "ID msg ECU"};
  const std::array<std::string, 5> idDefaults{"0x200", "0x204", "0x208", "0x005AFF00", "0x00000400"};
  for (std::size_t i = 0; i < w.ID.size(); ++i) w.ID[i] = textBox(idCaptions[i], idDefaults[i], std::string(kIdTip));
  for (std::size_t i = 0; i < w.SelMsg.size(); ++i) {
    w.SelMsg[i] = textBox({}, {}, "Enable message");
    w.SelMsg[i].checked = i < 2;
  }
  w.TypeDataMSG1 = list("Word4", names(kWord4Contents), 1, "Select the channel to send on 4th word");
  std::vector<std::string> sensors;
  for (int i = 1; i <= kSkynamSensors; ++i) sensors.push_back("WinjNet sensor " + std::to_string(i));
  w.ListSensorSkynam = list({}, sensors, 0, "List Sensor");
  w.ListeProtocoles = list("Protocole", names(kProtocols), kNoProtocol,
                           "Select here the ECU CAN protocol. Tha appropriate message will be sent on the CAN bus.");

  w.CAN_SETUP = {"CAN SETUP"};
  w.VOUT_SETUP = {"Vout and Richness setup"};
  w.Frame_Heater = {"Heater setup"};
  w.Time_setup = {"Time SETUP"};
  w.Linearisation_Vout = {"Vout=f(Richness)"};
  w.tableTabsVisible = false;
  w.tableGridVisible = true;
  w.factorySetVisible = true;
  w.Label_NotAllowed = false;
  w.toolbox = {};
  w.transferStatus.clear();  // a window opened again starts without the last write's verdict

  // The ECU protocol and its identifier belong to the module types that
  // speak one (their layout shows them); every type starts with the user
  // configuration, and message 3 is off unless the factory window is shown.
  w.ListeProtocoles.visible = false;
  show(w.ID[4], false, false);
  w.ID[4].captionVisible = false;
  applyUserConfiguration(false);
  if (!host_.factoryWindowShown()) {
    w.SelMsg[2].checked = false;
    w.SelMsg[2].enabled = false;
    w.ID[2].enabled = false;
  }
  layoutChannelGrid();
  OpenTablePage(w.tables, host_.deviceCode(), host_.stoichRatio());
  applyModuleLayout();
  const bool loadLast =
      dialogs_.question("Would you load last Setup file?", "Setup File", QuestionButtons::YesNo) == Answer::Yes;
  RefreshChannelGrid(0);
  if (loadLast) {
    // A last archive that cannot be read is skipped: the window keeps its
    // defaults.
    if (const std::string last = host_.setupFileName(); !last.empty()) loadArchive(last, true);
  } else {
    openingReads();
    w.tables.GrilleConversion.currentRow = 1;
    w.tables.GrilleConversion.currentColumn = 1;
    refreshTables(0);
    RefreshChannelGrid(0);
  }
  w.Set_Time = "0000:00:00";
  applyUserLevel();
  refreshLibraryList();
  setupModified = false;
  w.visible = true;
  notify();
}

void Setup::applyModuleLayout() {
  SetupWindowModel& w = window;
  const std::string code = host_.deviceCode();
  const std::uint8_t level = host_.userLevel();
  const int revision = host_.softwareRevision();
  if (code == "OXL") {
    w.GrilleCan.enabled = false;
    if (w.TypeDataMSG1.items.size() > 4) w.TypeDataMSG1.items.resize(4);  // no "A/F"
    w.Rich_HS.enabled = false;
    w.Rich_NOT.enabled = false;
    w.Combo_Filtre.visible = false;
    w.Combo_Filtre.captionVisible = false;
  } else if (code == "PNU") {
    w.Vout_NOT.enabled = false;
    w.Vout_HS.enabled = false;
    w.Rich_NOT.enabled = false;
    w.Combo_Filtre.caption = "Analog input filter coefficient";
    w.Combo_Filtre.enabled = revision >= 6;
    w.ID[2].caption = "ID Oxalis";
    w.Linearisation_Vout.caption = "Out=f(In)tables";
    w.tableTabsVisible = true;
    w.factorySetVisible = false;
    w.Label_NotAllowed = true;
    showProtocols();
  } else if (code == "RMW") {
    w.GrilleCan.movedUp = true;
    w.tableGridVisible = false;
    w.tableTabsVisible = false;
    w.factorySetVisible = false;
    w.Linearisation_Vout.caption = "not available";
    for (Control* c : {&w.ListeProtocoles, &w.Option_Skynam, &w.Option_User, &w.ID[4], &w.ID[1], &w.SelMsg[0],
                       &w.SelMsg[1], &w.SelMsg[2], &w.Rich_NOT, &w.Rich_HS}) {
      c->visible = false;
      c->captionVisible = false;
    }
    w.ID[2].caption = "ID for ECU";
    w.Vout_NOT.caption = "Backligtht LED duty cycle";
    w.Vout_HS.caption = "Night mode LED duty cycle";
  } else {
    // "OX2", and the drain tool, which keeps its settings in the same places.
    w.ID[2].caption = "ID Display";
    w.Combo_Filtre.caption = "Richness filter coefficient";
    w.Combo_Filtre.visible = true;
    w.Combo_Filtre.enabled = level > kBasic && (!host_.dataFlowing() || revision > 6);
    w.Linearisation_Vout.caption = "Vout=f(Richness)";
    w.tableTabsVisible = false;
    w.factorySetVisible = true;
    showProtocols();
  }
}

// The module types that speak an ECU protocol choose the transmit option
// through it, not through the option buttons.
void Setup::showProtocols() {
  window.ListeProtocoles.visible = true;
  window.Option_Skynam.visible = false;
  window.Option_User.visible = false;
  applyProtocol(window.ListeProtocoles.index);
}

void Setup::applyUserLevel() {
  SetupWindowModel& w = window;
  const std::uint8_t level = host_.userLevel();
  if (level == kBasic) {
    for (Control* c : {&w.ListSensorSkynam, &w.Option_Skynam, &w.ID[0], &w.ID[1], &w.ID[2], &w.SelMsg[0], &w.SelMsg[1],
                       &w.SelMsg[2]})
      c->enabled = true;
    for (Control* c : {&w.Option_User, &w.BaudRateList, &w.Format_Intel, &w.TypeDataMSG1, &w.ListeProtocoles, &w.ID[3],
                       &w.ID[4]})
      c->enabled = false;
    w.VOUT_SETUP.enabled = false;
    w.Time_setup.enabled = false;
    w.Linearisation_Vout.enabled = host_.deviceCode() == "PNU";
  } else if (level > kNormal) {
    w.SelMsg[2].enabled = true;
    w.ID[2].enabled = true;
  }
}

void Setup::applySkynamConfiguration(bool asClick) {
  SetupWindowModel& w = window;
  w.BaudRateList.enabled = false;
  for (std::size_t i = 0; i < 3; ++i) {
    std::string& id = w.ID[i].text;
    if (id.size() <= 5) continue;
    id = "0x" + id.substr(id.size() - 3);
    dialogs_.message("ID was truncated because must be 11bit with Skynam protocole", "ID Error", MessageIcon::Warning);
  }
  w.ID[3].enabled = false;
  w.ListSensorSkynam.enabled = true;
  w.Option_Skynam.checked = true;
  w.Option_User.checked = false;
  if (asClick) {
    w.Option_Skynam.state = EditState::Modified;
    w.Option_User.state = EditState::Normal;
    setModified();
  }
}

void Setup::applyUserConfiguration(bool asClick) {
  SetupWindowModel& w = window;
  const std::uint8_t level = host_.userLevel();
  if (level != kBasic) {
    for (Control* c : {&w.BaudRateList, &w.TypeDataMSG1, &w.Format_Intel, &w.ID[0], &w.ID[1], &w.SelMsg[0], &w.SelMsg[1]})
      c->enabled = true;
    if (level == kMaster) {
      w.ID[2].enabled = true;
      w.SelMsg[2].enabled = true;
    }
  }
  w.ID[3].enabled = false;
  w.ListSensorSkynam.enabled = false;
  w.Option_User.checked = true;
  w.Option_Skynam.checked = false;
  if (asClick) {
    w.Option_User.state = EditState::Modified;
    w.Option_Skynam.state = EditState::Normal;
    setModified();
  }
}

void Setup::Option_Skynam_Click() {
  applySkynamConfiguration(true);
  applyUserLevel();
  notify();
}

void Setup::Option_User_Click() {
  applyUserConfiguration(true);
  applyUserLevel();
  notify();
}

void Setup::Option_Skynam_DblClick() {
  window.BaudRateList.enabled = true;
  notify();
}

// The transmit option, the speed list, the ECU identifier, the Skynam
// identifier and sensor list, and the filter, as each protocol needs them.
void Setup::applyProtocol(int index) {
  SetupWindowModel& w = window;
  Control& ecuId = w.ID[4];
  switch (index) {
    case kSkynamProtocol:
      applySkynamConfiguration(false);
      w.BaudRateList.enabled = false;
      ecuId.captionVisible = true;
      show(ecuId, false, false);
      show(w.ID[3], true, false);
      show(w.ListSensorSkynam, true, true);
      w.Combo_Filtre.choose(kFilterMedium);
      w.Combo_Filtre.enabled = false;
      break;
    case kMicrotecProtocol:
      applyUserConfiguration(false);
      w.BaudRateList.enabled = true;
      ecuId.captionVisible = true;
      show(ecuId, true, true);
      show(w.ID[3], false, false);
      show(w.ListSensorSkynam, false, false);
      break;
    default:
      applyUserConfiguration(false);
      w.BaudRateList.enabled = true;
      ecuId.captionVisible = false;
      show(ecuId, false, false);
      show(w.ID[3], false, false);
      show(w.ListSensorSkynam, false, false);
      break;
  }
}

void Setup::ListeProtocoles_Click(int index) {
  window.ListeProtocoles.choose(index);
  window.ListeProtocoles.state = EditState::Modified;
  setModified();
  applyProtocol(index);
  // The option the protocol chose takes the modified colour, as if clicked.
  (window.Option_Skynam.checked ? window.Option_Skynam : window.Option_User).state = EditState::Modified;
  (window.Option_Skynam.checked ? window.Option_User : window.Option_Skynam).state = EditState::Normal;
  applyUserLevel();
  notify();
}

void Setup::fieldEdited(Field field, std::string_view text) {
  window.control(field).text = std::string(text);
}

void Setup::fieldKey(Field field, SetupKey key) {
  if (!reactsToKeys(field)) return;
  Control& c = window.control(field);
  if (key == SetupKey::Escape) {
    // Escape gives the stoichiometric field back the ratio in use.
    if (field == Field::W_Stoichio) c.text = ratioText(host_.stoichRatio());
    notify();
    return;
  }
  markModified(c);
  setModified();
  if (key == SetupKey::Enter) {
    if (isIdentifier(field))
      acceptIdentifier(field);
    else
      validate(field);
  }
  notify();
}

void Setup::fieldLeave(Field field) {
  if (isIdentifier(field)) {
    acceptIdentifier(field);
  } else if (settingOf(field)) {
    validate(field);
    if (field == Field::RPM_threshold || field == Field::Heater_Timeout) setModified();
  }
  notify();
}

void Setup::fieldDoubleClick(Field field) {
  if (field == Field::Option_Skynam) return Option_Skynam_DblClick();
  if (field == Field::BaudRateList) return BaudRateList_DblClick();
  if (!settingOf(field)) return;
  markModified(window.control(field));
  notify();
}

void Setup::validate(Field field) {
  const std::optional<Setting> setting = settingOf(field);
  if (!setting) return;
  Control& c = window.control(field);
  c.text = ClampEntry(c.text, configEntry(*setting).rule);
  if (field == Field::W_Stoichio) {
    host_.setStoichRatio(ReadLeadingNumber(c.text));
    if (window.tables.unit == TableUnit::AirFuel) refreshTables(0);
  }
}

// An identifier typed in a box or a grid cell, parsed under the window's
// transmit option; its messages are shown.
ParsedCanId Setup::parseIdentifier(std::string_view text) {
  const SetupWindowModel& w = window;
  const bool shortIds = w.ID[0].text.size() == 5 && w.ID[1].text.size() == 5 && w.ID[2].text.size() == 5;
  ParsedCanId parsed = ParseCanId(text, {w.Option_Skynam.checked, shortIds});
  for (const CanIdMessage& m : parsed.messages)
    dialogs_.message(m.text, m.title, m.error ? MessageIcon::Error : MessageIcon::Warning);
  return parsed;
}

bool Setup::acceptIdentifier(Field field) {
  Control& c = window.control(field);
  const ParsedCanId parsed = parseIdentifier(c.text);
  if (!parsed.accepted) return false;
  c.text = parsed.text;
  CheckMessageIdsDistinct();
  return true;
}

void Setup::CheckMessageIdsDistinct() {
  const SetupWindowModel& w = window;
  for (std::size_t a = 0; a < 3; ++a)
    for (std::size_t b = a + 1; b < 3; ++b)
      if (w.SelMsg[a].checked && w.SelMsg[b].checked && w.ID[a].text == w.ID[b].text) {
        dialogs_.message("IDs could not be same", "ID Error", MessageIcon::Warning);
        return;
      }
}

void Setup::listClick(Field field, int index) {
  SetupWindowModel& w = window;
  if (field == Field::ListeProtocoles) return ListeProtocoles_Click(index);
  Control& c = w.control(field);
  c.choose(index);
  markModified(c);
  if (field == Field::BaudRateList) markModified(w.ID[3]);
  if (field == Field::ListSensorSkynam) {
    w.ID[3].text = std::string(kSkynamIdPrefix) + std::to_string(index % 10);
    markModified(w.ID[3]);
  }
  setModified();
  notify();
}

void Setup::ListSensorSkynam_Enter(int index) {
  window.ListSensorSkynam.choose(index);
  window.ID[3].text = std::string(kSkynamIdPrefix) + std::to_string(index % 10);
  notify();
}

void Setup::BaudRateList_DblClick() {
  markModified(window.BaudRateList);
  markModified(window.ID[3]);
  notify();
}

void Setup::checkClick(Field field, bool checked) {
  Control& c = window.control(field);
  c.checked = checked;
  markModified(c);
  if (field != Field::Check_Heater && field != Field::Check_WarmInit) setModified();
  notify();
}

void Setup::idLabelDoubleClick(int message) {
  if (message < 0 || message > 2) return;
  markModified(window.SelMsg[static_cast<std::size_t>(message)]);
  notify();
}

void Setup::Word4Label_Click() {
  markModified(window.ListSensorSkynam);
  notify();
}

bool Setup::close() {
  if (!window.visible) return true;
  if (setupModified) {
    const Answer answer =
        dialogs_.question("Data not save. Do you want to save them?", "Setup message", QuestionButtons::YesNoCancel);
    if (answer == Answer::Cancel) return false;
    if (answer == Answer::Yes && !host_.saveSetupAs()) return false;
  }
  discard();
  return true;
}

void Setup::discard() {
  window.visible = false;
  window.GrilleCan.editor.open = false;
  HideTableEditor(window.tables);
  expected_.clear();
  expectedBlocks_.clear();
  awaitedSettings_.clear();
  awaitedBlocks_.clear();
  window.toolbox.visible = false;
  notify();
}

void Setup::CloseFrame_Click() {
  window.toolbox.visible = false;
  notify();
}

}  // namespace oxalis
