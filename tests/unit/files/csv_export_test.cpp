// CSV export of the trace: header from the channel slots, physical units,
// ring order, quoting, and the file on disk.
#include "files/CsvExport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "CoreFixture.h"
#include "RecordedTrace.h"
#include "TempFolder.h"
#include "files/DataFile.h"
#include "util/TextLines.h"
#include "config/ChannelLine.h"
#include "app/Persistence.h"
#include "trace/Trace.h"

namespace oxalis {
namespace {

constexpr std::int32_t kRing = TraceBuffer::kRingSize;
using Row = std::vector<std::string>;

// Reads the text as a spreadsheet would: quoted fields may hold separators,
// doubled quotes and line breaks; rows end with CR LF. A bare CR or LF
// outside quotes, or a quote inside an unquoted field, fails the test.
std::vector<Row> ParseCsv(const std::string& text) {
  std::vector<Row> rows(1, Row(1));
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    std::string& field = rows.back().back();
    if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
      field += '"';
      ++i;
    } else if (c == '"') {
      EXPECT_TRUE(quoted || field.empty()) << "quote inside an unquoted field at " << i;
      quoted = !quoted;
    } else if (quoted || (c != ',' && c != '\r')) {
      EXPECT_TRUE(quoted || c != '\n') << "bare LF at " << i;
      field += c;
    } else if (c == ',') {
      rows.back().emplace_back();
    } else {
      EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare CR at " << i;
      ++i;
      rows.emplace_back(1);
    }
  }
  EXPECT_FALSE(quoted) << "unterminated quote";
  EXPECT_EQ(rows.back(), Row(1)) << "the last row has no line end";
  rows.pop_back();
  return rows;
}

// Sample number n of a recording, the fields telling n apart.
TraceSample sampleNumber(std::int32_t n) {
  TraceSample s;
  s.vOutMv = static_cast<std::int16_t>(n % 30000);
  s.richness = static_cast<std::int16_t>(n % 1800);
  s.o2 = n % 3000 - 1500;
  s.lambda = 1000 + n;
  s.diagFlags = static_cast<std::uint8_t>(n % 256);
  s.channel = {n, -n, n * 3, 7, -7};
  return s;
}

// Appends samples 0..count-1 as a recording does.
void record(TraceBuffer& trace, std::int32_t count) { test::recordSamples(trace, count, sampleNumber); }

class CsvExportTest : public ::testing::Test, public test::CoreFixture {
 protected:
  void SetUp() override { LoadDefaultChannels(core.channels); }

  // The export of the tool's user channels and trace.
  std::string csv() const { return FormatCsv(UserChannels(core.channels), core.trace.buffer); }

  Row header() {
    const std::vector<Row> rows = ParseCsv(csv());
    EXPECT_EQ(rows.size(), 1u);
    return rows.empty() ? Row{} : rows[0];
  }
  Row userChannelHeaders() {
    const Row all = header();
    return all.size() == 14 ? Row(all.begin() + 9, all.end()) : all;
  }
  // The one data row of a trace holding only `s`.
  Row onlyRow(const TraceSample& s) {
    core.trace.buffer.at(0) = s;
    core.trace.buffer.sampleCount = 1;
    core.trace.buffer.writeIndex = 1;
    const std::vector<Row> rows = ParseCsv(csv());
    EXPECT_EQ(rows.size(), 2u);
    return rows.size() == 2 ? rows[1] : Row{};
  }
};

// ---- header ----

TEST_F(CsvExportTest, HeaderNamesTheQuantitiesWithUnitsAndTheUserChannelsFromTheirSlots) {
  EXPECT_EQ(header(), (Row{"time_s", "Vout (mV)", "Richness", "Lambda", "O2 (%)", "A/F", "TProbe (\xC2\xB0" "C)",
                           "Vs (mV)", "Diag", "CAN1 (mV)", "CAN2 (mV)", "CAN3 (mV)", "CAN4 (mV)", "Vin (mV)"}));

  ParseChannelLine(core.channels.slot(1), "Boost;0x100;1;2;1;0;0;1;1;0;300;kPa;255;YES");
  ParseChannelLine(core.channels.slot(2), "RPM;0x101;1;2;1;0;0;1;0;0;8000;;255;NO");  // no unit
  ParseChannelLine(core.channels.slot(3), ";0x102;1;2;1;0;0;1;0;0;5000;mV;255;NO");   // no name
  ParseChannelLine(core.channels.slot(5), "Oil;0x000;1;2;1;0;0;1;0;0;150;\xC2\xBA" "C;255;NO");
  EXPECT_EQ(userChannelHeaders(), (Row{"Boost (kPa)", "RPM", "Channel 3 (mV)", "CAN4 (mV)", "Oil (\xC2\xBA" "C)"}));
}

