#include "LayerRule.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <optional>
#include <string_view>
#include <tuple>

namespace oxalis::layers {
namespace {

namespace fs = std::filesystem;

struct Room {
  std::string_view name;
  int rank;
};

// Lowest rank first. A new folder under src/core gets its rank here, or the
// check reports the folder.
// clang-format off
constexpr std::array kRooms{
    Room{"platform", 0}, Room{"util", 0},
    Room{"link", 1}, Room{"config", 1},
    Room{"monitor", 2}, Room{"setup", 2}, Room{"firmware", 2}, Room{"factory", 2},
    Room{"trace", 3},
    Room{"files", 4},  // the data file and the CSV export write the trace's samples
    Room{"app", 5},
};
// clang-format on

// The simulator shares the record format and the port interface with the
// tool, and nothing else of the core.
constexpr std::array<std::string_view, 2> kSimCoreHeaders{"link/RecordCodec.h", "platform/SerialPort.h"};

std::optional<int> rankOf(std::string_view room) {
  for (const Room& r : kRooms)
    if (r.name == room) return r.rank;
  return std::nullopt;
}

enum class Area { Core, Sim, QtPlatform, Ui, App, Unknown };

struct Place {
  Area area = Area::Unknown;
  std::string room;    // core only
  std::string inCore;  // core only, the path below src/core: "link/RecordCodec.h"
};

// Where a file lies, from its path relative to the source folder.
Place placeOf(const fs::path& rel) {
  std::vector<std::string> parts;
  for (const fs::path& part : rel) parts.push_back(part.string());
  const auto under = [&](std::string_view first) { return parts.size() >= 2 && parts[0] == first; };
  if (under("core") && parts.size() >= 3)
    return {Area::Core, parts[1], rel.lexically_relative("core").generic_string()};
  if (under("sim")) return {Area::Sim, {}, {}};
  if (under("platform") && parts.size() >= 3 && parts[1] == "qt") return {Area::QtPlatform, {}, {}};
  if (under("ui")) return {Area::Ui, {}, {}};
  if (under("app")) return {Area::App, {}, {}};
  return {};
}

// The text between the quotes of a `#include "..."` line. Angle-bracket
// includes, commented-out includes and every other line give nothing.
std::optional<std::string> quotedInclude(std::string_view line) {
  const auto skipBlanks = [&] {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  };
  skipBlanks();
  if (!line.starts_with('#')) return std::nullopt;
  line.remove_prefix(1);
  skipBlanks();
  if (!line.starts_with("include")) return std::nullopt;
  line.remove_prefix(std::string_view("include").size());
  skipBlanks();
  if (!line.starts_with('"')) return std::nullopt;
  line.remove_prefix(1);
  const std::size_t end = line.find('"');
  if (end == std::string_view::npos) return std::nullopt;
  return std::string(line.substr(0, end));
}

// The file an include names, found the way the build finds it: beside the
// including file first; then a path through src/core or src; a bare name
// outside the core on the include paths of the windows, the Qt platform
// layer and the program. A core room or the simulator named by the first
// component counts even when the header is not there (yet). Nothing when
// the include names no file under the source folder.
std::optional<Place> resolve(const fs::path& root, const fs::path& includer, Area includerArea,
                             const std::string& text) {
  const fs::path named(text);
  const fs::path beside = (includer.parent_path() / named).lexically_normal();
  if (fs::is_regular_file(root / beside)) return placeOf(beside);

  if (text.find('/') != std::string::npos) {
    const fs::path inCore = (fs::path("core") / named).lexically_normal();
    if (fs::is_regular_file(root / inCore)) return placeOf(inCore);
    if (fs::is_regular_file(root / named)) return placeOf(named.lexically_normal());
    const std::string first = named.begin()->string();
    if (rankOf(first)) return placeOf(inCore);
    if (first == "sim") return Place{Area::Sim, {}, {}};
    return std::nullopt;
  }

  if (includerArea != Area::Core) {
    for (const char* folder : {"ui", "platform/qt", "app"}) {
      const fs::path candidate = fs::path(folder) / named;
      if (fs::is_regular_file(root / candidate)) return placeOf(candidate);
    }
  }
  return std::nullopt;
}

std::string coreAllowance(const std::string& room) {
  const int rank = *rankOf(room);
  std::string list;
  for (const Room& r : kRooms)
    if (r.rank < rank) list.append(r.name).append(", ");
  return room + " may include only: " + list + room;
}

// Why `from` may not include `to`; empty when it may. Outside the core an
// include that names no file under the source folder (a generated header,
// say) crosses no layer and is let through; inside the core nothing but core
// headers is.
std::string judge(const Place& from, const std::optional<Place>& to) {
  const bool toCore = to && to->area == Area::Core;
  switch (from.area) {
    case Area::Core: {
      const std::optional<int> rank = toCore ? rankOf(to->room) : std::nullopt;
      if (toCore && (to->room == from.room || (rank && *rank < *rankOf(from.room)))) return {};
      return coreAllowance(from.room);
    }
    case Area::Sim:
      if (!to || to->area == Area::Sim) return {};
      if (toCore && std::ranges::find(kSimCoreHeaders, to->inCore) != kSimCoreHeaders.end()) return {};
      return "sim may include only: sim, link/RecordCodec.h, platform/SerialPort.h";
    case Area::QtPlatform:
      if (!to || toCore || to->area == Area::QtPlatform) return {};
      return "platform/qt may include only: core, platform/qt";
    case Area::Ui:
      if (!to || toCore || to->area == Area::QtPlatform || to->area == Area::Ui) return {};
      return "ui may include only: core, platform/qt, ui";
    case Area::App:
    case Area::Unknown:
      return {};
  }
  return {};
}

}  // namespace

std::vector<LayerViolation> checkLayers(const fs::path& srcRoot) {
  fs::path root = srcRoot.lexically_normal();
  if (!root.has_filename()) root = root.parent_path();  // a trailing separator
  const fs::path shown = root.filename();
  std::vector<LayerViolation> found;

  if (fs::is_directory(root / "core")) {
    for (const fs::directory_entry& entry : fs::directory_iterator(root / "core")) {
      const std::string name = entry.path().filename().string();
      if (entry.is_directory() && !rankOf(name))
        found.push_back({(shown / "core" / name).generic_string(), 0, {}, name + " is not in the table of rooms"});
    }
  }

  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    const fs::path& path = entry.path();
    if (!entry.is_regular_file() || (path.extension() != ".h" && path.extension() != ".cpp")) continue;
    const fs::path rel = path.lexically_relative(root);
    const std::string file = (shown / rel).generic_string();
    const Place from = placeOf(rel);
    if (from.area == Area::Core && !rankOf(from.room)) continue;  // its folder is reported above
    if (from.area == Area::Unknown) {
      found.push_back({file, 0, {}, "lies in no folder the layer rule knows"});
      continue;
    }
    std::ifstream in(path);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      const std::optional<std::string> included = quotedInclude(line);
      if (!included) continue;
      std::string reason = judge(from, resolve(root, rel, from.area, *included));
      if (!reason.empty()) found.push_back({file, number, *included, std::move(reason)});
    }
  }

  std::ranges::sort(found, [](const LayerViolation& a, const LayerViolation& b) {
    return std::tie(a.file, a.line, a.included) < std::tie(b.file, b.line, b.included);
  });
  return found;
}

std::string describe(const LayerViolation& violation) {
  std::string text = violation.file;
  if (violation.line > 0) text += ":" + std::to_string(violation.line) + ": includes \"" + violation.included + "\"";
  return text + ": " + violation.reason;
}

}  // namespace oxalis::layers
