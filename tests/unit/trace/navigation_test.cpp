// Steering the trace: the cursor and its value boxes, zoom with the right
// button, panning with the left, the overview strip, the time base and the
// choice of curves.
#include <algorithm>

#include "TraceTestSupport.h"
#include "util/NumberFormat.h"

namespace oxalis {
namespace {

using TraceCursor = test::TraceTest;
using TraceZoom = test::TraceTest;
using TracePan = test::TraceTest;
using TraceTimeBase = test::TraceTest;
using TraceChannelChoice = test::TraceTest;
using TraceOverviewStrip = test::TraceTest;

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

  setView(1000, 2000);
  rightDrag(core, 326, 300);  // leftwards: the same range
  EXPECT_EQ(core.trace.buffer.viewStart, 1300);
  EXPECT_EQ(core.trace.buffer.viewEnd, 1326);

  setView(1000, 2000);
  rightDrag(core, 300, 325);  // 25 samples is still a click
  EXPECT_EQ(core.trace.buffer.viewEnd - core.trace.buffer.viewStart, 2200);
}

// After a zoom in the cursor is on the sample under the mouse in the new
// window, its line and time shown, its boxes reading that sample.
TEST_F(TraceZoom, ZoomingInKeepsTheCursorInViewUnderTheMouse) {
  fill(5000, [](std::int32_t n) { return n % 1800; });
  struct Drag {
    int from, to;
  };
  for (const Drag& d : {Drag{300, 326}, Drag{326, 300}, Drag{10, -100}, Drag{700, 1300}, Drag{100, 900}}) {
    setView(1000, 2000);
    rightDrag(core, d.from, d.to);
    const TraceBuffer& b = core.trace.buffer;
    SCOPED_TRACE(d.from);
    EXPECT_GE(b.cursorSample, b.viewStart);
    EXPECT_LE(b.cursorSample, b.viewEnd);
    EXPECT_EQ(b.cursorSample, std::clamp(sampleUnderMouse(core.trace, d.to), b.viewStart, b.viewEnd));
    EXPECT_GE(core.trace.view.cursorX, 0);
    EXPECT_EQ(core.trace.view.WCuseur, FormatPlainNumber(b.cursorSample / 50.0));
    EXPECT_EQ(core.trace.view.ValCurseur[1], formatFixedValue(b.cursorSample % 1800, false, 3));
  }
}

// While the right button is held over more than 25 samples, the range the
// zoom will show is marked; a shorter drag (a click: zoom out) marks
// nothing, nor does anything once the button is released.
TEST_F(TraceZoom, ARightDragShowsTheRectangleItWillZoomInOn) {
  fillFlat(5000);
  setView(1000, 2000);
  const TraceModel& view = core.trace.view;
  Oscillo_MouseDown(core.trace, 300, true);
  struct Move {
    int x, left, right;
  };
  for (const Move& m : {Move{320, -1, -1}, Move{500, 300, 500}, Move{100, 100, 300}, Move{1400, 300, 1000}}) {
    Oscillo_MouseMove(core.trace, m.x, false);
    EXPECT_EQ(view.zoomBandLeft, m.left) << m.x;
    EXPECT_EQ(view.zoomBandRight, m.right) << m.x;
  }
  Oscillo_MouseUp(core.trace, 1400, true);
  EXPECT_EQ(view.zoomBandLeft, -1);
  EXPECT_EQ(core.trace.buffer.viewStart, 1300);
  EXPECT_EQ(core.trace.buffer.viewEnd, 2000);
  Oscillo_MouseMove(core.trace, 500, false);  // no button: no rectangle
  EXPECT_EQ(view.zoomBandLeft, -1);
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
  fillFlat(5000);
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

// A wider time base keeps the window's start while the recording fills it,
// and is otherwise moved back to end a tenth past the newest sample (where
// a page jump leaves it), never before the oldest sample held.
TEST_F(TraceTimeBase, AWiderTimeBaseShowsMoreOfTheRecordingNotEmptyTimeAfterIt) {
  struct Case {
    std::int32_t samples;
    std::int32_t start, end;  // the window before
    const char* entry;
    std::int32_t shownStart, shownEnd;
  };
  for (const Case& c : {
           Case{6900, 6400, 7400, "500s", 0, 25000},           // 138 s recorded, 20 s pages
           Case{30000, 29900, 30900, "500s", 7500, 32500},    // the end of a longer one
           Case{100000, 99500, 100500, "500s", 77500, 102500},  // wrapped: oldest held is 35000
           Case{100000, 36000, 37000, "500s", 36000, 61000},  // room to the right: the start stays
           Case{6900, 0, 25000, "5s", 0, 250},                 // narrower: the start stays
           Case{0, 300, 1300, "50s", 0, 2500},                 // nothing recorded
       }) {
    fillFlat(c.samples);
    setView(c.start, c.end);
    TimeBase_Click(core.trace, c.entry);
    EXPECT_EQ(core.trace.buffer.viewStart, c.shownStart) << c.samples << " " << c.start;
    EXPECT_EQ(core.trace.buffer.viewEnd, c.shownEnd) << c.samples << " " << c.start;
  }
}

TEST_F(TraceTimeBase, ATypedEntryIsShownAtOnceAndOtherTextKeepsTheWidth) {
  fillFlat(20000);
  TimeBase_Validate(core.trace, "200s");
  EXPECT_EQ(core.trace.tracePoints, 10000);
  EXPECT_EQ(core.trace.view.timeBaseText, "200s");
  EXPECT_EQ(core.trace.buffer.viewEnd, 10000);

  TimeBase_Validate(core.trace, " 50s");  // only an entry as it stands
  EXPECT_EQ(core.trace.tracePoints, 10000);
  EXPECT_EQ(core.trace.view.timeBaseText, "200s");

  setView(3000, 13000);
  TimeBase_Validate(core.trace, "200s");  // the span on screen: nothing moves
  EXPECT_EQ(core.trace.buffer.viewStart, 3000);
}

// The box names the span on screen: its entry when it is one, otherwise the
// seconds, whatever set the window; the time base itself is kept.
TEST_F(TraceTimeBase, TheBoxNamesTheSpanOnScreen) {
  fillFlat(5000);
  const TraceModel& view = core.trace.view;
  EXPECT_EQ(view.spanText, "20s");
  setView(1000, 2000);
  rightDrag(core, 300, 326);  // 26 samples
  EXPECT_EQ(view.spanText, "0.52s");
  rightDrag(core, 500, 500);  // 2.2 times: 56 samples
  EXPECT_EQ(view.spanText, "1.12s");
  EXPECT_EQ(view.timeBaseText, "20s");
  for (int n = 0; n < 200; ++n) recordSample(core.trace, false);  // a page jump
  EXPECT_EQ(view.spanText, "20s");
}

TEST_F(TraceChannelChoice, QuantityButtonsChooseTheCurveAndItsGrid) {
  notifications = 0;
  OptionChOscillo_Click(core.trace, 0);
  EXPECT_EQ(core.trace.buffer.selectedQuantity, 0);
  const auto& texts = core.trace.view.trace.texts;
  EXPECT_TRUE(std::any_of(texts.begin(), texts.end(),
                          [](const DrawText& t) { return t.text == " 5100"; }));  // Vout -100..5100 mV
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

// The strip spans the ring's 65000 samples over its 1000 pixels: 65 samples
// a pixel. A press beside the box centres the window there; a press on the
// box takes hold of it, and moving with the button held drags it, its
// width kept, within the samples the ring holds and no further than a
// tenth of the width past the newest.
TEST_F(TraceOverviewStrip, AClickOrADragMovesTheWindowAlongTheRing) {
  fillFlat(40000);
  setView(1000, 2000);  // the box spans pixels 15..31
  const TraceBuffer& b = core.trace.buffer;
  struct Step {
    enum Kind { Press, Move, Release } kind;
    int x;
    bool held;
    std::int32_t start;  // the window after the step
  };
  for (const Step& s : {
           Step{Step::Press, 200, true, 12500},   // 13000 centred
           Step{Step::Move, 300, true, 19000},    // dragged 100 px on
           Step{Step::Move, -50, true, 0},        // stops at sample 0
           Step{Step::Release, -50, false, 0},
           Step{Step::Move, 400, false, 0},       // released: nothing moves
           Step{Step::Press, 8, true, 0},         // on the box: taken hold of
           Step{Step::Move, 18, true, 650},       // 10 px on, as grabbed
           Step{Step::Move, 5000, true, 39100},   // stops just past the newest sample
           Step{Step::Release, 5000, false, 39100},
       }) {
    if (s.kind == Step::Press) Ctrl_Zoom_MouseDown(core.trace, s.x);
    if (s.kind == Step::Move) Ctrl_Zoom_MouseMove(core.trace, s.x, s.held);
    if (s.kind == Step::Release) Ctrl_Zoom_MouseUp(core.trace);
    EXPECT_EQ(b.viewStart, s.start) << s.kind << " " << s.x;
    EXPECT_EQ(b.viewEnd - b.viewStart, 1000) << s.kind << " " << s.x;
  }
  EXPECT_EQ(core.trace.view.spanText, "20s");

  // A wrapped ring: the strip starts at the oldest sample held.
  fillFlat(100000);  // 35000..99999 held
  setView(90000, 91000);
  Ctrl_Zoom_MouseDown(core.trace, 0);
  EXPECT_EQ(b.viewStart, 35000);
  Ctrl_Zoom_MouseMove(core.trace, 999, true);
  EXPECT_EQ(b.viewEnd, 100000);
  Ctrl_Zoom_MouseUp(core.trace);
}

}  // namespace
}  // namespace oxalis
