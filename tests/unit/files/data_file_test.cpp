// The data file (.DA1): layout, round trip, the older A/F layout, the ring
// edges and damaged input.
#include "files/DataFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>

#include "CoreFixture.h"
#include "RecordedTrace.h"
#include "TempFolder.h"
#include "util/TextLines.h"
#include "config/ChannelLine.h"
#include "app/Persistence.h"

namespace oxalis {
namespace {

constexpr std::int32_t kRing = TraceBuffer::kRingSize;

// Sample number n of a recording, every field telling n apart.
TraceSample sampleNumber(std::int32_t n) {
  TraceSample s{static_cast<std::int16_t>(n % 5000 - 100), static_cast<std::int16_t>(700 + n % 1000), -n, 1000 + n,
                1457 + n % 77, static_cast<std::int16_t>(n % 1000), static_cast<std::int16_t>(-(n % 450)),
                static_cast<std::uint8_t>(n % 256), {}};
  s.channel = {n, -n, n * 3, std::numeric_limits<std::int32_t>::min() + n, std::numeric_limits<std::int32_t>::max() - n};
  return s;
}

// Appends samples 0..count-1 as a recording does.
void record(TraceBuffer& trace, std::int32_t count) { test::recordSamples(trace, count, sampleNumber); }

// Views into the content, which must outlive them.
std::vector<std::string_view> sampleLines(std::string&&) = delete;
std::vector<std::string_view> sampleLines(const std::string& content) {
  std::vector<std::string_view> lines = SplitLines(content);
  const auto data = std::find(lines.begin(), lines.end(), "DATA");
  return {data == lines.end() ? lines.end() : data + 1, lines.end()};
}

std::string_view field(std::string_view line, std::size_t index) {
  std::string_view f[14];
  SplitFields(line, f);
  return f[index];
}

// The whole file for the tool's module, channels, ticks and samples.
std::string formatted(const Core& core) { return FormatDataFile(currentDataFileHeader(core), core.trace.buffer); }

// Reads the content as opening it in the window does: a data file is taken
// over by the tool, anything else changes nothing.
DataFileRead load(Core& core, std::string_view content) {
  DataFileRead read = ParseDataFile(content, UserChannels(core.channels));
  if (read.status == DataFileRead::Status::Ok) applyDataFile(core, std::move(read));
  return read;
}

class DataFileTest : public ::testing::Test, public test::CoreFixture {
 protected:
  void SetUp() override { core.start(); }
  static std::string file(bool olderLayout, std::string_view samples) {
    return std::string("www.Korvane.com : Data file\r\nCONFIG\r\nName;Vout;Richness;O2;Lambda;") +
           (olderLayout ? "A/F" : "AFR") + ";TProbe;Vs;Diag;a;b;c;d;e\r\nDATA\r\n" + std::string(samples);
  }
  test::TempFolder folder;
};

TEST_F(DataFileTest, HeaderIsLaidOutAsTheOldToolWroteIt) {
  core.link.state.identity.serialNumber = 1234;
  core.monitor.livePanel.showCanal = {true, false, false, true, false};
  clock.time = DateTime{2026, 3, 7, 9, 5, 0};
  record(core.trace.buffer, 2);
  const std::string content = formatted(core);
  const std::vector<std::string_view> expected{
      "www.Korvane.com : Data file from Oxalis N\xBA" "1234 created: 07/03/2026",
      "CONFIG",
      "Name;Vout;Richness;O2;Lambda;AFR;TProbe;Vs;Diag;CAN1;CAN2;CAN3;CAN4;Vin",
      "ID;x;x;x;x;x;x;x;x;0x100;0x101;0x102;0x103;0x000",
      "MSB;x;x;x;x;x;x;x;x;1;1;1;1;1",
      "LSB;x;x;x;x;x;x;x;x;2;2;2;2;2",
      "A;x;x;x;x;x;x;x;x;1;1;1;1;1",
      "B;x;x;x;x;x;x;x;x;0;0;0;0;0",
      "C;x;x;x;x;x;x;x;x;0;0;0;0;0",
      "D;x;x;x;x;x;x;x;x;1;1;1;1;1",
      "Decimal;x;x;x;x;x;x;x;x;0;0;0;0;0",
      "Smin;x;x;x;x;x;x;x;x;0;0;0;0;-100",
      "Smax;x;x;x;x;x;x;x;x;5000;5000;5000;5000;5100",
      "Unit;mV;x;%;Lambda;A/F;TProbe;mV;x;mV;mV;mV;mV;mV",
      "Color;x;x;x;x;x;x;x;x;255;16776960;65535;65280;16777215",
      "Show;x;x;x;x;x;x;x;x;1;0;0;1;0",
      "DATA",
      "0;-100;700;0;1000;1457;0;0;0;0;0;0;-2147483648;2147483647",
      "1;-99;701;-1;1001;1458;1;-1;1;1;-1;3;-2147483647;2147483646",
  };
  EXPECT_EQ(SplitLines(content), expected);
  EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), 19);
  EXPECT_EQ(std::count(content.begin(), content.end(), '\r'), 19);  // every line ends CR LF

