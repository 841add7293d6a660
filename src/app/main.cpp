// Oxalis Monitor: entry point. Builds the platform adapters and the core,
// shows the main window and runs the event loop.
#include <QApplication>
#include <QCommandLineParser>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>

#include "Headless.h"
#include "AppFolder.h"
#include "AppIcon.h"
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

// Whether the window has somewhere to go. Without a display and with no
// platform chosen Qt aborts when the application object is made; a message
// that says why is better.
bool haveDisplay(int argc, char* argv[]) {
#if defined(__linux__)
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
    if (const char* value = std::getenv(name); value != nullptr && *value != '\0') return true;
  for (int i = 1; i < argc; ++i)
    if (std::string_view(argv[i]) == "-platform") return true;
  return false;
#else
  (void)argc;
  (void)argv;
  return true;
#endif
}

}  // namespace

int main(int argc, char* argv[]) {
  // The help, the version, --export-csv and --record are settled before
  // any application object exists: none of them needs a display.
  switch (oxalis::StartKindOf(argc, argv)) {
    case oxalis::StartKind::Help:
      std::fputs(oxalis::HelpText().c_str(), stdout);
      return oxalis::kExitDone;
    case oxalis::StartKind::Version:
      std::printf("%s\n", oxalis::kVersion);
      return oxalis::kExitDone;
    case oxalis::StartKind::Command:
      return oxalis::RunHeadless(argc, argv);
    case oxalis::StartKind::Window:
      break;
  }
  if (!haveDisplay(argc, argv)) {
    std::fputs("oxalis-monitor: The window needs a display, and neither DISPLAY nor WAYLAND_DISPLAY is set "
               "(QT_QPA_PLATFORM=offscreen draws it nowhere). --record and --export-csv run without one "
               "(--help lists the options).\n",
               stderr);
    return oxalis::kExitFailed;
  }

  QApplication app(argc, argv);
  app.setWindowIcon(oxalis::appIcon());
  QGuiApplication::setDesktopFileName("oxalis-monitor");
  QApplication::setApplicationName("Oxalis_Monitor");
  QApplication::setApplicationVersion(oxalis::kVersion);

  QCommandLineParser options;
  const QCommandLineOption appFolderOption("app-folder", "", "DIR");
  options.addOption(appFolderOption);
  // The arguments as QApplication left them (without its own options such
  // as -platform), less --demo, whose value is optional.
  QStringList arguments = QApplication::arguments();
  const std::optional<QString> demoDevice = takeDemoOption(arguments);
  if (!options.parse(arguments)) {
    std::fprintf(stderr, "oxalis-monitor: %s (--help lists the options)\n", qPrintable(options.errorText()));
    return oxalis::kExitUsage;
  }
  if (!options.positionalArguments().isEmpty()) {
    std::fprintf(stderr, "oxalis-monitor: Unexpected argument: %s (--help lists the options)\n",
                 qPrintable(options.positionalArguments().front()));
    return oxalis::kExitUsage;
  }
  if (demoDevice && !QStringList{"OX2", "OXL", "PNU", "RMW", "QTX"}.contains(*demoDevice)) {
    std::fprintf(stderr, "oxalis-monitor: Unknown module type for --demo: %s (use OX2, OXL, PNU, RMW or QTX).\n",
                 qPrintable(*demoDevice));
    return oxalis::kExitUsage;
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
                        oxalis::TimerId::Firmware, oxalis::TimerId::Replay})
    timers.setTickHandler(id, [&core, id] { core.onTimer(id); });

  oxalis::MainWindow window(core);
  window.setPortMap(port.portMap());
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
  window.showLook();      // the look the settings file chose
  window.restorePlace();  // where the settings file says it was last time

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
