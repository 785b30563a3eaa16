#include <cmath>

#include "music.hpp"

namespace gg {
using namespace synth;

namespace {
constexpr double kBeat = 0.6;  // 100 beats a minute, three to a bar
constexpr int kBars = 18;
constexpr int kLoopFrames = 714420;  // 18 bars of 1.8 s at 22050 Hz

struct Note {
  double beat, length;  // in beats from the start of the piece
  int midi;
};

// Melody, three beats a bar, D harmonic minor.
const Note kMelody[] = {
    {0, 1, 69},    {1, 1, 74},    {2, 1, 77},                                   // Dm
    {3, 1.5, 76},  {4.5, 0.5, 74}, {5, 1, 73},                                  // Dm
    {6, 1, 74},    {7, 1, 70},    {8, 1, 67},                                   // Gm
    {9, 3, 69},                                                                 // Dm
    {12, 1, 77},   {13, 1, 74},   {14, 1, 70},                                  // Bb
    {15, 1.5, 73}, {16.5, 0.5, 76}, {17, 1, 69},                                // A
    {18, 1, 65},   {19, 1, 69},   {20, 1, 74},                                  // Dm
    {21, 1, 76},   {22, 1, 73},   {23, 1, 69},                                  // A7
    {24, 1, 74},   {25, 1, 77},   {26, 1, 81},                                  // Dm
    {27, 1.5, 79}, {28.5, 0.5, 77}, {29, 1, 76},                                // Dm
    {30, 1, 74},   {31, 1, 79},   {32, 1, 70},                                  // Gm
    {33, 2, 69},   {35, 1, 65},                                                 // Dm
    {36, 1, 74},   {37, 1, 77},   {38, 1, 74},                                  // Bb
    {39, 1, 70},   {40, 1, 74},   {41, 1, 79},                                  // Gm
    {42, 1, 77},   {43, 1, 76},   {44, 1, 73},                                  // A
    {45, 1.5, 76}, {46.5, 0.5, 74}, {47, 1, 73},                                // A
    {48, 3, 74},                                                                // Dm
    {51, 1, 69},   {52, 1, 73},   {53, 1, 76},                                  // A
};

// One chord per bar: bass note and the three notes of the "pah"s.
struct Chord {
  int bass, a, b, c;
};
const Chord kDm{38, 53, 57, 62}, kGm{43, 55, 58, 62}, kBb{34, 53, 58, 62}, kA{33, 52, 55, 61};
const Chord kChords[kBars] = {kDm, kDm, kGm, kDm, kBb, kA, kDm, kA, kDm, kDm, kGm, kDm, kBb, kGm, kA, kA, kDm, kA};

// A ghostly theremin holds long notes in the second half.
const Note kTheremin[] = {{24, 6, 81}, {30, 3, 82}, {33, 3, 81}, {36, 3, 77}, {39, 3, 79}, {42, 6, 76}};

// Adds a sound into the loop, wrapping past the end back to the start.
void addWrapped(Buffer& left, Buffer& right, const Buffer& sound, double startSeconds, double gain, double pan) {
  const int start = static_cast<int>(std::lround(startSeconds * kRate));
  const double gl = gain * std::sqrt(1 - pan), gr = gain * std::sqrt(pan);
  // Every note ends with a short fade, so none stops with a click.
  const size_t fade = std::min<size_t>(sound.size(), frames(0.05));
  for (size_t i = 0; i < sound.size(); ++i) {
    const size_t remaining = sound.size() - i;
    const double tail = remaining < fade ? static_cast<double>(remaining) / fade : 1.0;
    const size_t j = (start + i) % kLoopFrames;
    left[j] += static_cast<float>(sound[i] * gl * tail);
    right[j] += static_cast<float>(sound[i] * gr * tail);
  }
}

Buffer musicBox(double hz) {
  Buffer out(frames(2.2));
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = i / kRate;
    const double s = sine(hz * t) * std::exp(-t * 2.0) + 0.35 * sine(hz * 2 * t) * std::exp(-t * 5) +
                     0.2 * sine(hz * 5.4 * t) * std::exp(-t * 30);
    out[i] = static_cast<float>(s * std::min(1.0, t / 0.002));
  }
  return out;
}

Buffer pluck(double hz, double decay, double brightness) {
  Buffer out(frames(1.6));
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = i / kRate;
    const double s = sine(hz * t) + brightness * sine(hz * 2 * t) * std::exp(-t * 3) +
                     brightness * 0.4 * sine(hz * 3 * t) * std::exp(-t * 6);
    out[i] = static_cast<float>(s * std::exp(-t * decay) * std::min(1.0, t / 0.004));
  }
  return out;
}

