// The tool without its window, run as a script would run it: recording from
// oxalis-sim on a pseudo-terminal into a data file, converting that file to
// CSV, the ways both commands fail, the help and the version. The monitor
// runs with no display and no Qt platform set.
#include <signal.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include "ProcessOutput.h"
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <memory>

#include "CoreFixture.h"
#include "app/Version.h"
#include "files/DataFile.h"

namespace {

struct Run {
  bool finished = false;
  int exitCode = -1;
  QString out;
  QString err;
};

QProcessEnvironment withoutDisplay() {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) env.remove(name);
  return env;
}

// Runs the monitor to its end, waiting at most `limitMs`.
Run runMonitor(const QStringList& arguments, int limitMs = 30000) {
  QProcess monitor;
  monitor.setProcessEnvironment(withoutDisplay());
  monitor.start(OXALIS_MONITOR_PATH, arguments);
  Run run;
  run.finished = monitor.waitForFinished(limitMs);
  if (!run.finished) {
    monitor.kill();
    monitor.waitForFinished(5000);
  }
  run.exitCode = monitor.exitStatus() == QProcess::NormalExit ? monitor.exitCode() : -1;
  run.out = QString::fromUtf8(monitor.readAllStandardOutput());
  run.err = QString::fromUtf8(monitor.readAllStandardError());
  return run;
}

QString describe(const Run& run) { return "stdout: " + run.out + "\nstderr: " + run.err; }

QByteArray contents(const QString& file) {
  QFile f(file);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The samples of a data file, as the window would load them; -1 when it
// cannot be read.
int samplesIn(const QString& dataFile) {
  oxalis::test::CoreFixture reader;
  oxalis::FileResult opened;
  const oxalis::DataFileRead read =
      oxalis::ReadDataFile(dataFile.toStdString(), oxalis::UserChannels(reader.core.channels), opened);
  if (!opened.ok || read.status != oxalis::DataFileRead::Status::Ok) return -1;
  return static_cast<int>(read.linesRead);
}

QStringList lines(const QString& file) {
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) return {};
  QStringList result = QString::fromUtf8(f.readAll()).split("\r\n");
  if (!result.isEmpty() && result.back().isEmpty()) result.pop_back();
  return result;
}

}  // namespace

class HeadlessTest : public QObject {
  Q_OBJECT
 private slots:
  // Every case has an app folder of its own, with an empty ports/.
  void init() {
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
    QVERIFY(QDir().mkpath(folder_->path() + "/ports"));
  }

  void cleanup() {
    if (sim_.state() != QProcess::NotRunning) {
      sim_.terminate();
      QVERIFY(sim_.waitForFinished(10000));
    }
    folder_.reset();
  }

  void recordsFromTheSimulatorAndExportsTheRecordingAsCsv() {
    startSimulator();
    const QString dataFile = folder() + "/run.DA1";
    const Run record = runMonitor({"--record", dataFile, "--seconds", "2", "--app-folder", folder()});
    QVERIFY2(record.finished, qPrintable(describe(record)));
    QVERIFY2(record.exitCode == 0, qPrintable(describe(record)));

    // One summary line: module, port, samples, lost frames and the file.
    const QRegularExpression summary(
        R"(^OX2 S/N 4321 on COM2 \(.*/ports/COM2\): (\d+) samples \(([\d.]+) s\), (\d+) lost frames, saved to (.*)\n$)");
    const QRegularExpressionMatch said = summary.match(record.out);
    QVERIFY2(said.hasMatch(), qPrintable(describe(record)));
    const int samples = said.captured(1).toInt();
    QVERIFY2(samples >= 80 && samples <= 120, qPrintable(describe(record)));  // 50 per second
    QCOMPARE(said.captured(3), QString("0"));
    QCOMPARE(said.captured(4), dataFile);

    // The data file reads back as the window would open it.
    oxalis::test::CoreFixture reader;
    oxalis::FileResult opened;
    const oxalis::DataFileRead read =
        oxalis::ReadDataFile(dataFile.toStdString(), oxalis::UserChannels(reader.core.channels), opened);
    QVERIFY2(opened.ok, opened.error.c_str());
    QCOMPARE(read.status, oxalis::DataFileRead::Status::Ok);
    QCOMPARE(read.linesRead, static_cast<std::size_t>(samples));
    QVERIFY(lines(dataFile).front().contains("4321 created: "));
    // The ordinary closing wrote the settings, with the module's port.
    QVERIFY(lines(folder() + "/OXL_Monitor.ini").contains("[COM]:2"));

    const QString csvFile = folder() + "/run.csv";
    const Run exported = runMonitor({"--export-csv", dataFile, csvFile});
    QVERIFY2(exported.exitCode == 0, qPrintable(describe(exported)));
    const QStringList csv = lines(csvFile);
    QCOMPARE(csv.size(), samples + 1);
    QVERIFY(csv.front().startsWith("time_s,Vout (mV),Richness,Lambda,O2 (%),A/F,TProbe (\u00B0C),Vs (mV),Diag,CAN1 (mV)"));
    const QStringList data = lines(dataFile).mid(17);  // the sample lines
    QCOMPARE(data.size(), samples);
    for (int row = 0; row < samples; ++row) {
      const QStringList fields = csv[row + 1].split(',');
      QCOMPARE(fields.size(), 14);
      QCOMPARE(fields[0].toDouble(), row / 50.0);
      QCOMPARE(fields[1], data[row].split(';')[1]);  // Vout, mV in both
    }
    sim_.terminate();
    QVERIFY(sim_.waitForFinished(10000));
  }

