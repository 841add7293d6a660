#include "Theme.h"

#include <QApplication>
#include <QPalette>
#include <QProcess>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleFactory>
#include <QToolTip>
#include <cmath>

namespace oxalis {

namespace {

Look lookInForce = Look::Light;

// The desktop's palette, as the platform gave it before a look replaced it.
const QPalette& desktopPalette() {
  static const QPalette palette = QGuiApplication::palette();
  return palette;
}

double luminance(QColor colour) {
  const auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
  return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) + 0.0722 * channel(colour.blueF());
}

QPalette darkPalette() {
  QPalette p;
  const QColor window(45, 45, 48), base(30, 30, 32), button(58, 58, 62), text(232, 232, 232), muted(140, 140, 140);
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, window);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, button);
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::BrightText, QColor(255, 120, 120));
  p.setColor(QPalette::ToolTipBase, QColor(60, 60, 64));
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::PlaceholderText, muted);
  p.setColor(QPalette::Highlight, QColor(38, 110, 190));
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::Link, QColor(120, 180, 255));
  p.setColor(QPalette::LinkVisited, QColor(190, 150, 255));
  p.setColor(QPalette::Light, QColor(85, 85, 90));
  p.setColor(QPalette::Midlight, QColor(70, 70, 74));
  p.setColor(QPalette::Mid, QColor(40, 40, 42));
  p.setColor(QPalette::Dark, QColor(25, 25, 27));
  p.setColor(QPalette::Shadow, QColor(10, 10, 10));
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    p.setColor(QPalette::Disabled, role, QColor(120, 120, 120));
  p.setColor(QPalette::Disabled, QPalette::Button, QColor(50, 50, 54));
  p.setColor(QPalette::Disabled, QPalette::Base, QColor(40, 40, 42));
  return p;
}

// GNOME keeps its light/dark choice in a setting that platform themes of
// this Qt version do not read.
bool gnomePrefersDark() {
  const QString gsettings = QStandardPaths::findExecutable("gsettings");
  if (gsettings.isEmpty()) return false;
  QProcess process;
  process.start(gsettings, {"get", "org.gnome.desktop.interface", "color-scheme"});
  if (!process.waitForFinished(500)) {
    process.kill();
    process.waitForFinished(100);
    return false;
  }
  return process.readAllStandardOutput().contains("prefer-dark");
}

}  // namespace

Look desktopLook() {
  // Asked once: the answer may take a process start.
  static const Look look = [] {
    if (desktopPalette().color(QPalette::Window).lightness() < 128) return Look::Dark;
    if (qEnvironmentVariable("GTK_THEME").contains(":dark", Qt::CaseInsensitive)) return Look::Dark;
    return gnomePrefersDark() ? Look::Dark : Look::Light;
  }();
  return look;
}

Look lookFor(const std::string& choice) {
  if (choice == "Dark") return Look::Dark;
  if (choice == "Light") return Look::Light;
  return desktopLook();
}

void applyLook(Look look) {
  desktopPalette();  // kept before the first look replaces it
  lookInForce = look;
  // One style for both looks, so that they differ in colour only.
  if (QApplication::style()->name().compare("fusion", Qt::CaseInsensitive) != 0)
    QApplication::setStyle(QStyleFactory::create("Fusion"));
  const QPalette palette = look == Look::Dark ? darkPalette() : QApplication::style()->standardPalette();
  QApplication::setPalette(palette);
  QToolTip::setPalette(palette);
}

Look currentLook() { return lookInForce; }

QColor failureText() { return lookInForce == Look::Dark ? QColor(255, 138, 128) : QColor(183, 28, 28); }
QColor successText() { return lookInForce == Look::Dark ? QColor(129, 214, 133) : QColor(27, 94, 32); }

QColor readableOn(QColor background) {
  const double l = luminance(background);
  return (l + 0.05) / 0.05 >= 1.05 / (l + 0.05) ? QColor(Qt::black) : QColor(Qt::white);
}

QString colouredTextStyle(QColor text) {
  const QColor backing = contrastRatio(text, Qt::black) >= contrastRatio(text, Qt::white) ? Qt::black : Qt::white;
  return QString("color: %1; background: %2").arg(text.name(), backing.name());
}

double contrastRatio(QColor a, QColor b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace oxalis
