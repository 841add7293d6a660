#include "files/SettingsFile.h"

#include <array>
#include <cmath>
#include <cstdint>

#include "util/TextEncoding.h"
#include "util/TextLines.h"
#include "config/ChannelLine.h"

namespace oxalis {

namespace {

constexpr std::string_view kCom = "[COM]:";
constexpr std::string_view kDirSetup = "[DIRSETUP]:";
constexpr std::string_view kDirData = "[DIRDATA]:";
constexpr std::string_view kDataFile = "[DTA]:";
constexpr std::string_view kSetupFile = "[OXS]:";
constexpr std::string_view kHc = "[HC]:";
constexpr std::string_view kStoichio = "[STOICHIO]:";
constexpr std::string_view kTimeBase = "[Tbase]:";
constexpr std::string_view kLastModule = "[Last Module]:";
constexpr std::string_view kGeometry = "[Geometry]:";
constexpr std::string_view kOverlay = "[Overlay]:";
constexpr std::string_view kTheme = "[Theme]:";

// The channel tags of slots 1..10, in slot order.
constexpr std::array<std::string_view, 10> kChannelTags{
    "[CHCAN1]:", "[CHCAN2]:", "[CHCAN3]:",  "[CHCAN4]:", "[CHVin]:",
    "[CFG_MV]:", "[CFG_RICH]:", "[CFG_O2]:", "[CFG_LBDA]:", "[CFG_AFR]:",
};

constexpr int kLastPort = 32;

// The port of a "[COM]:" line: ports are 1..32, anything else (a negative
// number, 300, text) means no saved port rather than a port number wrapped
// round into a byte.
std::uint8_t portNumber(std::string_view value) {
  const double port = std::nearbyint(ReadLeadingNumber(value));
  return port >= 1 && port <= kLastPort ? static_cast<std::uint8_t>(port) : 0;
}

std::string_view trimTrailingBlanks(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// A folder or file name as one line's value.
std::string oneLine(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  return out;
}

void addLine(std::string& out, std::string_view tag, std::string_view value) {
  out += tag;
  out += value;
  out += "\r\n";
}

}  // namespace

Settings ParseSettings(std::string_view content, Settings state) {
  state.hcRatio = 2;
  state.setupFileName = "Default.OXS";
  for (std::size_t k = 0; k < state.channels.size(); ++k) state.channels[k] = DefaultChannel(static_cast<int>(k + 1));
  state.channelRead = {};

  const bool utf8 = StripUtf8Bom(content);
  const auto text = [utf8](std::string_view bytes) { return utf8 ? RepairUtf8(bytes) : Windows1252ToUtf8(bytes); };

  LineCursor lines(content);
  std::string_view line;
  while (lines.next(line)) {
    // Every test is applied; with tags counted at the start only, a line
    // matches one of them at most.
    const auto tagged = [line](std::string_view tag) { return line.substr(0, tag.size()) == tag; };
    const auto valueOf = [line](std::string_view tag) { return line.substr(tag.size()); };

    if (tagged(kLastModule)) {
      // Bytes are characters in Windows-1252: the last three are cut before
      // the conversion, so no character is split.
      const std::string_view value = trimTrailingBlanks(valueOf(kLastModule));
      if (value.size() >= 3) state.deviceCode = text(value.substr(value.size() - 3));
    }
    if (tagged(kCom)) state.port = portNumber(valueOf(kCom));
    if (tagged(kDirSetup)) state.setupFolder = text(valueOf(kDirSetup));
    if (tagged(kDirData)) state.dataFolder = text(valueOf(kDirData));
    if (tagged(kSetupFile)) state.setupFileName = text(valueOf(kSetupFile));
    if (tagged(kHc)) state.hcRatio = ReadLeadingNumber(valueOf(kHc));
    if (tagged(kStoichio)) state.stoichRatio = ReadLeadingNumber(valueOf(kStoichio));
    if (tagged(kTimeBase)) state.timeBaseText = text(valueOf(kTimeBase));
    if (tagged(kTheme)) state.theme = text(trimTrailingBlanks(valueOf(kTheme)));
    if (tagged(kGeometry)) state.windowGeometry = text(trimTrailingBlanks(valueOf(kGeometry)));
    if (tagged(kOverlay)) {
      const std::string_view flags = valueOf(kOverlay);
      for (std::size_t q = 0; q < state.overlay.size(); ++q) state.overlay[q] = q < flags.size() && flags[q] == '1';
    }
    for (std::size_t k = 0; k < kChannelTags.size(); ++k) {
      if (!tagged(kChannelTags[k])) continue;
      ParseChannelLine(state.channels[k], text(valueOf(kChannelTags[k])));
      state.channelRead[k] = true;
    }
  }
  return state;
}

Settings ReadSettings(const std::filesystem::path& file, Settings current) {
  const std::optional<std::string> content = ReadWholeFile(file);
  return ParseSettings(content ? std::string_view(*content) : std::string_view{}, std::move(current));
}

std::string FormatSettings(const Settings& state) {
  std::string out;
  if (state.port != 0) addLine(out, kCom, std::to_string(state.port));
  addLine(out, kDirSetup, oneLine(state.setupFolder));
  addLine(out, kDirData, oneLine(state.dataFolder));
  addLine(out, kDataFile, oneLine(state.dataFileName));
  addLine(out, kSetupFile, oneLine(state.setupFileName));
  addLine(out, kHc, FormatPlainNumber(state.hcRatio));
  addLine(out, kStoichio, FormatPlainNumber(state.stoichRatio));
  addLine(out, kTimeBase, oneLine(state.timeBaseText));
  for (std::size_t k = 0; k < kChannelTags.size(); ++k)
    addLine(out, kChannelTags[k], FormatChannelLine(state.channels[k]));
  addLine(out, kLastModule, oneLine(state.deviceCode));
  if (!state.windowGeometry.empty()) addLine(out, kGeometry, oneLine(state.windowGeometry));
  std::string overlay;
  for (bool on : state.overlay) overlay += on ? '1' : '0';
  addLine(out, kOverlay, overlay);
  addLine(out, kTheme, oneLine(state.theme));
  return Utf8ToWindows1252(out);
}

FileResult WriteSettings(const Settings& settings, const std::filesystem::path& file) {
  return WriteFileAtomically(file, FormatSettings(settings));
}

}  // namespace oxalis