  void signalDuringTheRecordingSavesWhatWasRecorded() {
    startSimulator();
    const QString dataFile = folder() + "/stopped.DA1";
    QProcess monitor;
    monitor.setProcessEnvironment(withoutDisplay());
    monitor.start(OXALIS_MONITOR_PATH, {"--record", dataFile, "--seconds", "600", "--app-folder", folder()});
    QVERIFY(monitor.waitForStarted());
    const bool recording = waitFor(monitor, QProcess::StandardError, "first measurement");
    monitor.terminate();  // SIGTERM
    QVERIFY(monitor.waitForFinished(20000));
    QVERIFY2(recording, qPrintable(output_));
    QCOMPARE(monitor.exitStatus(), QProcess::NormalExit);
    QCOMPARE(monitor.exitCode(), 0);
    QVERIFY(QString::fromUtf8(monitor.readAllStandardOutput()).contains(" lost frames, saved to " + dataFile));

    oxalis::test::CoreFixture reader;
    oxalis::FileResult opened;
    const oxalis::DataFileRead read =
        oxalis::ReadDataFile(dataFile.toStdString(), oxalis::UserChannels(reader.core.channels), opened);
    QVERIFY2(opened.ok, opened.error.c_str());
    QCOMPARE(read.status, oxalis::DataFileRead::Status::Ok);
    QVERIFY(read.linesRead < 600 * 50);
  }

  void aModuleThatNeverStreamsLeavesAnEarlierRecordingAsItWas() {
    // The module answers the identification but, without its XON, never
    // takes the request for its measurements.
    startSimulator({"--withhold-xon"});
    const QString dataFile = folder() + "/earlier.DA1";
    const QByteArray earlier = "www.Korvane.com : Data file\r\nDATA\r\n0;1;2;3;4;5;6;7;8;9;10;11;12;13\r\n";
    writeFile(dataFile, earlier);
    const Run run = runMonitor({"--record", dataFile, "--seconds", "1", "--app-folder", folder()});
    QVERIFY2(run.finished, qPrintable(describe(run)));
    QVERIFY2(run.exitCode == 1, qPrintable(describe(run)));
    QVERIFY2(run.out.startsWith("OX2 S/N 4321 on COM2 (") &&
                 run.out.contains(": no measurement arrived in 1 s, " + dataFile + " left as it was"),
             qPrintable(describe(run)));
    QVERIFY2(!run.out.contains("saved to"), qPrintable(describe(run)));
    QCOMPARE(contents(dataFile), earlier);
    // Nothing to rescue either.
    QCOMPARE(QDir(folder()).entryList({"Recovery*"}, QDir::Files), QStringList());
  }

