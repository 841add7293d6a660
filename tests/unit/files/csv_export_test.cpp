// CSV export of the trace: header from the channel slots, physical units,
// ring order, quoting, and the file on disk.
#include "files/CsvExport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "CoreFixture.h"
#include "TempFolder.h"
#include "files/DataFile.h"
#include "files/TextLines.h"
#include "monitor/ChannelLine.h"

namespace oxalis {
namespace {

constexpr std::int32_t kRing = TraceBuffer::kRingSize;
using Rows = std::vector<std::vector<std::string>>;

// A reader as a spreadsheet would read the text: quoted fields may hold
// separators, doubled quotes and line breaks; rows end with CR LF. Bare
// line feeds or carriage returns outside quotes fail the test.
Rows ParseCsv(const std::string& text) {
  Rows rows(1, std::vector<std::string>(1));
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    std::string& field = rows.back().back();
    if (quoted) {
      if (c != '"') {
        field += c;
      } else if (i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == '"') {
      EXPECT_TRUE(field.empty()) << "quote inside an unquoted field at " << i;
      quoted = true;
    } else if (c == ',') {
      rows.back().emplace_back();
    } else if (c == '\r') {
      EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare CR at " << i;
      ++i;
      rows.emplace_back(1);
    } else {
      EXPECT_NE(c, '\n') << "bare LF at " << i;
      field += c;
    }
  }
  EXPECT_FALSE(quoted) << "unterminated quote";
  // The text ends with a line end, which opens an empty last row.
  EXPECT_EQ(rows.back(), std::vector<std::string>(1));
  rows.pop_back();
  return rows;
}

// Sample number n of a recording, every field telling n apart.
TraceSample sampleNumber(std::int32_t n) {
  TraceSample s;
  s.vOutMv = static_cast<std::int16_t>(n % 30000);
  s.richness = static_cast<std::int16_t>(n % 1800);
  s.o2 = n % 3000 - 1500;
  s.lambda = 1000 + n;
  s.airFuel = 1457 + n % 77;
  s.probeTempC = static_cast<std::int16_t>(n % 1000);
  s.vsMv = static_cast<std::int16_t>(-(n % 450));
  s.diagFlags = static_cast<std::uint8_t>(n % 256);
  s.channel = {n, -n, n * 3, 7, -7};
  return s;
}

// Appends samples 0..count-1 as a recording does.
void record(TraceBuffer& trace, std::int32_t count) {
  for (std::int32_t n = 0; n < count; ++n) {
    trace.at(n) = sampleNumber(n);
    trace.sampleCount = n + 1;
    trace.writeIndex = trace.sampleCount % kRing;
    if (trace.sampleCount > kRing) {
      trace.ringWrapped = true;
      trace.startIndex = trace.writeIndex + 1;
    }
  }
}

class CsvExportTest : public ::testing::Test, public test::CoreFixture {
 protected:
  void SetUp() override { LoadDefaultChannels(core.channels); }

