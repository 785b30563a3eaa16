// The eight sound effects: scares, the organ fanfare and the board's clicks.
#include <algorithm>
#include <cmath>

#include "generate.hpp"
#include "music.hpp"
#include "synth.hpp"
#include "wav.hpp"

namespace gg {
using namespace synth;

namespace {
// A voice through vowel formants: pitch(t) in Hz, breath is the noise share.
Buffer voice(double seconds, const std::function<double(double)>& pitch, const double (&formants)[3][2],
             double breath, uint32_t seed) {
  Buffer out(frames(seconds));
  Noise noise(seed);
  Biquad f1 = Biquad::bandPass(formants[0][0], formants[0][1]);
  Biquad f2 = Biquad::bandPass(formants[1][0], formants[1][1]);
  Biquad f3 = Biquad::bandPass(formants[2][0], formants[2][1]);
  double phase = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = i / kRate;
    phase += pitch(t) / kRate;
    phase -= std::floor(phase);
    // Glottal-like source: a sawtooth softened at its reset, plus breath.
    const double saw = 1.0 - 2.0 * phase;
    const float src = static_cast<float>(saw * (1 - breath) + noise.white() * breath);
    out[i] = f1.run(src) * 1.0f + f2.run(src) * 0.7f + f3.run(src) * 0.35f;
  }
  return out;
}

Buffer thunder() {
  Buffer out(frames(2.8));
  Noise noise(11);
  Biquad crackHp = Biquad::highPass(900);
  Biquad rumble1 = Biquad::lowPass(180), rumble2 = Biquad::lowPass(120);
  Biquad body = Biquad::lowPass(700);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = i / kRate;
    const float n = noise.white();
    const double crack = std::exp(-t * 18) * (t < 0.02 ? t / 0.02 : 1.0);
    // Rolling: a few swells of the rumble as the sound comes off the hills.
    const double roll = 0.55 + 0.45 * std::sin(t * 5.1) * std::sin(t * 2.3 + 1);
    const double decay = std::exp(-t * 1.1) * std::min(1.0, t / 0.08);
    const float low = rumble2.run(rumble1.run(n)) * 6.0f;
    const float mid = body.run(n);
    out[i] = static_cast<float>(crackHp.run(n) * crack * 0.9 + low * decay * roll + mid * decay * 0.35 * roll);
  }
  addReverb(out, 0.06, 0.72, 0.3, 1);
  normalise(out, 0.9);
  fadeEdges(out, 0.002, 0.4);
  return out;
}

Buffer scream() {
  const double ah[3][2] = {{850, 6}, {1350, 8}, {2900, 10}};
  auto pitch = [](double t) {
    const double glide = t < 0.18 ? 520 + t / 0.18 * 380 : 900 - (t - 0.18) * 160;
    return glide * (1 + 0.035 * sine(6.5 * t));
  };
  Buffer out = voice(1.6, pitch, ah, 0.22, 21);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = i / kRate;
    const double env = std::min(1.0, t / 0.05) * (t > 1.1 ? std::max(0.0, 1 - (t - 1.1) / 0.5) : 1.0);
    out[i] = static_cast<float>(std::tanh(out[i] * 3.0) * env);
  }
  Biquad soften = Biquad::lowPass(5000);
  for (float& v : out) v = soften.run(v);
  addReverb(out, 0.05, 0.6, 0.25, 2);
  normalise(out, 0.88);
  fadeEdges(out, 0.002, 0.05);
  return out;
}

Buffer ghost() {
  const double oo[3][2] = {{320, 5}, {800, 6}, {2300, 8}};
  auto pitch = [](double t) {
    const double shape = 0.5 - 0.5 * std::cos(kTau * t / 2.6);
    return (260 + 170 * shape) * (1 + 0.02 * sine(4.5 * t));
  };
  Buffer out = voice(2.6, pitch, oo, 0.35, 31);
  Noise wind(32);
  Biquad airy = Biquad::bandPass(900, 1.5);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = i / kRate;
    const double env = std::sin(kPi * std::min(1.0, t / 2.6));
    const double tremolo = 0.8 + 0.2 * sine(3 * t);
    out[i] = static_cast<float>((out[i] * 1.4 + airy.run(wind.white()) * 0.5) * env * tremolo);
  }
  addReverb(out, 0.08, 0.8, 0.45, 3);
  normalise(out, 0.85);
  fadeEdges(out, 0.01, 0.1);
  return out;
}

Buffer organNote(double hz, double seconds) {
  // Ranks of pipes: 8', 4', 2 2/3', 2' and a soft mixture.
  const double partials[][2] = {{1, 1.0}, {2, 0.55}, {3, 0.3}, {4, 0.25}, {6, 0.1}, {8, 0.08}};
  Buffer out(frames(seconds + 0.15));
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = i / kRate;
    double s = 0;
    for (const auto& p : partials) {
      s += p[1] * sine(hz * p[0] * t);
      s += p[1] * 0.5 * sine(hz * p[0] * 1.003 * t);
    }
    const double attack = std::min(1.0, t / 0.025);
    const double release = t > seconds ? std::max(0.0, 1 - (t - seconds) / 0.15) : 1.0;
    out[i] = static_cast<float>(s * attack * release * 0.2);
  }
  return out;
}

