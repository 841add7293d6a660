#include "TableCurve.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace oxalis {

namespace {

constexpr int kTicks = 4;  // value labels on each axis, ends included: kTicks + 1

// A label for an axis value: as many decimals as the span needs.
QString axisLabel(double value, double span) {
  const int decimals = span >= 50 ? 0 : span >= 5 ? 1 : span >= 0.5 ? 2 : 3;
  return QString::number(value, 'f', decimals);
}

// The range of one coordinate, widened when every point has the same value.
std::pair<double, double> range(const std::vector<std::pair<double, double>>& points, bool out) {
  double low = out ? points.front().second : points.front().first;
  double high = low;
  for (const auto& [in, value] : points) {
    const double v = out ? value : in;
    low = std::min(low, v);
    high = std::max(high, v);
  }
  if (high - low < 1e-9) {
    low -= 1;
    high += 1;
  }
  return {low, high};
}

}  // namespace

TableCurve::TableCurve(QWidget* parent) : QWidget(parent) {
  setObjectName("TableCurve");
  setAutoFillBackground(false);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TableCurve::setCurve(std::vector<std::pair<double, double>> points, const QString& inTitle,
                          const QString& outTitle) {
  if (points == points_ && inTitle == inTitle_ && outTitle == outTitle_) return;
  points_ = std::move(points);
  inTitle_ = inTitle;
  outTitle_ = outTitle;
  update();
}

void TableCurve::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(rect(), Qt::white);
  p.setPen(QColor(160, 160, 160));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  if (points_.empty()) return;

  const QFontMetrics metrics(font());
  const auto [inLow, inHigh] = range(points_, false);
  const auto [outLow, outHigh] = range(points_, true);
  // Room on the left for the Out labels, below for the In labels and the
  // title, above for the Out title.
  int labelWidth = 0;
  for (int tick = 0; tick <= kTicks; ++tick)
    labelWidth = std::max(labelWidth, metrics.horizontalAdvance(axisLabel(
                                          outLow + (outHigh - outLow) * tick / kTicks, outHigh - outLow)));
  const int line = metrics.height();
  const QRect plot(labelWidth + 10, line + 6, std::max(width() - labelWidth - 24, 10),
                   std::max(height() - 3 * line - 12, 10));
  const auto x = [&](double in) { return plot.left() + (in - inLow) / (inHigh - inLow) * plot.width(); };
  const auto y = [&](double out) { return plot.bottom() - (out - outLow) / (outHigh - outLow) * plot.height(); };

  // Grid lines and value labels.
  for (int tick = 0; tick <= kTicks; ++tick) {
    const double in = inLow + (inHigh - inLow) * tick / kTicks;
    const double out = outLow + (outHigh - outLow) * tick / kTicks;
    p.setPen(QColor(225, 225, 225));
    p.drawLine(QPointF(x(in), plot.top()), QPointF(x(in), plot.bottom()));
    p.drawLine(QPointF(plot.left(), y(out)), QPointF(plot.right(), y(out)));
    p.setPen(QColor(60, 60, 60));
    const QString inText = axisLabel(in, inHigh - inLow);
    const double inLeft = std::clamp(x(in) - metrics.horizontalAdvance(inText) / 2.0, 0.0,
                                     static_cast<double>(width() - metrics.horizontalAdvance(inText) - 2));
    p.drawText(QPointF(inLeft, plot.bottom() + line + 2), inText);
    const QString outText = axisLabel(out, outHigh - outLow);
    p.drawText(QPointF(plot.left() - 6 - metrics.horizontalAdvance(outText), y(out) + metrics.ascent() / 2.0),
               outText);
  }
  p.setPen(QPen(QColor(40, 40, 40), 1));
  p.drawLine(plot.bottomLeft(), plot.bottomRight());
  p.drawLine(plot.bottomLeft(), plot.topLeft());
  p.drawText(QRect(plot.left(), plot.bottom() + line + 4, plot.width(), line), Qt::AlignCenter, inTitle_);
  p.drawText(QPointF(4, line), outTitle_);

  // The curve and its points.
  QPainterPath path;
  path.moveTo(x(points_.front().first), y(points_.front().second));
  for (std::size_t i = 1; i < points_.size(); ++i) path.lineTo(x(points_[i].first), y(points_[i].second));
  p.setPen(QPen(QColor(30, 80, 170), 2));
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(200, 40, 40));
  for (const auto& [in, out] : points_) p.drawEllipse(QPointF(x(in), y(out)), 2.5, 2.5);
}

}  // namespace oxalis
