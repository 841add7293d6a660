// The real application finds the simulated module by its ordinary port
// search: oxalis-sim serves a pseudo-terminal at <app folder>/ports/COM3 and
// oxalis-monitor, started on that app folder, reports the link on standard
// error as it comes up.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include "ProcessOutput.h"
#include <QTemporaryDir>
#include <QTest>

class FindModuleTest : public QObject {
  Q_OBJECT
 private slots:
  void monitorFindsSimulatedModuleOnItsPort() {
    QTemporaryDir appFolder;
    QVERIFY(appFolder.isValid());

    QProcess sim;
    sim.start(OXALIS_SIM_PATH, {"--port-dir", appFolder.path() + "/ports", "--port", "3", "--device", "PNU",
                                "--serial", "4321"});
    QVERIFY(sim.waitForStarted());
    // The simulator says which link it serves once the link exists.
    QVERIFY(waitFor(sim, QProcess::StandardOutput, "COM3"));

    QProcess monitor;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    monitor.setProcessEnvironment(env);
    monitor.start(OXALIS_MONITOR_PATH, {"--app-folder", appFolder.path()});
    QVERIFY(monitor.waitForStarted());
    const bool found = waitFor(monitor, QProcess::StandardError, "COM:3 | Link ON | Display CAN  S/N:4321");
    monitor.terminate();  // SIGTERM: the ordinary shutdown
    QVERIFY(monitor.waitForFinished(10000));
    QVERIFY2(found, qPrintable("monitor said: " + output_));
    QCOMPARE(monitor.exitStatus(), QProcess::NormalExit);
    QCOMPARE(monitor.exitCode(), 0);

    sim.terminate();
    QVERIFY(sim.waitForFinished(10000));
    QVERIFY(!QFileInfo::exists(appFolder.path() + "/ports/COM3"));
  }

 void demoModuleIsFoundAndSigtermClosesThroughTheOrdinaryShutdown() {
    QTemporaryDir appFolder;
    QVERIFY(appFolder.isValid());
    QProcess monitor;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    monitor.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    monitor.start(OXALIS_MONITOR_PATH, {"--demo=QTX", "--app-folder", appFolder.path()});
    QVERIFY(monitor.waitForStarted());
    const bool found = waitFor(monitor, QProcess::StandardError, "COM:1 | Link ON | FuelTankDrainTool");
    qInfo("simulated module found %lld ms after start", static_cast<long long>(clock.elapsed()));
    monitor.terminate();
    QVERIFY(monitor.waitForFinished(10000));
    QVERIFY2(found, qPrintable("monitor said: " + output_));
    QCOMPARE(monitor.exitStatus(), QProcess::NormalExit);
    QCOMPARE(monitor.exitCode(), 0);

    QFile settings(appFolder.path() + "/OXL_Monitor.ini");
    QVERIFY(settings.open(QIODevice::ReadOnly));
    const QByteArray text = settings.readAll();
    QVERIFY(text.startsWith("[COM]:1\r\n"));
    QVERIFY(text.contains("[Last Module]:QTX\r\n"));
    QVERIFY(QDir(appFolder.path() + "/lib").exists());
  }

 private:
  // Waits (bounded) until the process's channel has shown `text`.
  bool waitFor(QProcess& process, QProcess::ProcessChannel channel, const QString& text) {
    return oxalis::test::waitForOutput(process, channel, text, output_);
  }
  QString output_;
};

QTEST_GUILESS_MAIN(FindModuleTest)
#include "find_module_test.moc"
