// The channel library: single channel definitions kept as ".lib" files (one
// channel line, Windows-1252) in the library folder, named after the
// channel, so that a channel set up once fills any grid row later.
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "config/ChannelLine.h"
#include "setup/Setup.h"
#include "util/AtomicFile.h"
#include "util/TextEncoding.h"
#include "util/TextLines.h"

namespace oxalis {

namespace {

namespace fs = std::filesystem;

constexpr const char* kAppTitle = "Oxalis Monitor";
constexpr int kFirstCell = 1;  // `Name`
constexpr int kLastCell = 13;  // `Unit`; the colour cell keeps the channel's colour

// A channel's library file: its name as it is, with any path separator
// made "_" so that a name such as "../x" stays a file in the folder.
fs::path libraryFile(const fs::path& folder, std::string name) {
  std::replace_if(name.begin(), name.end(), [](char c) { return c == '/' || c == '\\'; }, '_');
  return folder / fs::path(name + ".lib");
}

}  // namespace

void Setup::refreshLibraryList() {
  std::vector<std::string>& files = window.libraryList.files;
  files.clear();
  std::error_code ec;
  for (fs::directory_iterator it(fs::path(host_.libraryFolder()), ec), end; !ec && it != end; it.increment(ec)) {
    // A channel without a name is the file ".lib" itself.
    const std::string name = it->path().filename().string();
    if (name.ends_with(".lib") && it->is_regular_file(ec)) files.push_back(name);
  }
  std::sort(files.begin(), files.end());
}

void Setup::AddToLibrary_Click() {
  const int row = window.GrilleCan.lastClickedRow;
  if (row < 1 || row > ChannelTable::kSlots) return;
  const std::string line = FormatChannelLine(channels_.slot(row));
  const fs::path folder = fs::path(host_.libraryFolder());
  const fs::path file = libraryFile(folder, line.substr(0, line.find(';')));
  std::error_code ec;
  if (fs::exists(file, ec) &&
      dialogs_.question("File exist. Overwrite?", "Lib file exist", QuestionButtons::OkCancel) != Answer::Ok)
    return;
  fs::create_directories(folder, ec);
  if (!WriteFileAtomically(file, Utf8ToWindows1252(line) + "\r\n").ok)
    dialogs_.message("Library file not saved", "Lib file error", MessageIcon::Error);
  else
    dialogs_.message("channel saved", kAppTitle, MessageIcon::None);
  refreshLibraryList();
  notify();
}

void Setup::SelectFromLibrary_Click(int x, int y) {
  refreshLibraryList();
  window.libraryList.visible = true;
  window.libraryList.x = x;
  window.libraryList.y = y;
  notify();
}

// A library file that cannot be read leaves the row as it was: an empty
// channel in its place would lose the row's definition for nothing.
void Setup::LibraryList_Choose(int index) {
  LibraryFileList& list = window.libraryList;
  if (index < 0 || index >= static_cast<int>(list.files.size())) return;
  list.visible = false;
  const std::optional<std::string> bytes =
      ReadWholeFile(fs::path(host_.libraryFolder()) / fs::path(list.files[static_cast<std::size_t>(index)]));
  if (!bytes) {
    dialogs_.message("Channel Library file not find", "Lib file error", MessageIcon::Error);
    notify();
    return;
  }
  const std::string text = Windows1252ToUtf8(*bytes);
  const std::vector<std::string_view> lines = SplitLines(text);
  const int row = window.GrilleCan.lastClickedRow;
  if (row >= 1 && row <= ChannelTable::kSlots && row < static_cast<int>(window.GrilleCan.rows.size())) {
    ParseChannelLine(channels_.slot(row), lines.empty() ? std::string_view{} : lines.front());
    RefreshChannelGrid(0);
    for (int column = kFirstCell; column <= kLastCell; ++column)
      window.GrilleCan.cell(row, column).background = kModifiedColour;
    host_.channelChanged(row);
    setModified();
  }
  notify();
}

void Setup::LibraryList_Escape() {
  window.libraryList.visible = false;
  notify();
}

void Setup::LibraryList_Delete(int index) {
  const std::vector<std::string>& files = window.libraryList.files;
  if (index < 0 || index >= static_cast<int>(files.size())) return;
  const std::string name = files[static_cast<std::size_t>(index)];
  if (dialogs_.question("Delete the library file " + name + "?", "Lib file", QuestionButtons::YesNo) != Answer::Yes)
    return;
  std::error_code ec;
  if (!fs::remove(fs::path(host_.libraryFolder()) / fs::path(name), ec))
    dialogs_.message("Fail to delete file", kAppTitle, MessageIcon::None);
  refreshLibraryList();
  notify();
}

}  // namespace oxalis
