// Measuring on the trace: statistics between the two cursors, fitted
// scales, any mix of the ten quantities drawn with their true extremes, and
// the window keys.
#include <map>
#include <random>
#include <tuple>

#include "TraceTestSupport.h"
#include "trace/TraceAnalysis.h"

namespace oxalis {
namespace {

class TraceAnalysis : public test::TraceTest {};

constexpr int kRichness = 1;

// Richness n % 1000 by sample: hand sums are easy.
std::int32_t sawtooth(std::int32_t n) { return n % 1000; }

TEST_F(TraceAnalysis, StatisticsBetweenTheCursorsMatchAHandComputation) {
  fill(70000, sawtooth);  // wrapped: samples 5000..69999 are held
  struct Case {
    std::int32_t a, b;
    double min, max, mean;
  };
  // Richness is shown in units (three decimals).
  const Case cases[] = {
      {10000, 10009, 0.000, 0.009, 0.0045},  // ten samples
      {64995, 65004, 0.000, 0.999, 0.4995},   // across the ring's wrap: 995..999, 0..4
      {30123, 30123, 0.123, 0.123, 0.123},    // one sample
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.a);
    for (const auto& [from, to] : {std::pair{c.a, c.b}, std::pair{c.b, c.a}}) {
      const SpanStats s = spanStats(core.trace.buffer, kRichness, 3, from, to);
      EXPECT_DOUBLE_EQ(s.min, c.min);
      EXPECT_DOUBLE_EQ(s.max, c.max);
      EXPECT_NEAR(s.mean, c.mean, 1e-9);
      EXPECT_DOUBLE_EQ(s.atFrom, sawtooth(from) / 1000.0);
      EXPECT_DOUBLE_EQ(s.atTo, sawtooth(to) / 1000.0);
    }
  }
}

TEST_F(TraceAnalysis, ReadoutBetweenTheCursorsAndItsCopy) {
  fill(3000, sawtooth);
  setView(0, 1000);
  core.trace.buffer.cursorSample = 100;
  placeCursorB(core.trace, xOf(250));  // sample 250: 150 samples after A
  const auto& view = core.trace.view;
  ASSERT_EQ(view.readout.size(), 1u);
  EXPECT_EQ(view.readout[0].a, "0.1");
  EXPECT_EQ(view.readout[0].b, "0.25");
  EXPECT_EQ(view.readout[0].delta, "0.15");
  EXPECT_EQ(view.readoutTime, "3");
  EXPECT_GE(view.cursorBX, 0);
  const std::string text = readoutText(core.trace);
  EXPECT_EQ(text.substr(0, text.find('\r')), "Quantity\tUnit\tA\tB\tB-A\tMin\tMax\tMean");
  EXPECT_NE(text.find("\t0.1\t0.25\t0.15\t0.1\t0.25\t0.175\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Time B-A (s)\t\t\t\t3\r\n"), std::string::npos);

  // Keys step the cursor B moved last; A swapped with B reverses only the sign.
  stepActiveCursor(core.trace, -150);
  EXPECT_EQ(core.trace.cursorB, 100);
  EXPECT_EQ(view.readoutTime, "0");
  clearCursorB(core.trace);
  EXPECT_TRUE(view.readout.empty());
  EXPECT_EQ(view.cursorBX, -1);
}

TEST_F(TraceAnalysis, AFittedFlatCurveStillHasAScale) {
  fillFlat(2000);
  setView(0, 1000);
  fitQuantity(core.trace, kRichness, true);
  const ValueScale scale = quantityScale(core.trace, kRichness);
  EXPECT_LT(scale.lo, 1000);
  EXPECT_GT(scale.hi, 1000);
  for (const DrawLine& l : dataLines()) {
    EXPECT_GT(l.y1, 0);
    EXPECT_LT(l.y1, core.trace.view.traceHeight);
  }
  toggleActiveFit(core.trace);  // a double click on the axis: back to 0..1800
  EXPECT_EQ(quantityScale(core.trace, kRichness).hi, 1800);
}

TEST_F(TraceAnalysis, AllTenQuantitiesKeepTheirTrueExtremesInEveryColumn) {
  std::mt19937 random(7);
  std::uniform_int_distribution<std::int32_t> value(0, 1000);
  fill(65000, [](std::int32_t) { return 0; });
  for (std::int32_t n = 0; n < 65000; ++n) {
    TraceSample& s = core.trace.buffer.at(n);
    s.vOutMv = static_cast<std::int16_t>(value(random));
    s.richness = static_cast<std::int16_t>(value(random));
    s.lambda = value(random);
    s.o2 = value(random);
    s.airFuel = value(random);
    for (auto& c : s.channel) c = value(random);
  }
  // Each quantity in its own colour, so its lines can be told apart.
  for (int q = 0; q < kTraceQuantities; ++q) {
    const int slot = q < 5 ? std::array{6, 7, 9, 8, 10}[static_cast<std::size_t>(q)] : q - 4;
    core.channels.slot(slot).Color = 0x010101u * static_cast<std::uint32_t>(q + 1);
  }
  core.monitor.livePanel.showCanal = {true, true, true, true, true};
  for (int q = 0; q < 5; ++q) overlayQuantity(core.trace, q, true);
  ASSERT_EQ(drawnQuantities(core.trace).size(), 10u);

  for (std::int32_t width : {700, 6000, 64990}) {  // fewer, some and many samples per column
    SCOPED_TRACE(width);
    setView(0, width);
    const std::int64_t last = std::min<std::int64_t>(width, 65000 - 2);
    for (int q = 0; q < kTraceQuantities; ++q) {
      const ValueScale scale = quantityScale(core.trace, q);
      std::map<int, std::pair<int, int>> truth, drawn;
      const auto add = [](std::map<int, std::pair<int, int>>& m, int x, int y) {
        auto [it, added] = m.try_emplace(x, y, y);
        it->second = {std::min(it->second.first, y), std::max(it->second.second, y)};
      };
      for (std::int64_t n = 0; n <= last; ++n)
        add(truth, xOf(n),
            mapLinear(storedValue(core.trace.buffer.at(static_cast<std::int32_t>(n)), q), scale.lo, scale.hi,
                      core.trace.view.traceHeight, 0));
      for (const DrawLine& l : dataLines())
        if (l.color == 0x010101u * static_cast<std::uint32_t>(q + 1) && l.x1 == l.x2) {
          add(drawn, l.x1, l.y1);
          add(drawn, l.x2, l.y2);
        }
      for (const auto& [x, span] : truth)
        if (span.first != span.second) {
          EXPECT_EQ(drawn[x], span) << "quantity " << q << " column " << x;
        }
    }
  }
}

TEST_F(TraceAnalysis, TheQuantityButtonsAloneDrawAsBefore) {
  fill(3000, sawtooth);
  setView(0, 1000);
  const auto before = core.trace.view.trace;
  overlayQuantity(core.trace, 4, true);
  fitQuantity(core.trace, kRichness, true);
  EXPECT_FALSE(core.trace.view.legend.empty());
  overlayQuantity(core.trace, 4, false);
  fitQuantity(core.trace, kRichness, false);
  const auto& after = core.trace.view.trace;
  const auto sameLine = [](const DrawLine& a, const DrawLine& b) {
    return std::tie(a.x1, a.y1, a.x2, a.y2, a.color, a.dotted) == std::tie(b.x1, b.y1, b.x2, b.y2, b.color, b.dotted);
  };
  const auto sameText = [](const DrawText& a, const DrawText& b) {
    return std::tie(a.x, a.y, a.text, a.color) == std::tie(b.x, b.y, b.text, b.color);
  };
  EXPECT_TRUE(std::equal(after.lines.begin(), after.lines.end(), before.lines.begin(), before.lines.end(), sameLine));
  EXPECT_TRUE(std::equal(after.texts.begin(), after.texts.end(), before.texts.begin(), before.texts.end(), sameText));
  EXPECT_TRUE(core.trace.view.legend.empty());  // nothing drawn over the trace
}

TEST_F(TraceAnalysis, WindowKeysAndWheel) {
  fill(70000, sawtooth);  // holds 5000..69999
  setView(20000, 21000);
  fitAll(core.trace);
  EXPECT_EQ(core.trace.buffer.viewStart, 5000);
  EXPECT_EQ(core.trace.buffer.viewEnd, 69999);

  setView(20000, 21000);
  jumpToStart(core.trace);
  EXPECT_EQ(core.trace.buffer.viewStart, 5000);
  EXPECT_EQ(core.trace.buffer.viewEnd, 6000);
  jumpToEnd(core.trace);
  EXPECT_EQ(core.trace.buffer.viewEnd, 69999);
  EXPECT_EQ(core.trace.buffer.viewEnd - core.trace.buffer.viewStart, 1000);

  setView(20000, 21000);
  const int x = xOf(20250);
  wheelZoom(core.trace, x, 3);  // in, around the pointer
  EXPECT_LT(core.trace.buffer.viewEnd - core.trace.buffer.viewStart, 1000);
  EXPECT_NEAR(sampleUnderMouse(core.trace, x), 20250, 2);
  wheelZoom(core.trace, x, -60);  // out as far as the ring goes
  EXPECT_EQ(core.trace.buffer.viewEnd - core.trace.buffer.viewStart, TraceBuffer::kRingSize);
  EXPECT_GE(core.trace.buffer.viewStart, 5000);
}

}  // namespace
}  // namespace oxalis
