// The settings file: any bytes, read over the defaults, then written back
// and read again (what the next start would read).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "files/SettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const oxalis::Settings read =
      oxalis::ParseSettings(std::string_view(reinterpret_cast<const char*>(data), size), oxalis::Settings{});
  const oxalis::Settings again = oxalis::ParseSettings(oxalis::FormatSettings(read), oxalis::Settings{});
  (void)again;
  return 0;
}
