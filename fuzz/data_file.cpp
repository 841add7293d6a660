// A data file as users pass them around: any bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "config/ChannelLine.h"
#include "files/DataFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const auto channels = [] {
    oxalis::ChannelTable table;
    oxalis::LoadDefaultChannels(table);
    return oxalis::UserChannels(table);
  }();
  const oxalis::DataFileRead read =
      oxalis::ParseDataFile(std::string_view(reinterpret_cast<const char*>(data), size), channels);
  (void)read;
  return 0;
}
