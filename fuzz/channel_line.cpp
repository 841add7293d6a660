// A channel line, as the settings file, a setup archive and a channel
// library file hold it: the library file's text decoded and its first line
// read into a slot, then the slot written and read back.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "config/ChannelLine.h"
#include "util/TextEncoding.h"
#include "util/TextLines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = oxalis::Windows1252ToUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  const auto lines = oxalis::SplitLines(text);
  oxalis::ChannelDefinition channel = oxalis::DefaultChannel(1);
  oxalis::ParseChannelLine(channel, lines.empty() ? std::string_view{} : lines.front());
  oxalis::ChannelDefinition again;
  oxalis::ParseChannelLine(again, oxalis::FormatChannelLine(channel));
  return 0;
}
