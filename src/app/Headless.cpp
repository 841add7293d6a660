#include "Headless.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
#include "firmware/FirmwareFile.h"
#include "files/DataFile.h"
#include "app/Persistence.h"
#include "trace/Trace.h"
#include "link/PortSearch.h"
#include "config/ChannelLine.h"
#include "util/AtomicFile.h"

namespace oxalis {

namespace {

constexpr double kLongestRecordingSeconds = 86400;
// Beyond the port search and the recording itself, for opening the ports,
// the identification and the shutdown.
constexpr int kMarginMs = 10000;

// Messages, warnings and progress: standard error, so that standard output
// holds only the result.
void printMessage(const std::string& text) { std::fprintf(stderr, "oxalis-monitor: %s\n", text.c_str()); }

// A command's one result line: standard output.
void printSummary(const std::string& text) {
  std::printf("%s\n", text.c_str());
  std::fflush(stdout);
}

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

// ---- commands that talk to a module ----

// Seconds, rounded to tenths, in plain decimal: "1.2", "600".
std::string secondsText(double seconds) { return FormatPlainNumber(std::round(seconds * 10) / 10); }

// How a command's work ended.
enum class Ending { Done, Failed, Signal, OutOfTime };

// The core on the machine's serial ports and timers, started as the window
// starts (settings of the app folder, port search). Once a module has
// answered, the command does its work through the hooks below; it ends with
// the window's closing without questions (settings written, port closed).
class ModuleCommand {
 public:
  explicit ModuleCommand(const QString& appFolder)
      : port_(PortMap({pathOf(appFolder + "/ports")})), core_({port_, timers_, dialogs_, clock_}) {
    core_.state.appFolder = appFolder.toStdString();
    port_.setByteHandler([this](std::uint8_t byte) {
      core_.onByte(byte);
      if (stage_ == Stage::Working) byteArrived();
    });
    port_.setLostHandler([this] {
      core_.onPortLost();
      if (stage_ == Stage::Working) portLost();
    });
    for (const auto id : kTimers) {
      timers_.setTickHandler(id, [this, id] {
        if (stage_ == Stage::Finished) return;  // a tick already queued when the run ended
        core_.onTimer(id);
        if (id == TimerId::Search && stage_ == Stage::Searching) afterSearchTick();
        if (id == TimerId::Refresh && stage_ == Stage::Working) refreshTicked();
      });
    }
    QObject::connect(&signals_, &ShutdownSignals::shutdownRequested, &signals_, [this] { finish(Ending::Signal); });
    deadline_.setSingleShot(true);
    QObject::connect(&deadline_, &QTimer::timeout, &deadline_, [this] { finish(Ending::OutOfTime); });
  }
  virtual ~ModuleCommand() = default;
  ModuleCommand(const ModuleCommand&) = delete;
  ModuleCommand& operator=(const ModuleCommand&) = delete;

  // Searches, works and closes; `workMs` is the longest the work may take
  // once the module answered. Returns the exit status.
  int run(long long workMs) {
    core_.start();
    // The search tries the last module's port, then every port, each for
    // at most one listening period, and one tick more ends it.
    const long long searchMs = (PortSearch::kLastPort + 2) * PortSearch::kIntervalListen;
    deadline_.start(static_cast<int>(std::min<long long>(searchMs + workMs + kMarginMs, INT32_MAX)));
    return QCoreApplication::exec();
  }

 protected:
  // The module answered: the work begins.
  virtual void begin() = 0;
  // The work ends: what it leaves behind, and the exit status.
  virtual int end(Ending ending) = 0;
  virtual void byteArrived() {}
  virtual void portLost() {}
  virtual void refreshTicked() {}

