// The picture as display lists: the coordinate rule, the grids and their
// labels, the curves, the overview box, and what a newest segment or a data
// redraw adds.
#include <cmath>
#include <limits>

#include "TraceTestSupport.h"

namespace oxalis {
namespace {

using TraceDrawing = test::TraceTest;

// The time labels of the axis, without the unit that closes it.
std::vector<DrawText> timeLabels(const TraceModel& view) {
  std::vector<DrawText> labels;
  for (const DrawText& t : view.axis.texts)
    if (t.text != kTimeUnit) labels.push_back(t);
  return labels;
}

std::vector<std::string> textsOf(const std::vector<DrawText>& list) {
  std::vector<std::string> texts;
  for (const DrawText& t : list) texts.push_back(t.text);
  return texts;
}

// The value labels of the trace area, without the quantity's name.
std::vector<DrawText> valueLabels(const TraceModel& view) {
  std::vector<DrawText> labels;
  for (const DrawText& t : view.trace.texts)
    if (t.color == kValueLabelColor && t.x == 0) labels.push_back(t);
  return labels;
}

TEST(TraceMapLinear, FloorsClampsAndWidensAZeroRange) {
  EXPECT_EQ(mapLinear(5, 0, 10, 0, 100), 50);
  EXPECT_EQ(mapLinear(-0.01, 0, 10, 0, 100), -1);  // below, not towards zero
  // Values onto a downward pixel range: the minimum on the bottom edge.
  EXPECT_EQ(mapLinear(0, 0, 1800, 500, 0), 500);
  EXPECT_EQ(mapLinear(1, 0, 1800, 500, 0), 499);
  EXPECT_EQ(mapLinear(1800, 0, 1800, 500, 0), 0);
  EXPECT_EQ(mapLinear(1e9, 0, 1, 0, 1000), 32767);
  EXPECT_EQ(mapLinear(-1e9, 0, 1, 0, 1000), -32768);
  EXPECT_EQ(mapLinear(5, 5, 5, 0, 100), 0);
  EXPECT_EQ(mapLinear(6, 5, 5, 0, 100), 100);
  EXPECT_EQ(mapLinear(1e300, 1e300, 1e300, 7, 100), 7);  // widening by 1 is lost at that size
  EXPECT_EQ(mapLinear(std::nan(""), 0, 10, 3, 100), 3);
}

TEST_F(TraceDrawing, AZeroSizeAreaGivesEmptyPicturesAndNoDivisionByZero) {
  fill(3000, [](std::int32_t n) { return n % 1800; });
  traceResized(core.trace, 0, 0, 0, 0);
  EXPECT_TRUE(core.trace.view.trace.empty());
  EXPECT_TRUE(core.trace.view.axis.empty());
  EXPECT_TRUE(core.trace.view.strip.empty());
  EXPECT_EQ(core.trace.view.cursorX, -1);
  drawSegment(core.trace, 1, 2);
  redrawData(core.trace);
  EXPECT_TRUE(core.trace.view.trace.empty());
  EXPECT_EQ(sampleUnderMouse(core.trace, 500), core.trace.buffer.viewStart);

  traceResized(core.trace, 1000, 0, 1000, 20);  // width without height
  EXPECT_TRUE(core.trace.view.trace.empty());
  traceResized(core.trace, 1000, 500, 1000, 20);
  EXPECT_FALSE(dataLines().empty());
}

TEST_F(TraceDrawing, AnEmptyOrBackwardWindowIsGivenOneSecond) {
  setView(400, 400);
  EXPECT_EQ(core.trace.buffer.viewEnd, 450);
  setView(400, 100);
  EXPECT_EQ(core.trace.buffer.viewEnd, 450);
  setView(0, 0);
  EXPECT_EQ(core.trace.buffer.viewEnd, 50);
}

TEST_F(TraceDrawing, TimeLabelsReadWholeSecondsOfTheirGridLines) {
  // 60 px a text gives a grid step of 100 samples.
  core.trace.view.textWidth = [](std::string_view t) { return t == kTimeUnit ? 10 : 60; };
  setView(80, 1080);
  const auto& lines = core.trace.view.trace.lines;
  const auto labels = timeLabels(core.trace.view);
  ASSERT_EQ(labels.size(), 10u);
  EXPECT_EQ(textsOf(labels), (std::vector<std::string>{"2", "4", "6", "8", "10", "12", "14", "16", "18", "20"}));
  // The first line is sample 100, 20 px in, labelled 2 and as near to
  // centred as the left end allows; the others are centred, under a tick.
  EXPECT_EQ(lines[0].x1, 20);
  EXPECT_EQ(labels[0].x, 0);
  EXPECT_EQ(labels[1].x, 120 - 30);
  EXPECT_EQ(labels[1].y, kTimeAxisTextTop);
  EXPECT_EQ(core.trace.view.axis.lines[1].x1, 120);
  for (std::size_t i = 0; i < labels.size(); ++i) {
    EXPECT_TRUE(lines[i].dotted);
    EXPECT_EQ(lines[i].color, kTraceGridColor);
    EXPECT_EQ(lines[i].x1, lines[i].x2);
    EXPECT_EQ(lines[i].y1, 0);
    EXPECT_EQ(lines[i].y2, 500);
  }
}

TEST_F(TraceDrawing, TimeGridStepDoublesUntilTheLabelsHaveRoom) {
  setView(0, 65000);
  const auto labels = timeLabels(core.trace.view);
  const int room = core.trace.view.textWidth("65000");
  ASSERT_GE(labels.size(), 2u);
  const int step = std::stoi(labels[1].text) - std::stoi(labels[0].text);
  EXPECT_EQ(step, 64);  // 3200 samples: 49 px apart for labels of 35 px
  for (std::size_t i = 1; i < labels.size(); ++i)
    EXPECT_GE(core.trace.view.trace.lines[i].x1 - core.trace.view.trace.lines[i - 1].x1, room);

  // An area too narrow for any label still ends with one line or two.
  traceResized(core.trace, 3, 500, 3, 20);
  EXPECT_LE(core.trace.view.axis.lines.size(), 2u);
}

// Every label lies whole within the axis, clear of its neighbours and of
// the unit at the right end; the strip under the axis carries no text.
TEST_F(TraceDrawing, TimeLabelsStayWholeOnTheAxisAndTheUnitClosesIt) {
  fillFlat(70000);
  const TraceModel& view = core.trace.view;
  struct Window {
    std::int32_t start, end;
  };
  for (const Window& w : {Window{80, 1080}, Window{0, 1000}, Window{6410, 6660}, Window{123, 25123},
                          Window{5000, 70000}, Window{64990, 65110}}) {
    setView(w.start, w.end);
    ASSERT_FALSE(view.axis.texts.empty());
    const DrawText& unit = view.axis.texts.front();
    EXPECT_EQ(unit.text, "s");
    EXPECT_EQ(unit.x + view.textWidth(unit.text), view.traceWidth) << w.start;
    const auto labels = timeLabels(view);
    EXPECT_GE(labels.size(), 2u) << w.start;
    int previousRight = -1;
    for (const DrawText& label : labels) {
      EXPECT_GT(label.x, previousRight) << w.start << " " << label.text;
      previousRight = label.x + view.textWidth(label.text);
      EXPECT_LT(previousRight, unit.x) << w.start << " " << label.text;
      // Each names a grid line within the window.
      const std::int64_t second = std::stoll(label.text);
      EXPECT_GE(second * 50, w.start);
      EXPECT_LE(second * 50, w.end);
    }
    EXPECT_TRUE(view.strip.texts.empty());
  }
}

TEST_F(TraceDrawing, ValueAxisNamesTheDrawnQuantityWithItsUnit) {
  const TraceModel& view = core.trace.view;
  struct Case {
    int option;
    int slot;
    const char* caption;
  };
  core.channels.slot(8).Color = 0x00FFFF;
  for (const Case& c : {Case{0, 6, "Vout (mV)"}, Case{1, 7, "Richness"}, Case{2, 9, "Lambda"}, Case{3, 8, "O2 (%)"},
                        Case{4, 10, "A/F"}}) {
    OptionChOscillo_Click(core.trace, c.option);
    const DrawText& caption = view.trace.texts.back();
    EXPECT_EQ(caption.text, c.caption);
    EXPECT_EQ(caption.color, core.channels.slot(c.slot).Color);
    EXPECT_EQ(caption.y, 0);
    // Beside the top value label, not over it.
    const DrawText top = valueLabels(view).back();  // a copy: the list is a temporary
    EXPECT_GT(caption.x, top.x + view.textWidth(top.text)) << c.caption;
  }
}

TEST_F(TraceDrawing, ValueGridLabelsTheSelectedQuantityWithItsDecimals) {
  const std::size_t grid = core.trace.view.gridLines;
  const auto& lines = core.trace.view.trace.lines;
  const auto labels = valueLabels(core.trace.view);
  EXPECT_EQ(textsOf(labels), (std::vector<std::string>{" 0.000", " 0.180", " 0.360", " 0.540", " 0.720", " 0.900",
                                                       " 1.080", " 1.260", " 1.440", " 1.620", " 1.800"}));
  const DrawLine& bottom = lines[grid - 11];
  EXPECT_EQ(bottom.y1, 500);
  EXPECT_EQ(bottom.x2, 1000);
  EXPECT_TRUE(bottom.dotted);
  EXPECT_EQ(lines[grid - 1].y1, 0);
  EXPECT_EQ(labels.back().y, 0);          // the top label stays inside the area
  EXPECT_EQ(labels.front().y, 500 - 13);  // and so does the bottom one

  OptionChOscillo_Click(core.trace, 3);  // O2, -15.00 .. 22.00 %
  EXPECT_EQ(core.trace.view.trace.texts.front().text, "-15.00");
  EXPECT_EQ(core.trace.view.trace.texts[1].text, "-11.30");
}

TEST_F(TraceDrawing, ValueGridOfANarrowEmptyOrUpsideDownRangeEnds) {
  core.channels.slot(7).Min = 0;
  core.channels.slot(7).Max = 5;
  repaintTrace(core.trace);
  EXPECT_EQ(valueLabels(core.trace.view).size(), 6u);  // a line per unit

  core.channels.slot(7).Max = 0;
  repaintTrace(core.trace);
  EXPECT_EQ(valueLabels(core.trace.view).size(), 1u);

  core.channels.slot(7).Min = 10;
  repaintTrace(core.trace);
  EXPECT_EQ(valueLabels(core.trace.view).size(), 11u);
  EXPECT_EQ(core.trace.view.trace.texts.front().text, " 0.010");

  core.channels.slot(7).Min = -1e300;
  core.channels.slot(7).Max = std::numeric_limits<double>::infinity();
  repaintTrace(core.trace);
  EXPECT_LE(valueLabels(core.trace.view).size(), 21u);
}

TEST_F(TraceDrawing, ZeroValueRangeStillDraws) {
  core.channels.slot(7).Min = 1000;
  core.channels.slot(7).Max = 1000;
  fill(300, [](std::int32_t n) { return n % 2 ? 1001 : 1000; });
  repaintTrace(core.trace);
  const auto lines = dataLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front().y1, 500);  // 1000 on the bottom edge
  EXPECT_EQ(lines.front().y2, 0);    // 1001 one unit up: the top edge
}

TEST_F(TraceDrawing, FewerSamplesThanPixelsDrawSampleToSampleSegments) {
  fill(150, [](std::int32_t n) { return 10 * n; });
  setView(0, 100);
  const auto lines = dataLines();
  ASSERT_EQ(lines.size(), 100u);  // samples 0..100
  for (std::int32_t i = 0; i < 100; ++i) {
    const DrawLine& l = lines[static_cast<std::size_t>(i)];
    EXPECT_EQ(l.x1, xOf(i));
    EXPECT_EQ(l.y1, yOf(10 * i));
    EXPECT_EQ(l.x2, xOf(i + 1));
    EXPECT_EQ(l.y2, yOf(10 * (i + 1)));
    EXPECT_FALSE(l.dotted);
    EXPECT_EQ(l.color, core.channels.slot(7).Color);
  }
}

TEST_F(TraceDrawing, EveryTickedChannelIsDrawnOnItsScaleTimesItsDecimals) {
  ChannelDefinition& can1 = core.channels.slot(1);
  can1.Dec = 2;
  can1.Min = 0;
  can1.Max = 50;  // 0..5000 in stored units
  core.monitor.livePanel.showCanal = {true, false, false, true, false};
  fill(3, [](std::int32_t) { return 900; });
  for (std::int32_t n = 0; n < 3; ++n) core.trace.buffer.at(n).channel[0] = 2500;
  OptionChOscillo_Click(core.trace, 1);
  const auto lines = dataLines();
  ASSERT_EQ(lines.size(), 3u);  // samples 0..1 of three curves
  EXPECT_EQ(lines[0].color, core.channels.slot(7).Color);
  EXPECT_EQ(lines[0].y1, yOf(900));
  EXPECT_EQ(lines[1].color, can1.Color);
  EXPECT_EQ(lines[1].y1, 250);
  EXPECT_EQ(lines[2].color, core.channels.slot(4).Color);
  EXPECT_EQ(lines[2].y1, 500);
}

TEST_F(TraceDrawing, OnlySamplesTheRingHoldsAreDrawn) {
  fill(70000, [](std::int32_t) { return 900; });  // samples 5000..69999 held
  setView(4000, 6000);
  const auto lines = dataLines();
  ASSERT_FALSE(lines.empty());
  for (const DrawLine& l : lines) EXPECT_GE(std::min(l.x1, l.x2), xOf(5000));

  // The newest sample waits for its own segment.
  fill(500, [](std::int32_t) { return 900; });
  setView(0, 1000);
  EXPECT_EQ(dataLines().back().x2, xOf(498));
  const std::size_t before = core.trace.view.trace.lines.size();
  notifications = 0;
  drawSegment(core.trace, 498, 499);
  ASSERT_EQ(core.trace.view.trace.lines.size(), before + 1);
  EXPECT_EQ(core.trace.view.trace.lines.back().x2, xOf(499));
  EXPECT_EQ(notifications, 1);
}

TEST_F(TraceDrawing, SegmentsWhollyOutsideTheWindowAreLeftOut) {
  fill(5000, [](std::int32_t) { return 900; });
  setView(1000, 2000);
  const std::size_t before = core.trace.view.trace.lines.size();
  notifications = 0;
  drawSegment(core.trace, 3000, 3001);
  drawSegment(core.trace, 10, 11);
  EXPECT_EQ(core.trace.view.trace.lines.size(), before);
  EXPECT_EQ(notifications, 0);
  drawSegment(core.trace, 999, 1000);  // enters at the left edge
  EXPECT_EQ(core.trace.view.trace.lines.size(), before + 1);
}

TEST_F(TraceDrawing, RedrawingTheDataKeepsTheGridAndReplacesTheData) {
  fill(1200, [](std::int32_t n) { return n; });
  setView(0, 1000);
  const auto grid = core.trace.view.gridLines;
  const auto data = dataLines().size();
  const auto generation = core.trace.view.repaintGeneration;
  drawSegment(core.trace, 1000, 1001);
  redrawData(core.trace);
  EXPECT_EQ(core.trace.view.gridLines, grid);
  EXPECT_EQ(dataLines().size(), data);
  EXPECT_EQ(core.trace.view.repaintGeneration, generation + 1);
}

TEST_F(TraceDrawing, OverviewBoxShowsTheWindowWithinTheRing) {
  setView(0, 1000);
  EXPECT_EQ(core.trace.buffer.overviewLeft, 0);
  EXPECT_EQ(core.trace.buffer.overviewRight, 15);  // 15.4
  ASSERT_EQ(core.trace.view.strip.boxes.size(), 1u);
  const DrawBox& box = core.trace.view.strip.boxes[0];
  EXPECT_EQ(box.right, 15);
  EXPECT_EQ(box.bottom, 20);
  EXPECT_EQ(box.color, kOverviewBoxColor);

  fill(70000, [](std::int32_t) { return 0; });  // oldest held: 5000
  setView(68000, 69000);
  EXPECT_EQ(core.trace.buffer.overviewLeft, 969);   // 969.2
  EXPECT_EQ(core.trace.buffer.overviewRight, 985);  // 984.6
}

TEST_F(TraceDrawing, TheCursorIsAnOverlayThatNeverTouchesTheData) {
  fill(3000, [](std::int32_t n) { return n % 1800; });
  setView(0, 1000);
  const auto lines = core.trace.view.trace.lines;
  const auto generation = core.trace.view.repaintGeneration;
  for (int x = 0; x < 1000; x += 37) Oscillo_MouseMove(core.trace, x, false);
  EXPECT_EQ(core.trace.view.cursorX, 999);
  EXPECT_EQ(core.trace.view.repaintGeneration, generation);
  ASSERT_EQ(core.trace.view.trace.lines.size(), lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(core.trace.view.trace.lines[i].x1, lines[i].x1);
}

}  // namespace
}  // namespace oxalis
