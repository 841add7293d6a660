#include "PortMap.h"

#include <string>
#include <system_error>
#include <utility>

namespace oxalis {

namespace {

bool validPort(int portNumber) { return portNumber >= PortMap::kFirstPort && portNumber <= PortMap::kLastPort; }

// An entry counts even when it is a symlink whose target has gone (an
// unplugged adapter or a stopped demo): the port is then reported absent
// rather than silently replaced by the platform's device of that number.
bool entryExists(const std::filesystem::path& entry) {
  std::error_code ec;
  if (std::filesystem::is_symlink(entry, ec)) return true;
  return std::filesystem::exists(entry, ec);
}

}  // namespace

PortMap::PortMap(std::vector<std::filesystem::path> portsFolders) : folders_(std::move(portsFolders)) {}

std::filesystem::path PortMap::resolve(int portNumber) const {
  if (!validPort(portNumber)) return {};
  const std::string name = "COM" + std::to_string(portNumber);
  for (const auto& folder : folders_) {
    if (folder.empty()) continue;
    auto entry = folder / name;
    if (entryExists(entry)) return entry;
  }
  return platformDefault(portNumber);
}

std::filesystem::path PortMap::platformDefault(int portNumber) {
  if (!validPort(portNumber)) return {};
#ifdef _WIN32
  return std::filesystem::path("COM" + std::to_string(portNumber));
#else
  if (portNumber <= 16) return std::filesystem::path("/dev/ttyUSB" + std::to_string(portNumber - 1));
  return std::filesystem::path("/dev/ttyACM" + std::to_string(portNumber - 17));
#endif
}

}  // namespace oxalis
