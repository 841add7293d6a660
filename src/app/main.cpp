// Oxalis Monitor: entry point. Builds the platform adapters and the core,
// shows the main window and runs the event loop.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>

#include "MainWindow.h"
#include "PortMap.h"
#include "QtClock.h"
#include "QtDialogs.h"
#include "QtSerialPort.h"
#include "QtTimers.h"
#include "app/Core.h"
#include "app/Version.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Oxalis_Monitor");
  QApplication::setApplicationVersion(oxalis::kVersion);

  QCommandLineParser options;
  options.setApplicationDescription("Monitor and set up Oxalis lambda controllers and their companion modules.");
  options.addHelpOption();
  options.addVersionOption();
  const QCommandLineOption appFolderOption(
      "app-folder", "Folder of the settings file, the channel library (lib/) and the port links (ports/).", "DIR");
  options.addOption(appFolderOption);
  options.process(app);

  QString appFolder = options.value(appFolderOption);
  if (appFolder.isEmpty()) appFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  QDir().mkpath(appFolder);
  appFolder = QDir(appFolder).absolutePath();

  oxalis::PortMap portMap({(appFolder + "/ports").toStdString()});
  oxalis::QtSerialPort port(portMap);
  oxalis::QtTimers timers;
  oxalis::QtDialogs dialogs;
  oxalis::QtClock clock;
  oxalis::Core core({port, timers, dialogs, clock});
  core.state.appFolder = appFolder.toStdString();

  port.setLostHandler([&core] { core.onPortLost(); });

  oxalis::MainWindow window(core.mainWindow);
  dialogs.setParent(&window);
  window.show();
  return QApplication::exec();
}
