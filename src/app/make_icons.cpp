// Build tool: writes the tool's picture as PNG files, one per size desktops
// ask for, named <size>.png, into the folder given.
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "AppIcon.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: oxalis-make-icons FOLDER\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  if (!folder.exists() && !QDir().mkpath(folder.path())) return 1;
  for (int size : oxalis::kAppIconSizes)
    if (!oxalis::appIconImage(size).save(folder.filePath(QString("%1.png").arg(size)), "PNG")) return 1;
  return 0;
}
