#pragma once
// The core decides when its timers run; the platform only delivers ticks by
// calling the core's tick handlers.
namespace oxalis {

enum class TimerId {
  Search,     // Timer_SearchPort: the port search
  Refresh,    // Timer1: refresh and link supervision, 330 ms
  KeepAlive,  // Timer2: keep-alive time request, 1000 ms
  Firmware,   // the firmware window's sending timer, 10 ms
  Replay,     // a data file played through the live panel, 20 ms
};

class Timers {
 public:
  virtual ~Timers() = default;
  virtual void setEnabled(TimerId id, bool enabled) = 0;
  virtual bool isEnabled(TimerId id) const = 0;
  virtual void setInterval(TimerId id, int milliseconds) = 0;
  virtual int interval(TimerId id) const = 0;
};

}  // namespace oxalis
