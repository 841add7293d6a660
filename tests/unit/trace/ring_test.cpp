// The sample ring: what an append stores, wrapping, the page-wise scrolling
// while recording, clearing, and the memory gauge of the status bar.
#include "Feed.h"
#include "TraceTestSupport.h"

namespace oxalis {
namespace {

using TraceRing = test::TraceTest;
using TracePageJump = test::TraceTest;

void record(Core& core, std::int32_t richness) {
  core.live.richness = richness;
  core.hooks.appendTraceSample();
}

TEST_F(TraceRing, AppendStoresEveryFieldOfTheLiveValuesWithinItsWidth) {
  core.live.vOutMv = 40000;  // held at the 16-bit limit, not wrapped round
  core.live.richness = 850;
  core.live.o2 = -200;
  core.live.lambda = 99999;
  core.live.airFuel = 1714;
  core.live.probeTempC = 780;
  core.live.vsMv = -40000;
  core.live.diagFlags = 0x1A5;  // only 8 bits are kept
  core.live.channel = {1, -2, 70000, 4, 5};
  core.state.dataNotSaved = false;

  core.trace.sampleCount = 1;
  appendSample(core);

  TraceSample expected;
  expected.vOutMv = 32767;
  expected.richness = 850;
  expected.o2 = -200;
  expected.lambda = 99999;
  expected.airFuel = 1714;
  expected.probeTempC = 780;
  expected.vsMv = -32768;
  expected.diagFlags = 0xA5;
  expected.channel = {1, -2, 70000, 4, 5};
  EXPECT_EQ(core.trace.traceRing[0], expected);
  EXPECT_EQ(core.trace.writeIndex, 1);
  EXPECT_TRUE(core.state.dataNotSaved);
  EXPECT_EQ(notifications, 1);
}

TEST_F(TraceRing, TheSample65001OverwritesSlotZeroAndFillsTheGauge) {
  core.state.recordPaused = true;  // no scrolling: this is about the ring alone
  for (std::int32_t n = 0; n < 65000; ++n) record(core, n % 2000);
  EXPECT_FALSE(core.trace.ringWrapped);
  EXPECT_EQ(core.trace.writeIndex, 0);
  EXPECT_EQ(core.trace.traceRing[0].richness, 0);
  EXPECT_EQ(core.trace.traceRing[64999].richness, 64999 % 2000);
  // Full, though not wrapped yet: the write index is back at 0.
  EXPECT_EQ(core.mainWindow.panel(6), "Data memory used : 100%");

  record(core, 1234);
  EXPECT_EQ(core.trace.sampleCount, 65001);
  EXPECT_TRUE(core.trace.ringWrapped);
  EXPECT_EQ(core.trace.traceRing[0].richness, 1234);
  EXPECT_EQ(core.trace.traceRing[1].richness, 1);  // sample 1 is now the oldest
  EXPECT_EQ(core.trace.writeIndex, 1);
  EXPECT_EQ(core.trace.startIndex, 2);
  EXPECT_EQ(core.mainWindow.panel(6), "Data memory used : 100%");
}

TEST_F(TraceRing, MemoryGaugeCountsWholePercentsAndTellsTheWindowOnlyOfChanges) {
  int told = 0;
  const auto watch = core.mainWindow.changed.subscribe([&] { ++told; });
  core.state.recordPaused = true;
  for (int n = 0; n < 649; ++n) record(core, 1000);
  EXPECT_EQ(core.mainWindow.panel(6), "Data memory used : 0%");
  EXPECT_EQ(told, 1);  // "Data Memory" became the 0% text once
  record(core, 1000);
  EXPECT_EQ(core.mainWindow.panel(6), "Data memory used : 1%");
  EXPECT_EQ(told, 2);

  TraceBuffer t;
  t.writeIndex = 64999;
  EXPECT_EQ(memoryText(t), "Data memory used : 99%");
  t.ringWrapped = true;
  t.sampleCount = 200000;
  t.writeIndex = 5;
  EXPECT_EQ(memoryText(t), "Data memory used : 100%");
}

TEST_F(TraceRing, ClearingZeroesTheSlotsOfTheSampleNumbersAcrossTheWrap) {
  for (auto& s : core.trace.traceRing) s.lambda = 7;
  clearTraceSlots(core, 64998, 65001);  // slots 64998, 64999, 0, 1
  EXPECT_EQ(core.trace.traceRing[64997].lambda, 7);
  EXPECT_EQ(core.trace.traceRing[64998], TraceSample{});
  EXPECT_EQ(core.trace.traceRing[64999], TraceSample{});
  EXPECT_EQ(core.trace.traceRing[0], TraceSample{});
  EXPECT_EQ(core.trace.traceRing[1], TraceSample{});
  EXPECT_EQ(core.trace.traceRing[2].lambda, 7);

  clearTraceSlots(core, 10, 5);  // an empty range
  EXPECT_EQ(core.trace.traceRing[7].lambda, 7);

  clearTraceSlots(core, -3, 200000);  // more than the ring: every slot once
  EXPECT_TRUE(std::all_of(core.trace.traceRing.begin(), core.trace.traceRing.end(),
                          [](const TraceSample& s) { return s == TraceSample{}; }));
  EXPECT_EQ(core.trace.traceRing.size(), 65000u);
}

TEST_F(TraceRing, StartUpPutsTheWindowAtTheStartWithRichnessSelected) {
  core.trace.sampleCount = 500;
  core.trace.writeIndex = 500;
  core.trace.viewStart = 300;
  core.trace.selectedQuantity = 3;
  core.state.tracePoints = 0;  // a width of 0 would leave nothing to see
  const auto generation = core.traceView.repaintGeneration;
  initialiseTrace(core);
  EXPECT_EQ(core.trace.sampleCount, 0);
  EXPECT_EQ(core.trace.writeIndex, 0);
  EXPECT_EQ(core.trace.startIndex, 0);
  EXPECT_FALSE(core.trace.ringWrapped);
  EXPECT_EQ(core.state.tracePoints, 1000);
  EXPECT_EQ(core.trace.viewStart, 0);
  EXPECT_EQ(core.trace.viewEnd, 1000);
  EXPECT_EQ(core.trace.selectedQuantity, 1);
  EXPECT_EQ(core.traceView.repaintGeneration, generation + 1);
}

TEST_F(TraceRing, ResizeStoresTheSizesRepaintsAndAsksForAFullPanelRepaint) {
  core.livePanel.forceRepaint = false;
  traceResized(core, 1300, 400, 1300, 22);
  EXPECT_EQ(core.traceView.traceWidth, 1300);
  EXPECT_EQ(core.traceView.stripHeight, 22);
  EXPECT_EQ(core.trace.overviewRight, 20);  // 1300 x 1000 / 65000
  EXPECT_TRUE(core.livePanel.forceRepaint);
  EXPECT_EQ(notifications, 1);
  // The value grid spans the new height.
  EXPECT_EQ(core.traceView.trace.lines[core.traceView.gridLines - 11].y1, 400);
}

TEST_F(TracePageJump, TwentySecondWindowJumpsAtSample1001To101Through1101) {
  ASSERT_EQ(core.state.tracePoints, 1000);
  for (int n = 0; n < 1000; ++n) record(core, 1000);
  EXPECT_EQ(core.trace.viewStart, 0);
  EXPECT_EQ(core.trace.viewEnd, 1000);
  const auto generation = core.traceView.repaintGeneration;

  record(core, 1000);  // the 1001st
  EXPECT_EQ(core.trace.viewStart, 101);
  EXPECT_EQ(core.trace.viewEnd, 1101);
  EXPECT_EQ(core.traceView.repaintGeneration, generation + 1);
  // The repaint draws up to the sample before the newest, the newest segment
  // follows on its own: the trace reaches sample 1000.
  const DrawLine& newest = core.traceView.trace.lines.back();
  EXPECT_EQ(newest.x1, xOf(999));
  EXPECT_EQ(newest.x2, xOf(1000));

  for (int n = 0; n < 100; ++n) record(core, 1000);
  EXPECT_EQ(core.trace.viewEnd, 1101);  // sample 1100 is the newest, still inside
  record(core, 1000);
  EXPECT_EQ(core.trace.viewStart, 202);
  EXPECT_EQ(core.trace.viewEnd, 1202);
}

TEST_F(TracePageJump, EachSampleAppendsOneSegmentPerDrawnCurveAndNotifiesOnce) {
  core.livePanel.showCanal = {true, false, true, false, false};
  repaintTrace(core);
  record(core, 1000);  // the first sample has no segment yet
  const std::size_t before = core.traceView.trace.lines.size();
  const auto generation = core.traceView.repaintGeneration;
  notifications = 0;
  core.live.channel[0] = 2500;  // half of CAN1's 0..5000 mV
  record(core, 900);
  ASSERT_EQ(core.traceView.trace.lines.size(), before + 3);
  EXPECT_EQ(core.traceView.repaintGeneration, generation);
  EXPECT_EQ(notifications, 1);
  const DrawLine& richness = core.traceView.trace.lines[before];
  EXPECT_EQ(richness.y1, yOf(1000));
  EXPECT_EQ(richness.y2, yOf(900));
  EXPECT_EQ(richness.color, core.channels.slot(7).Color);
  const DrawLine& can1 = core.traceView.trace.lines[before + 1];
  EXPECT_EQ(can1.y2, 250);
  EXPECT_EQ(can1.color, core.channels.slot(1).Color);
  EXPECT_EQ(core.traceView.trace.lines[before + 2].color, core.channels.slot(3).Color);
}

TEST_F(TracePageJump, PausedRecordingKeepsAppendingWithoutScrollingOrDrawing) {
  core.state.recordPaused = true;
  const std::size_t lines = core.traceView.trace.lines.size();
  for (int n = 0; n < 1500; ++n) record(core, 1000);
  EXPECT_EQ(core.trace.sampleCount, 1500);
  EXPECT_EQ(core.trace.viewEnd, 1000);
  EXPECT_EQ(core.traceView.trace.lines.size(), lines);

  core.state.recordPaused = false;  // resumed: the next sample catches up
  record(core, 1000);
  EXPECT_EQ(core.trace.viewEnd, 1601);
  EXPECT_EQ(core.trace.viewStart, 601);
}

TEST_F(TracePageJump, CursorValuesFollowEveryAppendedSample) {
  core.trace.cursorSample = 2;
  record(core, 1000);
  record(core, 1100);
  EXPECT_EQ(core.traceView.ValCurseur[1], " 0.000");
  record(core, 1200);
  EXPECT_EQ(core.traceView.ValCurseur[1], " 1.200");
}

TEST_F(TraceRing, MeasurementRecordsFromTheLinkAreRecordedAndDrawn) {
  installTrace(core);  // the receive parser's hook
  port.open(1);
  core.state.deviceCode = "OX2";
  core.state.linkUp = true;
  const auto measurement = [&](int richness) {
    std::string data(18, '\0');
    data[2] = static_cast<char>(richness >> 8);
    data[3] = static_cast<char>(richness & 0xFF);
    test::feed(core, BuildRecord(0x13, 0x0001, data));
  };
  measurement(900);  // not recording: nothing kept
  EXPECT_EQ(core.trace.sampleCount, 0);

  core.state.recording = true;
  for (int r : {850, 1000, 1150}) measurement(r);
  EXPECT_EQ(core.trace.sampleCount, 3);
  EXPECT_EQ(core.trace.traceRing[0].richness, 850);
  EXPECT_EQ(core.trace.traceRing[2].richness, 1150);
  EXPECT_EQ(core.trace.traceRing[2].lambda, 870);  // 1 / 1.150
  const auto lines = dataLines();
  ASSERT_EQ(lines.size(), 2u);  // one segment per sample after the first
  EXPECT_EQ(lines[1].y1, yOf(1000));
  EXPECT_EQ(lines[1].y2, yOf(1150));
  EXPECT_EQ(core.mainWindow.panel(6), "Data memory used : 0%");
}

}  // namespace
}  // namespace oxalis
