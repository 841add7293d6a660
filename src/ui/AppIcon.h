#pragma once
// The tool's own picture, drawn rather than stored so that every size a
// desktop asks for is sharp: a probe trace crossing the stoichiometric line
// on a dark screen.
#include <QIcon>
#include <QImage>

namespace oxalis {

QImage appIconImage(int size);
// The picture at the sizes desktops ask for, for the windows' title bars.
QIcon appIcon();

inline constexpr int kAppIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

}  // namespace oxalis