  void finish(Ending ending) {
    if (stage_ == Stage::Finished) return;
    const Stage stage = stage_;
    stage_ = Stage::Finished;
    deadline_.stop();
    for (const auto id : kTimers) timers_.setEnabled(id, false);

    int status = kExitFailed;
    if (stage == Stage::Working) {
      status = end(ending);
    } else if (ending == Ending::Signal) {
      printMessage("Stopped before a module was found.");
    } else if (ending == Ending::OutOfTime) {
      printMessage("No device found in time.");
      status = kExitNoModule;
    } else {
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

  // "OX2 S/N 4321 on COM2 (/dev/ttyUSB1)"
  std::string moduleOnPort() {
    std::string text = core_.link.state.identity.deviceCode + " S/N " +
                       std::to_string(core_.link.state.identity.serialNumber) + " on COM" +
                       std::to_string(core_.link.state.currentPort);
    if (const QString path = port_.currentPath(); !path.isEmpty()) text += " (" + path.toStdString() + ")";
    return text;
  }

  QtSerialPort port_;
  QtTimers timers_;
  HeadlessDialogs dialogs_;
  QtClock clock_;
  Core core_;

 private:
  static constexpr std::array kTimers{TimerId::Search, TimerId::Refresh, TimerId::KeepAlive, TimerId::Firmware};
  enum class Stage { Searching, Working, Finished };

  // The search ends on the tick after a module answered; a pass over every
  // port without an answer ends the command with the window's notice ("No
  // device found", the ports tried, the usual fixes).
  void afterSearchTick() {
    if (!timers_.isEnabled(TimerId::Search) && core_.link.state.linkUp) {
      stage_ = Stage::Working;
      begin();
    } else if (!core_.link.state.linkUp && core_.mainWindow.linkNotice.visible()) {
      printMessage(oneLine(core_.mainWindow.linkNotice.text));
      finish(Ending::Failed);
    }
  }

  ShutdownSignals signals_;
  QTimer deadline_;
  Stage stage_ = Stage::Searching;
};

// ---- --record ----

class Recorder : public ModuleCommand {
 public:
  Recorder(std::filesystem::path dataFile, double seconds, const QString& appFolder)
      : ModuleCommand(appFolder), dataFile_(std::move(dataFile)), recordMs_(std::max<long long>(1, std::llround(seconds * 1000))) {
    recordTimer_.setSingleShot(true);
    recordTimer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&recordTimer_, &QTimer::timeout, &recordTimer_, [this] { finish(Ending::Done); });
  }

  int run() {
    if (recordMs_ / 1000 > TraceBuffer::kRingSize / TraceBuffer::kSamplesPerSecond)
      printMessage("The trace holds " + std::to_string(TraceBuffer::kRingSize / TraceBuffer::kSamplesPerSecond) +
                   " s of samples; a longer recording keeps only its newest part.");
    return ModuleCommand::run(recordMs_);
  }

 private:
  enum class Loss { Port, Silence };

  // A stretch of the recording without measurements: from the port's loss
  // or the module's last measurement until the next measurement, if one
  // came. Times in seconds from the start of the recording.
  struct Gap {
    Loss loss;
    double from;
    std::optional<double> until;
  };

  void begin() override {
    startRecord(core_);
    if (!core_.state.recording) {
      printMessage("The recording could not start.");
      finish(Ending::Failed);
      return;
    }
    started_ = true;
    sinceStart_.start();
    lostAtStart_ = core_.link.state.rx.lostFrames;
    moduleOnPort_ = moduleOnPort();
    printMessage("recording " + moduleOnPort_ + " for " + FormatPlainNumber(static_cast<double>(recordMs_) / 1000) +
                 " s");
    recordTimer_.start(static_cast<int>(std::min<long long>(recordMs_, INT32_MAX)));
    // Unplugged between its answer and now.
    if (!port_.isOpen()) interrupted(Loss::Port, 0);
  }

  double elapsedSeconds() const { return static_cast<double>(sinceStart_.elapsed()) / 1000; }

  // A new measurement ends the gap before it.
  void byteArrived() override {
    const std::int32_t samples = core_.trace.buffer.sampleCount;
    if (samples == samplesSeen_) return;
    samplesSeen_ = samples;
    lastSampleAt_ = elapsedSeconds();
    if (!firstSampleSaid_) {
      firstSampleSaid_ = true;
      printMessage("first measurement " + secondsText(lastSampleAt_) + " s into the recording");
    }
    if (!gaps_.empty() && !gaps_.back().until) {
      gaps_.back().until = lastSampleAt_;
      printMessage("measurements again " + secondsText(lastSampleAt_) + " s into the recording; the recording goes on");
    }
  }

  void portLost() override { interrupted(Loss::Port, elapsedSeconds()); }

  // The link gave up on a module that went quiet with its port still open:
  // the gap began with its last measurement. (A module that never sent one
  // leaves nothing to interrupt; the summary says no measurement arrived.)
  void refreshTicked() override {
    if (core_.link.state.linkUp || samplesSeen_ == 0 || (!gaps_.empty() && !gaps_.back().until)) return;
    interrupted(Loss::Silence, lastSampleAt_);
  }

  void interrupted(Loss loss, double from) {
    if (!gaps_.empty() && !gaps_.back().until) return;  // the port goes first, the link's time-out follows
    gaps_.push_back({loss, from, std::nullopt});
    printMessage(std::string(loss == Loss::Port ? "the port was lost " : "the module stopped sending ") +
                 secondsText(from) + " s into the recording, after " + std::to_string(samplesSeen_) +
                 " samples; the recording goes on if the module comes back");
  }

  // "the port was lost at 1.2 s, measurements again from 3.5 s; ..."
  std::string gapsText() const {
    std::string text;
    for (const Gap& gap : gaps_) {
      if (!text.empty()) text += "; ";
      text += (gap.loss == Loss::Port ? "the port was lost at " : "the module stopped sending at ") +
              secondsText(gap.from) + " s";
      if (gap.until) text += ", measurements again from " + secondsText(*gap.until) + " s";
    }
    return text;
  }

  int end(Ending ending) override {
    recordTimer_.stop();
    if (!started_) return kExitFailed;
    int status = saveRecording(ending);
    if (ending == Ending::OutOfTime) {
      printMessage("The recording did not end in time.");
      status = kExitFailed;
    }
    return status;
  }

  int saveRecording(Ending ending) {
    stopRecord(core_);
    const TraceBuffer& trace = core_.trace.buffer;
    const std::int32_t samples = trace.sampleCount;
    const std::uint32_t lost = core_.link.state.rx.lostFrames - lostAtStart_;
    // The time the recording ran: as asked when it ran its course.
    const std::string ranFor = ending == Ending::Done ? FormatPlainNumber(static_cast<double>(recordMs_) / 1000)
                                                      : secondsText(elapsedSeconds());
    std::string summary = moduleOnPort_ + ": ";

    // Without a single measurement there is nothing to keep: a file of that
    // name, perhaps an earlier recording, stays as it was.
    if (samples == 0) {
      summary += "no measurement arrived in " + ranFor + " s, " + dataFile_.string() + " left as it was";
      if (!gaps_.empty()) summary += "; " + gapsText();
      printSummary(summary);
      return kExitFailed;
    }

    const FileResult saved = saveDataFile(core_, dataFile_);
    if (saved.ok)
      core_.state.dataNotSaved = false;
    else
      printMessage("Fail to open file " + dataFile_.string() + ": " + saved.error);

    const std::string recorded = FormatPlainNumber(static_cast<double>(samples) / TraceBuffer::kSamplesPerSecond);
    summary += std::to_string(samples) + " samples (" + recorded + " s), " + std::to_string(lost) + " lost frames, ";
    summary += saved.ok ? "saved to " + dataFile_.string() : std::string("not saved");
    if (samples > TraceBuffer::kRingSize)
      summary += " (the newest " + std::to_string(TraceBuffer::kRingSize) + " samples)";
    // The samples after a gap follow those before it at once in the file:
    // the summary says where the gaps were.
    if (!gaps_.empty()) summary += "; partial recording, " + recorded + " s of " + ranFor + " s: " + gapsText();
    printSummary(summary);

    if (!saved.ok) return kExitFailed;
    return gaps_.empty() ? kExitDone : kExitPartial;
  }

  std::filesystem::path dataFile_;
  long long recordMs_;
  QTimer recordTimer_;

  bool started_ = false;
  QElapsedTimer sinceStart_;  // from the start of the recording
  std::uint32_t lostAtStart_ = 0;
  std::string moduleOnPort_;
  std::int32_t samplesSeen_ = 0;
  double lastSampleAt_ = 0;
  bool firstSampleSaid_ = false;
  std::vector<Gap> gaps_;
};

// ---- --read-setup and --write-setup ----

// The setup window's own handlers, clicked in turn: the window opens (and,
// with the module streaming, reads everything, as it does on "No" to
// loading the last setup file), then "Read all" and the table read, or the
// archive, "Write all" and the table write, each checked by its read-back.
// Every step waits until its replies are in or their wait was given up.
class SetupCommand : public ModuleCommand {
 public:
  // Reading when `archive` is empty; otherwise the archive to write.
  SetupCommand(std::filesystem::path file, std::string archive, const QString& appFolder)
      : ModuleCommand(appFolder), file_(std::move(file)), archive_(std::move(archive)) {}

