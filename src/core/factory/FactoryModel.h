#pragma once
// The factory window `HyperUser` as data. It exists from start-up on, hidden;
// the link code writes its debug fields only while it is visible.
#include <array>
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

  // Diagnostic mirrors of the refresh tick.
  std::string W_DIAG;
  std::string CNTErrCAN;
  // CAN controller error flags, bit 0..5: " Warning", "RX Warn (>95)",
  // "TX Warn (>95)", "RX Passive (>127)", "TX Passive (>127)", "TX Bus Off (>255)".
  std::array<bool, 6> DiagCan{};

  // "Send Tprop et Tint": lambda controllers only.
  bool sendTpropEnabled = true;

  void clearErrorTicks() { Chksum = Blank = Verify = OverRun = false; }

  Notifier changed;
};

}  // namespace oxalis
