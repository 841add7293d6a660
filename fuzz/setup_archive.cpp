// A setup archive (.OXS) opened in the setup window of each module type:
// the first byte chooses the type, the rest is the file.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FakeDialogs.h"
#include "FakeSetupHost.h"
#include "config/ChannelLine.h"
#include "setup/Setup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static constexpr const char* kTypes[] = {"OX2", "OXL", "PNU", "RMW", "QTX"};
  oxalis::test::FakeSetupHost host;
  host.code = kTypes[data[0] % 5];
  oxalis::test::FakeDialogs dialogs;
  oxalis::ChannelTable channels;
  oxalis::LoadDefaultChannels(channels);
  oxalis::Setup setup(host, channels, dialogs);
  setup.open();
  setup.ReadSetupArchive(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  const std::string written = setup.FormatSetupArchive();
  (void)written;
  return 0;
}
