#include "AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace oxalis {

QImage appIconImage(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const double s = size;
  // The screen: a dark rounded square with a light rim.
  const QRectF screen(s * 0.04, s * 0.04, s * 0.92, s * 0.92);
  painter.setPen(QPen(QColor(190, 200, 190), std::max(1.0, s / 32)));
  painter.setBrush(QColor(16, 24, 20));
  painter.drawRoundedRect(screen, s * 0.16, s * 0.16);
  // The stoichiometric line, dashed across the middle.
  QPen line(QColor(120, 130, 120), std::max(1.0, s / 40), Qt::DashLine);
  painter.setPen(line);
  painter.drawLine(QPointF(s * 0.14, s * 0.5), QPointF(s * 0.86, s * 0.5));
  // The richness trace: a damped swing settling on the line.
  QPainterPath trace;
  for (int i = 0; i <= 64; ++i) {
    const double t = i / 64.0;
    const double y = 0.5 - 0.3 * std::exp(-2.2 * t) * std::cos(t * 3.1416 * 3.2);
    const QPointF p(s * (0.14 + 0.72 * t), s * y);
    if (i == 0)
      trace.moveTo(p);
    else
      trace.lineTo(p);
  }
  painter.setPen(QPen(QColor(40, 230, 90), std::max(1.5, s / 14), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(trace);
  return image;
}

QIcon appIcon() {
  QIcon icon;
  for (int size : kAppIconSizes) icon.addPixmap(QPixmap::fromImage(appIconImage(size)));
  return icon;
}

}  // namespace oxalis
