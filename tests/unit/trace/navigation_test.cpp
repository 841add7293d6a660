// Steering the trace: the cursor and its value boxes, zoom with the right
// button, panning with the left, the time base and the choice of curves.
#include "TraceTestSupport.h"

namespace oxalis {
namespace {

using TraceCursor = test::TraceTest;
using TraceZoom = test::TraceTest;
using TracePan = test::TraceTest;
using TraceTimeBase = test::TraceTest;
using TraceChannelChoice = test::TraceTest;

void rightDrag(Core& core, int from, int to) {
  Oscillo_MouseDown(core.trace, from, true);
  Oscillo_MouseUp(core.trace, to, true);
}

void leftDrag(Core& core, int from, int to) {
  Oscillo_MouseDown(core.trace, from, false);
  Oscillo_MouseMove(core.trace, to, true);
}

TEST_F(TraceCursor, SampleUnderTheMouseFollowsTheWindow) {
  EXPECT_EQ(sampleUnderMouse(core.trace, 125), 125);
  setView(100, 2100);
  EXPECT_EQ(sampleUnderMouse(core.trace, 500), 1100);
  EXPECT_EQ(sampleUnderMouse(core.trace, 1), 102);
  EXPECT_EQ(sampleUnderMouse(core.trace, -1), 98);  // below, not towards zero
}

TEST_F(TraceCursor, CursorTimeReadsSecondsAsAPlainNumber) {
  Oscillo_MouseDown(core.trace, 125, false);
  EXPECT_EQ(core.trace.buffer.cursorSample, 125);
  EXPECT_EQ(core.trace.view.WCuseur, "2.5");
  EXPECT_EQ(core.trace.view.cursorX, 125);
  Oscillo_MouseMove(core.trace, 100, false);
  EXPECT_EQ(core.trace.view.WCuseur, "2");
  Oscillo_MouseMove(core.trace, 1, false);
  EXPECT_EQ(core.trace.view.WCuseur, "0.02");
}

TEST_F(TraceCursor, ValueBoxesShowTheSampleUnderTheCursor) {
  fillFlat(300);
  TraceSample& s = core.trace.buffer.at(125);
  s.vOutMv = 2345;
  s.richness = 850;
  s.lambda = 99999;  // the division guard's value
  s.o2 = -200;
  s.airFuel = 1714;
  s.channel = {1234, -1234, 7, 0, 5};
  core.channels.slot(1).Dec = 2;
  core.channels.slot(2).Dec = 2;
  core.channels.slot(3).Dec = 1;
  core.trace.buffer.cursorSample = 125;
  showCursorValues(core.trace);
  const auto& box = core.trace.view.ValCurseur;
  EXPECT_EQ(box[0], " 2345");
  EXPECT_EQ(box[1], " 0.850");
  EXPECT_EQ(box[2], " 65.535");
  EXPECT_EQ(box[3], "-2.00");
  EXPECT_EQ(box[4], " 17.14");
  EXPECT_EQ(box[5], "12.34");
  EXPECT_EQ(box[6], "-12.34");
  EXPECT_EQ(box[7], "0.7");
  EXPECT_EQ(box[8], "0");
  EXPECT_EQ(box[9], "5");
  EXPECT_EQ(core.trace.view.ValCurseurColor[5], core.channels.slot(1).Color);
  EXPECT_EQ(core.trace.view.ValCurseurColor[8], core.channels.slot(4).Color);
  EXPECT_EQ(s.lambda, 99999);  // showing it leaves the recording alone
}

TEST_F(TraceCursor, ACursorOutsideTheWindowOrNegativeIsNotShown) {
  setView(1000, 2000);
  core.trace.buffer.cursorSample = 500;
  drawCursor(core.trace);
  EXPECT_EQ(core.trace.view.cursorX, -1);
  core.trace.buffer.cursorSample = -5;
  drawCursor(core.trace);
  EXPECT_EQ(core.trace.view.cursorX, -1);
  core.trace.buffer.cursorSample = 1500;
  drawCursor(core.trace);
  EXPECT_EQ(core.trace.view.cursorX, 500);
}

TEST_F(TraceZoom, RightDragOf20SamplesZoomsOutAndOf26ZoomsInOnExactlyThoseSamples) {
  fillFlat(5000);
  setView(1000, 2000);
  Oscillo_MouseDown(core.trace, 300, true);
  EXPECT_EQ(core.trace.view.pointer, TraceModel::Pointer::Zoom);
  Oscillo_MouseUp(core.trace, 320, true);
  EXPECT_EQ(core.trace.view.pointer, TraceModel::Pointer::Default);
  // 1000 samples became 2200 around sample 1320.
  EXPECT_EQ(core.trace.buffer.viewStart, 220);
  EXPECT_EQ(core.trace.buffer.viewEnd, 2420);

  setView(1000, 2000);
  rightDrag(core, 300, 326);
  EXPECT_EQ(core.trace.buffer.viewStart, 1300);
  EXPECT_EQ(core.trace.buffer.viewEnd, 1326);
  EXPECT_EQ(core.trace.buffer.cursorSample, 0);

  setView(1000, 2000);
  rightDrag(core, 326, 300);  // leftwards: the same range
  EXPECT_EQ(core.trace.buffer.viewStart, 1300);
  EXPECT_EQ(core.trace.buffer.viewEnd, 1326);

  setView(1000, 2000);
  rightDrag(core, 300, 325);  // 25 samples is still a click
  EXPECT_EQ(core.trace.buffer.viewEnd - core.trace.buffer.viewStart, 2200);
}

TEST_F(TraceZoom, ADragPastTheLeftEdgeStopsAtSampleZeroAndIsWidenedTo25) {
  fillFlat(5000);
  rightDrag(core, 10, -100);
  EXPECT_EQ(core.trace.buffer.viewStart, 0);
  EXPECT_EQ(core.trace.buffer.viewEnd, 25);
}

TEST_F(TraceZoom, ZoomOutStopsAtTheEndsOfTheRing) {
  fillFlat(5000);
  rightDrag(core, 100, 100);  // around sample 100 of 0..1000
  EXPECT_EQ(core.trace.buffer.viewStart, 0);
  EXPECT_EQ(core.trace.buffer.viewEnd, 1200);

  setView(60000, 65000);
  rightDrag(core, 800, 800);  // around 64000: 58500..69500
  EXPECT_EQ(core.trace.buffer.viewStart, 58500);
  EXPECT_EQ(core.trace.buffer.viewEnd, 65000);

  fillFlat(70000);  // samples 5000..69999 held
  setView(68000, 69000);
  rightDrag(core, 900, 900);  // around 68900
  EXPECT_EQ(core.trace.buffer.viewEnd, 69999);
  EXPECT_EQ(core.trace.buffer.viewStart, 69999 - 2200);

  setView(6000, 66000);
  rightDrag(core, 500, 500);
  EXPECT_EQ(core.trace.buffer.viewStart, 5000);  // the oldest sample held
  EXPECT_EQ(core.trace.buffer.viewEnd, 69999);
}

TEST_F(TraceZoom, ARightReleaseWithoutAPressDoesNothing) {
  setView(1000, 2000);
  Oscillo_MouseUp(core.trace, 700, true);
  EXPECT_EQ(core.trace.buffer.viewStart, 1000);
  EXPECT_EQ(core.trace.buffer.viewEnd, 2000);
}

TEST_F(TracePan, TheGrabbedSampleStaysUnderTheMouse) {
  fillFlat(5000);
  setView(2000, 3000);
  const auto generation = core.trace.view.repaintGeneration;
  leftDrag(core, 500, 300);
  EXPECT_EQ(core.trace.view.pointer, TraceModel::Pointer::Pan);
  EXPECT_EQ(core.trace.buffer.viewStart, 2200);
  EXPECT_EQ(core.trace.buffer.viewEnd, 3200);
  EXPECT_EQ(sampleUnderMouse(core.trace, 300), 2500);
  EXPECT_EQ(core.trace.buffer.cursorSample, 2500);
  EXPECT_EQ(core.trace.view.repaintGeneration, generation + 1);
  Oscillo_MouseUp(core.trace, 300, false);
  EXPECT_EQ(core.trace.view.pointer, TraceModel::Pointer::Default);
  Oscillo_MouseMove(core.trace, 900, false);  // released: no more panning
  EXPECT_EQ(core.trace.buffer.viewStart, 2200);
}

TEST_F(TracePan, PanningBeforeSampleZeroStopsThereWithTheWidthKept) {
  fillFlat(5000);
  setView(100, 1100);
  leftDrag(core, 500, 900);
  EXPECT_EQ(core.trace.buffer.viewStart, 0);
  EXPECT_EQ(core.trace.buffer.viewEnd, 1000);
  EXPECT_EQ(core.trace.buffer.cursorSample, 900);

  setView(64000, 65000);
  leftDrag(core, 500, 100);
  EXPECT_EQ(core.trace.buffer.viewStart, 64000);
  EXPECT_EQ(core.trace.buffer.viewEnd, 65000);
}

TEST_F(TracePan, AWrappedRingCannotBePannedOutsideTheNewest65000Samples) {
  fillFlat(70000);
  setView(5500, 6500);
  leftDrag(core, 100, 900);
  EXPECT_EQ(core.trace.buffer.viewStart, 5000);
  EXPECT_EQ(core.trace.buffer.viewEnd, 6000);

  setView(68500, 69500);
  leftDrag(core, 900, 100);
  EXPECT_EQ(core.trace.buffer.viewStart, 69000);
  EXPECT_EQ(core.trace.buffer.viewEnd, 70000);
}

TEST_F(TracePan, OnlyADragThatBeganOnTheTraceMovesTheWindow) {
  setView(2000, 3000);
  Oscillo_MouseMove(core.trace, 900, true);  // button pressed elsewhere
  EXPECT_EQ(core.trace.buffer.viewStart, 2000);
}

TEST_F(TraceTimeBase, Choosing50sFromSample300Shows300Through2800) {
  setView(300, 1300);
  notifications = 0;
  TimeBase_Click(core.trace, "50s");
  EXPECT_EQ(core.trace.tracePoints, 2500);
  EXPECT_EQ(core.trace.view.timeBaseText, "50s");
  EXPECT_EQ(core.trace.buffer.viewStart, 300);
  EXPECT_EQ(core.trace.buffer.viewEnd, 2800);
  EXPECT_EQ(core.trace.buffer.overviewRight, 43);  // 1000 x 2800 / 65000
  EXPECT_EQ(notifications, 1);
}

TEST_F(TraceTimeBase, TypedTextSetsTheWidthForTheNextJumpOnly) {
  const auto generation = core.trace.view.repaintGeneration;
  TimeBase_Validate(core.trace, "200s");
  EXPECT_EQ(core.trace.tracePoints, 10000);
  EXPECT_EQ(core.trace.view.timeBaseText, "200s");
  EXPECT_EQ(core.trace.buffer.viewEnd, 1000);
  EXPECT_EQ(core.trace.view.repaintGeneration, generation + 1);

  TimeBase_Validate(core.trace, " 50s");  // only an entry as it stands
  EXPECT_EQ(core.trace.tracePoints, 10000);
  EXPECT_EQ(core.trace.view.timeBaseText, "200s");

  for (int n = 0; n < 1001; ++n) recordSample(core.trace, core.state.recordPaused);
  EXPECT_EQ(core.trace.buffer.viewStart, 0);  // 1001 + 1000 - 10000 is negative
  EXPECT_EQ(core.trace.buffer.viewEnd, 10000);
}

TEST_F(TraceChannelChoice, QuantityButtonsChooseTheCurveAndItsGrid) {
  notifications = 0;
  OptionChOscillo_Click(core.trace, 0);
  EXPECT_EQ(core.trace.buffer.selectedQuantity, 0);
  EXPECT_EQ(core.trace.view.trace.texts.back().text, " 5100");  // Vout -100..5100 mV
  OptionChOscillo_Click(core.trace, 7);
  EXPECT_EQ(core.trace.buffer.selectedQuantity, 0);
  EXPECT_EQ(notifications, 1);
}

TEST_F(TraceChannelChoice, ChannelTickIsKeptInTheSlotAndDrawn) {
  int panelTold = 0;
  const auto watch = core.monitor.livePanel.changed.subscribe([&] { ++panelTold; });
  fillFlat(100);
  ShowCanal_Click(core.trace, 2, true);
  EXPECT_TRUE(core.channels.slot(3).Show);
  EXPECT_TRUE(core.monitor.livePanel.showCanal[2]);
  EXPECT_EQ(panelTold, 1);
  const auto lines = dataLines();
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                          [&](const DrawLine& l) { return l.color == core.channels.slot(3).Color; }));
  ShowCanal_Click(core.trace, 2, false);
  EXPECT_FALSE(core.channels.slot(3).Show);
  EXPECT_EQ(dataLines().size(), lines.size() / 2);
  ShowCanal_Click(core.trace, 5, true);  // no such box
  EXPECT_EQ(panelTold, 2);
}

}  // namespace
}  // namespace oxalis
