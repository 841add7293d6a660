// A window holding more samples than pixels: every pixel column shows the
// full span of the samples it covers, so a short excursion is never lost,
// at about two lines per column and curve.
#include <map>
#include <random>

#include "TraceTestSupport.h"

namespace oxalis {
namespace {

class TraceDecimation : public test::TraceTest {
 protected:
  struct Span {
    int top = std::numeric_limits<int>::max();
    int bottom = std::numeric_limits<int>::min();
    void add(int y) {
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
    bool operator==(const Span& o) const { return top == o.top && bottom == o.bottom; }
    // The column's first and last sample, where the joins arrive and leave.
    int first = 0;
    int last = 0;
  };

  // Per pixel column, the highest and lowest y of the samples on it.
  std::map<int, Span> trueSpans() const {
    const TraceBuffer& t = core.trace.buffer;
    const std::int64_t oldest = t.ringWrapped ? t.sampleCount - TraceBuffer::kRingSize : 0;
    const std::int64_t first = std::max<std::int64_t>(t.viewStart, oldest);
    const std::int64_t last = std::min<std::int64_t>(t.viewEnd, t.sampleCount - 2);
    std::map<int, Span> spans;
    for (std::int64_t n = first; n <= last; ++n) {
      const int y = yOf(t.at(static_cast<std::int32_t>(n)).richness);
      auto [column, added] = spans.try_emplace(xOf(n));
      if (added) column->second.first = y;
      column->second.add(y);
      column->second.last = y;
    }
    return spans;
  }

  // Per pixel column, the highest and lowest end of the lines drawn on it.
  std::map<int, Span> drawnSpans() const {
    std::map<int, Span> spans;
    for (const DrawLine& l : dataLines()) {
      spans[l.x1].add(l.y1);
      spans[l.x2].add(l.y2);
    }
    return spans;
  }

  bool reaches(int x, int y) const {
    for (const DrawLine& l : dataLines())
      if ((l.x1 == x && l.y1 == y) || (l.x2 == x && l.y2 == y)) return true;
    return false;
  }
};

TEST_F(TraceDecimation, AOneSampleSpikeInA65000SampleWindowIsDrawn) {
  fill(65002, [](std::int32_t n) { return n == 31234 ? 1800 : n == 40001 ? 0 : 1000; });
  for (int width : {1000, 1920, 640}) {
    traceResized(core.trace, width, 600, width, 20);
    setView(2, 65002);
    EXPECT_TRUE(reaches(xOf(31234), yOf(1800))) << width;  // rich
    EXPECT_TRUE(reaches(xOf(40001), yOf(0))) << width;     // lean
  }
}

TEST_F(TraceDecimation, DrawnExtremesOfEveryColumnAreTheTrueExtremes) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> value(0, 1800);
  std::uniform_int_distribution<int> rare(0, 99);
  // Mostly a slow wave with rare spikes both ways.
  fill(90000, [&](std::int32_t n) {
    const int r = rare(random);
    return r == 0 ? 1800 : r == 1 ? 0 : 900 + (n / 97) % 300 + value(random) % 40;
  });
  struct Case {
    int width;
    std::int32_t start, end;
  };
  for (const Case c :
       {Case{1000, 25000, 90000}, Case{1920, 60000, 85000}, Case{333, 30001, 31000}, Case{1000, 40000, 41000},
        Case{1000, 40000, 41001}, Case{1000, 40000, 40999}, Case{777, 89000, 91000}, Case{1000, 50000, 50050}}) {
    traceResized(core.trace, c.width, 600, c.width, 20);
    setView(c.start, c.end);
    const auto truth = trueSpans();
    const auto drawn = drawnSpans();
    ASSERT_FALSE(truth.empty());
    EXPECT_TRUE(truth == drawn) << c.width << " " << c.start << ".." << c.end;

    // Lines stay within a column, or join a column's last sample to the
    // next column's first.
    std::size_t joins = 0;
    for (const DrawLine& l : dataLines()) {
      if (l.x1 == l.x2) continue;
      ++joins;
      const auto next = truth.upper_bound(l.x1);
      ASSERT_NE(next, truth.end());
      EXPECT_EQ(l.x2, next->first);
      EXPECT_EQ(l.y1, truth.at(l.x1).last);
      EXPECT_EQ(l.y2, next->second.first);
    }
    EXPECT_EQ(joins, truth.size() - 1);
    EXPECT_LE(dataLines().size(), 2 * truth.size());
  }
}

TEST_F(TraceDecimation, CostStaysAtTwoLinesPerColumnAndCurve) {
  core.monitor.livePanel.showCanal = {true, true, true, true, false};
  fill(65000, [](std::int32_t n) { return (n * 7919) % 1800; });
  for (std::int32_t n = 0; n < 65000; ++n)
    core.trace.buffer.at(n).channel = {n % 5000, (n * 3) % 5000, n % 17, 4999 - n % 5000, 0};
  traceResized(core.trace, 1920, 600, 1920, 20);
  setView(0, 65000);
  EXPECT_LE(dataLines().size(), 2u * 1920 * 5);
  EXPECT_GE(dataLines().size(), 1920u * 5);  // every column of every curve
}

}  // namespace
}  // namespace oxalis