  core.link.state.identity.deviceCode = "PNU";
  const std::string panora = formatted(core);
  EXPECT_EQ(panora.substr(0, panora.find(" created")), "www.Korvane.com : Data file from Panora N\xBA" "1234");
}

TEST_F(DataFileTest, WrittenAndReadBackGivesTheSameChannelsAndSamples) {
  for (int k = 1; k <= 5; ++k) {
    const std::string n = std::to_string(k);
    ParseChannelLine(core.channels.slot(k), "Press " + n + ";0x18FEF10" + n + ";" + n + ";7;0.125;-40.5;0.0000001;32767;" +
                                                n + ";-0." + n + ";2500.75;" + (k == 3 ? "\xC2\xBA" "C" : "kPa") +
                                                ";1125" + n + ";" + (k % 2 ? "YES" : "NO"));
    core.monitor.livePanel.showCanal[static_cast<std::size_t>(k - 1)] = k % 2 == 1;
  }
  record(core.trace.buffer, 1500);
  ASSERT_TRUE(saveDataFile(core, folder / "run.DA1").ok);
  const std::string bytes = test::ReadBytes(folder / "run.DA1");
  EXPECT_NE(bytes.find(";kPa;\xBA" "C;kPa;"), std::string::npos);  // "ºC" is the byte 0xBA on disk
  EXPECT_EQ(bytes.find('\xC2'), std::string::npos);

  test::CoreFixture fresh;
  fresh.core.start();
  FileResult opened;
  DataFileRead read = ReadDataFile(folder / "run.DA1", UserChannels(fresh.core.channels), opened);
  ASSERT_TRUE(opened.ok) << opened.error;
  ASSERT_EQ(read.status, DataFileRead::Status::Ok);
  EXPECT_EQ(read.linesRead, 1500u);
  applyDataFile(fresh.core, std::move(read));
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(fresh.core.channels.slot(k), core.channels.slot(k)) << "slot " << k;
  EXPECT_EQ(fresh.core.monitor.livePanel.showCanal, core.monitor.livePanel.showCanal);
  EXPECT_EQ(fresh.core.monitor.livePanel.cells[15].label, "Press 3");  // labels follow the file
  EXPECT_EQ(fresh.core.trace.buffer.traceRing, core.trace.buffer.traceRing);
  const TraceBuffer& t = fresh.core.trace.buffer;
  EXPECT_EQ(std::vector<std::int32_t>({t.sampleCount, t.writeIndex, t.viewStart, t.viewEnd}),
            std::vector<std::int32_t>({1500, 1500, 0, 1500}));
  EXPECT_FALSE(fresh.core.state.afrTenfold);
}

TEST_F(DataFileTest, WrappedRingSavesExactly65000SamplesOldestFirst) {
  record(core.trace.buffer, kRing + 1234);
  const std::string content = formatted(core);
  const auto lines = sampleLines(content);
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kRing));
  // The oldest kept sample is number 1234 in slot 1234; the first field is the slot.
  EXPECT_EQ(field(lines.front(), 0), "1234");
  EXPECT_EQ(field(lines.front(), 9), "1234");
  EXPECT_EQ(field(lines[kRing - 1234], 0), "0");
  EXPECT_EQ(field(lines[kRing - 1234], 9), "65000");
  EXPECT_EQ(field(lines.back(), 9), "66233");

  // Read back: recording order; and those exactly 65000 samples, which fill
  // the ring without wrapping it, are all saved again.
  test::CoreFixture fresh;
  load(fresh.core, content);
  for (std::int32_t i = 0; i < kRing; i += 997) ASSERT_EQ(fresh.core.trace.buffer.at(i), sampleNumber(1234 + i)) << i;
  EXPECT_EQ(fresh.core.trace.buffer.writeIndex, 0);
  const std::string again = formatted(fresh.core);
  EXPECT_EQ(sampleLines(again).size(), static_cast<std::size_t>(kRing));
}