  void unplugDuringTheRecordingKeepsTheSamplesAndSaysPartial() {
    startSimulator();
    const QString dataFile = folder() + "/unplugged.DA1";
    QProcess monitor;
    monitor.setProcessEnvironment(withoutDisplay());
    monitor.start(OXALIS_MONITOR_PATH, {"--record", dataFile, "--seconds", "3", "--app-folder", folder()});
    QVERIFY(monitor.waitForStarted());
    QVERIFY2(waitFor(monitor, QProcess::StandardError, "first measurement"), qPrintable(output_));
    ::kill(static_cast<pid_t>(sim_.processId()), SIGUSR1);  // the adapter is pulled out
    QVERIFY2(waitFor(monitor, QProcess::StandardError, "the recording goes on if the module comes back"),
             qPrintable(output_));
    const QRegularExpressionMatch lost =
        QRegularExpression(R"(the port was lost ([\d.]+) s into the recording, after (\d+) samples)").match(output_);
    QVERIFY2(lost.hasMatch(), qPrintable(output_));
    const int samplesBeforeTheLoss = lost.captured(2).toInt();
    QVERIFY(samplesBeforeTheLoss > 0);

    QVERIFY(monitor.waitForFinished(20000));
    const QString out = QString::fromUtf8(monitor.readAllStandardOutput());
    QCOMPARE(monitor.exitStatus(), QProcess::NormalExit);
    QVERIFY2(monitor.exitCode() == 4, qPrintable(out));
    const QRegularExpressionMatch said =
        QRegularExpression(R"(: (\d+) samples \(([\d.]+) s\), 0 lost frames, saved to (.*); )"
                           R"(partial recording, ([\d.]+) s of 3 s: the port was lost at ([\d.]+) s\n$)")
            .match(out);
    QVERIFY2(said.hasMatch(), qPrintable(out));
    QCOMPARE(said.captured(1).toInt(), samplesBeforeTheLoss);
    QCOMPARE(said.captured(3), dataFile);
    QCOMPARE(said.captured(4), said.captured(2));
    QCOMPARE(said.captured(5).toDouble(), std::round(lost.captured(1).toDouble() * 10) / 10);
    // Every sample recorded before the loss is in the file.
    QCOMPARE(samplesIn(dataFile), samplesBeforeTheLoss);
  }

  // The module goes away, by its adapter or behind it, and comes back.
  void theRecordingGoesOnWhenTheModuleComesBack_data() {
    QTest::addColumn<int>("goAway");
    QTest::addColumn<int>("comeBack");
    QTest::addColumn<QString>("gap");
    QTest::newRow("adapter unplugged") << int(SIGUSR1) << int(SIGUSR2) << "the port was lost";
    QTest::newRow("module silent") << int(SIGRTMIN) << int(SIGRTMIN + 1) << "the module stopped sending";
  }

  void theRecordingGoesOnWhenTheModuleComesBack() {
    QFETCH(int, goAway);
    QFETCH(int, comeBack);
    QFETCH(QString, gap);
    startSimulator();
    const QString dataFile = folder() + "/replugged.DA1";
    QProcess monitor;
    monitor.setProcessEnvironment(withoutDisplay());
    monitor.start(OXALIS_MONITOR_PATH, {"--record", dataFile, "--seconds", "8", "--app-folder", folder()});
    QVERIFY(monitor.waitForStarted());
    QVERIFY2(waitFor(monitor, QProcess::StandardError, "first measurement"), qPrintable(output_));
    ::kill(static_cast<pid_t>(sim_.processId()), goAway);
    QVERIFY2(waitFor(monitor, QProcess::StandardError, "the recording goes on if the module comes back"),
             qPrintable(output_));
    const QRegularExpressionMatch lost =
        QRegularExpression(gap + R"( [\d.]+ s into the recording, after (\d+) samples)").match(output_);
    QVERIFY2(lost.hasMatch(), qPrintable(output_));
    ::kill(static_cast<pid_t>(sim_.processId()), comeBack);
    QVERIFY2(waitFor(monitor, QProcess::StandardError, "; the recording goes on"), qPrintable(output_));
    QVERIFY2(output_.contains("measurements again "), qPrintable(output_));

    QVERIFY(monitor.waitForFinished(30000));
    const QString out = QString::fromUtf8(monitor.readAllStandardOutput());
    QVERIFY2(monitor.exitCode() == 4, qPrintable(out));
    const QRegularExpressionMatch said =
        QRegularExpression(R"(: (\d+) samples .* partial recording, [\d.]+ s of 8 s: )" + gap +
                           R"( at ([\d.]+) s, measurements again from ([\d.]+) s\n$)")
            .match(out);
    QVERIFY2(said.hasMatch(), qPrintable(out));
    QVERIFY(said.captured(3).toDouble() > said.captured(2).toDouble());
    const int samples = said.captured(1).toInt();
    QVERIFY2(samples > lost.captured(1).toInt(), qPrintable(out));
    QCOMPARE(samplesIn(dataFile), samples);
  }

