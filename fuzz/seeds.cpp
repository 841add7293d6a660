// Writes seed inputs for every fuzz target into DIR/<target>/: what the
// simulated module sends in a session of each module type, and files made
// by the tool's own writers. Fuzzing starts from well-formed inputs and
// mutates them, so it reaches deep into each reader at once.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "FakeDialogs.h"
#include "FakeSetupHost.h"
#include "SimulatedLink.h"
#include "app/Recording.h"
#include "config/ChannelLine.h"
#include "files/DataFile.h"
#include "files/SettingsFile.h"
#include "setup/OutputTables.h"
#include "setup/Setup.h"
#include "setup/TableFile.h"
#include "sim/FirmwareImage.h"

namespace fs = std::filesystem;
using namespace oxalis;

namespace {

constexpr const char* kTypes[] = {"OX2", "OXL", "PNU", "RMW", "QTX"};

void write(const fs::path& folder, const std::string& name, const std::string& bytes) {
  fs::create_directories(folder);
  std::ofstream(folder / name, std::ios::binary) << bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds DIR\n");
    return 2;
  }
  const fs::path out = argv[1];
  for (int t = 0; t < 5; ++t) {
    const char* type = kTypes[t];
    // Three seconds of a session: identification, parameters, measurements.
    test::SimulatedLink link;
    link.plug(1, type);
    std::string received;
    link.port.setByteHandler([&](std::uint8_t b) {
      if (received.size() < 6000) received.push_back(static_cast<char>(b));
      link.core.onByte(b);
    });
    link.core.start();
    startRecord(link.core);
    link.run(3000);
    for (int windows : {0, 8, 16, 32})
      write(out / "receive", std::string(type) + "_" + std::to_string(windows), char(t + windows) + received);

    DataFileHeader header;
    header.deviceCode = type;
    header.channels = UserChannels(link.core.channels);
    write(out / "data_file", type, FormatDataFile(header, link.core.trace.buffer));

    test::FakeSetupHost host;
    host.code = type;
    test::FakeDialogs dialogs;
    ChannelTable channels;
    LoadDefaultChannels(channels);
    Setup setup(host, channels, dialogs);
    setup.open();
    write(out / "setup_archive", type, char(t) + setup.FormatSetupArchive());

    TablePage page;
    write(out / "table_file", type, char(t) + FormatTableLine(page, type) + "\r\n");
  }
  Settings settings = ParseSettings("", Settings{});  // the defaults, channels included
  settings.windowGeometry = "40,30,1366,740,0";
  write(out / "settings", "defaults", FormatSettings(settings));
  for (std::size_t k = 0; k < kDefaultChannelLines.size(); ++k)
    write(out / "channel_line", "slot" + std::to_string(k + 1), std::string(kDefaultChannelLines[k]) + "\r\n");
  sim::FirmwareImageOptions firmware;
  firmware.firmwareBytes = 512;
  write(out / "firmware_file", "plain", sim::MakeFirmwareImage(firmware));
  firmware.bootloaderVersion = 13;
  write(out / "firmware_file", "with_bootloader", sim::MakeFirmwareImage(firmware));
  return 0;
}
