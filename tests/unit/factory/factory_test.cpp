// The factory window's calibration and identity: entry rules, the records
// each send queues, and the read-backs.
#include <gtest/gtest.h>

#include "FakeDialogs.h"
#include "factory/Factory.h"
#include "link/Requests.h"

namespace oxalis {
namespace {

struct FakeFactoryHost : FactoryHost {
  std::string deviceCode() const override { return code; }
  bool portOpen() const override { return true; }
  void send(std::vector<std::string> records) override { sent.insert(sent.end(), records.begin(), records.end()); }
  void identify() override { sent.push_back("identify"); }
  std::string code = "OX2";
  std::vector<std::string> sent;
};

class FactoryTest : public ::testing::Test {
 protected:
  FactoryTest() { model.visible = true; }
  FactoryModel model;
  FakeFactoryHost host;
  test::FakeDialogs dialogs;
  Factory factory{model, host, dialogs};
};

std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

TEST_F(FactoryTest, OffsetBoxesKeepTheirRangeAndTheBarFollows) {
  struct Case {
    CalibrationBox box;
    const char* typed;
    const char* shown;
    int scroll;
  };
  factory.calibrationEdited(CalibrationBox::Vgnd, "2000");
  factory.calibrationEntered(CalibrationBox::Vgnd);
  factory.calibrationScrolled(CalibrationBox::Vdd, -5000);
  for (const Case& c : {Case{CalibrationBox::Vgnd, "5000", "2000", -2000}, Case{CalibrationBox::Vgnd, "4095", "4095", -4095},
                        Case{CalibrationBox::Vgnd, "junk", "4095", -4095}, Case{CalibrationBox::Vdd, "4900", "5000", -5000},
                        Case{CalibrationBox::Vdd, "5099", "5099", -5099}}) {
    factory.calibrationEdited(c.box, c.typed);
    factory.calibrationEntered(c.box);
    const FactoryModel::Calibration& box = c.box == CalibrationBox::Vgnd ? model.OffsetVgnd : model.VDD;
    EXPECT_EQ(box.text, c.shown) << c.typed;
    EXPECT_EQ(box.scroll, c.scroll) << c.typed;
  }
}

TEST_F(FactoryTest, EachSendWritesThenReadsBack) {
  factory.calibrationScrolled(CalibrationBox::Vgnd, -1000);
  factory.SendVgnd_Click();
  EXPECT_EQ(host.sent, (std::vector<std::string>{records::kEepromArea, records::WriteParams(0x34, bytes({0x03, 0xE8})),
                                                 records::ReadParams(0x34, 2), records::ReloadRequest(1)}));
  host.sent.clear();
  model.Set_Time = "0001:00:00";
  factory.Send_Time_Click();
  EXPECT_EQ(host.sent[1], records::WriteParams(0x44, bytes({0x00, 0x05, 0x7E, 0x40})));
  EXPECT_EQ(host.sent[3], records::ReadParams(0x44, 4));
  host.sent.clear();
  model.Set_Time = "1:00:00";
  factory.Send_Time_Click();
  EXPECT_TRUE(host.sent.empty());
  EXPECT_EQ(dialogs.messages.back().text, "Invalid time format(hhhhh:mm:ss)");
}

TEST_F(FactoryTest, VersionsAreStoredAsTheModuleTypeWritesThem) {
  struct Case {
    const char* code;
    const char* typed;
    int stored;
    const char* shown;
  };
  for (const Case& c : {Case{"OXL", "1.2", 12, "1.2"}, Case{"PNU", "12", 12, "12"}, Case{"OX2", "3.4", 3, "3"}}) {
    host.code = c.code;
    host.sent.clear();
    model.W_SN = "4321";
    model.W_SW = c.typed;
    factory.SendIdentity_Click();
    const std::string& write = host.sent.at(2);
    // ":LLAAAATT", then SN high, SN low, HW, 0 or RHW, SW: the software
    // byte is the fifth data byte on every type.
    const std::size_t swByte = 9 + 2 * 4;
    EXPECT_EQ(std::stoi(write.substr(swByte, 2), nullptr, 16), c.stored) << c.code;
    EXPECT_EQ(write.substr(9, 4), "10E1");  // 4321
    EXPECT_EQ(model.W_SW, c.shown) << c.code;
    EXPECT_EQ(host.sent.back(), "identify");
  }
}

TEST_F(FactoryTest, ReadBacksShowWhatTheModuleHolds) {
  factory.decodeValue(0x28, 300);
  EXPECT_EQ(model.W_Tprop, "250");
  factory.decodeValue(0x34, 5000);
  EXPECT_EQ(model.OffsetVgnd.text, "Overflow");
  EXPECT_EQ(model.OffsetVgnd.scroll, -4095);
  factory.decodeValue(0x3E, 7);
  EXPECT_EQ(model.WDT_CNT, "7");
  host.code = "PNU";
  factory.decodeValue(0x28, 300);
  EXPECT_EQ(model.SeuilG, "300");
  model.visible = false;
  factory.decodeValue(0x3E, 9);
  EXPECT_EQ(model.WDT_CNT, "7");
}

}  // namespace
}  // namespace oxalis