  // A workshop's round trip: one module's setup read into an archive,
  // edited, written to a fresh module and read from it again.
  void setupArchivesGoBothWaysAndComeBackEqual() {
    startSimulator();
    const QString first = folder() + "/first.OXS";
    const Run read = runMonitor({"--read-setup", first, "--app-folder", folder()});
    QVERIFY2(read.exitCode == 0, qPrintable(describe(read)));
    QCOMPARE(read.out, "OX2 S/N 4321 on COM2 (" + folder() + "/ports/COM2): configuration and output tables read, "
                       "saved to " + first + "\n");
    QStringList archive = lines(first);
    QCOMPARE(archive.size(), 36);
    QCOMPARE(archive.front(), QString("[Prot]:USER"));

    // A setting and the last output point changed, as a user would in the file.
    for (QString& line : archive) {
      if (line.startsWith("[VOUTDEF]:")) line = "[VOUTDEF]:1234";
      if (line.startsWith("[TAB_VOUT]:")) line.replace(QRegularExpression(";\\d+;$"), ";777;");
    }
    const QString edited = folder() + "/edited.OXS";
    writeFile(edited, (archive.join("\r\n") + "\r\n").toLatin1());
    // Written to another module, fresh from the factory.
    sim_.terminate();
    QVERIFY(sim_.waitForFinished(10000));
    startSimulator();
    const Run write = runMonitor({"--write-setup", edited, "--app-folder", folder()});
    QVERIFY2(write.exitCode == 0, qPrintable(describe(write)));
    QVERIFY2(write.out.endsWith(": " + edited + " written and verified\n"), qPrintable(describe(write)));

    const QString again = folder() + "/again.OXS";
    const Run reread = runMonitor({"--read-setup", again, "--app-folder", folder()});
    QVERIFY2(reread.exitCode == 0, qPrintable(describe(reread)));
    QCOMPARE(lines(again), archive);
  }

  void aSettingTheModuleDoesNotKeepIsNamedWithStatus5() {
    // The module keeps the high byte of "Vout on invalid measurement" only.
    startSimulator({"--ignore-writes-at", "0x31"});
    const QString archive = folder() + "/vout.OXS";
    writeFile(archive, "[VOUTDEF]:1234\r\n");
    const Run run = runMonitor({"--write-setup", archive, "--app-folder", folder()});
    QVERIFY2(run.exitCode == 5, qPrintable(describe(run)));
    QVERIFY2(run.out.contains(": Written, but the module holds other values for: Vout on invalid measurement; " +
                              archive + " not verified\n"),
             qPrintable(describe(run)));
  }

  void flashUpdatesTheModuleOrSaysWhyNot() {
    const QString image = folder() + "/new.OX2";
    QProcess make;
    make.start(OXALIS_SIM_PATH, {"--make-firmware", image, "--firmware-version", "3.5", "--kib", "2"});
    QVERIFY(make.waitForFinished(10000));
    QCOMPARE(make.exitCode(), 0);

    // A damaged file is refused before the search.
    QByteArray bytes = contents(image);
    const QString damaged = folder() + "/damaged.OX2";
    writeFile(damaged, bytes.left(bytes.size() - 8));
    const Run refused = runMonitor({"--flash", damaged, "--app-folder", folder()});
    QCOMPARE(refused.exitCode, 1);
    QVERIFY2(refused.err.contains("Invalid firmware file " + damaged + ": line "), qPrintable(describe(refused)));
    QVERIFY(!refused.err.contains("No device found"));

    startSimulator();
    const Run run = runMonitor({"--flash", image, "--app-folder", folder()}, 60000);
    QVERIFY2(run.exitCode == 0, qPrintable(describe(run)));
    QCOMPARE(run.out, "OX2 S/N 4321 on COM2 (" + folder() + "/ports/COM2): firmware 3.4 -> 3.5, updated from " +
                          image + "\n");
    QVERIFY(run.err.contains("sent 100%"));

    // A module that stops in the middle of the update.
    sim_.terminate();
    QVERIFY(sim_.waitForFinished(10000));
    startSimulator({"--stall-update-after", "20"});
    const Run stalled = runMonitor({"--flash", image, "--app-folder", folder()}, 60000);
    QCOMPARE(stalled.exitCode, 1);
    QVERIFY2(stalled.err.contains("Link with board failed"), qPrintable(describe(stalled)));
    QVERIFY2(stalled.out.endsWith(": not updated, the update failed\n"), qPrintable(describe(stalled)));
  }

