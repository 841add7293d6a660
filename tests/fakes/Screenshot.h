#pragma once
// Widget tests leave a picture of what they checked for a reviewer, in the
// folder OXALIS_TEST_OUTPUT names (CTest sets it to build/test-output), and
// count the pixels of a colour in what a widget painted.
#include <QByteArray>
#include <QDir>
#include <QImage>
#include <QWidget>

namespace oxalis::test {

inline void saveScreenshot(QWidget& widget, const char* name) {
  const QByteArray out = qgetenv("OXALIS_TEST_OUTPUT");
  if (out.isEmpty()) return;
  QDir().mkpath(out);
  widget.grab().save(out + "/" + name);
}

inline int countColour(const QImage& image, QColor colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) == colour) ++n;
  return n;
}

}  // namespace oxalis::test
