// Setup archives (.OXS): one whole setup of the window as tagged lines,
// Windows-1252, CR LF. Written in a fixed order; read in any order, unknown
// lines ignored, a missing tag leaving its field as it is.
#include <algorithm>
#include <array>
#include <span>
#include <cmath>

#include "config/ChannelLine.h"
#include "setup/Setup.h"
#include "setup/TableFile.h"
#include "util/AtomicFile.h"
#include "util/NumberFormat.h"
#include "util/TextEncoding.h"
#include "util/TextLines.h"

namespace oxalis {

namespace {

constexpr std::array<std::string_view, 10> kChannelTags{"[CHCAN1]:", "[CHCAN2]:",  "[CHCAN3]:", "[CHCAN4]:",
                                                        "[CHVin]:",  "[CFG_MV]:",  "[CFG_RICH]:", "[CFG_O2]:",
                                                        "[CFG_LBDA]:", "[CFG_AFR]:"};
constexpr std::array<std::string_view, 5> kDisplayTableTags{"[LT01]:", "[LT02]:", "[LT03]:", "[LT04]:", "[LT05]:"};

constexpr std::array<std::string_view, 21> kSettingTags{
    "[Prot]:",  "[ECU]:",    "[INTEL]:",  "[SPEED]:",   "[WORD4]:",   "[ID1]:",     "[ID2]:",
    "[ID3]:",   "[IDSK]:",   "[ID4]:",    "[SELID1]:",  "[SELID2]:",  "[SELID3]:",  "[VOUTDEF]:",
    "[VOUTHS]:", "[RICHDEF]:", "[RICHHS]:", "[FILTER]:", "[HEATER]:", "[STOICHIO]:", "[TAB_VOUT]:"};

std::string yesNo(bool value) { return value ? "YES" : "NO"; }

template <typename Points>
std::string tableItems(const Points& points) {
  std::string out;
  for (const TablePoint& p : points) out += std::to_string(p.in) + ";";
  for (const TablePoint& p : points) out += std::to_string(p.out) + ";";
  return out;
}

int position(std::string_view value) { return static_cast<int>(std::lround(ReadLeadingNumber(value))); }

}  // namespace

bool HoldsSetupArchiveTag(std::string_view bytes) {
  const auto tagged = [](std::string_view line, std::span<const std::string_view> tags) {
    return std::any_of(tags.begin(), tags.end(), [&](std::string_view tag) { return line.starts_with(tag); });
  };
  for (std::string_view line : SplitLines(bytes))
    if (tagged(line, kSettingTags) || tagged(line, kChannelTags) || tagged(line, kDisplayTableTags)) return true;
  return false;
}

std::string Setup::FormatSetupArchive() const {
  const SetupWindowModel& w = window;
  std::string out;
  const auto line = [&](std::string_view tag, const std::string& value) {
    out += tag;
    out += value;
    out += "\r\n";
  };
  line("[Prot]:", w.Option_User.checked ? "USER" : "SKYNAM");
  line("[ECU]:", std::to_string(w.ListeProtocoles.index));
  line("[INTEL]:", yesNo(w.Format_Intel.checked));
  line("[SPEED]:", std::to_string(w.BaudRateList.index));
  line("[WORD4]:", std::to_string(w.TypeDataMSG1.index));
  line("[ID1]:", w.ID[0].text);
  line("[ID2]:", w.ID[1].text);
  line("[ID3]:", w.ID[2].text);
  line("[IDSK]:", w.ID[3].text);
  line("[ID4]:", w.ID[4].text);
  line("[SELID1]:", yesNo(w.SelMsg[0].checked));
  line("[SELID2]:", yesNo(w.SelMsg[1].checked));
  line("[SELID3]:", yesNo(w.SelMsg[2].checked));
  line("[VOUTDEF]:", w.Vout_NOT.text);
  line("[VOUTHS]:", w.Vout_HS.text);
  line("[RICHDEF]:", w.Rich_NOT.text);
  line("[RICHHS]:", w.Rich_HS.text);
  line("[FILTER]:", std::to_string(w.Combo_Filtre.index));
  line("[HEATER]:", yesNo(w.Check_Heater.checked) + ";" + yesNo(w.Check_WarmInit.checked) + ";" +
                        w.RPM_threshold.text + ";" + w.Heater_Timeout.text);
  line("[STOICHIO]:", FormatPlainNumber(host_.stoichRatio()));
  line("[TAB_VOUT]:", tableItems(w.tables.outputTable));
  for (std::size_t slot = 0; slot < kChannelTags.size(); ++slot)
    line(kChannelTags[slot], FormatChannelLine(channels_.slot(static_cast<int>(slot) + 1)));
  for (std::size_t k = 0; k < kDisplayTableTags.size(); ++k)
    line(kDisplayTableTags[k], tableItems(w.tables.displayTables[k]));
  return Utf8ToWindows1252(out);
}

void Setup::ReadSetupArchive(std::string_view bytes) {
  const std::string text = Windows1252ToUtf8(bytes);
  SetupWindowModel& w = window;
  const auto archived = [](Control& c) { c.state = EditState::Archive; };
  const auto choose = [&](Control& c, std::string_view value) {
    const int index = position(value);
    if (index >= 0 && index < static_cast<int>(c.items.size())) c.choose(index);
    archived(c);
  };
  const auto tick = [&](Control& c, std::string_view value) {
    c.checked = value.find("YES") != std::string_view::npos;
    archived(c);
  };
  const auto setText = [&](Control& c, std::string_view value) {
    c.text = std::string(value);
    archived(c);
  };
  for (std::string_view line : SplitLines(text)) {
    const auto tagged = [&](std::string_view tag, std::string_view& value) {
      if (!line.starts_with(tag)) return false;
      value = line.substr(tag.size());
      return true;
    };
    std::string_view v;
    if (tagged("[Prot]:", v)) {
      // Choosing an option runs its rules, messages included.
      if (v.find("USER") != std::string_view::npos) applyUserConfiguration(false);
      if (v.find("SKYNAM") != std::string_view::npos) applySkynamConfiguration(false);
      archived(w.Option_User);
      archived(w.Option_Skynam);
    } else if (tagged("[ECU]:", v)) {
      choose(w.ListeProtocoles, v);
      applyProtocol(w.ListeProtocoles.index);
    } else if (tagged("[SPEED]:", v)) {
      choose(w.BaudRateList, v);
    } else if (tagged("[WORD4]:", v)) {
      choose(w.TypeDataMSG1, v);
    } else if (tagged("[FILTER]:", v)) {
      choose(w.Combo_Filtre, v);
    } else if (tagged("[INTEL]:", v)) {
      tick(w.Format_Intel, v);
    } else if (tagged("[SELID1]:", v) || tagged("[SELID2]:", v) || tagged("[SELID3]:", v)) {
      tick(w.SelMsg[static_cast<std::size_t>(line[6] - '1')], v);
    } else if (tagged("[IDSK]:", v)) {
      setText(w.ID[3], v);
      const char last = v.empty() ? '0' : v.back();
      w.ListSensorSkynam.choose(last >= '0' && last <= '9' ? last - '0' : 0);
      archived(w.ListSensorSkynam);
    } else if (tagged("[ID1]:", v) || tagged("[ID2]:", v) || tagged("[ID3]:", v) || tagged("[ID4]:", v)) {
      const std::size_t box = line[3] == '4' ? 4 : static_cast<std::size_t>(line[3] - '1');
      setText(w.ID[box], v);
    } else if (tagged("[VOUTDEF]:", v)) {
      setText(w.Vout_NOT, v);
    } else if (tagged("[VOUTHS]:", v)) {
      setText(w.Vout_HS, v);
    } else if (tagged("[RICHDEF]:", v)) {
      setText(w.Rich_NOT, v);
    } else if (tagged("[RICHHS]:", v)) {
      setText(w.Rich_HS, v);
    } else if (tagged("[HEATER]:", v)) {
      std::string_view f[4];
      SplitFields(v, f);
      w.Check_Heater.checked = f[0] == "YES";
      w.Check_WarmInit.checked = f[1] == "YES";
      archived(w.Check_Heater);
      archived(w.Check_WarmInit);
      setText(w.RPM_threshold, f[2]);
      setText(w.Heater_Timeout, f[3]);
    } else if (tagged("[STOICHIO]:", v)) {
      host_.setStoichRatio(ReadLeadingNumber(v));
      setText(w.W_Stoichio, FormatPlainNumber(host_.stoichRatio()));
    } else if (tagged("[TAB_VOUT]:", v)) {
      ParseTableLine(w.tables, "OX2", v);
    } else {
      for (std::size_t k = 0; k < kDisplayTableTags.size(); ++k)
        if (tagged(kDisplayTableTags[k], v)) {
          const int shown = w.tables.TabStripCarto.selected;
          w.tables.TabStripCarto.selected = static_cast<int>(k) + 1;
          ParseTableLine(w.tables, "PNU", v);
          w.tables.TabStripCarto.selected = shown;
        }
      for (std::size_t slot = 0; slot < kChannelTags.size(); ++slot)
        if (tagged(kChannelTags[slot], v)) {
          ParseChannelLine(channels_.slot(static_cast<int>(slot) + 1), v);
          host_.channelChanged(static_cast<int>(slot) + 1);
        }
    }
  }
  // The Skynam option keeps the speed list fixed whatever it shows.
  if (w.Option_Skynam.checked) w.BaudRateList.enabled = false;
  applyUserLevel();
  refreshTables(0);
  RefreshChannelGrid(2);
  setupModified = false;
  notify();
}

// The archive written; a file that cannot be written is said and the
// window stays as it was.
bool Setup::writeArchive(const std::string& file) {
  const FileResult saved = WriteFileAtomically(file, FormatSetupArchive());
  if (!saved.ok) {
    dialogs_.message("Fail to open file " + file + "\n" + saved.error, "Error", MessageIcon::Warning);
    return false;
  }
  RefreshChannelGrid(2);
  setupModified = false;
  notify();
  return true;
}

// An archive read into the window, which then names it. A file that cannot
// be read is said, unless `quiet` (the last archive at opening is skipped
// silently).
bool Setup::loadArchive(const std::string& file, bool quiet) {
  std::string error;
  const std::optional<std::string> bytes = ReadWholeFile(file, &error);
  if (!bytes) {
    if (!quiet) dialogs_.message("Fail to open file " + file + "\n" + error, "Error", MessageIcon::Error);
    return false;
  }
  ReadSetupArchive(*bytes);
  window.caption = "SETUP (" + file + ")";
  notify();
  return true;
}

void Setup::Open_Click() {
  hideEditors();
  FileDialogRequest request;
  request.title = "Open Setup File";
  request.filter = "Setup Archive(*.OXS)|*.OXS";
  request.defaultExtension = "OXS";
  request.startFolder = host_.setupFolder();
  const std::optional<std::string> file = dialogs_.openFile(request);
  if (!file) return;
  // The name is taken only once the file has been read.
  if (loadArchive(*file, false)) host_.setupFileOpened(*file);
}

// "&Save": the current archive rewritten, or "&Save as" without one.
void Setup::Save_Click() {
  hideEditors();
  const std::string file = host_.setupFileName();
  if (file.empty()) {
    SaveSetupAs();
    return;
  }
  writeArchive(file);
}

// "&Save as": the archive is written where the user says; the current
// archive and the caption stay as they were.
bool Setup::SaveSetupAs() {
  FileDialogRequest request;
  request.title = "Save as";
  request.fileName = "Default";
  request.filter = "Setup archive (*.OXS)|*.OXS";
  request.defaultExtension = "OXS";
  request.promptOverwrite = true;
  const std::optional<std::string> file = dialogs_.saveFile(request);
  return file && writeArchive(*file);
}

}  // namespace oxalis