  void helpAndVersionNeedNoDisplay() {
    const QStringList helpLists = {"--record OUT.DA1 --seconds N", "--export-csv IN.DA1 OUT.csv",
                                   "--demo[=TYPE]",                "--app-folder DIR",
                                   "-h, --help",                   "-v, --version",
                                   "Exit status:",                 "  0  done",
                                   "  1  failed",                  "  2  the command line is wrong",
                                   "  3  --record, --read-setup, --write-setup, --flash: no module found", "--flash FILE",
                                   "  4  --record: partial recording",
                                   "--read-setup OUT.OXS",         "--write-setup IN.OXS",
                                   "  5  --write-setup: written, but"};
    const struct {
      QStringList arguments;
      QString says;
    } cases[] = {
        {{"--help"}, "Usage: oxalis-monitor"},
        {{"-h"}, "Usage: oxalis-monitor"},
        {{"--record", "x.DA1", "--seconds", "5", "--help"}, "Usage: oxalis-monitor"},
        {{"--version"}, QString(oxalis::kVersion) + "\n"},
        {{"-v"}, QString(oxalis::kVersion) + "\n"},
    };
    for (const auto& c : cases) {
      const Run run = runMonitor(c.arguments);
      const QString what = c.arguments.join(' ') + "\n" + describe(run);
      QVERIFY2(run.exitCode == 0, qPrintable(what));
      QVERIFY2(run.out.startsWith(c.says), qPrintable(what));
      if (c.says.startsWith("Usage"))
        for (const QString& text : helpLists) QVERIFY2(run.out.contains(text), qPrintable(text + "\n" + what));
    }
    // The window itself needs a display: a message, not a crash.
    const Run window = runMonitor({"--app-folder", folder()});
    QVERIFY2(window.exitCode == 1, qPrintable(describe(window)));
    QVERIFY2(window.err.contains("needs a display"), qPrintable(describe(window)));
  }

  void searchWithoutModuleSaysNoDeviceFound() {
    // Ports without an entry in ports/ are the machine's own USB adapters.
    for (const char* pattern : {"ttyUSB*", "ttyACM*"})
      if (!QDir("/dev").entryList({QString(pattern)}, QDir::System).isEmpty())
        QSKIP("a serial adapter is plugged into this machine; the search could find a real module");
    const QString dataFile = folder() + "/none.DA1";
    const Run run = runMonitor({"--record", dataFile, "--seconds", "2", "--app-folder", folder()});
    QVERIFY2(run.finished, qPrintable(describe(run)));
    QVERIFY2(run.exitCode == 3, qPrintable(describe(run)));
    QVERIFY2(run.err.contains("No device found"), qPrintable(describe(run)));
    QVERIFY(run.out.isEmpty());
    QVERIFY(!QFileInfo::exists(dataFile));
  }