  // The one data row of a trace holding only `s`.
  std::vector<std::string> onlyRow(const TraceSample& s) {
    core.trace.at(0) = s;
    core.trace.sampleCount = 1;
    core.trace.writeIndex = 1;
    const Rows rows = ParseCsv(FormatCsv(core));
    EXPECT_EQ(rows.size(), 2u);
    return rows.size() == 2 ? rows[1] : std::vector<std::string>{};
  }
};

// ---- header ----

TEST_F(CsvExportTest, HeaderNamesBuiltInQuantitiesAndTheFiveUserChannelsWithUnits) {
  const Rows rows = ParseCsv(FormatCsv(core));
  ASSERT_EQ(rows.size(), 1u);  // an empty trace is a header alone
  EXPECT_EQ(rows[0], (std::vector<std::string>{"time_s", "Vout (mV)", "Richness", "Lambda", "O2 (%)", "A/F",
                                               "TProbe (\xC2\xB0" "C)", "Vs (mV)", "Diag", "CAN1 (mV)",
                                               "CAN2 (mV)", "CAN3 (mV)", "CAN4 (mV)", "Vin (mV)"}));
}

TEST_F(CsvExportTest, UserChannelHeadersFollowTheirSlots) {
  ParseChannelLine(core.channels.slot(1), "Boost;0x100;1;2;1;0;0;1;1;0;300;kPa;255;YES");
  ParseChannelLine(core.channels.slot(2), "RPM;0x101;1;2;1;0;0;1;0;0;8000;;255;NO");   // no unit
  ParseChannelLine(core.channels.slot(3), ";0x102;1;2;1;0;0;1;0;0;5000;mV;255;NO");    // no name
  ParseChannelLine(core.channels.slot(5), "Oil \xC2\xB0" "C;0x000;1;2;1;0;0;1;0;0;150;\xC2\xBA" "C;255;NO");
  const Rows rows = ParseCsv(FormatCsv(core));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(std::vector<std::string>(rows[0].begin() + 9, rows[0].end()),
            (std::vector<std::string>{"Boost (kPa)", "RPM", "Channel 3 (mV)", "CAN4 (mV)",
                                      "Oil \xC2\xB0" "C (\xC2\xBA" "C)"}));
}

TEST_F(CsvExportTest, NamesWithSeparatorsQuotesOrLineBreaksAreQuoted) {
  core.channels.slot(1).Name = "Temp, inlet";
  core.channels.slot(2).Name = "Cyl \"4\"";
  core.channels.slot(2).Unit = "";
  core.channels.slot(3).Name = "two\r\nlines";
  const std::string text = FormatCsv(core);
  EXPECT_NE(text.find(",\"Temp, inlet (mV)\",\"Cyl \"\"4\"\"\",\"two\r\nlines (mV)\","), std::string::npos) << text;
  const Rows rows = ParseCsv(text);
  ASSERT_EQ(rows.size(), 1u);
  ASSERT_EQ(rows[0].size(), 14u);
  EXPECT_EQ(rows[0][9], "Temp, inlet (mV)");
  EXPECT_EQ(rows[0][10], "Cyl \"4\"");
  EXPECT_EQ(rows[0][11], "two\r\nlines (mV)");
}

TEST_F(CsvExportTest, NamesThatASpreadsheetWouldRunAsFormulasAreKeptAsText) {
  core.channels.slot(1).Name = "=HYPERLINK(\"x\")";
  core.channels.slot(2).Name = "+12V";
  core.channels.slot(3).Name = "@sum";
  core.channels.slot(4).Name = "-";
  core.channels.slot(5).Name = "a=b";  // only the first character matters
  const Rows rows = ParseCsv(FormatCsv(core));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(std::vector<std::string>(rows[0].begin() + 9, rows[0].end()),
            (std::vector<std::string>{"'=HYPERLINK(\"x\") (mV)", "'+12V (mV)", "'@sum (mV)", "'- (mV)", "a=b (mV)"}));
}

TEST_F(CsvExportTest, NamesThatAreNotUtf8AreRepairedSoTheFileIsUtf8) {
  core.channels.slot(1).Name = "T\xBA";  // a lone Windows-1252 byte
  const Rows rows = ParseCsv(FormatCsv(core));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][9], "T\xEF\xBF\xBD (mV)");
}

// ---- values ----

TEST_F(CsvExportTest, EveryQuantityIsInPhysicalUnitsWithItsDecimals) {
  for (int k = 1; k <= 5; ++k) core.channels.slot(k).Dec = static_cast<std::uint8_t>(k - 1);  // 0..4
  TraceSample s;
  s.vOutMv = 2500;
  s.richness = 998;
  s.lambda = 1002;
  s.o2 = 2093;
  s.airFuel = 1457;
  s.probeTempC = 780;
  s.vsMv = 450;
  s.diagFlags = 0x81;
  s.channel = {-12, 12345, -5, 1, 123456789};
  EXPECT_EQ(onlyRow(s), (std::vector<std::string>{"0", "2500", "0.998", "1.002", "20.93", "14.57", "780", "450",
                                                  "129", "-12", "1234.5", "-0.05", "0.001", "12345.6789"}));
}

TEST_F(CsvExportTest, NegativeAndExtremeValuesKeepTheirSignAndDigits) {
  core.channels.slot(1).Dec = 2;
  core.channels.slot(2).Dec = 3;
  TraceSample s;
  s.o2 = -5;
  s.vOutMv = std::numeric_limits<std::int16_t>::min();
  s.richness = -1;
  s.lambda = -1000;
  s.airFuel = 0;
  s.vsMv = -450;
  s.probeTempC = -40;
  s.channel = {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), 0, -1, 0};
  const std::vector<std::string> row = onlyRow(s);
  ASSERT_EQ(row.size(), 14u);
  EXPECT_EQ(row[1], "-32768");
  EXPECT_EQ(row[2], "-0.001");
  EXPECT_EQ(row[3], "-1.000");
  EXPECT_EQ(row[4], "-0.05");  // O2 below zero: lean mixture
  EXPECT_EQ(row[5], "0.00");
  EXPECT_EQ(row[6], "-40");
  EXPECT_EQ(row[7], "-450");
  EXPECT_EQ(row[9], "-21474836.48");
  EXPECT_EQ(row[10], "2147483.647");
  EXPECT_EQ(row[12], "-1");

  s.o2 = -1500;
  EXPECT_EQ(onlyRow(s)[4], "-15.00");
}