  int run() { return ModuleCommand::run(kWorkMs); }

 private:
  static constexpr long long kWorkMs = 120000;
  // Ticks to wait for the module's stored user level before working at the
  // level the tool starts with.
  static constexpr int kLevelTicks = 10;

  bool writing() const { return !archive_.empty(); }

  void begin() override {
    moduleOnPort_ = moduleOnPort();
    printMessage(std::string(writing() ? "writing " : "reading ") + moduleOnPort_);
    Setup& setup = core_.setup;
    steps_.push_back([this] { core_.openSetup(); });
    if (writing()) {
      steps_.push_back([this, &setup] { setup.ReadSetupArchive(archive_); });
      steps_.push_back([&setup] { setup.WriteCfgCAN_Click(); });
      for (int tab : tableTabs())
        steps_.push_back([&setup, tab] {
          if (tab > 0) setup.TabStripCarto_Click(tab);
          setup.WriteVout_Click();
        });
    } else {
      steps_.push_back([&setup] { setup.ReadCfgCAN_Click(); });
      steps_.push_back([&setup] { setup.ReadVout_Click(); });
    }
    advance();
  }

  // The display writes its five tables one tab at a time; the others have
  // one table (or none, and their table write sends nothing).
  std::vector<int> tableTabs() const {
    if (core_.link.state.identity.deviceCode == "PNU") return {1, 2, 3, 4, 5};
    return {0};
  }

