#include "ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "Theme.h"

namespace oxalis {

namespace {

constexpr int kSize = 32;

bool dark = false;  // the look the picture is drawn for

// Disabled pictures are drawn in grey, lighter than the window in the light
// look and darker than the picture in the dark one, readable on both.
QColor tint(QColor colour, bool enabled) {
  if (enabled) return colour;
  const int grey = qGray(colour.rgb());
  const int level = dark ? 110 + grey / 5 : 140 + grey / 4;
  return QColor(level, level, level);
}

// Outlines and the dark pictures (pause, stop) turn light in the dark look,
// so that they stand out from its window as they do from the light one.
QColor ink(QColor colour, bool enabled) {
  if (dark && colour.lightness() < 110)
    colour = QColor::fromHsl(colour.hslHue(), colour.hslSaturation(), 255 - colour.lightness());
  return tint(colour, enabled);
}

void drawOpen(QPainter& p, bool on) {
  p.setPen(QPen(ink(QColor(120, 80, 10), on), 1.5));
  p.setBrush(tint(QColor(240, 190, 60), on));
  QPainterPath folder;
  folder.moveTo(4, 9);
  folder.lineTo(12, 9);
  folder.lineTo(14, 12);
  folder.lineTo(27, 12);
  folder.lineTo(27, 25);
  folder.lineTo(4, 25);
  folder.closeSubpath();
  p.drawPath(folder);
  p.setBrush(tint(QColor(255, 220, 110), on));
  QPainterPath flap;
  flap.moveTo(8, 15);
  flap.lineTo(30, 15);
  flap.lineTo(27, 25);
  flap.lineTo(4, 25);
  flap.closeSubpath();
  p.drawPath(flap);
}

void drawSave(QPainter& p, bool on) {
  p.setPen(QPen(ink(QColor(20, 40, 90), on), 1.5));
  p.setBrush(tint(QColor(50, 100, 200), on));
  p.drawRoundedRect(QRectF(5, 5, 22, 22), 2, 2);
  p.setBrush(tint(QColor(235, 235, 235), on));
  p.drawRect(QRectF(9, 5, 14, 8));
  p.setBrush(tint(QColor(20, 40, 90), on));
  p.drawRect(QRectF(10, 17, 12, 10));
}

void drawSetup(QPainter& p, bool on) {
  p.setPen(QPen(ink(QColor(60, 60, 60), on), 1.5));
  p.setBrush(tint(QColor(150, 150, 160), on));
  p.translate(16, 16);
  for (int i = 0; i < 8; ++i) {
    p.drawRect(QRectF(-2.5, -13, 5, 6));
    p.rotate(45);
  }
  p.drawEllipse(QPointF(0, 0), 9, 9);
  p.setBrush(tint(QColor(245, 245, 245), on));
  p.drawEllipse(QPointF(0, 0), 3.5, 3.5);
  p.resetTransform();
}

void drawFirmware(QPainter& p, bool on) {
  p.setPen(QPen(ink(QColor(30, 30, 30), on), 1.5));
  for (int i = 0; i < 4; ++i) {
    const double y = 9 + i * 5;
    p.drawLine(QPointF(4, y), QPointF(8, y));
    p.drawLine(QPointF(24, y), QPointF(28, y));
  }
  p.setBrush(tint(QColor(40, 130, 60), on));
  p.drawRoundedRect(QRectF(8, 6, 16, 20), 2, 2);
  p.setPen(QPen(tint(QColor(255, 255, 255), on), 2));
  p.drawLine(QPointF(16, 10), QPointF(16, 21));
  p.drawLine(QPointF(12, 17), QPointF(16, 21));
  p.drawLine(QPointF(20, 17), QPointF(16, 21));
}

void drawRecord(QPainter& p, bool on) {
  p.setPen(QPen(ink(QColor(120, 0, 0), on), 1.5));
  p.setBrush(tint(QColor(220, 30, 30), on));
  p.drawEllipse(QPointF(16, 16), 10, 10);
}

void drawPause(QPainter& p, bool on) {
  p.setPen(Qt::NoPen);
  p.setBrush(ink(QColor(30, 60, 160), on));
  p.drawRect(QRectF(8, 6, 6, 20));
  p.drawRect(QRectF(18, 6, 6, 20));
}

void drawStop(QPainter& p, bool on) {
  p.setPen(Qt::NoPen);
  p.setBrush(ink(QColor(40, 40, 40), on));
  p.drawRoundedRect(QRectF(7, 7, 18, 18), 2, 2);
}

}  // namespace

QIcon toolbarIcon(const QString& key, bool enabled) {
  dark = currentLook() == Look::Dark;
  QIcon icon;
  // Drawn at each common scaling, so that the picture stays sharp at 150 %
  // and 200 %.
  for (const double scale : {1.0, 1.25, 1.5, 2.0, 3.0}) {
    const int side = qRound(kSize * scale);
    QPixmap pixmap(side, side);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    if (key == "Open") drawOpen(painter, enabled);
    else if (key == "Save") drawSave(painter, enabled);
    else if (key == "Setup") drawSetup(painter, enabled);
    else if (key == "Load_Firmware") drawFirmware(painter, enabled);
    else if (key == "Start_Record") drawRecord(painter, enabled);
    else if (key == "Pause_Record") drawPause(painter, enabled);
    else if (key == "Stop_Record") drawStop(painter, enabled);
    painter.end();
    // The same picture for the disabled mode: Qt must not grey it a second time.
    icon.addPixmap(pixmap, QIcon::Normal);
    icon.addPixmap(pixmap, QIcon::Disabled);
  }
  return icon;
}

}  // namespace oxalis
