#pragma once
// The "Port" menu: "Automatic search", then the serial devices the platform
// lists, each under the port number the search knows it by.
#include <QString>
#include <vector>

#include "PortMap.h"

namespace oxalis {

struct SerialDevice {
  QString location;     // /dev/ttyUSB0
  QString description;  // what the platform says of it, may be empty
  int vendorId = -1;    // USB ids, -1 when the platform gives none
  int productId = -1;
};

struct PortEntry {
  int number = 0;  // 1..32; 0: no port number reaches this device
  QString text;
};

// The entries for `devices`, in port order; devices no number reaches come
// last, so they can be shown greyed.
std::vector<PortEntry> portEntries(const std::vector<SerialDevice>& devices, const PortMap& map);

// The serial devices present now.
std::vector<SerialDevice> presentSerialDevices();

// `devices` and, after them, the devices the ports folders' links point to
// that are not among them (a pseudo-terminal, a simulated module), each
// described as a port link. A dangling link is left out.
std::vector<SerialDevice> withPortLinks(std::vector<SerialDevice> devices, const PortMap& map);

}  // namespace oxalis
