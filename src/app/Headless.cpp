#include "Headless.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "AppFolder.h"
#include "PortMap.h"
#include "QtClock.h"
#include "QtSerialPort.h"
#include "QtTimers.h"
#include "ShutdownSignals.h"
#include "app/Core.h"
#include "app/Recording.h"
#include "app/Shutdown.h"
#include "app/Version.h"
#include "files/CsvExport.h"
#include "files/DataFile.h"
#include "app/Persistence.h"
#include "trace/Trace.h"
#include "link/PortSearch.h"
#include "config/ChannelLine.h"

namespace oxalis {

namespace {

constexpr double kLongestRecordingSeconds = 86400;
// Beyond the port search and the recording itself, for opening the ports,
// the identification and the shutdown.
constexpr int kMarginMs = 10000;

// Messages, warnings and progress: standard error, so that standard output
// holds only the result.
void printMessage(const std::string& text) { std::fprintf(stderr, "oxalis-monitor: %s\n", text.c_str()); }

// A message box's text on one line: each line break inside it becomes ": ".
std::string oneLine(std::string_view text) {
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') {
      line += text[i];
    } else if (i + 1 < text.size() && text[i + 1] != '\r' && text[i + 1] != '\n') {
      line += ": ";
    }
  }
  return line;
}

// ---- platform adapters without a window ----

// Message boxes become lines on standard error; questions are answered No,
// or Cancel where there is one, which abandons the command that asked; file
// and colour choosers are cancelled.
class HeadlessDialogs : public Dialogs {
 public:
  void message(const std::string& text, const std::string& title, MessageIcon) override {
    printMessage(title + ": " + oneLine(text));
  }
  Answer question(const std::string& text, const std::string& title, QuestionButtons buttons,
                  MessageIcon) override {
    const Answer answer = buttons == QuestionButtons::YesNo ? Answer::No : Answer::Cancel;
    printMessage(title + ": " + oneLine(text) + (answer == Answer::No ? " - answered No" : " - cancelled"));
    return answer;
  }
  std::optional<std::string> openFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> saveFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::uint32_t> chooseColor(std::uint32_t) override { return std::nullopt; }
};

std::filesystem::path pathOf(const QString& text) { return std::filesystem::path(text.toStdString()); }

// ---- --export-csv ----

int exportCsv(const std::filesystem::path& dataFile, const std::filesystem::path& csvFile) {
  std::error_code ec;
  if (std::filesystem::equivalent(dataFile, csvFile, ec)) {
    printMessage("The CSV file " + csvFile.string() + " would replace the data file it is made from.");
    return kExitFailed;
  }

  // The channels a data file does not define keep their defaults, as in
  // the window.
  ChannelTable defaults;
  LoadDefaultChannels(defaults);

  FileResult opened;
  DataFileRead read = ReadDataFile(dataFile, UserChannels(defaults), opened);
  if (!opened.ok) {
    printMessage("Fail to open file " + dataFile.string() + ": " + opened.error);
    return kExitFailed;
  }
  if (read.status == DataFileRead::Status::NotADataFile) {
    printMessage("Invalid data file: " + dataFile.string());
    return kExitFailed;
  }
  if (read.linesDropped > 0)
    printMessage("The data file holds " + std::to_string(read.linesRead) + " samples; the newest " +
               std::to_string(read.linesRead - read.linesDropped) + " are exported.");

  TraceBuffer samples;
  loadSamples(samples, std::move(read.ring), read.sampleCount);
  const FileResult written = WriteCsv(read.channels, samples, csvFile);
  if (!written.ok) {
    printMessage("Fail to open file " + csvFile.string() + ": " + written.error);
    return kExitFailed;
  }
  std::printf("%zu samples exported to %s\n", read.linesRead - read.linesDropped, csvFile.string().c_str());
  return kExitDone;
}

// ---- --record ----

class Recorder {
 public:
  Recorder(std::filesystem::path dataFile, double seconds, const QString& appFolder)
      : dataFile_(std::move(dataFile)),
        recordMs_(std::max<long long>(1, std::llround(seconds * 1000))),
        port_(PortMap({pathOf(appFolder + "/ports")})),
        core_({port_, timers_, dialogs_, clock_}) {
    core_.state.appFolder = appFolder.toStdString();
    port_.setByteHandler([this](std::uint8_t byte) { core_.onByte(byte); });
    port_.setLostHandler([this] { core_.onPortLost(); });
    for (const auto id : {TimerId::Search, TimerId::Refresh, TimerId::KeepAlive, TimerId::Firmware}) {
      timers_.setTickHandler(id, [this, id] {
        if (phase_ == Phase::Finished) return;  // a tick already queued when the run ended
        core_.onTimer(id);
        if (id == TimerId::Search) afterSearchTick();
      });
    }
    QObject::connect(&signals_, &ShutdownSignals::shutdownRequested, &signals_, [this] { finish(Ending::Signal); });
    for (QTimer* timer : {&recordTimer_, &deadline_}) {
      timer->setSingleShot(true);
      timer->setTimerType(Qt::PreciseTimer);
    }
    QObject::connect(&recordTimer_, &QTimer::timeout, &recordTimer_, [this] { finish(Ending::Done); });
    QObject::connect(&deadline_, &QTimer::timeout, &deadline_, [this] { finish(Ending::OutOfTime); });
  }

