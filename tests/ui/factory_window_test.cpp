// The factory window at the Master level against a simulated module: it
// calibrates the module through its boxes and buttons, and shows the link's
// traffic in its log only while it is open and the log is on.
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "FactoryWindow.h"
#include "Screenshot.h"
#include "SimulatedLink.h"
#include "app/UserLevel.h"

using oxalis::CalibrationBox;
using oxalis::FactoryWindow;

namespace {

// A window over a core that found an "OX2" on port 1, at the Master level.
struct MasterAtModule {
  explicit MasterAtModule(const char* device = "OX2") {
    module = &link.plug(1, device);
    link.core.startLink();
    link.runUntil([&] { return link.core.link.state.linkUp; }, 2000);
    link.run(200);
    link.core.state.userLevel = oxalis::kLevelMaster;
    oxalis::ApplyUserLevel(link.core);
  }
  // Simulated time for the link, then the window's own timers.
  void run(int ms) {
    link.run(ms);
    QTest::qWait(250);
  }
  oxalis::test::SimulatedLink link;
  oxalis::sim::ModuleSimulator* module = nullptr;
};

void typeInto(QLineEdit* box, const QString& text) {
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, text);
  QTest::keyClick(box, Qt::Key_Return);
}

}  // namespace

class FactoryWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void theMasterLevelShowsItAndTheCloseBoxEndsIt() {
    oxalis::test::SimulatedLink link;
    FactoryWindow window(link.core, nullptr);
    QVERIFY(!window.isVisible());
    link.core.state.userLevel = oxalis::kLevelMaster;
    oxalis::ApplyUserLevel(link.core);
    QVERIFY(window.isVisible());
    QCOMPARE(window.windowTitle(), QString("Hyper User Window"));
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
    QVERIFY(!link.core.factory.visible);  // the link stops mirroring into it
    const std::string log = link.core.factory.W_Log;
    link.core.link.diagnostics().logLine("while closed");
    QCOMPARE(link.core.factory.W_Log, log);
    link.core.state.userLevel = oxalis::kLevelMaster;
    oxalis::ApplyUserLevel(link.core);  // choosing Master again brings it back
    QVERIFY(window.isVisible());
    link.core.state.userLevel = oxalis::kLevelExpert;
    oxalis::ApplyUserLevel(link.core);
    QVERIFY(!window.isVisible());
  }

  void itCalibratesTheModuleAndShowsWhatTheModuleHolds() {
    MasterAtModule m;
    FactoryWindow window(m.link.core, nullptr);
    window.resize(1000, 640);
    QVERIFY(window.isVisible());
    QCOMPARE(window.box("W_SN")->text(), QString("1234"));  // the module found before it opened

    QLineEdit* vgnd = window.box("OffsetVgnd");
    typeInto(vgnd, "5000");  // out of range: the last accepted value comes back
    QTRY_COMPARE(vgnd->text(), QString("0"));
    typeInto(vgnd, "1000");
    QTRY_COMPARE(window.scrollBar(CalibrationBox::Vgnd)->value(), -1000);
    QTest::mouseClick(window.button("SendVgnd"), Qt::LeftButton);
    m.run(1500);
    const auto& memory = m.module->configuration();
    QCOMPARE(memory[0x34] * 256 + memory[0x35], 1000);
    QCOMPARE(vgnd->text(), QString("1000"));

    QVERIFY(!window.box("SeuilG")->isEnabled());  // the display's, on a controller
    typeInto(window.box("W_Tprop"), "45");
    typeInto(window.box("W_Tint"), "20");
    QTest::mouseClick(window.button("SendTprop"), Qt::LeftButton);
    typeInto(window.box("Set_Time"), "0001:00:00");
    QTest::mouseClick(window.button("Send_Time"), Qt::LeftButton);
    m.run(1500);
    QCOMPARE(memory[0x28], 45);
    QCOMPARE(memory[0x2A], 20);
    // The module counts on from the time it was given (hundredths of a second).
    const int time = memory[0x44] << 24 | memory[0x45] << 16 | memory[0x46] << 8 | memory[0x47];
    QVERIFY2(time >= 360000 && time < 360000 + 300, std::to_string(time).c_str());

    // The link's traffic and mirrors.
    QTRY_VERIFY(window.log()->toPlainText().contains("Put in buffer PC :"));
    QVERIFY(!window.box("DEBUG_RX")->text().isEmpty());
    QVERIFY(!window.box("DEBUG_TX")->text().isEmpty());
    oxalis::test::saveScreenshot(window, "factory_window_OX2.png");
  }

  void aRightClickSendsTheDisplaysThreshold() {
    MasterAtModule m("PNU");
    FactoryWindow window(m.link.core, nullptr);
    QVERIFY(!window.button("SendTprop")->isEnabled());
    QLineEdit* seuil = window.box("SeuilD");
    typeInto(seuil, "7");
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2), seuil->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(seuil, &click);
    m.run(1500);
    QCOMPARE(m.module->configuration()[0x29], 7);
    QCOMPARE(seuil->text(), QString("7"));
    oxalis::test::saveScreenshot(window, "factory_window_PNU.png");
  }

  void theLogFillsOnlyWhileOnAndKeepsItsNewestLines() {
    MasterAtModule m;
    FactoryWindow window(m.link.core, nullptr);
    QTest::mouseClick(window.button("LogClear"), Qt::LeftButton);
    QTRY_COMPARE(window.log()->toPlainText(), QString("new"));
    QTest::mouseClick(window.button("LogStop"), Qt::LeftButton);
    m.run(1000);
    QCOMPARE(window.log()->toPlainText(), QString("new"));
    QTest::mouseClick(window.button("LogStart"), Qt::LeftButton);
    m.run(1000);
    QVERIFY(window.log()->toPlainText().size() > 3);

    // A long run: an hour of queue traffic's worth of lines.
    for (int i = 0; i < 200000; ++i) m.link.core.link.diagnostics().logLine("line " + std::to_string(i));
    QVERIFY(m.link.core.factory.W_Log.size() <= oxalis::FactoryDiagnostics::kMaxLogText);
    QTest::qWait(250);
    const QString shown = window.log()->toPlainText();
    QVERIFY(shown.endsWith("line 199999\n"));
    QVERIFY(!shown.contains("line 0\n"));
    QVERIFY(window.log()->document()->blockCount() <= window.log()->maximumBlockCount());
  }
};

QTEST_MAIN(FactoryWindowTest)
#include "factory_window_test.moc"
