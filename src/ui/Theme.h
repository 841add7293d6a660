#pragma once
// The look: a light and a dark palette for every window, chosen in the
// menu or following the desktop's own preference, and the few colours the
// windows pick themselves, readable on either.
#include <QColor>
#include <QString>
#include <string>

namespace oxalis {

enum class Look { Light, Dark };

// What the desktop prefers: a dark palette from its platform theme, a GTK
// theme named ":dark", or GNOME's "prefer-dark" colour scheme; light
// otherwise.
Look desktopLook();
// The settings' choice ("Desktop", "Light" or "Dark") as a look.
Look lookFor(const std::string& choice);

// The whole application in the look: one style, its palette, and the
// tooltips' colours. Windows that draw colours of their own read
// `currentLook()` when they next render.
void applyLook(Look look);
Look currentLook();

// Status texts on the window's background: a failure (red) and a success
// (green), each at a contrast of at least 4.5 in the look in force.
QColor failureText();
QColor successText();
// Black or white, whichever reads better on `background`.
QColor readableOn(QColor background);

// A style sheet for text in a colour of the user's (a channel's): on black,
// or on white when the colour is too dark for black; either way at a
// contrast of at least 4.5.
QString colouredTextStyle(QColor text);

// WCAG 2 contrast ratio of two colours (1 to 21).
double contrastRatio(QColor a, QColor b);

}  // namespace oxalis
