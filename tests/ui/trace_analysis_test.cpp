// Measuring on the trace window: quantities overlaid from the "Trace" menu,
// cursor B with Shift + click, the readout and its copy, fit all, the keys,
// and the exported picture.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QTest>

#include "CoreFixture.h"
#include "MainWindow.h"
#include "Screenshot.h"
#include "SimulatedLink.h"
#include "app/Recording.h"
#include "trace/TraceAnalysis.h"

using namespace oxalis;

namespace {

using test::countColour;

QAction* action(QWidget& window, const char* name) { return window.findChild<QAction*>(name); }

}  // namespace

class TraceAnalysisTest : public QObject {
  Q_OBJECT
 private slots:
  void aFiveMinuteRunMeasuredBetweenTwoCursors() {
    test::SimulatedLink link;
    link.plug(1, "OX2");
    link.core.start();
    MainWindow window(link.core);
    window.resize(1366, 740);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    link.run(1000);
    startRecord(link.core);
    link.run(300000);  // five minutes: 15000 samples
    QVERIFY(link.core.trace.buffer.sampleCount > 14000);

    // Richness (the radio choice), A/F from the menu, CAN1 ticked.
    action(window, "Overlay4")->trigger();
    QVERIFY(link.core.trace.overlay[4]);
    ShowCanal_Click(link.core.trace, 0, true);
    action(window, "FitAll")->trigger();
    QCOMPARE(link.core.trace.buffer.viewStart, 0);
    QCOMPARE(drawnQuantities(link.core.trace), (std::vector<int>{1, 4, 5}));
    QCOMPARE(link.core.trace.view.legend.size(), std::size_t{3});

    OscilloWidget* oscillo = window.trace()->oscillo();
    QTest::mouseClick(oscillo, Qt::LeftButton, Qt::NoModifier, QPoint(300, 100));
    QTest::mouseClick(oscillo, Qt::LeftButton, Qt::ShiftModifier, QPoint(700, 100));
    QTest::mouseMove(oscillo, QPoint(300, 120));  // A follows the pointer, as it always has
    const TraceModel& view = link.core.trace.view;
    QCOMPARE(view.readout.size(), std::size_t{3});
    QVERIFY(std::abs(view.cursorBX - 700) <= 1);  // the sample under the click
    QTest::qWait(60);
    QVERIFY(countColour(oscillo->grab().toImage(), QColor(255, 170, 40)) > 50);  // B's line and mark

    // The keys move B, the cursor placed last.
    const std::int32_t b = link.core.trace.cursorB;
    oscillo->setFocus();
    QTest::keyClick(oscillo, Qt::Key_Right);
    QCOMPARE(link.core.trace.cursorB, b + 1);
    QTest::keyClick(oscillo, Qt::Key_Left, Qt::ControlModifier);
    QCOMPARE(link.core.trace.cursorB, b + 1 - divisionSamples(link.core.trace));

    action(window, "CopyReadout")->trigger();
    const QString copied = QApplication::clipboard()->text();
    QVERIFY2(copied.startsWith("Quantity\tUnit\tA\tB\tB-A\tMin\tMax\tMean"), qPrintable(copied));
    QCOMPARE(copied.count("\r\n"), 5);  // header, three quantities, the time
    test::saveScreenshot(window, "trace_measuring_1366.png");

    const QImage picture = renderTracePicture(link.core, 1920, oscillo->font());
    QCOMPARE(picture.width(), 1920);
    QVERIFY(countColour(picture, QColor(255, 170, 40)) > 50);
    const QByteArray out = qgetenv("OXALIS_TEST_OUTPUT");
    if (!out.isEmpty()) picture.save(out + "/trace_exported_1920.png");
  }

  void aFullRingExportsAt3840PixelsWithoutAWindow() {
    test::CoreFixture f;
    f.core.start();
    TraceBuffer& buffer = f.core.trace.buffer;
    for (std::int32_t n = 0; n < TraceBuffer::kRingSize; ++n) {
      buffer.at(n).richness = static_cast<std::int16_t>(900 + (n / 50) % 200);
      buffer.at(n).airFuel = 1300 + (n / 25) % 300;
    }
    buffer.sampleCount = TraceBuffer::kRingSize;
    overlayQuantity(f.core.trace, 4, true);
    fitAll(f.core.trace);
    const QImage picture = renderTracePicture(f.core, 3840, QApplication::font());
    QCOMPARE(picture.width(), 3840);
    QVERIFY(picture.height() > 150);
    QVERIFY(countColour(picture, Qt::white) > 3840);  // richness across the whole width
  }
};

QTEST_MAIN(TraceAnalysisTest)
#include "trace_analysis_test.moc"
