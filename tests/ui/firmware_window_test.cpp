// The firmware window renders the update's model, and keeps itself open
// while a run is under way.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "CoreFixture.h"
#include "FirmwareWindow.h"
#include "Screenshot.h"
#include "TempFolder.h"
#include "link/RecordCodec.h"

using oxalis::FirmwareWindow;

class FirmwareWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void aRunShowsItsProgressAndEscWaitsForItsEnd() {
    oxalis::test::TempFolder folder;
    std::string file;
    for (int i = 0; i < 8; ++i) file += oxalis::BuildRecord(0x00, static_cast<std::uint16_t>(0x0800 + 16 * i), std::string(16, 'a')) + "\r\n";
    file += ":00000001FF\r\n";
    oxalis::test::WriteBytes(folder / "new.OX2", file);

    oxalis::test::CoreFixture f;
    f.port.open(1);
    f.core.link.state.linkUp = true;
    f.core.link.state.tx.moduleReady = true;
    f.core.firmware.open();
    FirmwareWindow window(f.core, nullptr);
    window.show();
    QVERIFY(!window.loadButton()->isEnabled());
    QCOMPARE(window.percentLabel()->text(), QString("0%"));

    f.dialogs.files = {(folder / "new.OX2").string()};
    QTest::mouseClick(window.fileButton(), Qt::LeftButton);
    QCOMPARE(f.dialogs.fileRequests.back().filter, std::string("Firmware archive (*.OX2)|*.OX2"));
    QCOMPARE(window.windowTitle(), QString("Updating (new.OX2)"));
    QVERIFY(window.loadButton()->isEnabled());
    QVERIFY(!window.bootloaderOption()->isEnabled());

    QTest::mouseClick(window.loadButton(), Qt::LeftButton);
    for (int i = 0; i < 4; ++i) {
      f.core.onByte(0x11);  // the module's XON
      f.core.onTimer(oxalis::TimerId::Firmware);
    }
    QVERIFY(window.progressBar()->value() > 0 && window.progressBar()->value() < 100);
    QVERIFY(!window.cancelButton()->isEnabled());
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(window.isVisible());
    oxalis::test::saveScreenshot(window, "firmware_window_running.png");

    f.core.link.state.rx.updateOk = true;  // the module's 0xFA
    for (int i = 0; i < 20 && f.core.firmware.running(); ++i) {
      f.core.onByte(0x11);
      f.core.onTimer(oxalis::TimerId::Firmware);
    }
    QCOMPARE(window.percentLabel()->text(), QString("100%"));
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
  }
};

QTEST_MAIN(FirmwareWindowTest)
#include "firmware_window_test.moc"
