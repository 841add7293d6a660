#pragma once
// The factory window `HyperUser` as data. It exists from start-up on, hidden;
// the link's diagnostics reach it only while it is visible.
#include <array>
#include <cstdint>
#include <string>

#include "util/Notifier.h"

namespace oxalis {

struct FactoryModel {
  bool visible = false;

  // Link log box, and whether lines are added to it (its Start/Stop).
  std::string W_Log = "Log window\r\n";
  bool logRunning = true;
  // Characters ever appended to W_Log, and how often "Clear" replaced it:
  // a view shows only the new tail instead of the whole text again.
  std::uint64_t logWritten = 0;
  std::uint32_t logResets = 0;

  // Debug mirrors and the transmit buffer level in percent.
  std::string DEBUG_TX;
  std::string DEBUG_RX;
  int BufferLevel = 0;

  // Error indications ticked by the link: "Chksum", "Blank", "Verify",
  // "OverRun" and "Perte de trame" (a measurement record lost; shown for one
  // refresh tick).
  bool checksumError = false;
  bool blankError = false;
  bool verifyError = false;
  bool overrun = false;
  bool frameLost = false;
  // Beside it, the measurement records missing from the sequence since
  // start-up, counted one per missing record: "4 lost frames".
  std::string lostFramesText = "0 lost frames";
  static constexpr const char* kLostFramesTooltip = "Measurement records missing from the sequence since start-up";

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

  // "Send Tprop et Tint" and its boxes: lambda controllers only. The
  // display's thresholds share their offsets, so they are typed on the
  // display alone.
  bool sendTpropEnabled = true;
  bool displayThresholdsEnabled = false;

  // Calibration. Each offset box has its scroll bar, which holds the
  // negated value so that moving the thumb up raises it; the accepted value
  // is what a send writes and what a bad entry falls back to.
  struct Calibration {
    std::string text;   // the box
    int scroll = 0;     // the bar's position, -value
    int accepted = 0;
  };
  Calibration OffsetVgnd{"", 0, 0};
  Calibration OffsetVs{"", 0, 0};
  Calibration VDD{"", 0, 0};
  std::string W_Tprop, W_Tint;                 // lambda controllers
  int acceptedTprop = 0, acceptedTint = 0;
  std::string SeuilG, SeuilD, SIteration;      // the display
  std::string Set_Time = "0000:00:00";         // "hhhh:mm:ss"
  std::string WDT_CNT;                         // the watchdog counter read at 0x3E

  void clearErrorTicks() { checksumError = blankError = verifyError = overrun = false; }

  Notifier changed;
};

}  // namespace oxalis
