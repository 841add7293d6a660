#include "setup/TableFile.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <vector>

#include "util/AtomicFile.h"
#include "util/NumberFormat.h"
#include "util/TextEncoding.h"

namespace oxalis {
namespace {

// The values of the table on screen in file order: every In, then every Out.
std::vector<std::pair<std::int16_t*, EditState*>> fileOrder(TablePage& page, std::string_view deviceCode) {
  std::vector<std::pair<std::int16_t*, EditState*>> values;
  const auto collect = [&values](auto& table) {
    for (TablePoint& p : table) values.emplace_back(&p.in, &p.inState);
    for (TablePoint& p : table) values.emplace_back(&p.out, &p.outState);
  };
  if (IsDisplayModule(deviceCode)) {
    collect(SelectedDisplayTable(page));
  } else {
    collect(page.outputTable);
  }
  return values;
}

// The items of a line split at ";". The ";" that ends the last item does
// not start another one.
std::vector<std::string_view> splitItems(std::string_view line) {
  std::vector<std::string_view> items;
  std::size_t start = 0;
  while (start < line.size()) {
    const std::size_t end = std::min(line.find(';', start), line.size());
    items.push_back(line.substr(start, end - start));
    start = end + 1;
  }
  return items;
}

void showFailure(Dialogs& dialogs, const std::string& file, MessageIcon icon) {
  dialogs.message("Fail to open file " + file, "Error", icon);
}

}  // namespace

std::string FormatTableLine(const TablePage& page, std::string_view deviceCode) {
  std::string line;
  for (const auto& [value, state] : fileOrder(const_cast<TablePage&>(page), deviceCode)) {
    line += std::to_string(*value) + ";";
  }
  return line;
}

int ParseTableLine(TablePage& page, std::string_view deviceCode, std::string_view line) {
  const std::vector<std::string_view> items = splitItems(line);
  const auto values = fileOrder(page, deviceCode);
  const bool lambda = !IsDisplayModule(deviceCode);
  // Only the points the line holds are filled, and never more than the
  // table has: a short file loads partly rather than being refused.
  const std::size_t count = std::min(items.size(), values.size());
  for (std::size_t i = 0; i < count; ++i) {
    double number = ReadLeadingNumber(items[i]);
    // Lambda In items written as a richness ("0.75") are taken x 1000.
    if (lambda && i < values.size() / 2 && items[i].find('.') != std::string_view::npos) number *= 1000;
    *values[i].first = static_cast<std::int16_t>(std::clamp(roundToInt32(number), -32768, 32767));
    *values[i].second = EditState::Archive;
  }
  return static_cast<int>(count);
}

bool SaveMapFile(Dialogs& dialogs, const std::string& libFolder, const TablePage& page, std::string_view deviceCode) {
  FileDialogRequest request;
  request.title = "Save as";
  request.filter = "Setup archive (*.TAB)|*.TAB";
  request.defaultExtension = "TAB";
  request.startFolder = libFolder;
  request.fileName = "Default";
  request.promptOverwrite = true;
  const std::optional<std::string> file = dialogs.saveFile(request);
  if (!file) return false;
  if (!WriteFileAtomically(std::filesystem::path(*file), FormatTableLine(page, deviceCode) + "\r\n").ok) {
    showFailure(dialogs, *file, MessageIcon::Warning);
    return false;
  }
  return true;
}

bool LoadMapFile(Dialogs& dialogs, const std::string& libFolder, TablePage& page, std::string_view deviceCode,
                 double stoichRatio) {
  FileDialogRequest request;
  request.title = "Open Setup File";
  request.filter = "Setup Archive(*.TAB)|*.TAB";
  request.defaultExtension = "TAB";
  request.startFolder = libFolder;
  const std::optional<std::string> file = dialogs.openFile(request);
  if (!file) return false;
  const std::optional<std::string> content = ReadWholeFile(std::filesystem::path(*file));
  if (!content) {
    showFailure(dialogs, *file, MessageIcon::Error);
    return false;
  }
  std::string_view line = *content;
  StripUtf8Bom(line);
  line = line.substr(0, line.find_first_of("\r\n"));
  const int loaded = ParseTableLine(page, deviceCode, line);
  // The values the file held show light blue; a short file leaves the
  // other points, and their colours, as they were.
  RefreshTableGrid(page, 0, deviceCode, stoichRatio);
  return loaded > 0;
}

}  // namespace oxalis
