#pragma once
// Small synthesis kit for the game's sounds: oscillators, noise, filters,
// envelopes and a reverb. Everything is seeded, so every run is identical.
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace gg::synth {

inline constexpr double kRate = 22050.0;
inline constexpr double kTau = 6.283185307179586;
inline constexpr double kPi = 3.141592653589793;

using Buffer = std::vector<float>;

// Table sine of a phase given in cycles; much cheaper than std::sin when
// hundreds of partials are summed, and accurate to well below 16 bits.
double sine(double cycles);

inline int frames(double seconds) { return static_cast<int>(seconds * kRate); }
inline double midiHz(double note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

class Noise {
 public:
  explicit Noise(uint32_t seed) : state_(seed * 747796405u + 2891336453u) {}
  float white() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<float>(static_cast<int32_t>(state_) / 2147483648.0);
  }

 private:
  uint32_t state_;
};

// RBJ biquad.
class Biquad {
 public:
  static Biquad lowPass(double hz, double q = 0.707);
  static Biquad highPass(double hz, double q = 0.707);
  static Biquad bandPass(double hz, double q);
  float run(float x);

 private:
  double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

// Mono Schroeder reverb; `wet` is the mix of the reverberated signal.
class Reverb {
 public:
  Reverb(double roomSeconds, double decay, int variant);
  float run(float x);

 private:
  std::vector<std::vector<float>> combs_, allpasses_;
  std::vector<size_t> combPos_, allPos_;
  std::vector<float> combState_;
  double feedback_;
};

void normalise(Buffer& b, double peak);
void fadeEdges(Buffer& b, double inSeconds, double outSeconds);
// Adds src into dst at an offset, scaled.
void mixInto(Buffer& dst, const Buffer& src, int offset, double gain);
// Applies a reverb in place, mixing `wet` of it with the dry signal.
void addReverb(Buffer& b, double roomSeconds, double decay, double wet, int variant);

}  // namespace gg::synth