  void byteArrived() override { advance(); }
  void refreshTicked() override {
    ++ticks_;
    advance();
  }
  void portLost() override {
    printMessage("the port was lost");
    finish(Ending::Failed);
  }

  // The next step once the last one is over: its replies in (or given up)
  // and its records sent.
  void advance() {
    const Setup& setup = core_.setup;
    if (!core_.state.storedLevelKnown && ticks_ < kLevelTicks) return;
    if (stepRunning_) {
      if (setup.transferring() || !core_.link.queue.isEmpty()) return;
      stepRunning_ = false;
      judgeStep();
    }
    if (steps_.empty()) {
      // The last records (the reload, the stream's restart) leave the port
      // before it closes: the end waits for one refresh tick.
      if (endTick_ < 0) endTick_ = ticks_;
      if (ticks_ > endTick_) finish(Ending::Done);
      return;
    }
    const auto step = std::move(steps_.front());
    steps_.pop_front();
    step();
    stepRunning_ = true;
  }

  // What a step left in the window's transfer line: a read the module did
  // not answer, a write not verified.
  void judgeStep() {
    const std::string& status = core_.setup.window.transferStatus;
    if (status.empty() || status == "Written and verified") return;
    if (std::find(problems_.begin(), problems_.end(), status) == problems_.end()) problems_.push_back(status);
  }

  int end(Ending ending) override {
    std::string summary = moduleOnPort_ + ": ";
    for (const std::string& problem : problems_) summary += problem + "; ";
    int status = kExitDone;
    if (ending != Ending::Done) {
      printMessage(ending == Ending::OutOfTime ? "The module did not finish in time." : "Stopped before the end.");
      summary += writing() ? "writing not finished" : "reading not finished, " + file_.string() + " not written";
      status = kExitFailed;
    } else if (writing()) {
      summary += file_.string() + (problems_.empty() ? " written and verified" : " not verified");
      status = problems_.empty() ? kExitDone : kExitNotVerified;
    } else if (!problems_.empty()) {
      summary += file_.string() + " not written";
      status = kExitFailed;
    } else {
      const FileResult saved = WriteFileAtomically(file_, core_.setup.FormatSetupArchive());
      summary += saved.ok ? "configuration and output tables read, saved to " + file_.string() : "not saved";
      if (!saved.ok) {
        printMessage("Fail to open file " + file_.string() + ": " + saved.error);
        status = kExitFailed;
      }
    }
    printSummary(summary);
    core_.setup.discard();
    return status;
  }

  std::filesystem::path file_;
  std::string archive_;
  std::string moduleOnPort_;
  std::deque<std::function<void()>> steps_;
  bool stepRunning_ = false;
  int ticks_ = 0;
  int endTick_ = -1;
  std::vector<std::string> problems_;
};

// ---- --flash ----

// The firmware window's update, driven as the window would be: opened (the
// module's bootloader version read), the file chosen, "Load" in firmware
// mode, then the window closed, which identifies the module again.
class FlashCommand : public ModuleCommand {
 public:
  FlashCommand(std::filesystem::path file, const QString& appFolder)
      : ModuleCommand(appFolder), file_(std::move(file)) {
    poll_.setInterval(kPollMs);
    QObject::connect(&poll_, &QTimer::timeout, &poll_, [this] { step(); });
  }

