#pragma once
// The factory window `HyperUser` as data. It exists from start-up on, hidden;
// the link code writes its debug fields only while it is visible.
#include <string>

#include "app/Notifier.h"

namespace oxalis {

struct FactoryModel {
  bool visible = false;

  // Link log box.
  std::string W_Log = "Log window\r\n";

  // Debug mirrors and the transmit buffer level in percent.
  std::string DEBUG_TX;
  std::string DEBUG_RX;
  int BufferLevel = 0;

  // Error indications ticked by the link.
  bool Chksum = false;
  bool Blank = false;
  bool Verify = false;
  bool OverRun = false;
  bool PerteDeTrame = false;

  // Identity and stored user level, as read from the module.
  std::string W_HW;
  std::string W_SW;
  std::string W_RHW;
  std::string W_RSW;
  std::string W_SN;
  std::string W_Userlevel;

  void clearErrorTicks() { Chksum = Blank = Verify = OverRun = false; }

  Notifier changed;
};

}  // namespace oxalis
