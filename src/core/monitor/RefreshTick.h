#pragma once
// The refresh tick (`Timer1`, every 330 ms while a module is connected or
// being waited for): link supervision, keep-alive, the live panel's texts
// and freshness colours, the diagnostic lamps. And the keep-alive time
// request (`Timer2`, every second).
#include <string>

namespace oxalis {

class Core;

void refreshTick(Core& core);

void keepAliveTick(Core& core);

// Text of value cell i for the current module type, or nothing when the
// type does not refresh that cell. formatFixed's clamps are stored back
// into the live values, which then keep what the panel shows.
bool cellText(Core& core, int cell, std::string& text);

}  // namespace oxalis