  int run() { return ModuleCommand::run(kWorkMs); }

 private:
  static constexpr long long kWorkMs = 30 * 60 * 1000;
  static constexpr int kPollMs = 20;
  static constexpr int kVersionWaitMs = 2000;  // for the bootloader version
  static constexpr int kReplyWaitMs = 3000;    // for the new identification
  enum class Phase { Version, Sending, Identify };

  static std::string firmwareVersion(const ModuleIdentity& id) {
    if (id.deviceCode == "OXL") return FormatPlainNumber(id.fwMajor / 10.0);
    return std::to_string(id.fwMajor) + "." + std::to_string(id.fwMinor);
  }

  void begin() override {
    moduleOnPort_ = moduleOnPort();
    before_ = firmwareVersion(core_.link.state.identity);
    printMessage("updating " + moduleOnPort_ + ", firmware " + before_ + ", with " + file_.string());
    core_.firmware.open();
    enter(Phase::Version);
    poll_.start();
  }

  void enter(Phase phase) {
    phase_ = phase;
    since_.start();
  }

  void step() {
    FirmwareUpdate& update = core_.firmware;
    switch (phase_) {
      case Phase::Version:
        if (update.window.statusPanel1.empty() && since_.elapsed() < kVersionWaitMs) return;
        if (!update.chooseFile(file_.string())) return stop("the file was refused");
        update.BoutonLoad_Click();
        enter(Phase::Sending);
        return;
      case Phase::Sending:
        if (const int percent = update.window.ProgressBar1; percent / 10 > shownTenth_) {
          shownTenth_ = percent / 10;
          printMessage("sent " + std::to_string(percent) + "%");
        }
        if (update.running()) return;
        // Done only once the module reported success.
        if (update.outcome() != FirmwareUpdate::Outcome::Done) return stop("the update failed");
        update.close();  // identifies the module again
        enter(Phase::Identify);
        return;
      case Phase::Identify:
        if (core_.link.state.linkUp && core_.state.storedLevelKnown) {
          succeeded_ = true;
          return finish(Ending::Done);
        }
        if (since_.elapsed() >= kReplyWaitMs) return stop("the module did not answer after the update");
        return;
    }
  }

  void stop(const std::string& why) {
    why_ = why;
    finish(Ending::Failed);
  }

  int end(Ending ending) override {
    poll_.stop();
    core_.firmware.close();
    if (succeeded_) {
      printSummary(moduleOnPort_ + ": firmware " + before_ + " -> " + firmwareVersion(core_.link.state.identity) +
                   ", updated from " + file_.string());
      return kExitDone;
    }
    if (ending == Ending::OutOfTime) why_ = "the update did not end in time";
    if (ending == Ending::Signal) why_ = "stopped before the end";
    printSummary(moduleOnPort_ + ": not updated, " + why_);
    return kExitFailed;
  }

