// The live panel widget renders the core's panel model: cells repaint only
// when the core repainted them, lamps follow the diagnostic bits, and the
// display's lists and the Run/Stop button reach the core.
#include <QComboBox>
#include <QDir>
#include <QTest>

#include "CoreFixture.h"
#include "Screenshot.h"
#include "MainWindow.h"
#include "monitor/LivePanel.h"
#include "monitor/RefreshTick.h"

using namespace oxalis;

class LivePanelTest : public QObject {
  Q_OBJECT
 private slots:
  void cellsShowTextInFreshnessColourAndRepaintOnlyWhenChanged() {
    test::CoreFixture f;
    f.core.start();
    MainWindow window(f.core);
    window.show();
    LivePanelWidget* panel = window.livePanel();
    f.core.link.state.linkUp = true;
    f.core.link.state.dataFlowing = true;
    f.core.link.state.freshSample = true;
    f.core.monitor.live.richness = 1000;
    f.core.monitor.live.diagFlags = 0x05;
    f.core.onTimer(TimerId::Refresh);
    QCOMPARE(panel->cell(1)->text(), QString(" 1.000"));
    QCOMPARE(panel->cell(1)->colour(), QColor(0, 248, 0));
    QVERIFY(panel->lamp(0)->isRed());
    QVERIFY(!panel->lamp(1)->isRed());
    QCOMPARE(panel->lamp(0)->toolTip(), QString("Probe is warming"));
    QCOMPARE(panel->lamp(2)->label(), QString("Short Circuit"));
    QVERIFY(!panel->cell(17)->isVisible());

    const int paints = panel->cell(0)->paints();
    f.core.link.state.freshSample = true;
    f.core.monitor.live.richness = 900;
    f.core.onTimer(TimerId::Refresh);
    QCOMPARE(panel->cell(0)->paints(), paints);  // same text, same colour
    QCOMPARE(panel->cell(1)->text(), QString(" 0.900"));
    test::saveScreenshot(window, "live_panel_ox2.png");
  }

  void panoraLayoutShowsItsListsAndWritesSettings() {
    test::CoreFixture f;
    f.core.start();
    MainWindow window(f.core);
    window.show();
    f.core.chooseOfflineModule("PNU");
    LivePanelWidget* panel = window.livePanel();
    QVERIFY(panel->channelList()->isVisible());
    QCOMPARE(panel->cellLabel(0)->text(), QString("V Richness (mV)"));
    QVERIFY(panel->cell(17)->isVisible());
    QVERIFY(panel->showCanal(4)->isVisible());
    QCOMPARE(window.searchPortButton()->text(), QString("Search Display"));

    f.port.open(1);
    f.core.link.state.linkUp = true;
    f.core.link.state.tx.moduleReady = true;
    panel->brightnessList()->activated(4);  // "100%"
    QCOMPARE(f.port.take(), std::string(":0200000400F00A"));
    f.core.link.queue.onXon();
    QCOMPARE(f.port.take(), std::string(":01000B0005EF"));
    test::saveScreenshot(window, "live_panel_pnu.png");
  }

  void qtxLayout() {
    test::CoreFixture f;
    f.core.start();
    MainWindow window(f.core);
    window.show();
    f.core.chooseOfflineModule("QTX");
    QCOMPARE(window.livePanel()->cellLabel(0)->text(), QString("I pump"));
    QVERIFY(!window.livePanel()->channelList()->isVisible());
    test::saveScreenshot(window, "live_panel_qtx.png");
  }

  void runStopButtonCaptionFollowsTheStream() {
    test::CoreFixture f;
    f.core.start();
    MainWindow window(f.core);
    QPushButton* button = window.livePanel()->runStopButton();
    QCOMPARE(button->text(), QString("Stop Frames"));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(button->text(), QString("Run"));
    QVERIFY(!f.core.link.state.streamRunning);
    // Stopped: bytes still come (keep-alive replies), measurements do not.
    f.core.link.state.linkUp = true;
    f.core.link.state.dataFlowing = true;
    f.core.monitor.live.richness = 950;
    f.core.onTimer(TimerId::Refresh);
    QCOMPARE(window.livePanel()->cell(1)->colour(), QColor(255, 255, 0));
    window.show();
    test::saveScreenshot(window, "live_panel_stopped.png");
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(button->text(), QString("Stop"));
  }

  void showCanalTickStoresShowInTheChannelSlot() {
    test::CoreFixture f;
    f.core.start();
    MainWindow window(f.core);
    window.livePanel()->showCanal(1)->setChecked(true);
    QVERIFY(f.core.channels.slot(2).Show);
    QVERIFY(f.core.monitor.livePanel.showCanal[1]);
  }
};

QTEST_MAIN(LivePanelTest)
#include "live_panel_test.moc"
