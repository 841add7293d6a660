// The sample ring: what an append stores, wrapping, the page-wise scrolling
// while recording, clearing, and the memory gauge of the status bar.
#include "Feed.h"
#include "TraceTestSupport.h"

namespace oxalis {
namespace {

using TraceRing = test::TraceTest;
using TracePageJump = test::TraceTest;

void record(Core& core, std::int32_t richness) {
  core.monitor.live.richness = richness;
  core.recordLiveSample();
}

TEST_F(TraceRing, AppendStoresEveryFieldOfTheLiveValuesWithinItsWidth) {
  core.monitor.live.vOutMv = 40000;  // held at the 16-bit limit, not wrapped round
  core.monitor.live.richness = 850;
  core.monitor.live.o2 = -200;
  core.monitor.live.lambda = 99999;
  core.monitor.live.airFuel = 1714;
  core.monitor.live.probeTempC = 780;
  core.monitor.live.vsMv = -40000;
  core.monitor.live.diagFlags = 0x1A5;  // only 8 bits are kept
  core.monitor.live.channel = {1, -2, 70000, 4, 5};

  core.trace.buffer.sampleCount = 1;
  appendSample(core.trace, core.state.recordPaused);

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
  EXPECT_EQ(core.trace.buffer.traceRing[0], expected);
  EXPECT_EQ(core.trace.buffer.writeIndex, 1);
  EXPECT_EQ(notifications, 1);
}

TEST_F(TraceRing, TheSample65001OverwritesSlotZeroAndFillsTheGauge) {
  core.state.recordPaused = true;  // no scrolling: this is about the ring alone
  for (std::int32_t n = 0; n < 65000; ++n) record(core, n % 2000);
  EXPECT_FALSE(core.trace.buffer.ringWrapped);
  EXPECT_EQ(core.trace.buffer.writeIndex, 0);
  EXPECT_EQ(core.trace.buffer.traceRing[0].richness, 0);
  EXPECT_EQ(core.trace.buffer.traceRing[64999].richness, 64999 % 2000);
  // Full, though not wrapped yet: the write index is back at 0.
  EXPECT_EQ(core.mainWindow.panel(6), "Data memory used : 100%");

  record(core, 1234);
  EXPECT_EQ(core.trace.buffer.sampleCount, 65001);
  EXPECT_TRUE(core.trace.buffer.ringWrapped);
  EXPECT_EQ(core.trace.buffer.traceRing[0].richness, 1234);
  EXPECT_EQ(core.trace.buffer.traceRing[1].richness, 1);  // sample 1 is now the oldest
  EXPECT_EQ(core.trace.buffer.writeIndex, 1);
  EXPECT_EQ(core.trace.buffer.startIndex, 2);
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
  for (auto& s : core.trace.buffer.traceRing) s.lambda = 7;
  clearTraceSlots(core.trace, 64998, 65001);  // slots 64998, 64999, 0, 1
  EXPECT_EQ(core.trace.buffer.traceRing[64997].lambda, 7);
  EXPECT_EQ(core.trace.buffer.traceRing[64998], TraceSample{});
  EXPECT_EQ(core.trace.buffer.traceRing[64999], TraceSample{});
  EXPECT_EQ(core.trace.buffer.traceRing[0], TraceSample{});
  EXPECT_EQ(core.trace.buffer.traceRing[1], TraceSample{});
  EXPECT_EQ(core.trace.buffer.traceRing[2].lambda, 7);

  clearTraceSlots(core.trace, 10, 5);  // an empty range
  EXPECT_EQ(core.trace.buffer.traceRing[7].lambda, 7);

  clearTraceSlots(core.trace, -3, 200000);  // more than the ring: every slot once
  EXPECT_TRUE(std::all_of(core.trace.buffer.traceRing.begin(), core.trace.buffer.traceRing.end(),
                          [](const TraceSample& s) { return s == TraceSample{}; }));
  EXPECT_EQ(core.trace.buffer.traceRing.size(), 65000u);
}

TEST_F(TraceRing, StartUpPutsTheWindowAtTheStartWithRichnessSelected) {
  core.trace.buffer.sampleCount = 500;
  core.trace.buffer.writeIndex = 500;
  core.trace.buffer.viewStart = 300;
  core.trace.buffer.selectedQuantity = 3;
  core.trace.tracePoints = 0;  // a width of 0 would leave nothing to see
  const auto generation = core.trace.view.repaintGeneration;
  initialiseTrace(core.trace);
  EXPECT_EQ(core.trace.buffer.sampleCount, 0);
  EXPECT_EQ(core.trace.buffer.writeIndex, 0);
  EXPECT_EQ(core.trace.buffer.startIndex, 0);
  EXPECT_FALSE(core.trace.buffer.ringWrapped);
  EXPECT_EQ(core.trace.tracePoints, 1000);
  EXPECT_EQ(core.trace.buffer.viewStart, 0);
  EXPECT_EQ(core.trace.buffer.viewEnd, 1000);
  EXPECT_EQ(core.trace.buffer.selectedQuantity, 1);
  EXPECT_EQ(core.trace.view.repaintGeneration, generation + 1);
}

TEST_F(TraceRing, ResizeStoresTheSizesRepaintsAndAsksForAFullPanelRepaint) {
  core.monitor.livePanel.forceRepaint = false;
  traceResized(core.trace, 1300, 400, 1300, 22);
  EXPECT_EQ(core.trace.view.traceWidth, 1300);
  EXPECT_EQ(core.trace.view.stripHeight, 22);
  EXPECT_EQ(core.trace.buffer.overviewRight, 20);  // 1300 x 1000 / 65000
  EXPECT_TRUE(core.monitor.livePanel.forceRepaint);
  EXPECT_EQ(notifications, 1);
  // The value grid spans the new height.
  EXPECT_EQ(core.trace.view.trace.lines[core.trace.view.gridLines - 11].y1, 400);
}

TEST_F(TracePageJump, TwentySecondWindowJumpsAtSample1001To101Through1101) {
  ASSERT_EQ(core.trace.tracePoints, 1000);
  for (int n = 0; n < 1000; ++n) record(core, 1000);
  EXPECT_EQ(core.trace.buffer.viewStart, 0);
  EXPECT_EQ(core.trace.buffer.viewEnd, 1000);
  const auto generation = core.trace.view.repaintGeneration;

  record(core, 1000);  // the 1001st
  EXPECT_EQ(core.trace.buffer.viewStart, 101);
  EXPECT_EQ(core.trace.buffer.viewEnd, 1101);
  EXPECT_EQ(core.trace.view.repaintGeneration, generation + 1);
  // The repaint draws up to the sample before the newest, the newest segment
  // follows on its own: the trace reaches sample 1000.
  const DrawLine& newest = core.trace.view.trace.lines.back();
  EXPECT_EQ(newest.x1, xOf(999));
  EXPECT_EQ(newest.x2, xOf(1000));

  for (int n = 0; n < 100; ++n) record(core, 1000);
  EXPECT_EQ(core.trace.buffer.viewEnd, 1101);  // sample 1100 is the newest, still inside
  record(core, 1000);
  EXPECT_EQ(core.trace.buffer.viewStart, 202);
  EXPECT_EQ(core.trace.buffer.viewEnd, 1202);
}

TEST_F(TracePageJump, EachSampleAppendsOneSegmentPerDrawnCurveAndNotifiesOnce) {
  core.monitor.livePanel.showCanal = {true, false, true, false, false};
  repaintTrace(core.trace);
  record(core, 1000);  // the first sample has no segment yet
  const std::size_t before = core.trace.view.trace.lines.size();
  const auto generation = core.trace.view.repaintGeneration;
  notifications = 0;
  core.monitor.live.channel[0] = 2500;  // half of CAN1's 0..5000 mV
  record(core, 900);
  ASSERT_EQ(core.trace.view.trace.lines.size(), before + 3);
  EXPECT_EQ(core.trace.view.repaintGeneration, generation);
  EXPECT_EQ(notifications, 1);
  const DrawLine& richness = core.trace.view.trace.lines[before];
  EXPECT_EQ(richness.y1, yOf(1000));
  EXPECT_EQ(richness.y2, yOf(900));
  EXPECT_EQ(richness.color, core.channels.slot(7).Color);
  const DrawLine& can1 = core.trace.view.trace.lines[before + 1];
  EXPECT_EQ(can1.y2, 250);
  EXPECT_EQ(can1.color, core.channels.slot(1).Color);
  EXPECT_EQ(core.trace.view.trace.lines[before + 2].color, core.channels.slot(3).Color);
}

TEST_F(TracePageJump, PausedRecordingKeepsAppendingWithoutScrollingOrDrawing) {
  core.state.recordPaused = true;
  const std::size_t lines = core.trace.view.trace.lines.size();
  for (int n = 0; n < 1500; ++n) record(core, 1000);
  EXPECT_EQ(core.trace.buffer.sampleCount, 1500);
  EXPECT_EQ(core.trace.buffer.viewEnd, 1000);
  EXPECT_EQ(core.trace.view.trace.lines.size(), lines);

  core.state.recordPaused = false;  // resumed: the next sample catches up
  record(core, 1000);
  EXPECT_EQ(core.trace.buffer.viewEnd, 1601);
  EXPECT_EQ(core.trace.buffer.viewStart, 601);
}

TEST_F(TracePageJump, CursorValuesFollowEveryAppendedSample) {
  core.trace.buffer.cursorSample = 2;
  record(core, 1000);
  record(core, 1100);
  EXPECT_EQ(core.trace.view.ValCurseur[1], " 0.000");
  record(core, 1200);
  EXPECT_EQ(core.trace.view.ValCurseur[1], " 1.200");
}

TEST_F(TraceRing, MeasurementRecordsFromTheLinkAreRecordedAndDrawn) {
  port.open(1);
  core.link.state.identity.deviceCode = "OX2";
  core.link.state.linkUp = true;
  const auto measurement = [&](int richness) {
    std::string data(18, '\0');
    data[2] = static_cast<char>(richness >> 8);
    data[3] = static_cast<char>(richness & 0xFF);
    test::feed(core, BuildRecord(0x13, 0x0001, data));
  };
  measurement(900);  // not recording: nothing kept
  EXPECT_EQ(core.trace.buffer.sampleCount, 0);

  core.state.recording = true;
  for (int r : {850, 1000, 1150}) measurement(r);
  EXPECT_EQ(core.trace.buffer.sampleCount, 3);
  EXPECT_EQ(core.trace.buffer.traceRing[0].richness, 850);
  EXPECT_EQ(core.trace.buffer.traceRing[2].richness, 1150);
  EXPECT_EQ(core.trace.buffer.traceRing[2].lambda, 870);  // 1 / 1.150
  const auto lines = dataLines();
  ASSERT_EQ(lines.size(), 2u);  // one segment per sample after the first
  EXPECT_EQ(lines[1].y1, yOf(1000));
  EXPECT_EQ(lines[1].y2, yOf(1150));
  EXPECT_EQ(core.mainWindow.panel(6), "Data memory used : 0%");
}

}  // namespace
}  // namespace oxalis