  int run() {
    if (recordMs_ / 1000 > TraceBuffer::kRingSize / TraceBuffer::kSamplesPerSecond)
      printMessage("The trace holds " + std::to_string(TraceBuffer::kRingSize / TraceBuffer::kSamplesPerSecond) +
                 " s of samples; a longer recording keeps only its newest part.");
    core_.start();
    // The search tries the last module's port, then every port, each for
    // at most one listening period, and one tick more ends it.
    const long long searchMs = (PortSearch::kLastPort + 2) * PortSearch::kIntervalListen;
    deadline_.start(static_cast<int>(std::min<long long>(searchMs + recordMs_ + kMarginMs, INT32_MAX)));
    return QCoreApplication::exec();
  }

 private:
  enum class Phase { Searching, Recording, Finished };
  enum class Ending { Done, NoModule, Signal, OutOfTime, NotStarted };

  // The search ends on the tick after a module answered, or when every
  // port was tried.
  void afterSearchTick() {
    if (phase_ != Phase::Searching || timers_.isEnabled(TimerId::Search)) return;
    if (core_.link.state.linkUp)
      beginRecording();
    else
      finish(Ending::NoModule);  // the core has said "No device found"
  }

  void beginRecording() {
    startRecord(core_);
    if (!core_.state.recording) {
      printMessage("The recording could not start.");
      finish(Ending::NotStarted);
      return;
    }
    phase_ = Phase::Recording;
    lostAtStart_ = core_.link.state.rx.lostFrames;
    module_ = core_.link.state.identity.deviceCode + " S/N " + std::to_string(core_.link.state.identity.serialNumber);
    portText_ = "COM" + std::to_string(core_.link.state.currentPort);
    if (const QString path = port_.currentPath(); !path.isEmpty()) portText_ += " (" + path.toStdString() + ")";
    printMessage("recording " + module_ + " on " + portText_ + " for " +
               FormatPlainNumber(static_cast<double>(recordMs_) / 1000) + " s");
    recordTimer_.start(static_cast<int>(std::min<long long>(recordMs_, INT32_MAX)));
  }

  void finish(Ending ending) {
    if (phase_ == Phase::Finished) return;
    const Phase phase = phase_;
    phase_ = Phase::Finished;
    recordTimer_.stop();
    deadline_.stop();
    for (const auto id : {TimerId::Search, TimerId::Refresh, TimerId::KeepAlive, TimerId::Firmware})
      timers_.setEnabled(id, false);

    int status = kExitFailed;
    if (phase == Phase::Recording) {
      status = saveRecording(ending);
      if (ending == Ending::OutOfTime) {
        printMessage("The recording did not end in time.");
        status = kExitFailed;
      }
    } else if (ending == Ending::NoModule) {
      status = kExitNoModule;
    } else if (ending == Ending::Signal) {
      printMessage("Stopped before a module was found.");
    } else if (ending == Ending::OutOfTime) {
      printMessage("No device found in time.");
      status = kExitNoModule;
    }

    // The window's closing, without questions: unsaved samples (a save
    // that failed) go to a recovery file, the settings are written and the
    // port is closed.
    const ShutdownReport report = shutdown(core_, false);
    if (!report.recoveryFile.empty()) printMessage("The recorded samples were kept in " + report.recoveryFile);
    if (!report.error.empty()) printMessage(report.error);
    QCoreApplication::exit(status);
  }

  int saveRecording(Ending ending) {
    stopRecord(core_);
    const TraceBuffer& trace = core_.trace.buffer;
    const std::int32_t samples = trace.sampleCount;
    const std::uint32_t lost = core_.link.state.rx.lostFrames - lostAtStart_;

    const FileResult saved = saveDataFile(core_, dataFile_);
    if (saved.ok)
      core_.state.dataNotSaved = false;
    else
      printMessage("Fail to open file " + dataFile_.string() + ": " + saved.error);

    std::string summary = module_ + " on " + portText_ + ": " + std::to_string(samples) + " samples (" +
                          FormatPlainNumber(static_cast<double>(samples) / TraceBuffer::kSamplesPerSecond) +
                          " s), " + std::to_string(lost) + " lost frames, ";
    summary += saved.ok ? "saved to " + dataFile_.string() : std::string("not saved");
    if (samples > TraceBuffer::kRingSize)
      summary += " (the newest " + std::to_string(TraceBuffer::kRingSize) + " samples)";
    std::printf("%s\n", summary.c_str());
    std::fflush(stdout);

    if (!saved.ok) return kExitFailed;
    // A recording the user stopped holds what it holds; one that ran its
    // course without a single measurement means the module sent none.
    if (samples == 0 && ending != Ending::Signal) {
      printMessage("No measurement arrived during the recording.");
      return kExitFailed;
    }
    return kExitDone;
  }

