// Replay in the main window: a recorded run played back through the live
// panel at the recorded pace and faster, with the link still up; seeking
// with the trace and the overview strip; back to live.
#include <QTest>

#include "CoreFixture.h"
#include "MainWindow.h"
#include "QtConvert.h"
#include "Screenshot.h"
#include "SimulatedLink.h"
#include "TempFolder.h"
#include "app/DataCommands.h"
#include "app/Recording.h"
#include "util/Colour.h"

using namespace oxalis;

class ReplayWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void aRecordedRunPlaysBackThroughThePanelWhileTheModuleStaysConnected() {
    test::TempFolder folder;
    test::SimulatedLink link;
    link.plug(1, "OX2");
    link.core.state.appFolder = folder.path().string();
    link.core.start();
    MainWindow window(link.core);
    window.resize(1366, 740);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    link.run(1000);
    startRecord(link.core);
    link.run(60000);
    stopRecord(link.core);
    const std::string file = (folder / "run.DA1").string();
    link.dialogs.files = {file};
    QVERIFY(dataSaveAs(link.core));
    QVERIFY(dataOpenFile(link.core, file));
    const TraceBuffer& buffer = link.core.trace.buffer;
    const std::int32_t last = buffer.sampleCount - 1;
    QVERIFY(window.replayBar()->isVisible());
    QVERIFY(!window.replayBadge()->isVisible());

    // Play from a click on the trace, at the recorded pace: 50 samples a second.
    OscilloWidget* oscillo = window.trace()->oscillo();
    QTest::mouseClick(oscillo, Qt::LeftButton, Qt::NoModifier, QPoint(200, 100));
    QTest::mouseClick(window.replayPlayButton(), Qt::LeftButton);
    QVERIFY(window.replayBadge()->isVisible());
    QCOMPARE(window.replayBadge()->text(), QString("REPLAY - not live"));
    QVERIFY(window.replayPlayButton()->text().contains("Pause"));
    const std::int32_t start = link.core.replay.position;
    QCOMPARE(start, sampleUnderMouse(link.core.trace, 200));
    link.run(1000);  // the module keeps sending meanwhile
    // (The simulated timer's first tick comes a period after the run's first millisecond.)
    QVERIFY(std::abs(link.core.replay.position - (start + 50)) <= 1);
    QTest::qWait(30);
    ValueCell* richness = window.livePanel()->cell(1);
    QCOMPARE(richness->colour(), toQColor(kReplayBlue));
    QCOMPARE(richness->text().trimmed(),
             QString::number(buffer.at(link.core.replay.position).richness / 1000.0, 'f', 3));
    // The pointer passing over the trace leaves the sample played alone.
    QTest::mouseMove(oscillo, QPoint(900, 100));
    QCOMPARE(buffer.cursorSample, link.core.replay.position);

    // 10x, then a click on the strip past the recording: the last sample.
    window.replaySpeedBox()->setCurrentIndex(3);
    emit window.replaySpeedBox()->activated(3);
    QCOMPARE(link.core.replay.speed, 10);
    const std::int32_t before = link.core.replay.position;
    link.run(1000);
    QVERIFY(std::abs(link.core.replay.position - (before + 500)) <= 10);
    test::saveScreenshot(window, "replay_1366.png");
    OverviewStrip* strip = window.trace()->findChild<OverviewStrip*>("Ctrl_Zoom");
    QVERIFY(strip);
    QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, QPoint(strip->width() - 2, strip->height() / 2));
    QCOMPARE(link.core.replay.position, last);
    QVERIFY(!link.core.replay.playing);

    // Back to live: the module's values again, the bar without its badge.
    QTest::mouseClick(window.replayLiveButton(), Qt::LeftButton);
    QVERIFY(!window.replayBadge()->isVisible());
    link.run(1000);
    QTest::qWait(30);
    QCOMPARE(richness->colour(), toQColor(kFreshGreen));
  }
};

QTEST_MAIN(ReplayWindowTest)
#include "replay_window_test.moc"