TEST_F(CsvExportTest, ChannelNamesAreQuotedDisarmedAndKeptUtf8) {
  // Separators, quotes and line breaks are quoted; a name a spreadsheet
  // would run as a formula is kept as text; a stray byte is repaired.
  core.channels.slot(1).Name = "Temp, inlet";
  core.channels.slot(2).Name = "Cyl \"4\"";
  core.channels.slot(2).Unit = "";
  core.channels.slot(3).Name = "two\r\nlines";
  core.channels.slot(4).Name = "=HYPERLINK(\"x\")";
  core.channels.slot(5).Name = "T\xBA";
  EXPECT_NE(csv().find(",\"Temp, inlet (mV)\",\"Cyl \"\"4\"\"\",\"two\r\nlines (mV)\","),
            std::string::npos);
  EXPECT_EQ(userChannelHeaders(), (Row{"Temp, inlet (mV)", "Cyl \"4\"", "two\r\nlines (mV)",
                                       "'=HYPERLINK(\"x\") (mV)", "T\xEF\xBF\xBD (mV)"}));

  for (const char* name : {"+12V", "-", "@sum"}) {
    core.channels.slot(1).Name = name;
    EXPECT_EQ(userChannelHeaders()[0], std::string("'") + name + " (mV)");
  }
  core.channels.slot(1).Name = "a=b";  // only the first character matters
  EXPECT_EQ(userChannelHeaders()[0], "a=b (mV)");
}

// ---- values ----

TEST_F(CsvExportTest, EveryQuantityIsInPhysicalUnitsWithItsDecimals) {
  for (int k = 1; k <= 5; ++k) core.channels.slot(k).Dec = static_cast<std::uint8_t>(k - 1);  // 0..4
  TraceSample s{2500, 998, 2093, 1002, 1457, 780, 450, 0x81, {-12, 12345, -5, 1, 123456789}};
  EXPECT_EQ(onlyRow(s), (Row{"0", "2500", "0.998", "1.002", "20.93", "14.57", "780", "450", "129", "-12", "1234.5",
                             "-0.05", "0.001", "12345.6789"}));

  // Below zero (a lean mixture reads a negative O2) and at the ends of the
  // stored ranges, sign and digits stay exact.
  s = TraceSample{std::numeric_limits<std::int16_t>::min(), -1, -5, -1000, 0, -40, -450, 0,
                  {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), 0, 0, 0}};
  core.channels.slot(1).Dec = 2;
  core.channels.slot(2).Dec = 3;
  EXPECT_EQ(onlyRow(s), (Row{"0", "-32768", "-0.001", "-1.000", "-0.05", "0.00", "-40", "-450", "0", "-21474836.48",
                             "2147483.647", "0.00", "0.000", "0.0000"}));
  s.o2 = -1500;
  EXPECT_EQ(onlyRow(s)[4], "-15.00");
}

TEST_F(CsvExportTest, TimeCountsTwentyMillisecondsPerRowFromTheFirstRow) {
  record(core.trace.buffer, 151);
  const std::vector<Row> rows = ParseCsv(csv());
  ASSERT_EQ(rows.size(), 152u);
  for (const auto& [row, time] : std::vector<std::pair<std::size_t, std::string>>{
           {0, "0"}, {1, "0.02"}, {3, "0.06"}, {49, "0.98"}, {50, "1"}, {51, "1.02"}, {150, "3"}})
    EXPECT_EQ(rows[row + 1][0], time) << row;
}

// ---- ring order ----

