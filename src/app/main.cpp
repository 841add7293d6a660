// Oxalis Monitor: entry point. Builds the platform adapters and the core,
// shows the main window and runs the event loop.
#include <QApplication>
#include <QCommandLineParser>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <optional>

#include "Headless.h"
#include "AppFolder.h"
#include "MainWindow.h"
#include "PortMap.h"
#include "QtClock.h"
#include "QtDialogs.h"
#include "QtSerialPort.h"
#include "QtTimers.h"
#include "ShutdownSignals.h"
#include "app/Core.h"
#include "app/Version.h"
#include "sim/PtyHost.h"

namespace {

// "--demo" or "--demo=PNU": the device code of the simulated module to start,
// taken out of the arguments (the option's value is optional, which the
// command-line parser does not offer).
std::optional<QString> takeDemoOption(QStringList& arguments) {
  std::optional<QString> device;
  for (auto it = arguments.begin(); it != arguments.end();) {
    if (*it == "--demo" || it->startsWith("--demo=")) {
      device = it->contains('=') ? it->section('=', 1).toUpper() : QString("OX2");
      it = arguments.erase(it);
    } else {
      ++it;
    }
  }
  return device;
}

}  // namespace

int main(int argc, char* argv[]) {
  // --export-csv and --record run without a window, on a QCoreApplication.
  if (oxalis::IsHeadlessCommand(argc, argv)) return oxalis::RunHeadless(argc, argv);

  QApplication app(argc, argv);
  QApplication::setApplicationName("Oxalis_Monitor");
  QApplication::setApplicationVersion(oxalis::kVersion);

  QCommandLineParser options;
  options.setApplicationDescription("Monitor and set up Oxalis lambda controllers and their companion modules.");
  options.addHelpOption();
  const QCommandLineOption versionOption({"v", "version"}, "Print the version and exit.");
  options.addOption(versionOption);
  const QCommandLineOption appFolderOption(
      "app-folder", "Folder of the settings file, the channel library (lib/) and the port links (ports/).", "DIR");
  options.addOption(appFolderOption);
  // Listed for --help; taken out of the arguments before parsing.
  options.addOption(QCommandLineOption(
      "demo", "Start with a simulated module on a private port: OX2 (default), OXL, PNU, RMW or QTX, as --demo=PNU."));
  QStringList arguments = QApplication::arguments();
  const std::optional<QString> demoDevice = takeDemoOption(arguments);
  options.process(arguments);
  if (options.isSet(versionOption)) {
    std::printf("%s\n", oxalis::kVersion);
    return 0;
  }
  if (demoDevice && !QStringList{"OX2", "OXL", "PNU", "RMW", "QTX"}.contains(*demoDevice)) {
    qCritical("Unknown module type for --demo: %s (use OX2, OXL, PNU, RMW or QTX).", qPrintable(*demoDevice));
    return 2;
  }

  const QString appFolder = oxalis::PrepareAppFolder(options.value(appFolderOption));

  std::vector<std::filesystem::path> portsFolders{(appFolder + "/ports").toStdString()};

  // The simulated module lives in a private ports folder consulted first, so
  // the user's own port links and devices are left as they are; it lives
  // and dies with the tool.
  QTemporaryDir demoFolder;
  const std::filesystem::path demoPorts = (demoFolder.path() + "/ports").toStdString();
  if (demoDevice) {
    if (!demoFolder.isValid()) {
      qCritical("Cannot start the simulated module: no private folder for its port.");
      return 1;
    }
    portsFolders.insert(portsFolders.begin(), demoPorts);
  }

  oxalis::QtSerialPort port{oxalis::PortMap(portsFolders)};
  oxalis::QtTimers timers;
  oxalis::QtDialogs dialogs;
  oxalis::QtClock clock;
  oxalis::Core core({port, timers, dialogs, clock});
  core.state.appFolder = appFolder.toStdString();

  port.setByteHandler([&core](std::uint8_t byte) { core.onByte(byte); });
  port.setLostHandler([&core] { core.onPortLost(); });
  for (const auto id : {oxalis::TimerId::Search, oxalis::TimerId::Refresh, oxalis::TimerId::KeepAlive,
                        oxalis::TimerId::Firmware})
    timers.setTickHandler(id, [&core, id] { core.onTimer(id); });

  oxalis::MainWindow window(core);
  dialogs.setParent(&window);
  oxalis::ShutdownSignals shutdownSignals;
  QObject::connect(&shutdownSignals, &oxalis::ShutdownSignals::shutdownRequested, &window,
                   &oxalis::MainWindow::closeWithoutQuestions);

  // The link's state on standard error as it changes: port, link and the
  // module's identity, for a support call or a log of an unattended run.
  std::string lastStatus;
  const oxalis::Subscription statusLog = core.mainWindow.changed.subscribe([&] {
    const auto& m = core.mainWindow;
    const std::string status = m.panel(1) + " | " + m.panel(2) + " | " + m.panel(3);
    if (status == lastStatus) return;
    lastStatus = status;
    qInfo("%s", status.c_str());
  });

  window.show();
  core.start();

  // The simulated module is plugged in on the port the search tries first
  // (the saved one, or port 1), before the search's first tick.
  std::unique_ptr<oxalis::sim::PtyHost> demoModule;
  if (demoDevice) {
    oxalis::sim::SimOptions simOptions;
    simOptions.device = demoDevice->toStdString();
    const int savedPort = core.link.state.lastModulePort;
    const int demoPort = savedPort >= 1 && savedPort <= 32 ? savedPort : 1;
    demoModule = std::make_unique<oxalis::sim::PtyHost>(simOptions, demoPorts, demoPort);
    if (!demoModule->start()) {
      qCritical("Cannot start the simulated module: %s", demoModule->error().c_str());
      return 1;
    }
  }

  const int status = QApplication::exec();
  port.close();
  if (demoModule) demoModule->stop();
  return status;
}