Buffer pad(const Chord& c, double seconds) {
  Buffer out(frames(seconds + 0.6));
  const int notes[] = {c.a, c.b, c.c};
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = i / kRate;
    double s = 0;
    for (int n : notes) {
      const double hz = midiHz(n);
      for (int h = 1; h <= 5; ++h) {
        s += sine(hz * h * t) / (h * h) + sine(hz * h * 1.004 * t) / (h * h);
      }
    }
    const double env = std::min(1.0, t / 0.4) * (t > seconds ? std::max(0.0, 1 - (t - seconds) / 0.6) : 1.0);
    out[i] = static_cast<float>(s * env);
  }
  return out;
}

Buffer theremin(const Note& n) {
  const double seconds = n.length * kBeat;
  Buffer out(frames(seconds + 0.3));
  double phase = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = i / kRate;
    const double hz = midiHz(n.midi) * (1 + 0.012 * sine(5.5 * t) * std::min(1.0, t / 0.6));
    phase += hz / kRate;
    const double env = std::min(1.0, t / 0.35) * (t > seconds ? std::max(0.0, 1 - (t - seconds) / 0.3) : 1.0);
    out[i] = static_cast<float>((sine(phase) + 0.15 * sine(2 * phase)) * env);
  }
  return out;
}
}  // namespace

Buffer musicLoop() {
  Buffer left(kLoopFrames, 0.0f), right(kLoopFrames, 0.0f);
  for (const Note& n : kMelody) addWrapped(left, right, musicBox(midiHz(n.midi)), n.beat * kBeat, 0.32, 0.35);
  for (int bar = 0; bar < kBars; ++bar) {
    const Chord& c = kChords[bar];
    const double t = bar * 3 * kBeat;
    addWrapped(left, right, pluck(midiHz(c.bass), 1.6, 0.4), t, 0.42, 0.5);
    for (int beat = 1; beat <= 2; ++beat) {
      for (int n : {c.a, c.b, c.c}) addWrapped(left, right, pluck(midiHz(n), 4.0, 0.2), t + beat * kBeat, 0.09, 0.6);
    }
    addWrapped(left, right, pad(c, 3 * kBeat), t, 0.035, 0.5);
  }
  for (const Note& n : kTheremin) addWrapped(left, right, theremin(n), n.beat * kBeat, 0.07, 0.75);
  // A low wind under everything, different on each side.
  Noise windL(71), windR(72);
  Biquad lpL = Biquad::lowPass(400), lpR = Biquad::lowPass(400);
  for (int i = 0; i < kLoopFrames; ++i) {
    // The swell completes whole cycles in the loop, so it joins up too.
    const double swell = 0.5 + 0.5 * std::sin(kTau * 3.0 * i / kLoopFrames);
    left[i] += static_cast<float>(lpL.run(windL.white()) * 0.05 * swell);
    right[i] += static_cast<float>(lpR.run(windR.white()) * 0.05 * swell);
  }
  // Reverb run twice round the loop: the second pass starts with the tail of
  // the first, which is exactly what playing it in a loop sounds like.
  Reverb revL(0.08, 0.8, 6), revR(0.08, 0.8, 7);
  Buffer outL(kLoopFrames), outR(kLoopFrames);
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 0; i < kLoopFrames; ++i) {
      const float wl = revL.run(left[i]), wr = revR.run(right[i]);
      outL[i] = left[i] * 0.78f + wl * 0.35f;
      outR[i] = right[i] * 0.78f + wr * 0.35f;
    }
  }
  Buffer stereo(2 * kLoopFrames);
  for (int i = 0; i < kLoopFrames; ++i) {
    stereo[2 * i] = outL[i];
    stereo[2 * i + 1] = outR[i];
  }
  normalise(stereo, 0.7);
  return stereo;
}

}  // namespace gg
