#include "PortMenu.h"

#include <QSerialPortInfo>
#include <algorithm>
#include <system_error>

namespace oxalis {

namespace {

// The same device whatever the link that names it.
std::filesystem::path real(const std::filesystem::path& path) {
  std::error_code error;
  const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
  return error ? path : resolved;
}

QString hex4(int value) { return QString("%1").arg(value, 4, 16, QChar('0')); }

}  // namespace

std::vector<PortEntry> portEntries(const std::vector<SerialDevice>& devices, const PortMap& map) {
  std::vector<PortEntry> entries;
  for (const SerialDevice& device : devices) {
    PortEntry entry;
    const std::filesystem::path location = real(device.location.toStdString());
    for (int n = PortMap::kFirstPort; n <= PortMap::kLastPort && entry.number == 0; ++n)
      if (real(map.resolve(n)) == location) entry.number = n;
    entry.text = device.location;
    if (!device.description.isEmpty()) entry.text += " - " + device.description;
    if (device.vendorId >= 0 && device.productId >= 0)
      entry.text += " (" + hex4(device.vendorId) + ":" + hex4(device.productId) + ")";
    entry.text = entry.number != 0 ? QString("COM%1: %2").arg(entry.number).arg(entry.text)
                                   : entry.text + " (no port number)";
    entries.push_back(entry);
  }
  std::stable_sort(entries.begin(), entries.end(), [](const PortEntry& a, const PortEntry& b) {
    return (a.number == 0 ? 1000 : a.number) < (b.number == 0 ? 1000 : b.number);
  });
  return entries;
}

std::vector<SerialDevice> withPortLinks(std::vector<SerialDevice> devices, const PortMap& map) {
  for (int n = PortMap::kFirstPort; n <= PortMap::kLastPort; ++n) {
    const std::filesystem::path path = map.resolve(n);
    std::error_code error;
    if (path == PortMap::platformDefault(n) || !std::filesystem::exists(path, error)) continue;
    const std::filesystem::path target = real(path);
    const bool listed = std::any_of(devices.begin(), devices.end(), [&](const SerialDevice& device) {
      return real(device.location.toStdString()) == target;
    });
    if (!listed) devices.push_back({QString::fromStdString(target.string()), "port link", -1, -1});
  }
  return devices;
}

std::vector<SerialDevice> presentSerialDevices() {
  std::vector<SerialDevice> devices;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
    devices.push_back({info.systemLocation(), info.description(),
                       info.hasVendorIdentifier() ? info.vendorIdentifier() : -1,
                       info.hasProductIdentifier() ? info.productIdentifier() : -1});
  return devices;
}

}  // namespace oxalis
