#pragma once
// The live panel's part of the refresh tick (`Timer1`, every 330 ms while a
// module is connected or being waited for): the cells' texts and freshness
// colours, the diagnostic lamps.
#include <string>

namespace oxalis {

struct Monitor;

// Fresh (green): a measurement arrived since the last tick; stale (yellow):
// bytes arrive but no measurement; grey: no bytes since the link was lost.
void refreshPanel(Monitor& monitor, bool dataFlowing, bool freshSample);

// A recorded sample played back (the caller has put it in the live values):
// the cells a data file keeps show it in replay blue, the others are blank,
// the eight diagnostic lamps show its flags and the CAN lamp is grey.
void refreshReplayPanel(Monitor& monitor);

// Text of value cell i for the current module type, or nothing when the
// type does not refresh that cell. formatFixed's clamps are stored back
// into the live values, which then keep what the panel shows.
bool cellText(Monitor& monitor, int cell, std::string& text);

}  // namespace oxalis
