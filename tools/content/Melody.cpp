// SPDX-License-Identifier: MIT
#include "Melody.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace miradel::content {

namespace {

constexpr double kBeatSeconds = 0.75; // 80 beats a minute, three to the bar
constexpr int kBeatsPerBar = 3;
constexpr int kBars = 16;
constexpr double kFadeInSeconds = 0.03;
constexpr double kFadeOutSeconds = 0.8;
constexpr double kPeak = 0.55; // of full scale: gentle, with room to spare

struct Note {
    int pitch; // MIDI note number; 60 is middle C
    double beats;
};

// The tune, one bar a line of four: bars 1-8 rise and settle on C, bars 9-16
// climb to the high C and come home.
constexpr std::array kTune {
    Note { 76, 2 },
    Note { 74, 1 },
    Note { 72, 1 },
    Note { 74, 1 },
    Note { 76, 1 },
    Note { 79, 2 },
    Note { 76, 1 },
    Note { 74, 3 },
    Note { 76, 2 },
    Note { 74, 1 },
    Note { 72, 1 },
    Note { 74, 1 },
    Note { 76, 1 },
    Note { 69, 1 },
    Note { 72, 1 },
    Note { 74, 1 },
    Note { 72, 3 },
    Note { 81, 2 },
    Note { 79, 1 },
    Note { 76, 1 },
    Note { 79, 1 },
    Note { 81, 1 },
    Note { 84, 2 },
    Note { 81, 1 },
    Note { 79, 3 },
    Note { 81, 1 },
    Note { 79, 1 },
    Note { 76, 1 },
    Note { 74, 1 },
    Note { 76, 1 },
    Note { 79, 1 },
    Note { 74, 2 },
    Note { 76, 1 },
    Note { 72, 3 },
};

// One chord a bar, as root, third and fifth.
constexpr std::array<std::array<int, 3>, kBars> kChords { {
    { 48, 52, 55 },
    { 45, 48, 52 },
    { 40, 43, 47 },
    { 43, 47, 50 },
    { 48, 52, 55 },
    { 45, 48, 52 },
    { 41, 45, 48 },
    { 48, 52, 55 },
    { 41, 45, 48 },
    { 48, 52, 55 },
    { 45, 48, 52 },
    { 43, 47, 50 },
    { 41, 45, 48 },
    { 48, 52, 55 },
    { 43, 47, 50 },
    { 48, 52, 55 },
} };

double Frequency(int pitch)
{
    return 440.0 * std::pow(2.0, (pitch - 69) / 12.0);
}

// A plucked, bell-like voice: a quick rise, a long ringing decay, a few soft overtones.
void AddVoice(std::vector<double>& mix, double startSeconds, double lengthSeconds, int pitch, double loudness,
    double decaySeconds)
{
    const auto first = static_cast<std::size_t>(std::lround(startSeconds * kSampleRate));
    const double ring = lengthSeconds + decaySeconds * 1.5;
    const auto count = static_cast<std::size_t>(ring * kSampleRate);
    const double step = 2.0 * std::numbers::pi * Frequency(pitch) / kSampleRate;
    for (std::size_t i = 0; i < count && first + i < mix.size(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double attack = std::min(1.0, t / 0.006);
        const double release = t < lengthSeconds ? 1.0 : std::exp(-(t - lengthSeconds) / (decaySeconds * 0.3));
        const double envelope = attack * std::exp(-t / decaySeconds) * release;
        const double phase = step * static_cast<double>(i);
        const double tone
            = std::sin(phase) + 0.28 * std::sin(2.0 * phase) * std::exp(-t / 0.25) + 0.08 * std::sin(3.0 * phase);
        mix[first + i] += loudness * envelope * tone;
    }
}

void AddTune(std::vector<double>& mix)
{
    double beat = 0.0;
    for (const Note& note : kTune) {
        AddVoice(mix, beat * kBeatSeconds, note.beats * kBeatSeconds, note.pitch, 1.0, 0.9);
        beat += note.beats;
    }
}

// Oom-pah-pah, softly: the root on the first beat, the upper notes on the other two.
void AddAccompaniment(std::vector<double>& mix)
{
    for (int bar = 0; bar < kBars; ++bar) {
        const auto& chord = kChords[static_cast<std::size_t>(bar)];
        const double barStart = bar * kBeatsPerBar * kBeatSeconds;
        AddVoice(mix, barStart, kBeatsPerBar * kBeatSeconds, chord[0], 0.45, 1.2);
        AddVoice(mix, barStart + kBeatSeconds, kBeatSeconds, chord[1] + 12, 0.22, 0.6);
        AddVoice(mix, barStart + 2 * kBeatSeconds, kBeatSeconds, chord[2] + 12, 0.22, 0.6);
    }
}

// Both ends go to exact silence along half a cosine, so the restart has no step to click on.
void FadeEnds(std::vector<double>& mix)
{
    const auto fadeIn = static_cast<std::size_t>(kFadeInSeconds * kSampleRate);
    for (std::size_t i = 0; i < fadeIn && i < mix.size(); ++i) {
        mix[i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(i) / static_cast<double>(fadeIn));
    }
    const auto fade = static_cast<std::size_t>(kFadeOutSeconds * kSampleRate);
    for (std::size_t i = 0; i < fade && i < mix.size(); ++i) {
        const double left = static_cast<double>(i) / static_cast<double>(fade); // 0 at the last sample
        mix[mix.size() - 1 - i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * left);
    }
}

} // namespace

std::vector<std::int16_t> RenderLullaby()
{
    const auto length = static_cast<std::size_t>(kBars * kBeatsPerBar * kBeatSeconds * kSampleRate);
    std::vector<double> mix(length, 0.0);
    AddTune(mix);
    AddAccompaniment(mix);
    FadeEnds(mix);
    double loudest = 1e-9;
    for (const double sample : mix) {
        loudest = std::max(loudest, std::abs(sample));
    }
    std::vector<std::int16_t> samples(length);
    for (std::size_t i = 0; i < length; ++i) {
        samples[i] = static_cast<std::int16_t>(std::lround(mix[i] / loudest * kPeak * 32767.0));
    }
    return samples;
}

} // namespace miradel::content