  std::filesystem::path dataFile_;
  long long recordMs_;

  QtSerialPort port_;
  QtTimers timers_;
  HeadlessDialogs dialogs_;
  QtClock clock_;
  Core core_;
  ShutdownSignals signals_;
  QTimer recordTimer_;
  QTimer deadline_;

  Phase phase_ = Phase::Searching;
  std::uint32_t lostAtStart_ = 0;
  std::string module_;
  std::string portText_;
};

// ---- command line ----

int usageError(const QString& text) {
  printMessage(text.toStdString() + " (--help lists the options)");
  return kExitUsage;
}

}  // namespace

bool IsHeadlessCommand(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--") break;
    for (std::string_view option : {"--export-csv", "--record"})
      if (argument.substr(0, option.size()) == option &&
          (argument.size() == option.size() || argument[option.size()] == '='))
        return true;
  }
  return false;
}

int RunHeadless(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("Oxalis_Monitor");
  QCoreApplication::setApplicationVersion(kVersion);

  QCommandLineParser options;
  options.setApplicationDescription(
      "Oxalis Monitor without its window.\n"
      "  oxalis-monitor --export-csv IN.DA1 OUT.csv\n"
      "  oxalis-monitor --record OUT.DA1 --seconds N [--app-folder DIR]\n"
      "Exit status: 0 done, 1 failed, 2 wrong command line, 3 no module found.");
  const QCommandLineOption helpOption = options.addHelpOption();
  const QCommandLineOption exportOption("export-csv", "Write the samples of the data file IN as CSV to OUT.", "IN");
  const QCommandLineOption recordOption("record", "Record from the module found into the data file OUT.", "OUT");
  const QCommandLineOption secondsOption("seconds", "How long --record records, in seconds.", "N");
  const QCommandLineOption appFolderOption(
      "app-folder", "Folder of the settings file, the channel library (lib/) and the port links (ports/).", "DIR");
  for (const auto* option : {&exportOption, &recordOption, &secondsOption, &appFolderOption})
    options.addOption(*option);
  options.addPositionalArgument("OUT.csv", "With --export-csv: the CSV file to write.");

  if (!options.parse(QCoreApplication::arguments())) return usageError(options.errorText());
  if (options.isSet(helpOption)) {
    std::printf("%s", qPrintable(options.helpText()));
    return kExitDone;
  }
  const QStringList positional = options.positionalArguments();

  if (options.isSet(exportOption) == options.isSet(recordOption))
    return usageError("Give either --export-csv or --record.");

  if (options.isSet(exportOption)) {
    if (options.isSet(secondsOption) || options.isSet(appFolderOption))
      return usageError("--seconds and --app-folder belong to --record.");
    if (positional.size() != 1) return usageError("--export-csv takes a data file and a CSV file.");
    return exportCsv(pathOf(options.value(exportOption)), pathOf(positional.front()));
  }

  if (!positional.isEmpty()) return usageError("Unexpected argument: " + positional.front());
  if (!options.isSet(secondsOption)) return usageError("--record needs --seconds N.");
  bool isNumber = false;
  const double seconds = options.value(secondsOption).toDouble(&isNumber);
  if (!isNumber || !(seconds > 0) || seconds > kLongestRecordingSeconds)
    return usageError("--seconds takes a number of seconds above 0 and up to " +
                      QString::number(kLongestRecordingSeconds) + ".");
  const QString dataFile = options.value(recordOption);
  if (dataFile.isEmpty()) return usageError("--record needs the data file to write.");
  // Found out now rather than after the recording.
  std::error_code ec;
  const std::filesystem::path target = pathOf(dataFile);
  const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
  if (!std::filesystem::is_directory(folder, ec) || std::filesystem::is_directory(target, ec)) {
    printMessage("Fail to open file " + target.string() + ": " +
                 (std::filesystem::is_directory(target, ec) ? "a folder of that name is in the way" : "no such folder"));
    return kExitFailed;
  }

  Recorder recorder(pathOf(dataFile), seconds, PrepareAppFolder(options.value(appFolderOption)));
  return recorder.run();
}

}  // namespace oxalis
