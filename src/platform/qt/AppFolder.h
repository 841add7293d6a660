#pragma once
#include <QString>

namespace oxalis {

// The app folder (settings file, lib/, ports/, cursor files): the folder
// given on the command line, or the per-user data folder. It exists, with
// its channel library folder, from the first start. Returns its absolute
// path.
QString PrepareAppFolder(QString folder);

}  // namespace oxalis
