// The trace widget over a recording from the simulated module: pages,
// overview box, zoom, pan and cursor with the mouse, time bases.
#include <QDir>
#include <QTest>

#include "MainWindow.h"
#include "Screenshot.h"
#include "SimulatedLink.h"
#include "app/Recording.h"
#include "trace/Trace.h"

using namespace oxalis;

namespace {

int countColour(const QImage& image, QColor colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) == colour) ++n;
  return n;
}
}  // namespace

class TraceTest : public QObject {
  Q_OBJECT
 private slots:
  void recordingScrollsInPagesAndDrawsTheCurve() {
    test::SimulatedLink link;
    link.plug(1, "OX2");
    link.core.start();
    MainWindow window(link.core);
    window.resize(1200, 800);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    TimeBase_Click(link.core.trace, "5s");
    link.run(1000);
    QVERIFY(link.core.link.state.linkUp);
    startRecord(link.core);
    link.run(12000);  // 600 samples: two page jumps on a 250-sample window
    const TraceBuffer& trace = link.core.trace.buffer;
    QVERIFY(trace.sampleCount > 550);
    QVERIFY(trace.viewEnd >= trace.sampleCount);
    QCOMPARE(trace.viewEnd - trace.viewStart, 250);
    QVERIFY(trace.overviewRight > trace.overviewLeft);
    // The richness curve is drawn in white (slot 7's colour) on the black area.
    QVERIFY(countColour(window.trace()->oscillo()->picture(), Qt::white) > 100);
    QCOMPARE(window.statusPanel(6)->text(), QString("Data memory used : 0%"));
    test::saveScreenshot(window, "trace_5s.png");

    TimeBase_Click(link.core.trace, "500s");
    QCOMPARE(link.core.trace.tracePoints, 25000);
    QVERIFY(countColour(window.trace()->oscillo()->picture(), Qt::white) > 10);
    test::saveScreenshot(window, "trace_500s.png");
  }

  void mouseZoomPanAndCursor() {
    test::SimulatedLink link;
    link.plug(1, "OX2");
    link.core.start();
    MainWindow window(link.core);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    link.run(500);
    startRecord(link.core);
    link.run(30000);  // 1500 samples
    stopRecord(link.core);
    OscilloWidget* oscillo = window.trace()->oscillo();
    TraceBuffer& trace = link.core.trace.buffer;
    const int before = trace.viewEnd - trace.viewStart;

    // A right-button drag over a wide range zooms in on it.
    QTest::mousePress(oscillo, Qt::RightButton, {}, QPoint(100, 50));
    QTest::mouseMove(oscillo, QPoint(400, 50));
    QTest::mouseRelease(oscillo, Qt::RightButton, {}, QPoint(400, 50));
    QVERIFY(trace.viewEnd - trace.viewStart < before);
    const int zoomed = trace.viewEnd - trace.viewStart;

    // A right click zooms out 2.2 times.
    QTest::mouseClick(oscillo, Qt::RightButton, {}, QPoint(300, 50));
    QVERIFY(std::abs((trace.viewEnd - trace.viewStart) - zoomed * 22 / 10) <= 2);

    // The left button places the cursor, and its time shows above the trace.
    QTest::mousePress(oscillo, Qt::LeftButton, {}, QPoint(200, 50));
    QTest::mouseRelease(oscillo, Qt::LeftButton, {}, QPoint(200, 50));
    QVERIFY(link.core.trace.view.cursorX >= 0);
    QVERIFY(window.trace()->cursorTime()->isVisible());
    QVERIFY(!window.trace()->cursorValue(1)->text().isEmpty());
    test::saveScreenshot(window, "trace_cursor.png");
  }
};

QTEST_MAIN(TraceTest)
#include "trace_test.moc"
