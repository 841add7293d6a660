#pragma once
// Lines and ";" fields of the tool's text files. The tool writes CR LF, but a
// file edited on another system may end its lines with LF or CR alone; all
// three are line ends here, and no terminator is ever part of a line.
#include <cstddef>
#include <string_view>
#include <vector>

namespace oxalis {

// Walks the lines of a text one at a time, without copying.
class LineCursor {
 public:
  explicit LineCursor(std::string_view text) : rest_(text) {}

  // The next line, without its terminator; false at the end of the text.
  // A text ending with a line end has no empty line after it.
  bool next(std::string_view& line) {
    if (rest_.empty()) return false;
    const std::size_t end = rest_.find_first_of("\r\n");
    if (end == std::string_view::npos) {
      line = rest_;
      rest_ = {};
      return true;
    }
    line = rest_.substr(0, end);
    const std::size_t skip = rest_[end] == '\r' && end + 1 < rest_.size() && rest_[end + 1] == '\n' ? 2 : 1;
    rest_.remove_prefix(end + skip);
    return true;
  }

 private:
  std::string_view rest_;
};

// All lines of a text (see LineCursor).
inline std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  LineCursor cursor(text);
  std::string_view line;
  while (cursor.next(line)) lines.push_back(line);
  return lines;
}

// The first N ";"-separated fields of a line; fields the line lacks are
// empty, as if the line had been padded with ";", and fields past the N-th
// are ignored.
template <std::size_t N>
void SplitFields(std::string_view line, std::string_view (&fields)[N]) {
  for (std::size_t k = 0; k < N; ++k) {
    const std::size_t cut = line.find(';');
    fields[k] = line.substr(0, cut);
    line = cut == std::string_view::npos ? std::string_view{} : line.substr(cut + 1);
  }
}

}  // namespace oxalis