Buffer pipeOrgan() {
  // A minor-key flourish ending on a full chord.
  struct Note {
    double start, length, midi;
  };
  const Note melody[] = {{0.00, 0.09, 81}, {0.09, 0.09, 79}, {0.18, 0.40, 81}, {0.62, 0.11, 79}, {0.73, 0.11, 77},
                         {0.84, 0.11, 76}, {0.95, 0.11, 74}, {1.06, 0.32, 73}, {1.40, 1.25, 74}};
  const Note chord[] = {{1.40, 1.25, 38}, {1.40, 1.25, 50}, {1.40, 1.25, 57}, {1.40, 1.25, 62}, {1.40, 1.25, 65},
                        {0.00, 1.06, 45}, {1.06, 0.34, 45}};
  Buffer out(frames(3.0));
  for (const Note& n : melody) mixInto(out, organNote(midiHz(n.midi), n.length), frames(n.start), 0.8);
  for (const Note& n : chord) mixInto(out, organNote(midiHz(n.midi), n.length), frames(n.start), 0.45);
  addReverb(out, 0.09, 0.82, 0.35, 4);
  normalise(out, 0.85);
  fadeEdges(out, 0.002, 0.25);
  return out;
}

Buffer heartbeat() {
  Buffer out(frames(1.7));
  auto thump = [&](double at, double gain, double startHz) {
    const int start = frames(at);
    double phase = 0;
    for (int i = 0; i < frames(0.3) && start + i < static_cast<int>(out.size()); ++i) {
      const double t = i / kRate;
      const double hz = 45 + (startHz - 45) * std::exp(-t * 25);
      phase += hz / kRate;
      const double env = std::min(1.0, t / 0.006) * std::exp(-t * 14);
      out[start + i] += static_cast<float>(sine(phase) * env * gain);
    }
  };
  for (double beat : {0.05, 0.85}) {
    thump(beat, 1.0, 90);
    thump(beat + 0.24, 0.7, 110);
  }
  Biquad lp = Biquad::lowPass(300);
  for (float& s : out) s = lp.run(s);
  normalise(out, 0.9);
  fadeEdges(out, 0.001, 0.1);
  return out;
}

Buffer laugh() {
  const double ah[3][2] = {{700, 5}, {1150, 7}, {2600, 9}};
  Buffer out(frames(2.3));
  const int syllables = 7;
  for (int k = 0; k < syllables; ++k) {
    const double base = 200 - k * 9.0 + (k == syllables - 1 ? 30 : 0);
    const double len = k == syllables - 1 ? 0.5 : 0.17;
    auto pitch = [base, len](double t) { return base * (1.0 + 0.12 * (1 - t / len)); };
    Buffer syl = voice(len, pitch, ah, 0.28, 40 + k);
    Biquad soften = Biquad::lowPass(3200);
    for (size_t i = 0; i < syl.size(); ++i) {
      const double t = i / kRate;
      const double breathy = 0.3 + 0.7 * std::min(1.0, t / 0.04);  // the "h" before each "a"
      const double env = std::min(1.0, t / 0.03) * std::max(0.0, 1 - t / len) * breathy;
      syl[i] = static_cast<float>(soften.run(static_cast<float>(std::tanh(syl[i] * 1.6))) * env);
    }
    mixInto(out, syl, frames(0.05 + k * 0.22), k == syllables - 1 ? 1.0 : 0.85);
  }
  addReverb(out, 0.07, 0.75, 0.35, 5);
  normalise(out, 0.88);
  fadeEdges(out, 0.002, 0.15);
  return out;
}

Buffer click() {
  Buffer out(frames(0.05));
  Noise noise(51);
  Biquad hp = Biquad::highPass(2500);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = i / kRate;
    const double tick = sine(1900 * t) * std::exp(-t * 260);
    const double snap = hp.run(noise.white()) * std::exp(-t * 900);
    const double body = sine(520 * t) * std::exp(-t * 120) * 0.4;
    out[i] = static_cast<float>(tick * 0.7 + snap * 0.6 + body);
  }
  normalise(out, 0.8);
  fadeEdges(out, 0.0005, 0.01);
  return out;
}

Buffer slide() {
  const double length = 0.2;
  Buffer out(frames(length + 0.05));
  Noise noise(61);
  Biquad lp = Biquad::lowPass(2200);
  double phase = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = i / kRate;
    const double scrape = t < length ? std::sin(kPi * t / length) : 0.0;
    // Wood on wood: band-limited noise with a faint grain that slows down.
    const double grain = 0.6 + 0.4 * sine((70 - 150 * t) * t);
    double s = lp.run(noise.white()) * scrape * grain * 0.6;
    if (t > length - 0.015) {
      const double k = t - (length - 0.015);
      phase += 170 / kRate;
      s += sine(phase) * std::exp(-k * 60) * 0.9;
    }
    out[i] = static_cast<float>(s);
  }
  normalise(out, 0.75);
  fadeEdges(out, 0.002, 0.02);
  return out;
}
}  // namespace

void generateSounds(const std::filesystem::path& game) {
  const std::filesystem::path dir = game / "sounds";
  writeWav(dir / "thunder.wav", thunder(), 1);
  writeWav(dir / "scream1.wav", scream(), 1);
  writeWav(dir / "ghost.wav", ghost(), 1);
  writeWav(dir / "pipeorgan.wav", pipeOrgan(), 1);
  writeWav(dir / "heartbeat.wav", heartbeat(), 1);
  writeWav(dir / "laugh.wav", laugh(), 1);
  writeWav(dir / "click.wav", click(), 1);
  writeWav(dir / "slide.wav", slide(), 1);
  writeWav(dir / "music.wav", musicLoop(), 2);
}

}  // namespace gg
