#pragma once
// The tool bar's pictures, drawn by the program: open, save, setup,
// firmware, record, pause, stop; each also in a greyed form.
#include <QIcon>
#include <QString>

namespace oxalis {

// The picture of the button with this key for the look in force, greyed
// when `enabled` is false.
QIcon toolbarIcon(const QString& key, bool enabled);

}  // namespace oxalis
