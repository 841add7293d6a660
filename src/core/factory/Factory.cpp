#include "factory/Factory.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "config/ProbeTime.h"
#include "link/Requests.h"
#include "util/NumberFormat.h"

namespace oxalis {

namespace {

struct CalibrationRule {
  std::uint8_t offset;
  int low, high;
  std::uint8_t reloadGroup;  // 0: no reload
};
constexpr std::array<CalibrationRule, 3> kCalibration{{{0x34, 1, 4095, 1}, {0x36, 1, 4095, 2}, {0x38, 4901, 5099, 0}}};
constexpr int kOffsetOverflow = 4095;
constexpr int kVddOverflow = 5100;
constexpr std::uint8_t kTprop = 0x28, kSeuilD = 0x29, kTint = 0x2A, kWatchdog = 0x3E;
constexpr std::uint8_t kIdentityBlock = 0x04;
constexpr std::uint8_t kProbeTime = 0x44;
constexpr std::uint8_t kReloadTime = 4;
constexpr int kLoopLimit = 250;

const CalibrationRule& rule(CalibrationBox box) { return kCalibration[static_cast<std::size_t>(box)]; }

int rounded(std::string_view text) { return static_cast<int>(std::lround(ReadLeadingNumber(text))); }

std::string chars(std::initializer_list<int> bytes) {
  std::string out;
  for (int b : bytes) out.push_back(static_cast<char>(b & 0xFF));
  return out;
}

}  // namespace

FactoryModel::Calibration& Factory::calibration(CalibrationBox box) {
  switch (box) {
    case CalibrationBox::Vgnd: return w_.OffsetVgnd;
    case CalibrationBox::Vs: return w_.OffsetVs;
    case CalibrationBox::Vdd: break;
  }
  return w_.VDD;
}

void Factory::calibrationEdited(CalibrationBox box, std::string_view text) { calibration(box).text = std::string(text); }

// Enter, or leaving the box: a value in range is taken (and the bar
// follows), anything else brings the last accepted value back.
void Factory::calibrationEntered(CalibrationBox box) {
  FactoryModel::Calibration& c = calibration(box);
  const int value = rounded(c.text);
  if (value >= rule(box).low && value <= rule(box).high) c.accepted = value;
  c.text = std::to_string(c.accepted);
  c.scroll = -c.accepted;
  notify();
}

void Factory::calibrationScrolled(CalibrationBox box, int position) {
  FactoryModel::Calibration& c = calibration(box);
  const int value = std::clamp(std::abs(position), rule(box).low, rule(box).high);
  c.accepted = value;
  c.scroll = -value;
  c.text = std::to_string(value);
  notify();
}

void Factory::calibrationDoubleClick(CalibrationBox box) { host_.send({records::ReadParams(rule(box).offset, 2)}); }

void Factory::tpropEntered(std::string_view text) {
  const int value = rounded(text);
  if (value >= 1 && value <= kLoopLimit) w_.acceptedTprop = value;
  w_.W_Tprop = std::to_string(w_.acceptedTprop);
  notify();
}

void Factory::tintEntered(std::string_view text) {
  const int value = rounded(text);
  if (value >= 1 && value <= kLoopLimit - 1) w_.acceptedTint = value;
  w_.W_Tint = std::to_string(w_.acceptedTint);
  notify();
}

void Factory::sendCalibration(CalibrationBox box) {
  const CalibrationRule& r = rule(box);
  const int value = calibration(box).accepted;
  std::vector<std::string> out{records::kEepromArea, records::WriteParams(r.offset, chars({value >> 8, value})),
                               records::ReadParams(r.offset, 2)};
  if (r.reloadGroup != 0) out.push_back(records::ReloadRequest(r.reloadGroup));
  host_.send(std::move(out));
}

void Factory::SendTprop_Click() {
  host_.send({records::kEepromArea, records::WriteParams(kTprop, chars({w_.acceptedTprop})),
              records::WriteParams(kTint, chars({w_.acceptedTint})), records::ReadParams(kTprop, 1),
              records::ReadParams(kTint, 1)});
}

void Factory::sendByte(std::uint8_t offset, const std::string& text) {
  const int value = std::clamp(rounded(text), 0, 255);
  host_.send({records::kEepromArea, records::WriteParams(offset, chars({value})), records::ReadParams(offset, 1)});
}

void Factory::Send_Time_Click() {
  const std::optional<std::uint32_t> hundredths = ParseProbeTime(w_.Set_Time);
  if (!hundredths) {
    dialogs_.message("Invalid time format(hhhhh:mm:ss)", "ERROR", MessageIcon::Warning);
    return;
  }
  const auto bytes = ProbeTimeBytes(*hundredths);
  host_.send({records::kEepromArea, records::WriteParams(kProbeTime, std::string(bytes.begin(), bytes.end())),
              records::ReloadRequest(kReloadTime), records::ReadParams(kProbeTime, 4)});
}

// A version box as the module type stores it: tenths in one byte on the
// first-generation controller (1.2 is 12, shown 1.2), the number itself on
// the others (12, shown 12).
std::string Factory::versionByte(std::string& box, bool tenths) {
  const double typed = ReadLeadingNumber(box);
  const int value = std::clamp(static_cast<int>(std::lround(tenths ? typed * 10 : typed)), 0, 255);
  box = tenths ? std::to_string(value / 10) + "." + std::to_string(value % 10) : std::to_string(value);
  return chars({value});
}

void Factory::SendIdentity_Click() {
  const std::string code = host_.deviceCode();
  const long serial = std::lround(ReadLeadingNumber(w_.W_SN));
  if (serial < 0 || serial > 65535) return;
  std::string block = chars({static_cast<int>(serial >> 8), static_cast<int>(serial)});
  if (code == "QTX") {
    // The board variant bytes are not typed here: the boxes are sent as read.
    for (const std::string* box : {&w_.W_HW, &w_.W_RHW, &w_.W_SW, &w_.W_RSW}) block += chars({rounded(*box)});
  } else if (code == "OXL") {
    block += versionByte(w_.W_HW, true) + chars({0}) + versionByte(w_.W_SW, true);
  } else {
    block += versionByte(w_.W_HW, false);
    block += versionByte(w_.W_RHW, false);
    block += versionByte(w_.W_SW, false);
    block += versionByte(w_.W_RSW, false);
  }
  std::vector<std::string> out;
  if (host_.portOpen()) out.push_back(records::kEepromArea);
  out.push_back(records::kEepromArea);
  out.push_back(records::WriteParams(kIdentityBlock, block));
  host_.send(std::move(out));
  host_.identify();
  notify();
}

void Factory::READ_ALL_Click() {
  host_.identify();
  host_.send({records::ReadParams(kTprop, 1), records::ReadParams(kTprop, 1), records::ReadParams(kTint, 1),
              records::ReadParams(kSeuilD, 1), records::ReadParams(kTint, 1), records::ReadParams(0x34, 2),
              records::ReadParams(0x36, 2), records::ReadParams(0x38, 2), records::ReadParams(kProbeTime, 4),
              records::ReadParams(kWatchdog, 1)});
}

void Factory::Exit_Click() {
  w_.visible = false;
  notify();
}

void Factory::LogStart_Click() {
  w_.logRunning = true;
  notify();
}

void Factory::LogStop_Click() {
  w_.logRunning = false;
  notify();
}

void Factory::LogClear_Click() {
  w_.W_Log = "new";
  ++w_.logResets;
  notify();
}

void Factory::decodeValue(std::uint8_t offset, double value) {
  if (!w_.visible) return;
  const int n = static_cast<int>(std::lround(value));
  const bool display = host_.deviceCode() == "PNU";
  const auto showCalibration = [&](CalibrationBox box, int overflow) {
    FactoryModel::Calibration& c = calibration(box);
    if (n > overflow) {
      // What the module holds does not fit the box: said, and the last
      // value that does stays the one a send writes.
      c.text = "Overflow";
      if (box != CalibrationBox::Vdd) {
        c.accepted = overflow;
        c.scroll = -overflow;
      }
      return;
    }
    c.text = std::to_string(n);
    c.scroll = -n;
    c.accepted = n;
  };
  switch (offset) {
    case 0x34: showCalibration(CalibrationBox::Vgnd, kOffsetOverflow); break;
    case 0x36: showCalibration(CalibrationBox::Vs, kOffsetOverflow); break;
    case 0x38: showCalibration(CalibrationBox::Vdd, kVddOverflow); break;
    case kTprop:
      if (display) {
        w_.SeuilG = std::to_string(n);
      } else {
        w_.W_Tprop = std::to_string(std::min(n, kLoopLimit));
        w_.acceptedTprop = std::min(n, kLoopLimit);
      }
      break;
    case kSeuilD:
      if (display) w_.SeuilD = std::to_string(n);
      break;
    case kTint:
      if (display) {
        w_.SIteration = std::to_string(n);
      } else {
        w_.W_Tint = std::to_string(std::min(n, kLoopLimit));
        w_.acceptedTint = std::min(n, kLoopLimit);
      }
      break;
    case kWatchdog: w_.WDT_CNT = std::to_string(n); break;
    default: return;
  }
  notify();
}

}  // namespace oxalis
