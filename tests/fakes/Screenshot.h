#pragma once
// Widget tests leave a picture of what they checked for a reviewer, in the
// folder OXALIS_TEST_OUTPUT names (CTest sets it to build/test-output).
#include <QByteArray>
#include <QDir>
#include <QWidget>

namespace oxalis::test {

inline void saveScreenshot(QWidget& widget, const char* name) {
  const QByteArray out = qgetenv("OXALIS_TEST_OUTPUT");
  if (out.isEmpty()) return;
  QDir().mkpath(out);
  widget.grab().save(out + "/" + name);
}

}  // namespace oxalis::test
