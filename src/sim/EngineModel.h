#pragma once
// What the module measures, in physical units, as an engine runs: a probe
// that warms up after power on, richness swinging with the engine's load, and
// the CAN quantities the module receives. Deterministic for a given seed and
// sequence of sample times.
#include <cstdint>
#include <random>

namespace oxalis::sim {

// Time from power on until the probe is at its working temperature; the
// warm-up diagnostic bit is set until then.
inline constexpr double kWarmUpSeconds = 15.0;
inline constexpr double kProbeWorkingTempC = 780.0;

struct EngineState {
  bool warmingUp = true;
  double richness = 1.0;  // 1 = stoichiometric, above 1 rich
  double probeTempC = 25.0;
  double heaterVolt = 0.0;
  double heaterPwmPct = 0.0;
  double batteryVolt = 13.8;
  double internalTempC = 30.0;
  double vgndMv = 2500.0;  // virtual ground
  double vsMv = 450.0;     // Nernst cell voltage above virtual ground
  double engineRpm = 0.0;
  double throttlePct = 0.0;
  double coolantC = 20.0;
  double manifoldKpa = 100.0;
  double lightMv = 0.0;  // display: light sensor
  double lightKlux = 0.0;
  // Fuel tank drain tool.
  double pumpCurrentA = 0.0;
  double pumpCurrentFilteredA = 0.0;
  double overloadCurrentA = 0.0;
};

class EngineModel {
 public:
  explicit EngineModel(std::uint32_t seed) : rng_(seed) {}
  // The state `seconds` after power on. Each call draws fresh noise.
  EngineState sample(double seconds);

 private:
  double noise(double sigma);

  std::mt19937 rng_;
  std::normal_distribution<double> normal_{0.0, 1.0};
  double filteredPumpA_ = 0.0;
};

}  // namespace oxalis::sim