TEST_F(CsvExportTest, WrappedRingExportsItsSixtyFiveThousandSamplesOldestFirstAsTheDataFileDoes) {
  record(core.trace.buffer, kRing + 123);
  const std::vector<Row> rows = ParseCsv(csv());
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(kRing) + 1);
  EXPECT_EQ(rows[1][9], "123");  // channel 1 holds the sample number
  EXPECT_EQ(rows.back()[9], std::to_string(kRing + 122));
  EXPECT_EQ(rows[1][0], "0");
  EXPECT_EQ(rows.back()[0], "1299.98");

  const std::string data = FormatDataFile(currentDataFileHeader(core), core.trace.buffer);
  const std::vector<std::string_view> lines = SplitLines(data);
  const auto first = std::find(lines.begin(), lines.end(), "DATA") + 1;
  ASSERT_EQ(lines.end() - first, kRing);
  for (std::size_t r = 0; r < static_cast<std::size_t>(kRing); ++r) {
    std::string_view f[14];
    SplitFields(first[static_cast<std::ptrdiff_t>(r)], f);
    ASSERT_EQ(f[1], rows[r + 1][1]) << r;
    ASSERT_EQ(f[9], rows[r + 1][9]) << r;
  }
}

TEST_F(CsvExportTest, RingFilledToExactlyItsSizeExportsEverySample) {
  record(core.trace.buffer, kRing);  // write index back at 0, not yet wrapped
  const std::vector<Row> rows = ParseCsv(csv());
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(kRing) + 1);
  EXPECT_EQ(rows[1][9], "0");
  EXPECT_EQ(rows.back()[9], std::to_string(kRing - 1));
}

TEST_F(CsvExportTest, DataFileReadBackExportsTheSameTable) {
  ParseChannelLine(core.channels.slot(2), "Boost;0x101;1;2;1;0;0;1;2;0;300;kPa;255;YES");
  record(core.trace.buffer, 700);
  test::TempFolder folder;
  ASSERT_TRUE(saveDataFile(core, folder / "run.DA1").ok);

  ChannelTable defaults;
  LoadDefaultChannels(defaults);
  FileResult opened;
  DataFileRead read = ReadDataFile(folder / "run.DA1", UserChannels(defaults), opened);
  ASSERT_EQ(read.status, DataFileRead::Status::Ok);
  TraceBuffer samples;
  loadSamples(samples, std::move(read.ring), read.sampleCount);
  EXPECT_EQ(FormatCsv(read.channels, samples), csv());
}

// ---- the file ----

TEST_F(CsvExportTest, WriteCsvSavesTheTextAndLeavesNothingBehindOnFailure) {
  record(core.trace.buffer, 10);
  test::TempFolder folder;
  const FileResult written = WriteCsv(UserChannels(core.channels), core.trace.buffer, folder / "run.csv");
  ASSERT_TRUE(written.ok) << written.error;
  EXPECT_EQ(test::ReadBytes(folder / "run.csv"), csv());

  const FileResult failed = WriteCsv(UserChannels(core.channels), core.trace.buffer, folder / "missing" / "run.csv");
  EXPECT_FALSE(failed.ok);
  EXPECT_NE(failed.error.find("no such folder"), std::string::npos) << failed.error;
  EXPECT_EQ(folder.entryCount(), 1);
}

}  // namespace
}  // namespace oxalis

namespace oxalis {
namespace {

TEST_F(CsvExportTest, TheSpanBetweenTheCursorsKeepsItsTimesAndNothingElse) {
  record(core.trace.buffer, kRing + 123);  // holds samples 123..65122
  EXPECT_FALSE(CsvRowOfSample(core.trace.buffer, 122));  // overwritten
  EXPECT_FALSE(CsvRowOfSample(core.trace.buffer, kRing + 123));  // not yet recorded
  const auto first = CsvRowOfSample(core.trace.buffer, 200);
  const auto last = CsvRowOfSample(core.trace.buffer, 210);
  ASSERT_TRUE(first && last);
  const std::vector<Row> rows =
      ParseCsv(FormatCsv(UserChannels(core.channels), core.trace.buffer, CsvRows{*first, *last}));
  ASSERT_EQ(rows.size(), 12u);  // the header and eleven samples
  EXPECT_EQ(rows[1][9], "200");
  EXPECT_EQ(rows.back()[9], "210");
  EXPECT_EQ(rows[1][0], "1.54");  // as in the whole export: 77 rows after the oldest
}

}  // namespace
}  // namespace oxalis
