// A firmware file (Intel HEX text) checked whole before an update.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "firmware/FirmwareFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const oxalis::FirmwareFileCheck check =
      oxalis::ReadFirmwareFile(std::string_view(reinterpret_cast<const char*>(data), size));
  (void)check;
  return 0;
}
