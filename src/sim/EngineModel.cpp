#include "sim/EngineModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace oxalis::sim {

double EngineModel::noise(double sigma) { return sigma * normal_(rng_); }

EngineState EngineModel::sample(double t) {
  constexpr double kTwoPi = 2.0 * std::numbers::pi;
  EngineState s;
  // The engine goes through a load cycle of 8 s: speed, throttle and pressure
  // follow the load, and the mixture goes rich under load and lean off it.
  const double load = std::sin(kTwoPi * t / 8.0);
  const double loadLate = std::sin(kTwoPi * t / 8.0 - 0.6);
  s.richness = std::clamp(1.0 + 0.18 * load + 0.03 * std::sin(kTwoPi * t / 1.3) + noise(0.008), 0.6, 1.6);
  s.engineRpm = std::max(2600.0 + 1600.0 * loadLate + noise(15.0), 700.0);
  s.throttlePct = std::clamp(35.0 + 30.0 * loadLate + noise(0.5), 0.0, 100.0);
  s.manifoldKpa = std::clamp(60.0 + 35.0 * loadLate + noise(0.5), 20.0, 105.0);
  s.coolantC = 90.0 - 70.0 * std::exp(-t / 240.0) + noise(0.1);

  // The probe heats up from ambient along a smooth ramp with the heater at
  // full power, then the heater regulates it at its working temperature.
  s.warmingUp = t < kWarmUpSeconds;
  s.batteryVolt = 13.8 + noise(0.03) - (s.warmingUp ? 0.3 : 0.0);
  if (s.warmingUp) {
    const double x = t / kWarmUpSeconds;
    const double ramp = x * x * (3.0 - 2.0 * x);
    s.probeTempC = 25.0 + (kProbeWorkingTempC - 25.0) * ramp;
    s.heaterPwmPct = 100.0;
    s.heaterVolt = 8.0 + 5.0 * x;
    s.vsMv = 450.0 * ramp + noise(3.0);
  } else {
    s.probeTempC = kProbeWorkingTempC + noise(1.5);
    s.heaterPwmPct = std::clamp(42.0 + noise(1.5), 0.0, 100.0);
    s.heaterVolt = s.batteryVolt * std::sqrt(s.heaterPwmPct / 100.0);
    s.vsMv = 450.0 + noise(3.0);
  }
  s.internalTempC = 30.0 + 15.0 * (1.0 - std::exp(-t / 300.0));
  s.vgndMv = 2500.0 + noise(2.0);

  s.lightMv = 1500.0 + 200.0 * std::sin(kTwoPi * t / 60.0) + noise(5.0);
  s.lightKlux = std::max(25.0 + 5.0 * std::sin(kTwoPi * t / 60.0), 0.0);

  // The drain pump draws an inrush current for its first seconds.
  s.pumpCurrentA = std::max(4.2 + (t < 2.0 ? 3.0 * (1.0 - t / 2.0) : 0.0) + noise(0.1), 0.0);
  filteredPumpA_ += 0.1 * (s.pumpCurrentA - filteredPumpA_);
  s.pumpCurrentFilteredA = filteredPumpA_;
  s.overloadCurrentA = 30.0;
  return s;
}

}  // namespace oxalis::sim