TEST_F(CsvExportTest, TimeCountsTwentyMillisecondsPerRowFromTheFirstRow) {
  record(core.trace, 151);
  const Rows rows = ParseCsv(FormatCsv(core));
  ASSERT_EQ(rows.size(), 152u);
  const std::vector<std::pair<std::size_t, std::string>> expected{
      {0, "0"}, {1, "0.02"}, {2, "0.04"}, {3, "0.06"}, {49, "0.98"}, {50, "1"}, {51, "1.02"}, {150, "3"}};
  for (const auto& [row, time] : expected) EXPECT_EQ(rows[row + 1][0], time) << row;
  for (std::size_t r = 1; r < rows.size(); ++r) ASSERT_EQ(rows[r].size(), 14u) << r;
}

// ---- ring order ----

TEST_F(CsvExportTest, WrappedRingExportsItsSixtyFiveThousandSamplesOldestFirst) {
  constexpr std::int32_t kRecorded = kRing + 123;
  record(core.trace, kRecorded);
  const std::string text = FormatCsv(core);
  const Rows rows = ParseCsv(text);
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(kRing) + 1);
  // Row r is sample 123 + r: compare a column that is an exact integer in
  // both forms, and the time restarting from 0 at the oldest kept sample.
  for (std::int32_t r = 0; r < kRing; ++r) {
    const TraceSample expected = sampleNumber(123 + r);
    ASSERT_EQ(rows[static_cast<std::size_t>(r) + 1][1], std::to_string(expected.vOutMv)) << r;
    ASSERT_EQ(rows[static_cast<std::size_t>(r) + 1][9], std::to_string(expected.channel[0])) << r;
  }
  EXPECT_EQ(rows[1][0], "0");
  EXPECT_EQ(rows.back()[0], "1299.98");

  // The data file writer keeps the same samples in the same order.
  const std::string data = FormatDataFile(core);
  const std::vector<std::string_view> lines = SplitLines(data);
  const auto first = std::find(lines.begin(), lines.end(), "DATA") + 1;
  ASSERT_EQ(lines.end() - first, kRing);
  for (std::int32_t r = 0; r < kRing; ++r) {
    std::string_view f[14];
    SplitFields(first[r], f);
    ASSERT_EQ(f[1], rows[static_cast<std::size_t>(r) + 1][1]) << r;
    ASSERT_EQ(f[9], rows[static_cast<std::size_t>(r) + 1][9]) << r;
  }
}

TEST_F(CsvExportTest, RingFilledToExactlyItsSizeExportsEverySample) {
  record(core.trace, kRing);  // write index back at 0, not yet wrapped
  ASSERT_FALSE(core.trace.ringWrapped);
  const Rows rows = ParseCsv(FormatCsv(core));
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(kRing) + 1);
  EXPECT_EQ(rows[1][9], "0");
  EXPECT_EQ(rows.back()[9], std::to_string(kRing - 1));
}

TEST_F(CsvExportTest, DataFileReadBackExportsTheSameTable) {
  ParseChannelLine(core.channels.slot(2), "Boost;0x101;1;2;1;0;0;1;2;0;300;kPa;255;YES");
  record(core.trace, 700);
  const std::string original = FormatCsv(core);

  test::TempFolder folder;
  ASSERT_TRUE(WriteDataFile(core, folder / "run.DA1").ok);
  test::CoreFixture reader;
  LoadDefaultChannels(reader.core.channels);
  FileResult opened;
  ASSERT_EQ(ReadDataFile(reader.core, folder / "run.DA1", opened).status, DataFileRead::Status::Ok);
  EXPECT_EQ(FormatCsv(reader.core), original);
}

// ---- the file ----

TEST_F(CsvExportTest, WriteCsvSavesTheTextAndLeavesNothingBehindOnFailure) {
  record(core.trace, 10);
  test::TempFolder folder;
  const FileResult written = WriteCsv(core, folder / "run.csv");
  ASSERT_TRUE(written.ok) << written.error;
  EXPECT_EQ(test::ReadBytes(folder / "run.csv"), FormatCsv(core));
  EXPECT_EQ(folder.entryCount(), 1);

  const FileResult failed = WriteCsv(core, folder / "missing" / "run.csv");
  EXPECT_FALSE(failed.ok);
  EXPECT_NE(failed.error.find("no such folder"), std::string::npos) << failed.error;
  EXPECT_EQ(folder.entryCount(), 1);
}

}  // namespace
}  // namespace oxalis
