#pragma once
// A scriptable serial port for core tests.
//  - Ports open with Ok unless scripted otherwise with setOpenResult(n, r).
//  - Every successful write is recorded in `written` (all bytes, in order)
//    and in `writes` (one entry per call).
//  - failWrites = true makes writes fail (adapter unplugged).
//  - opened records every port number that was opened.
#include <map>
#include <utility>
#include <string>
#include <vector>

#include "platform/SerialPort.h"

namespace oxalis::test {

class FakeSerialPort : public SerialPort {
 public:
  PortOpenResult open(int portNumber) override {
    close();
    openAttempts.push_back(portNumber);
    const auto it = openResults.find(portNumber);
    const PortOpenResult result = it == openResults.end() ? PortOpenResult::Ok : it->second;
    if (result == PortOpenResult::Ok) {
      openPort = portNumber;
      opened.push_back(portNumber);
    }
    return result;
  }
  void close() override { openPort = 0; }
  bool isOpen() const override { return openPort != 0; }
  bool write(std::string_view bytes) override {
    if (!isOpen() || failWrites) return false;
    written.append(bytes);
    writes.emplace_back(bytes);
    return true;
  }
  void discardOutput() override { ++discards; }
  std::string lastOpenError() const override { return "fake port cannot be opened"; }

  void setOpenResult(int portNumber, PortOpenResult result) { openResults[portNumber] = result; }
  // Takes and clears what was written so far.
  std::string take() {
    writes.clear();
    return std::exchange(written, {});
  }

  int openPort = 0;
  bool failWrites = false;
  int discards = 0;
  std::string written;
  std::vector<std::string> writes;
  std::vector<int> openAttempts;
  std::vector<int> opened;
  std::map<int, PortOpenResult> openResults;
};

}  // namespace oxalis::test
