#pragma once
// The serial port as the core sees it. Whoever owns the real port pushes every
// received byte into the core one at a time (on the user-interface thread) and
// tells it when the port was lost.
#include <string>
#include <string_view>

namespace oxalis {

enum class PortOpenResult {
  Ok,
  Absent,            // no such device
  Busy,              // the device exists but another program holds it
  PermissionDenied,  // the device exists but this user may not open it
  Failed,            // any other reason
};

class SerialPort {
 public:
  virtual ~SerialPort() = default;
  // Opens port number 1..32 at 57600 baud, 8N1, without flow control.
  virtual PortOpenResult open(int portNumber) = 0;
  virtual void close() = 0;
  virtual bool isOpen() const = 0;
  // Writes the bytes as they are; false when the port is closed or the write
  // failed.
  virtual bool write(std::string_view bytes) = 0;
  // Drops output that was written but not yet sent.
  virtual void discardOutput() = 0;
  // Human-readable reason for the last failed open, naming the device and,
  // where there is one, the fix.
  virtual std::string lastOpenError() const = 0;
  // The name the user knows port n by (its device).
  virtual std::string portName(int portNumber) const { return "COM" + std::to_string(portNumber); }
};

}  // namespace oxalis