TEST_F(DataFileTest, MoreThan65000LinesKeepTheNewestAsARecordingWould) {
  std::string samples;
  constexpr int kLines = kRing + 500;
  for (int n = 0; n < kLines; ++n) samples += "0;1;2;3;4;5;6;7;8;" + std::to_string(n) + "\r\n";
  const DataFileRead read = load(core, file(false, samples));
  EXPECT_EQ(read.linesRead, static_cast<std::size_t>(kLines));
  EXPECT_EQ(read.linesDropped, 500u);

  const TraceBuffer& t = core.trace.buffer;
  EXPECT_TRUE(t.ringWrapped);
  EXPECT_EQ(std::vector<std::int32_t>({t.sampleCount, t.writeIndex, t.startIndex, t.viewStart, t.viewEnd}),
            std::vector<std::int32_t>({kLines, 500, 501, 500, kLines}));
  EXPECT_EQ(t.at(kLines - 1).channel[0], kLines - 1);

  const std::string saved = formatted(core);
  const auto lines = sampleLines(saved);
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kRing));
  EXPECT_EQ(field(lines.front(), 9), "500");
  EXPECT_EQ(field(lines.back(), 9), std::to_string(kLines - 1));
}

TEST_F(DataFileTest, OlderAirFuelLayoutIsScaledThenTheNextFileIsNot) {
  load(core, file(true, "0;0;0;0;0;147\r\n1;0;0;0;0;5000\r\n2;0;0;0;0;14.7\r\n3;0;0;0;0;-12\r\n"));
  EXPECT_TRUE(core.state.afrTenfold);
  EXPECT_EQ(core.trace.buffer.at(0).airFuel, 1470);
  EXPECT_EQ(core.trace.buffer.at(1).airFuel, 32760);  // limited to 3276 first
  EXPECT_EQ(core.trace.buffer.at(2).airFuel, 147);
  EXPECT_EQ(core.trace.buffer.at(3).airFuel, -120);

  load(core, file(false, "0;0;0;0;0;1470\r\n1;0;0;0;0;5000\r\n"));
  EXPECT_FALSE(core.state.afrTenfold);
  EXPECT_EQ(core.trace.buffer.at(0).airFuel, 1470);
  EXPECT_EQ(core.trace.buffer.at(1).airFuel, 5000);

  load(core, "Korvane\r\nDATA\r\n0;0;0;0;0;150\r\n");  // no "Name" line: the older layout
  EXPECT_EQ(core.trace.buffer.at(0).airFuel, 1500);
}

TEST_F(DataFileTest, EmptyDataSectionEmptiesTheBuffer) {
  record(core.trace.buffer, kRing + 10);
  EXPECT_EQ(load(core, file(false, "")).status, DataFileRead::Status::Ok);
  EXPECT_EQ(core.trace.buffer.sampleCount, 0);
  EXPECT_EQ(core.trace.buffer.writeIndex, 0);
  EXPECT_FALSE(core.trace.buffer.ringWrapped);  // so a later save writes no stale samples
  EXPECT_EQ(core.trace.buffer.traceRing, std::vector<TraceSample>(kRing));
}

TEST_F(DataFileTest, WrongOrUnreadableFileChangesNothing) {
  record(core.trace.buffer, 100);
  core.monitor.livePanel.showCanal = {false, true, false, false, false};
  core.state.afrTenfold = false;
  const ChannelTable channels = core.channels;
  const std::vector<TraceSample> ring = core.trace.buffer.traceRing;
  const auto unchanged = [&] {
    EXPECT_EQ(core.channels.entries, channels.entries);
    EXPECT_EQ(core.trace.buffer.traceRing, ring);
    EXPECT_EQ(core.trace.buffer.sampleCount, 100);
    EXPECT_TRUE(core.monitor.livePanel.showCanal[1]);
    EXPECT_FALSE(core.state.afrTenfold);
  };
  const char* notOurs[] = {
      "",
      "\r\nwww.Korvane.com\r\nDATA\r\n",          // the maker's name must be on line 1
      "www.korvane.com : Data file\r\nDATA\r\n",  // spelt as the maker spells it
      "www.other.com : Data file\r\nCONFIG\r\nName;Vout;Richness;O2;Lambda;A/F;TProbe;Vs;Diag;x\r\n"
      "Show;x;x;x;x;x;x;x;x;1;1;1;1;1\r\nDATA\r\n0;1;2;3;4;5;6;7;8;9;10;11;12;13\r\n",
  };
  for (const char* content : notOurs) {
    EXPECT_EQ(load(core, content).status, DataFileRead::Status::NotADataFile) << content;
    unchanged();
  }
  FileResult opened;
  EXPECT_EQ(ReadDataFile(folder / "absent.DA1", UserChannels(core.channels), opened).status,
            DataFileRead::Status::NotADataFile);
  EXPECT_FALSE(opened.ok);
  EXPECT_NE(opened.error.find("absent.DA1"), std::string::npos) << opened.error;
  unchanged();
}

