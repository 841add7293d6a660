// The main window renders its model: caption and the eight status panels.
#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QStatusBar>
#include <QTest>

#include "MainWindow.h"

using oxalis::MainWindow;
using oxalis::MainWindowModel;

class MainWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void fontsRender() {
    // Without fonts text paints as empty boxes and pixel checks still pass.
    QVERIFY(QFontMetrics(QApplication::font()).inFontUcs4('A'));
  }

  void showsCaptionAndEightStatusPanels() {
    MainWindowModel model;
    MainWindow window(model);
    window.show();
    QCOMPARE(window.objectName(), QString("Main"));
    QCOMPARE(window.windowTitle(), QString("Oxalis_Monitor 2.10"));
    QCOMPARE(window.statusBar()->findChildren<QLabel*>().size(), 8);
    QVERIFY(window.width() >= 1024 && window.height() >= 768);

    model.panel(2) = "Link ON";
    model.panel(3) = "Oxalis V2  S/N:1234   HW:2.0   FW:3.1 ";
    model.changed.notify();
    QCOMPARE(window.statusPanel(2)->text(), QString("Link ON"));
    QCOMPARE(window.statusPanel(3)->text(), QString("Oxalis V2  S/N:1234   HW:2.0   FW:3.1 "));

    const QByteArray out = qgetenv("OXALIS_TEST_OUTPUT");
    if (!out.isEmpty()) {
      QDir().mkpath(out);
      QVERIFY(window.grab().save(out + "/main_window.png"));
    }
  }

  void windowGoingAwayFirstLeavesModelSafe() {
    MainWindowModel model;
    { MainWindow window(model); }
    model.changed.notify();  // must not reach the destroyed window
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
