#pragma once
// The real serial port, through QSerialPort.
//
// 57600 baud, 8 data bits, no parity, 1 stop bit and no flow control of any
// kind: the module's XON (0x11) and XOFF (0x13) are data to the link and must
// pass both ways untouched, so software flow control is never enabled, and
// DTR/RTS are left as the driver sets them.
//
// Received bytes go to the byte handler one at a time, in order. An adapter
// that disappears (unplugged cable, closed pseudo-terminal) closes the port
// at once and calls the lost handler once for that open.
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "PortMap.h"
#include "platform/SerialPort.h"

namespace oxalis {

class QtSerialPort : public QObject, public SerialPort {
  Q_OBJECT

 public:
  explicit QtSerialPort(PortMap portMap, QObject* parent = nullptr);
  ~QtSerialPort() override;

  QtSerialPort(const QtSerialPort&) = delete;
  QtSerialPort& operator=(const QtSerialPort&) = delete;

  PortOpenResult open(int portNumber) override;
  void close() override;
  bool isOpen() const override;
  bool write(std::string_view bytes) override;
  void discardOutput() override;
  std::string lastOpenError() const override;
  std::string portName(int portNumber) const override;

  // Called once per received byte, in arrival order.
  void setByteHandler(std::function<void(std::uint8_t)> handler);
  // Called once per open when the device goes away; the port is already
  // closed when it runs.
  void setLostHandler(std::function<void()> handler);

  // Takes effect at the next open.
  void setPortMap(PortMap portMap);
  const PortMap& portMap() const { return portMap_; }

  // The device path of the open port as the user knows it (the ports-folder
  // entry or the /dev node); empty when no port is open.
  QString currentPath() const;
  // The number of the open port; 0 when no port is open.
  int currentPort() const { return currentPort_; }

 private:
  void onReadyRead();
  void onErrorOccurred(QSerialPort::SerialPortError error);
  PortOpenResult fail(PortOpenResult result, std::string message);

  PortMap portMap_;
  QSerialPort port_;
  std::function<void(std::uint8_t)> byteHandler_;
  std::function<void()> lostHandler_;
  std::string lastOpenError_;
  std::filesystem::path currentPath_;
  int currentPort_ = 0;
  // Counts opens and closes, so that a handler that closes or reopens the
  // port stops the delivery of a chunk read from the previous open.
  unsigned generation_ = 0;
  // Set while this object closes the port itself: errors raised by the close
  // are not a lost device.
  bool closing_ = false;
};

}  // namespace oxalis
