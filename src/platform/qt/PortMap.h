#pragma once
// Port numbering: which device a port number 1..32 stands for.
//
// Port n is the entry `COMn` of the first ports folder that has one (usually a
// symlink to a tty or pseudo-terminal); without such an entry it is the
// platform's own device for that number. Standard C++ only, so it can be
// tested without a serial port.
#include <filesystem>
#include <vector>

namespace oxalis {

class PortMap {
 public:
  static constexpr int kFirstPort = 1;
  static constexpr int kLastPort = 32;

  PortMap() = default;
  // Folders are consulted in the order given.
  explicit PortMap(std::vector<std::filesystem::path> portsFolders);

  const std::vector<std::filesystem::path>& portsFolders() const { return folders_; }

  // The device path of port n; empty for a number outside 1..32.
  std::filesystem::path resolve(int portNumber) const;

  // The device the platform itself gives port n when no ports folder has an
  // entry for it: Linux 1-16 are /dev/ttyUSB0-15, 17-32 are /dev/ttyACM0-15;
  // Windows uses COMn. Empty for a number outside 1..32.
  static std::filesystem::path platformDefault(int portNumber);

 private:
  std::vector<std::filesystem::path> folders_;
};

}  // namespace oxalis
