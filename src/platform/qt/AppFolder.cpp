#include "AppFolder.h"

#include <QDir>
#include <QStandardPaths>

namespace oxalis {

QString PrepareAppFolder(QString folder) {
  if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  QDir().mkpath(folder + "/lib");
  return QDir(folder).absolutePath();
}

}  // namespace oxalis