  std::filesystem::path file_;
  QTimer poll_;
  QElapsedTimer since_;
  Phase phase_ = Phase::Version;
  std::string moduleOnPort_;
  std::string before_;
  std::string why_;
  int shownTenth_ = 0;
  bool succeeded_ = false;
};

// A file the command will write: its folder exists and no folder has its name.
bool canWrite(const std::filesystem::path& target) {
  std::error_code ec;
  const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
  if (std::filesystem::is_directory(folder, ec) && !std::filesystem::is_directory(target, ec)) return true;
  printMessage("Fail to open file " + target.string() + ": " +
               (std::filesystem::is_directory(target, ec) ? "a folder of that name is in the way" : "no such folder"));
  return false;
}

// ---- command line ----

int usageError(const QString& text) {
  printMessage(text.toStdString() + " (--help lists the options)");
  return kExitUsage;
}

constexpr std::array<std::string_view, 5> kCommands{"--export-csv", "--record", "--read-setup", "--write-setup",
                                                   "--flash"};

bool isOption(std::string_view argument, std::string_view option) {
  return argument.substr(0, option.size()) == option &&
         (argument.size() == option.size() || argument[option.size()] == '=');
}

}  // namespace

StartKind StartKindOf(int argc, char* argv[]) {
  bool version = false;
  bool command = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--") break;
    if (argument == "-h" || argument == "--help" || argument == "-?") return StartKind::Help;
    if (argument == "-v" || argument == "--version") version = true;
    for (std::string_view option : kCommands)
      if (isOption(argument, option)) command = true;
    // The value of an option is not an option: "--app-folder --help" names a folder.
    for (std::string_view option : {"--app-folder", "--export-csv", "--record", "--seconds", "--read-setup",
                                     "--write-setup", "--flash"})
      if (argument == option) ++i;
  }
  if (version) return StartKind::Version;
  return command ? StartKind::Command : StartKind::Window;
}

std::string HelpText() {
  const std::string longest = FormatPlainNumber(kLongestRecordingSeconds);
  const std::string ringSeconds = std::to_string(TraceBuffer::kRingSize / TraceBuffer::kSamplesPerSecond);
  return "Usage: oxalis-monitor [--app-folder DIR] [--demo[=TYPE]]\n"
         "       oxalis-monitor --record OUT.DA1 --seconds N [--app-folder DIR]\n"
         "       oxalis-monitor --read-setup OUT.OXS [--app-folder DIR]\n"
         "       oxalis-monitor --write-setup IN.OXS [--app-folder DIR]\n"
         "       oxalis-monitor --flash FILE [--app-folder DIR]\n"
         "       oxalis-monitor --export-csv IN.DA1 OUT.csv\n"
         "       oxalis-monitor --help | --version\n"
         "\n"
         "Monitor and set up Oxalis lambda controllers and their companion modules.\n"
         "Without a command the main window opens.\n"
         "\n"
         "Options:\n"
         "  -h, --help              Print this text and exit.\n"
         "  -v, --version           Print the version and exit.\n"
         "  --app-folder DIR        Folder of the settings file, the channel library (lib/)\n"
         "                          and the port links (ports/).\n"
         "  --demo[=TYPE]           Open the window with a simulated module on a private\n"
         "                          port: OX2 (default), OXL, PNU, RMW or QTX.\n"
         "\n"
         "Commands without a window (no display needed):\n"
         "  --record OUT.DA1 --seconds N\n"
         "                          Search the module as the window does, record N seconds\n"
         "                          (above 0, up to " + longest + ") of its measurements into the\n"
         "                          data file OUT.DA1 and print a summary line. SIGINT or\n"
         "                          SIGTERM ends the recording early and saves it. Without\n"
         "                          any measurement OUT.DA1 is left as it was. A lost port\n"
         "                          or a silent module does not end the recording: it goes\n"
         "                          on when the module comes back. The data file holds the\n"
         "                          newest " + ringSeconds + " s.\n"
         "  --read-setup OUT.OXS    Search the module as the window does, read its whole\n"
         "                          configuration and output tables as the setup window's\n"
         "                          \"Read all\" and table read do, save them as the setup\n"
         "                          archive OUT.OXS and print a summary line.\n"
         "  --write-setup IN.OXS    Search the module, write the setup archive IN.OXS to it\n"
         "                          as the setup window's \"Write all\" and table write do,\n"
         "                          read everything back and print a summary line naming\n"
         "                          whatever the module holds differently.\n"
         "  --flash FILE            Search the module, check the firmware file whole (a\n"
         "                          damaged file is refused before anything is sent),\n"
         "                          send it through the module's bootloader as the firmware\n"
         "                          window does, with progress on standard error, and\n"
         "                          print the old and new firmware versions.\n"
         "  --export-csv IN.DA1 OUT.csv\n"
         "                          Write the samples of the data file IN.DA1 as CSV to\n"
         "                          OUT.csv.\n"
         "\n"
         "Exit status:\n"
         "  0  done (the window closed, or the command did its work)\n"
         "  1  failed: a file could not be read or written, not a data file, no\n"
         "     measurement recorded, no display for the window, or a firmware\n"
         "     update refused or not completed\n"
         "  2  the command line is wrong\n"
         "  3  --record, --read-setup, --write-setup, --flash: no module found\n"
         "  4  --record: partial recording: the port was lost or the module stopped\n"
         "     sending for a while; what was recorded is saved, and the summary says\n"
         "     when the measurements stopped and started again\n"
         "  5  --write-setup: written, but the read-back differs or did not come for\n"
         "     the settings the summary names\n";
}

int RunHeadless(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("Oxalis_Monitor");
  QCoreApplication::setApplicationVersion(kVersion);

  QCommandLineParser options;
  const QCommandLineOption exportOption("export-csv", "", "IN");
  const QCommandLineOption recordOption("record", "", "OUT");
  const QCommandLineOption readSetupOption("read-setup", "", "OUT");
  const QCommandLineOption writeSetupOption("write-setup", "", "IN");
  const QCommandLineOption flashOption("flash", "", "FILE");
  const QCommandLineOption secondsOption("seconds", "", "N");
  const QCommandLineOption appFolderOption("app-folder", "", "DIR");
  for (const auto* option :
       {&exportOption, &recordOption, &readSetupOption, &writeSetupOption, &flashOption, &secondsOption, &appFolderOption})
    options.addOption(*option);

  if (!options.parse(QCoreApplication::arguments())) return usageError(options.errorText());
  const QStringList positional = options.positionalArguments();

  int commands = 0;
  for (const auto* option : {&exportOption, &recordOption, &readSetupOption, &writeSetupOption, &flashOption})
    commands += options.isSet(*option) ? 1 : 0;
  if (commands != 1) return usageError("Give one of --export-csv, --record, --read-setup, --write-setup or --flash.");

  if (options.isSet(exportOption)) {
    if (options.isSet(secondsOption) || options.isSet(appFolderOption))
      return usageError("--seconds and --app-folder do not belong to --export-csv.");
    if (positional.size() != 1) return usageError("--export-csv takes a data file and a CSV file.");
    return exportCsv(pathOf(options.value(exportOption)), pathOf(positional.front()));
  }

  if (!positional.isEmpty()) return usageError("Unexpected argument: " + positional.front());
  const QString appFolder = options.value(appFolderOption);

  if (options.isSet(secondsOption) && !options.isSet(recordOption)) return usageError("--seconds belongs to --record.");

  if (options.isSet(flashOption)) {
    // A damaged file is refused before any module is touched.
    const QString file = options.value(flashOption);
    std::string error;
    const std::optional<std::string> bytes = ReadWholeFile(pathOf(file), &error);
    if (!bytes) {
      printMessage("Fail to open file " + file.toStdString() + ": " + error);
      return kExitFailed;
    }
    if (const FirmwareFileCheck check = ReadFirmwareFile(*bytes); !check.file) {
      printMessage("Invalid firmware file " + file.toStdString() + ": " + check.error + "; nothing was sent");
      return kExitFailed;
    }
    FlashCommand command(pathOf(file), PrepareAppFolder(appFolder));
    return command.run();
  }

  if (options.isSet(readSetupOption) || options.isSet(writeSetupOption)) {
    const bool reading = options.isSet(readSetupOption);
    const QString file = options.value(reading ? readSetupOption : writeSetupOption);
    if (file.isEmpty()) return usageError(reading ? "--read-setup needs the archive to write."
                                                  : "--write-setup needs the archive to write to the module.");
    // Found out now rather than after talking to the module.
    if (reading) {
      if (!canWrite(pathOf(file))) return kExitFailed;
      SetupCommand command(pathOf(file), {}, PrepareAppFolder(appFolder));
      return command.run();
    }
    std::string error;
    const std::optional<std::string> archive = ReadWholeFile(pathOf(file), &error);
    if (!archive) {
      printMessage("Fail to open file " + file.toStdString() + ": " + error);
      return kExitFailed;
    }
    if (!HoldsSetupArchiveTag(*archive)) {
      printMessage("Invalid setup archive: " + file.toStdString());
      return kExitFailed;
    }
    SetupCommand command(pathOf(file), *archive, PrepareAppFolder(appFolder));
    return command.run();
  }

  if (!options.isSet(secondsOption)) return usageError("--record needs --seconds N.");
  bool isNumber = false;
  const double seconds = options.value(secondsOption).toDouble(&isNumber);
  if (!isNumber || !(seconds > 0) || seconds > kLongestRecordingSeconds)
    return usageError("--seconds takes a number of seconds above 0 and up to " +
                      QString::number(kLongestRecordingSeconds) + ".");
  const QString dataFile = options.value(recordOption);
  if (dataFile.isEmpty()) return usageError("--record needs the data file to write.");
  // Found out now rather than after the recording.
  if (!canWrite(pathOf(dataFile))) return kExitFailed;

  Recorder recorder(pathOf(dataFile), seconds, PrepareAppFolder(appFolder));
  return recorder.run();
}

}  // namespace oxalis
