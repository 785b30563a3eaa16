#include "synth.hpp"

#include <algorithm>

namespace gg::synth {

double sine(double cycles) {
  constexpr int kSize = 8192;
  static const std::vector<double> table = [] {
    std::vector<double> t(kSize + 1);
    for (int i = 0; i <= kSize; ++i) t[i] = std::sin(kTau * i / kSize);
    return t;
  }();
  const double pos = (cycles - std::floor(cycles)) * kSize;
  const int i = static_cast<int>(pos);
  const double f = pos - i;
  return table[i] + (table[i + 1] - table[i]) * f;
}

Biquad Biquad::lowPass(double hz, double q) {
  const double w = kTau * hz / kRate, c = std::cos(w), a = std::sin(w) / (2 * q);
  Biquad f;
  const double a0 = 1 + a;
  f.b0 = (1 - c) / 2 / a0;
  f.b1 = (1 - c) / a0;
  f.b2 = (1 - c) / 2 / a0;
  f.a1 = -2 * c / a0;
  f.a2 = (1 - a) / a0;
  return f;
}

Biquad Biquad::highPass(double hz, double q) {
  const double w = kTau * hz / kRate, c = std::cos(w), a = std::sin(w) / (2 * q);
  Biquad f;
  const double a0 = 1 + a;
  f.b0 = (1 + c) / 2 / a0;
  f.b1 = -(1 + c) / a0;
  f.b2 = (1 + c) / 2 / a0;
  f.a1 = -2 * c / a0;
  f.a2 = (1 - a) / a0;
  return f;
}

Biquad Biquad::bandPass(double hz, double q) {
  const double w = kTau * hz / kRate, c = std::cos(w), a = std::sin(w) / (2 * q);
  Biquad f;
  const double a0 = 1 + a;
  f.b0 = a / a0;
  f.b1 = 0;
  f.b2 = -a / a0;
  f.a1 = -2 * c / a0;
  f.a2 = (1 - a) / a0;
  return f;
}

float Biquad::run(float x) {
  const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
  x2 = x1;
  x1 = x;
  y2 = y1;
  y1 = y;
  return static_cast<float>(y);
}

Reverb::Reverb(double room, double decay, int variant) : feedback_(decay) {
  const double combs[] = {0.0297, 0.0371, 0.0411, 0.0437};
  const double alls[] = {0.005, 0.0017};
  for (int i = 0; i < 4; ++i) {
    const double spread = 1.0 + 0.023 * variant * (i + 1);
    combs_.emplace_back(static_cast<size_t>(combs[i] * room / 0.04 * spread * kRate) + 1, 0.0f);
  }
  for (double a : alls) allpasses_.emplace_back(static_cast<size_t>(a * kRate * (1 + 0.1 * variant)) + 1, 0.0f);
  combPos_.assign(combs_.size(), 0);
  allPos_.assign(allpasses_.size(), 0);
  combState_.assign(combs_.size(), 0.0f);
}

float Reverb::run(float x) {
  float sum = 0;
  for (size_t i = 0; i < combs_.size(); ++i) {
    auto& line = combs_[i];
    const float out = line[combPos_[i]];
    // A little damping keeps the tail dark.
    combState_[i] = out * 0.7f + combState_[i] * 0.3f;
    line[combPos_[i]] = x + static_cast<float>(feedback_) * combState_[i];
    combPos_[i] = (combPos_[i] + 1) % line.size();
    sum += out;
  }
  float y = sum * 0.25f;
  for (size_t i = 0; i < allpasses_.size(); ++i) {
    auto& line = allpasses_[i];
    const float buffered = line[allPos_[i]];
    const float out = -y + buffered;
    line[allPos_[i]] = y + buffered * 0.5f;
    allPos_[i] = (allPos_[i] + 1) % line.size();
    y = out;
  }
  return y;
}

void normalise(Buffer& b, double peak) {
  float m = 0;
  for (float s : b) m = std::max(m, std::abs(s));
  if (m <= 0) return;
  const float g = static_cast<float>(peak / m);
  for (float& s : b) s *= g;
}

void fadeEdges(Buffer& b, double in, double out) {
  const int n = static_cast<int>(b.size());
  const int fi = std::min(n, frames(in)), fo = std::min(n, frames(out));
  for (int i = 0; i < fi; ++i) b[i] *= static_cast<float>(i) / fi;
  for (int i = 0; i < fo; ++i) b[n - 1 - i] *= static_cast<float>(i) / fo;
}

void mixInto(Buffer& dst, const Buffer& src, int offset, double gain) {
  for (size_t i = 0; i < src.size(); ++i) {
    const size_t j = offset + i;
    if (j < dst.size()) dst[j] += static_cast<float>(src[i] * gain);
  }
}

void addReverb(Buffer& b, double room, double decay, double wet, int variant) {
  Reverb r(room, decay, variant);
  for (float& s : b) s = static_cast<float>(s * (1 - wet) + r.run(s) * wet);
}

}  // namespace gg::synth
