// A setup archive (.OXS) opened in the setup window of each module type:
// the first byte chooses the type, the rest is the file. One window per
// type lives on from input to input, as the window stays open while a
// user opens one archive after another.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string_view>

#include "FakeDialogs.h"
#include "FakeSetupHost.h"
#include "config/ChannelLine.h"
#include "setup/Setup.h"

namespace {

struct Window {
  explicit Window(const char* type) {
    host.code = type;
    oxalis::LoadDefaultChannels(channels);
    setup.open();
  }
  oxalis::test::FakeSetupHost host;
  oxalis::test::FakeDialogs dialogs;
  oxalis::ChannelTable channels;
  oxalis::Setup setup{host, channels, dialogs};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static constexpr const char* kTypes[] = {"OX2", "OXL", "PNU", "RMW", "QTX"};
  static std::map<int, std::unique_ptr<Window>> windows;
  auto& window = windows[data[0] % 5];
  if (!window) window = std::make_unique<Window>(kTypes[data[0] % 5]);
  window->setup.ReadSetupArchive(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  const std::string written = window->setup.FormatSetupArchive();
  (void)written;
  window->host.sent.clear();
  window->dialogs.messages.clear();
  return 0;
}
