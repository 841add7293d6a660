// The trace widget over a recording from the simulated module: pages,
// overview box, zoom, pan and cursor with the mouse, time bases; the time
// axis and the strip; channel values on screen.
#include <QDir>
#include <QTest>

#include "CoreFixture.h"
#include "MainWindow.h"
#include "Screenshot.h"
#include "SimulatedLink.h"
#include "app/Recording.h"
#include "trace/Trace.h"

using namespace oxalis;

namespace {

using test::countColour;
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

  // Under the trace lie its time axis and then the strip, none over
  // another; a click on the strip moves the view; a right drag shows the
  // rectangle it will zoom in on until released.
  void axisStripAndZoomRectangle() {
    test::CoreFixture f;
    f.core.start();
    MainWindow window(f.core);
    window.resize(1366, 768);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    TraceWidget* trace = window.trace();
    OverviewStrip* strip = trace->overviewStrip();
    QCOMPARE(trace->timeAxis()->geometry().top(), trace->oscillo()->geometry().bottom() + 1);
    QCOMPARE(strip->geometry().top(), trace->timeAxis()->geometry().bottom() + 1);

    f.core.trace.buffer.sampleCount = 40000;
    QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(strip->width() / 2, strip->height() / 2));
    QVERIFY(f.core.trace.buffer.viewStart > 30000);

    OscilloWidget* oscillo = trace->oscillo();
    QTest::mousePress(oscillo, Qt::RightButton, {}, QPoint(200, 50));
    QTest::mouseMove(oscillo, QPoint(600, 50));
    // Drawn over the black area: lighter inside the rectangle than beside it.
    const QImage shown = oscillo->grab().toImage();
    const int y = oscillo->height() / 3 + 1;
    QVERIFY(qGray(shown.pixel(400, y)) > qGray(shown.pixel(800, y)));
    QTest::mouseRelease(oscillo, Qt::RightButton, {}, QPoint(600, 50));
    QCOMPARE(oscillo->shownZoomBand(), std::make_pair(-1, -1));
  }

  // A CAN channel at 7000.0 (one decimal) reads whole in the live panel and
  // in its cursor box; a module type with a fifth channel shows that
  // channel's cursor box as soon as the panel is laid out for it.
  void channelValuesShowWholeAndTheFifthBoxComesWithItsLayout() {
    test::CoreFixture f;
    f.core.start();
    MainWindow window(f.core);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    f.core.channels.slot(1).Dec = 1;
    f.core.monitor.live.channel[0] = 70000;
    f.core.link.state.linkUp = true;
    f.core.link.state.dataFlowing = true;
    f.core.link.state.freshSample = true;
    f.core.onTimer(TimerId::Refresh);
    QCOMPARE(window.livePanel()->cell(13)->text(), QString(" 7000.0"));
    QCOMPARE(f.core.monitor.live.channel[0], 70000);  // shown, not cut down

    recordSample(f.core.trace, false);
    recordSample(f.core.trace, false);
    f.core.trace.buffer.cursorSample = 1;  // the cursor moves: shown at once
    drawCursor(f.core.trace);
    QCOMPARE(window.trace()->cursorValue(5)->text(), QString("7000"));

    QVERIFY(!window.trace()->cursorValue(9)->isVisible());
    f.core.chooseOfflineModule("PNU");
    QVERIFY(window.trace()->cursorValue(9)->isVisible());
    f.core.chooseOfflineModule("OX2");
    QVERIFY(!window.trace()->cursorValue(9)->isVisible());
  }
};

QTEST_MAIN(TraceTest)
#include "trace_test.moc"
