#include "QtSerialPort.h"

#include <system_error>
#include <utility>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace oxalis {

namespace {

constexpr qint32 kBaudRate = 57600;

const char* const kDialoutFix =
    " To use serial ports your user must be a member of the \"dialout\" group:"
    " run \"sudo usermod -aG dialout $USER\", then log out and log in again.";

// "/dev/ttyUSB0", or "/home/u/.../ports/COM3 (a link to /dev/pts/4)".
std::string describe(const std::filesystem::path& path) {
  std::string text = path.string();
  std::error_code ec;
  if (std::filesystem::is_symlink(path, ec)) {
    const auto target = std::filesystem::read_symlink(path, ec);
    if (!ec) text += " (a link to " + target.string() + ")";
  }
  return text;
}

}  // namespace

QtSerialPort::QtSerialPort(PortMap portMap, QObject* parent) : QObject(parent), portMap_(std::move(portMap)) {
  connect(&port_, &QSerialPort::readyRead, this, &QtSerialPort::onReadyRead);
  connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::onErrorOccurred);
}

QtSerialPort::~QtSerialPort() {
  // No handler runs for a close made while the owner is going away.
  byteHandler_ = nullptr;
  lostHandler_ = nullptr;
  close();
}

void QtSerialPort::setByteHandler(std::function<void(std::uint8_t)> handler) { byteHandler_ = std::move(handler); }

void QtSerialPort::setLostHandler(std::function<void()> handler) { lostHandler_ = std::move(handler); }

void QtSerialPort::setPortMap(PortMap portMap) { portMap_ = std::move(portMap); }

PortOpenResult QtSerialPort::fail(PortOpenResult result, std::string message) {
  lastOpenError_ = std::move(message);
  return result;
}

PortOpenResult QtSerialPort::open(int portNumber) {
  close();
  lastOpenError_.clear();

  const std::filesystem::path path = portMap_.resolve(portNumber);
  const std::string portText = "port " + std::to_string(portNumber);
  if (path.empty()) {
    return fail(PortOpenResult::Absent, "There is no " + portText + ": port numbers run from " +
                                            std::to_string(PortMap::kFirstPort) + " to " +
                                            std::to_string(PortMap::kLastPort) + ".");
  }
  const std::string device = describe(path);

#ifndef _WIN32
  // Follows links: a link whose device has gone counts as absent.
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    return fail(PortOpenResult::Absent, "The serial device " + device + " for " + portText + " does not exist.");
  }
  // QSerialPort reports a lock held by another program and a missing
  // permission alike, so the permission is checked here first.
  if (::access(path.c_str(), R_OK | W_OK) != 0) {
    return fail(PortOpenResult::PermissionDenied,
                "Permission denied opening the serial device " + device + " for " + portText + "." + kDialoutFix);
  }
#endif

  // Opened by the name the user sees, not the device a link leads to: the lock
  // file QSerialPort takes is named after it, and a pseudo-terminal number
  // reused at once by another process must not find the previous holder's
  // lock still in place. Two links to one device are kept apart by the
  // driver's exclusive mode for ordinary users.
  port_.setPortName(QString::fromStdString(path.string()));
  port_.setBaudRate(kBaudRate);
  port_.setDataBits(QSerialPort::Data8);
  port_.setParity(QSerialPort::NoParity);
  port_.setStopBits(QSerialPort::OneStop);
  port_.setFlowControl(QSerialPort::NoFlowControl);
  port_.clearError();

  ++generation_;
  if (!port_.open(QIODevice::ReadWrite)) {
    // The reason is taken from the error kind only: errorString() can carry
    // an unrelated, stale system error.
    switch (port_.error()) {
      case QSerialPort::PermissionError:
        return fail(PortOpenResult::Busy, "The serial device " + device + " for " + portText +
                                              " is in use by another program. Close that "
                                              "program, then try again.");
      case QSerialPort::DeviceNotFoundError:
        return fail(PortOpenResult::Absent, "The serial device " + device + " for " + portText + " does not exist.");
      case QSerialPort::UnsupportedOperationError:
        return fail(PortOpenResult::Failed,
                    "The serial device " + device + " for " + portText +
                        " does not accept 57600 baud, 8 data bits, no parity, 1 stop bit; it may "
                        "not be a serial port.");
      default:
        return fail(PortOpenResult::Failed,
                    "The serial device " + device + " for " + portText + " could not be opened.");
    }
  }

  // Bytes the device sent before this open belong to nobody.
  port_.clear(QSerialPort::AllDirections);
  currentPath_ = path;
  currentPort_ = portNumber;
  return PortOpenResult::Ok;
}

void QtSerialPort::close() {
  ++generation_;
  currentPath_.clear();
  currentPort_ = 0;
  if (!port_.isOpen()) return;
  closing_ = true;
  port_.close();
  closing_ = false;
}

bool QtSerialPort::isOpen() const { return port_.isOpen(); }

bool QtSerialPort::write(std::string_view bytes) {
  if (!port_.isOpen()) return false;
  const auto size = static_cast<qint64>(bytes.size());
  return port_.write(bytes.data(), size) == size;
}

void QtSerialPort::discardOutput() {
  if (port_.isOpen()) port_.clear(QSerialPort::Output);
}

std::string QtSerialPort::lastOpenError() const { return lastOpenError_; }

std::string QtSerialPort::portName(int portNumber) const {
  const std::filesystem::path device = portMap_.resolve(portNumber);
  return device.empty() ? SerialPort::portName(portNumber) : device.string();
}

QString QtSerialPort::currentPath() const { return QString::fromStdString(currentPath_.string()); }

void QtSerialPort::onReadyRead() {
  const QByteArray chunk = port_.readAll();
  const unsigned generation = generation_;
  for (const char byte : chunk) {
    // The handler may close or reopen the port; the rest of this chunk
    // belongs to the old open and is dropped.
    if (generation != generation_ || !byteHandler_) return;
    byteHandler_(static_cast<std::uint8_t>(byte));
  }
}

void QtSerialPort::onErrorOccurred(QSerialPort::SerialPortError error) {
  switch (error) {
    case QSerialPort::ReadError:
    case QSerialPort::ResourceError:
    case QSerialPort::WriteError:
      break;
    default:
      return;
  }
  // Errors raised while closing, or after the port is closed, are not news.
  if (closing_ || !port_.isOpen()) return;
  // Qt repeats these errors endlessly while the port stays open, and keeps
  // accepting writes into its buffer, so the port is closed on the first one.
  close();
  // A copy: the handler may replace itself.
  if (auto lost = lostHandler_) lost();
}

}  // namespace oxalis