  void filesThatCannotBeUsedFailWithStatus1() {
    // A recording that could not be saved fails before the search.
    const Run noFolder = runMonitor({"--record", folder() + "/missing/x.DA1", "--seconds", "1", "--app-folder", folder()});
    QCOMPARE(noFolder.exitCode, 1);
    QVERIFY2(noFolder.err.contains("Fail to open file " + folder() + "/missing/x.DA1: no such folder"),
             qPrintable(noFolder.err));
    QVERIFY(!noFolder.err.contains("No device found"));

    const QString csvFile = folder() + "/out.csv";
    const Run missing = runMonitor({"--export-csv", folder() + "/missing.DA1", csvFile});
    QCOMPARE(missing.exitCode, 1);
    QVERIFY2(missing.err.contains("Fail to open file " + folder() + "/missing.DA1"), qPrintable(missing.err));

    const QString notData = folder() + "/notes.DA1";
    writeFile(notData, "shopping list\r\n");
    const Run invalid = runMonitor({"--export-csv", notData, csvFile});
    QCOMPARE(invalid.exitCode, 1);
    QVERIFY2(invalid.err.contains("Invalid data file"), qPrintable(invalid.err));
    QVERIFY(!QFileInfo::exists(csvFile));

    // Naming the data file as the CSV file would destroy the recording.
    const QString dataFile = folder() + "/keep.DA1";
    const QByteArray recording = "www.Korvane.com : Data file\r\nDATA\r\n0;1;2;3;4;5;6;7;8;9;10;11;12;13\r\n";
    writeFile(dataFile, recording);
    const Run sameFile = runMonitor({"--export-csv", dataFile, folder() + "/./keep.DA1"});
    QCOMPARE(sameFile.exitCode, 1);
    QFile kept(dataFile);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), recording);

    // An archive to write that is missing or is no archive: refused before the search.
    const Run noArchive = runMonitor({"--write-setup", folder() + "/missing.OXS", "--app-folder", folder()});
    QCOMPARE(noArchive.exitCode, 1);
    QVERIFY2(noArchive.err.contains("Fail to open file " + folder() + "/missing.OXS"), qPrintable(noArchive.err));
    const Run notArchive = runMonitor({"--write-setup", notData, "--app-folder", folder()});
    QCOMPARE(notArchive.exitCode, 1);
    QVERIFY2(notArchive.err.contains("Invalid setup archive: " + notData), qPrintable(notArchive.err));
    QVERIFY(!notArchive.err.contains("No device found"));
  }

  void wrongCommandLinesAreRefusedWithStatus2() {
    const QString dataFile = folder() + "/x.DA1";
    for (const QStringList& arguments : {QStringList{"--record", dataFile},
                                         QStringList{"--record", dataFile, "--seconds", "0"},
                                         QStringList{"--record", dataFile, "--seconds", "two"},
                                         QStringList{"--export-csv", dataFile},
                                         QStringList{"--export-csv", dataFile, "a.csv", "--record", dataFile},
                                         QStringList{"--read-setup", "a.OXS", "--seconds", "1"},
                                         QStringList{"--read-setup", "a.OXS", "--write-setup", "b.OXS"}}) {
      const Run run = runMonitor(arguments);
      QVERIFY2(run.exitCode == 2, qPrintable(arguments.join(' ') + "\n" + describe(run)));
      QVERIFY(!run.err.isEmpty());
    }
  }

 private:
  // oxalis-sim serves an OX2 module with serial 4321 at <app folder>/ports/COM2;
  // SIGUSR1 unplugs it, SIGUSR2 plugs it in again; SIGRTMIN silences it,
  // SIGRTMIN+1 makes it talk again.
  // `faults`: further oxalis-sim options.
  void startSimulator(const QStringList& faults = {}) {
    sim_.start(OXALIS_SIM_PATH,
               QStringList{"--port-dir", folder() + "/ports", "--port", "2", "--device", "OX2", "--serial", "4321"} +
                   faults);
    QVERIFY(sim_.waitForStarted());
    QVERIFY2(waitFor(sim_, QProcess::StandardOutput, "COM2"), qPrintable(output_));
  }

  static void writeFile(const QString& name, const QByteArray& bytes) {
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }

  // Waits (bounded) until the process's channel has shown `text`.
  bool waitFor(QProcess& process, QProcess::ProcessChannel channel, const QString& text) {
    return oxalis::test::waitForOutput(process, channel, text, output_);
  }

  QString folder() const { return folder_->path(); }

  std::unique_ptr<QTemporaryDir> folder_;
  QProcess sim_;
  QString output_;
};

QTEST_GUILESS_MAIN(HeadlessTest)
#include "headless_test.moc"
