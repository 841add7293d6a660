// An output table file (.TAB): every line read into the table page of a
// module type (the first byte chooses it), then the page written out.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "setup/OutputTables.h"
#include "setup/TableFile.h"
#include "util/TextLines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static constexpr const char* kTypes[] = {"OX2", "OXL", "PNU", "RMW", "QTX"};
  const std::string_view type = kTypes[data[0] % 5];
  oxalis::TablePage page;
  for (std::string_view line : oxalis::SplitLines(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1)))
    oxalis::ParseTableLine(page, type, line);
  const std::string written = oxalis::FormatTableLine(page, type);
  (void)written;
  return 0;
}
