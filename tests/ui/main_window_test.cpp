// The main window renders its model and forwards actions to the core.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QStatusBar>
#include <QTest>

#include "CoreFixture.h"
#include "Feed.h"
#include "Screenshot.h"
#include "MainWindow.h"

using oxalis::MainWindow;

class MainWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void fontsRender() {
    // Without fonts text paints as empty boxes and pixel checks still pass.
    QVERIFY(QFontMetrics(QApplication::font()).inFontUcs4('A'));
  }

  void showsCaptionAndEightStatusPanels() {
    oxalis::test::CoreFixture f;
    MainWindow window(f.core);
    window.show();
    QCOMPARE(window.objectName(), QString("Main"));
    QCOMPARE(window.windowTitle(), QString("Oxalis Monitor 2.10"));
    for (int panel = 1; panel <= 8; ++panel) QVERIFY(window.statusPanel(panel)->isVisible());
    QVERIFY(!window.recordMark()->isVisible());  // shown while recording only
    QCOMPARE(window.searchPortButton()->text(), QString("Search Oxalis"));
    QCOMPARE(window.identifieButton()->text(), QString("Oxalis info"));
  }

  void identifiedModuleShowsInCaptionPanelsAndMenus() {
    oxalis::test::CoreFixture f;
    MainWindow window(f.core);
    window.show();
    f.port.open(3);
    f.core.link.state.currentPort = 3;
    oxalis::test::feed(f.core, oxalis::test::identificationReply("PNU", 1234, {1, 2, 4, 5}));
    f.core.link.state.linkUp = true;
    f.core.link.search.tick();
    QCOMPARE(window.windowTitle(), QString("Panora Monitor 2.10"));
    QCOMPARE(window.statusPanel(1)->text(), QString("COM:3"));
    QCOMPARE(window.statusPanel(2)->text(), QString("Link ON"));
    QCOMPARE(window.statusPanel(3)->text(), QString("Display CAN  S/N:1234   HW: 1. 2   FW: 4. 5 "));
    QVERIFY(window.panoraOffLineAction()->isChecked());
    QVERIFY(!window.oxalisOffLineAction()->isEnabled());
    QVERIFY(!window.qtxOffLineAction()->isEnabled());  // no offline layout over a linked module

    oxalis::test::saveScreenshot(window, "main_window_identified.png");
  }

  void buttonsAndOfflineMenuReachTheCore() {
    oxalis::test::CoreFixture f;
    MainWindow window(f.core);
    QTest::mouseClick(window.searchPortButton(), Qt::LeftButton);
    QVERIFY(f.timers.isEnabled(oxalis::TimerId::Search));
    window.qtxOffLineAction()->trigger();
    QCOMPARE(f.core.link.state.identity.deviceCode, std::string("QTX"));
    QVERIFY(window.qtxOffLineAction()->isChecked());
    QVERIFY(!window.oxalisOffLineAction()->isChecked());
    f.port.open(2);
    QTest::mouseClick(window.identifieButton(), Qt::LeftButton);
    QCOMPARE(f.port.take(), std::string(":00000012EE\x11"));
  }

  void windowGoingAwayFirstLeavesModelSafe() {
    oxalis::test::CoreFixture f;
    { MainWindow window(f.core); }
    f.core.mainWindow.changed.notify();  // must not reach the destroyed window
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
