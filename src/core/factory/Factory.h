#pragma once
// The factory window's calibration and identity: the entry rules of its
// boxes, the records each of its buttons sends (every write is followed by
// a read-back of the same offset, so that the box then shows what the
// module holds) and the decoding of those read-backs.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "factory/FactoryModel.h"
#include "platform/Dialogs.h"

namespace oxalis {

class FactoryHost {
 public:
  virtual ~FactoryHost() = default;
  virtual std::string deviceCode() const = 0;
  virtual bool portOpen() const = 0;
  // Records for the module, in order.
  virtual void send(std::vector<std::string> records) = 0;
  // The identification request with its follow-up reads.
  virtual void identify() = 0;
};

// The three boxes with a scroll bar.
enum class CalibrationBox { Vgnd, Vs, Vdd };

class Factory {
 public:
  Factory(FactoryModel& model, FactoryHost& host, Dialogs& dialogs) : w_(model), host_(host), dialogs_(dialogs) {}

  // A box's text changed, Enter or leaving it: the rule of its range.
  void calibrationEdited(CalibrationBox box, std::string_view text);
  void calibrationEntered(CalibrationBox box);
  // The scroll bar moved to `position` (the negated value).
  void calibrationScrolled(CalibrationBox box, int position);
  // A double click on a box asks the module for its value.
  void calibrationDoubleClick(CalibrationBox box);
  void tpropEntered(std::string_view text);
  void tintEntered(std::string_view text);

  // The buttons.
  void SendVgnd_Click() { sendCalibration(CalibrationBox::Vgnd); }
  void SendVs_Click() { sendCalibration(CalibrationBox::Vs); }
  void SendVDD_Click() { sendCalibration(CalibrationBox::Vdd); }
  void SendTprop_Click();
  void SeuilG_RightClick() { sendByte(0x28, w_.SeuilG); }
  void SeuilD_RightClick() { sendByte(0x29, w_.SeuilD); }
  void SIteration_RightClick() { sendByte(0x2A, w_.SIteration); }
  void SendUserLevel_Click() { sendByte(0x0A, w_.W_Userlevel); }
  void Send_Time_Click();
  void SendIdentity_Click();
  void READ_ALL_Click();
  void LogStart_Click();
  void LogStop_Click();
  void LogClear_Click();
  // "&Exit" and the close box: the window goes, and with it the link's
  // mirrors into it, until the Master level is chosen again.
  void Exit_Click();

  // A value the module sent for an offset this window shows.
  void decodeValue(std::uint8_t offset, double value);

 private:
  FactoryModel::Calibration& calibration(CalibrationBox box);
  void sendCalibration(CalibrationBox box);
  void sendByte(std::uint8_t offset, const std::string& text);
  std::string versionByte(std::string& box, bool tenths);
  void notify() { w_.changed.notify(); }

  FactoryModel& w_;
  FactoryHost& host_;
  Dialogs& dialogs_;
};

}  // namespace oxalis