TEST_F(DataFileTest, NumbersAreRoundedAndHeldWithinTheirFields) {
  load(core, "Korvane\nName;Vout;Richness;O2;Lambda;AFR;TProbe;Vs;Diag;Oil;Fuel\n"
             "MSB;x;x;x;x;x;x;x;x;300;-2;7.6\n"
             "Color;x;x;x;x;x;x;x;x;99999999999;-1;16711680\n"
             "Show;x;x;x;x;x;x;x;x;1;0;1\n"
             "DATA\n"
             "0;99999999999999999999999;-40000;12.5;13.5;7abc; 42;-1e9;300;2147483648;-2147483649;x;;1.5e3\n"
             "1;;;;;;;;-5\n");
  const ChannelTable& c = core.channels;
  EXPECT_EQ(c.slot(3).Name, "");     // missing fields read empty
  EXPECT_EQ(c.slot(1).ID, "0x100");  // no "ID" line: left as it was
  EXPECT_EQ((std::vector<int>{c.slot(1).MSB, c.slot(2).MSB, c.slot(3).MSB}), (std::vector<int>{255, 0, 8}));
  EXPECT_EQ(c.slot(1).Color, 0xFFFFFFFFu);
  EXPECT_EQ(core.monitor.livePanel.showCanal, (std::array<bool, 5>{true, false, true, false, false}));
  EXPECT_EQ(core.monitor.livePanel.cells[13].label, "Oil");

  const TraceSample& s = core.trace.buffer.at(0);
  EXPECT_EQ(s.vOutMv, 32767);
  EXPECT_EQ(s.richness, -32768);
  EXPECT_EQ(s.o2, 12);  // to the nearest even on a tie
  EXPECT_EQ(s.lambda, 14);
  EXPECT_EQ(s.airFuel, 7);  // the leading number only
  EXPECT_EQ(s.probeTempC, 42);
  EXPECT_EQ(s.vsMv, -1);
  EXPECT_EQ(s.diagFlags, 255);
  EXPECT_EQ(s.channel, (std::array<std::int32_t, 5>{2147483647, -2147483647 - 1, 0, 0, 2}));
  EXPECT_EQ(core.trace.buffer.at(1), TraceSample{});  // a short line reads zeros, a negative byte 0
}

TEST_F(DataFileTest, BlankLinesForeignLineEndsAndAMissingDataLineAreTolerated) {
  DataFileRead read = load(core, "Korvane\rName;Vout;Richness;O2;Lambda;AFR\rDATA\r0;1\r\r  \n1;2\n\n2;3");
  EXPECT_EQ(read.linesRead, 3u);
  EXPECT_EQ(core.trace.buffer.at(2).vOutMv, 3);  // the last line needs no line end

  read = load(core, "Korvane\r\nName;Vout;Richness;O2;Lambda;AFR;TProbe;Vs;Diag;P\r\n0;1;2\r\n");
  EXPECT_EQ(read.linesRead, 0u);  // the header only
  EXPECT_EQ(core.channels.slot(1).Name, "P");
  EXPECT_EQ(core.trace.buffer.sampleCount, 0);
}

TEST_F(DataFileTest, CutAndDamagedFilesNeverFail) {
  record(core.trace.buffer, 40);
  core.channels.slot(1).Unit = "\xC2\xBA" "C";
  const std::string whole = formatted(core);
  for (std::size_t cut = 0; cut <= whole.size(); cut += 7) {
    const DataFileRead read = ParseDataFile(std::string_view(whole).substr(0, cut), UserChannels(core.channels));
    ASSERT_LE(read.linesRead, 40u);
  }

  std::mt19937 random(20261208);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 300; ++round) {
    std::string noise = "Korvane";
    const int size = round * 13 % 3000;
    for (int i = 0; i < size; ++i) {
      // Mostly the characters that matter to the reader, some raw bytes.
      const int b = byte(random);
      noise += b < 200 ? ";;\r\n-.90"[b % 8] : static_cast<char>(b);
      if (i == size / 3) noise += "\r\nDATA\r\n";
    }
    const DataFileRead read = load(core, noise);
    ASSERT_EQ(read.status, DataFileRead::Status::Ok);
    ASSERT_EQ(core.trace.buffer.sampleCount, static_cast<std::int32_t>(read.linesRead));
  }
}

}  // namespace
}  // namespace oxalis
