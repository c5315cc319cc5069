#include "demo_music.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <span>
#include <stdexcept>
#include <string>

namespace demo {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
// How long the last chord rings after the final bar.
constexpr double kTailSeconds = 2.5;
// Fade at the cut when a piece is repeated to a given length.
constexpr double kCutFadeSeconds = 3.0;

enum class TVoice { Flute, Bell, EPiano, Bass, Pad, Pluck, Kick, Hat };

// How each piece is accompanied.
enum class TStyle { Ballad, Waltz, March };

struct TScore {
    TPiece piece;
    double bpm;
    int beatsPerBar;
    TStyle style;
    // "Root[m]:beats ..." - one chord after the other from the first beat.
    std::string_view chords;
    // "NoteOctave:beats ..." with R for a rest, # and b for accidentals.
    std::string_view melody;
};

const std::array<TScore, 3> kScores = {{
    {{"Alba sul lago", "01-Alba-sul-lago"},
     100.0,
     4,
     TStyle::Ballad,
     "C:4 Am:4 F:4 G:4 C:4 Am:4 F:2 G:2 C:4",
     "E5:1 G5:1 C6:1.5 B5:0.5 A5:2 G5:1 E5:1 F5:1 A5:1 G5:1 F5:1 E5:1.5 D5:0.5 D5:2 "
     "E5:1 G5:1 C6:1 D6:1 E6:1.5 D6:0.5 C6:1 A5:1 A5:1 C6:1 B5:1 D6:1 C6:4"},
    {{"Sera in piazza", "02-Sera-in-piazza"},
     150.0,
     3,
     TStyle::Waltz,
     "Am:3 Am:3 Dm:3 Dm:3 G:3 G:3 C:3 C:3 F:3 F:3 Dm:3 Dm:3 E:3 E:3 Am:3 Am:3",
     "E5:2 A5:1 C6:2 B5:1 A5:2 F5:1 D5:3 D5:1 G5:1 B5:1 D6:2 C6:1 C6:2 G5:1 E5:3 "
     "F5:1 A5:1 C6:1 C6:2 A5:1 D6:2 A5:1 F5:3 E5:1 G#5:1 B5:1 D6:2 B5:1 C6:2 B5:1 A5:3"},
    {{"Piccola marcia", "03-Piccola-marcia"},
     126.0,
     4,
     TStyle::March,
     "F:4 Bb:4 C:4 F:4 F:4 Dm:4 Gm:2 C:2 F:4",
     "C5:1 F5:1 A5:1 F5:1 D6:1.5 C6:0.5 Bb5:2 G5:1 A5:0.5 Bb5:0.5 C6:1 E5:1 F5:3 R:1 "
     "A5:1 C6:1 A5:1 F5:1 D6:1.5 C6:0.5 A5:1 F5:1 G5:1 Bb5:1 E5:1 G5:1 F5:4"},
}};

struct TChord {
    int root; // semitone 0-11 above C
    bool minor;
    double beats;
};

struct TNote {
    double start; // seconds
    double held;  // seconds the note is held before its release
    double freq;
    TVoice voice;
    double gain;
    double pan; // -1 left .. 1 right
};

int SemitoneOf(char letter) {
    constexpr std::array<int, 7> kFromA = {9, 11, 0, 2, 4, 5, 7};
    if (letter < 'A' || letter > 'G')
        throw std::logic_error(std::string("bad note letter ") + letter);
    return kFromA[static_cast<std::size_t>(letter - 'A')];
}

// Splits "a:b c:d" into its words.
std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ')
            ++i;
        const std::size_t start = i;
        while (i < text.size() && text[i] != ' ')
            ++i;
        if (i > start)
            words.push_back(text.substr(start, i - start));
    }
    return words;
}

double BeatsOf(std::string_view word) {
    const std::size_t colon = word.find(':');
    if (colon == std::string_view::npos)
        throw std::logic_error("score word without beats: " + std::string(word));
    return std::stod(std::string(word.substr(colon + 1)));
}

// The accidental after a letter: +1, -1 or 0, and how many characters it took.
int Accidental(std::string_view word, std::size_t at, std::size_t& used) {
    used = 0;
    if (at < word.size() && word[at] == '#') {
        used = 1;
        return 1;
    }
    if (at < word.size() && word[at] == 'b') {
        used = 1;
        return -1;
    }
    return 0;
}

std::vector<TChord> ParseChords(std::string_view text) {
    std::vector<TChord> chords;
    for (std::string_view word : Words(text)) {
        std::size_t used = 0;
        const int root = (SemitoneOf(word.at(0)) + Accidental(word, 1, used) + 12) % 12;
        const bool minor = word.at(1 + used) == 'm';
        chords.push_back({root, minor, BeatsOf(word)});
    }
    return chords;
}

// A melody word as (MIDI note or -1 for a rest, beats).
std::vector<std::pair<int, double>> ParseMelody(std::string_view text) {
    std::vector<std::pair<int, double>> notes;
    for (std::string_view word : Words(text)) {
        if (word.at(0) == 'R') {
            notes.emplace_back(-1, BeatsOf(word));
            continue;
        }
        std::size_t used = 0;
        const int semitone = SemitoneOf(word.at(0)) + Accidental(word, 1, used);
        const int octave = word.at(1 + used) - '0';
        notes.emplace_back(12 * (octave + 1) + semitone, BeatsOf(word));
    }
    return notes;
}

double Frequency(int midi) {
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

// The chord's notes: root, third, fifth, with the root in the given octave.
std::array<int, 3> Triad(const TChord& chord, int octave) {
    const int root = 12 * (octave + 1) + chord.root;
    return {root, root + (chord.minor ? 3 : 4), root + 7};
}

double TailOf(TVoice voice) {
    switch (voice) {
    case TVoice::Flute:
        return 0.25;
    case TVoice::Bell:
        return 1.2;
    case TVoice::EPiano:
        return 0.5;
    case TVoice::Bass:
        return 0.1;
    case TVoice::Pad:
        return 0.9;
    case TVoice::Pluck:
        return 0.3;
    case TVoice::Kick:
    case TVoice::Hat:
        return 0.0;
    }
    return 0.0;
}

// Attack, decay to a sustain level, and a linear release after `held`.
double Adsr(double t, double held, double attack, double decay, double sustain, double release) {
    const double u = std::min(t, held);
    double level = 1.0;
    if (u < attack)
        level = u / attack;
    else if (u < attack + decay)
        level = 1.0 - (1.0 - sustain) * (u - attack) / decay;
    else
        level = sustain;
    if (t > held)
        level *= std::max(0.0, 1.0 - (t - held) / release);
    return level;
}

// Partials with their own exponential decay, as struck or plucked things ring.
struct TPartial {
    double ratio;
    double amp;
    double decay; // per second
};

double Struck(std::span<const TPartial> partials, double f, double t) {
    double v = 0.0;
    for (const TPartial& p : partials)
        v += p.amp * std::exp(-p.decay * t) * std::sin(kTwoPi * p.ratio * f * t);
    return v;
}

constexpr std::array<TPartial, 4> kBell = {
    {{1.0, 1.0, 1.6}, {2.0, 0.45, 2.6}, {3.0, 0.2, 4.0}, {4.2, 0.1, 6.0}}};
constexpr std::array<TPartial, 5> kEPiano = {
    {{1.0, 1.0, 1.2}, {2.0, 0.5, 2.0}, {3.0, 0.18, 3.5}, {4.0, 0.08, 5.0}, {7.0, 0.06, 18.0}}};
constexpr std::array<TPartial, 6> kPluck = {{{1.0, 1.0, 4.3},
                                             {2.0, 0.44, 6.1},
                                             {3.0, 0.27, 7.9},
                                             {4.0, 0.19, 9.7},
                                             {5.0, 0.14, 11.5},
                                             {6.0, 0.12, 13.3}}};
constexpr std::array<double, 5> kFluteAmps = {1.0, 0.42, 0.22, 0.1, 0.05};
constexpr std::array<double, 3> kBassAmps = {1.0, 0.4, 0.15};

class TMixer {
public:
    explicit TMixer(std::size_t frames) : m_left(frames, 0.0), m_right(frames, 0.0) {}

    void Add(const TNote& note) {
        const double length = note.held + TailOf(note.voice);
        const auto first = static_cast<std::size_t>(std::lround(note.start * kSampleRate));
        const auto count = static_cast<std::size_t>(std::lround(length * kSampleRate));
        const double angle = (note.pan + 1.0) * std::numbers::pi / 4.0;
        const double gl = note.gain * std::cos(angle);
        const double gr = note.gain * std::sin(angle);
        // Hats are noise; a fixed seed per note keeps the output the same
        // from build to build.
        std::uint32_t noise = static_cast<std::uint32_t>(first) * 2654435761u + 1u;
        double lastNoise = 0.0;
        for (std::size_t n = 0; n < count && first + n < m_left.size(); ++n) {
            const double t = static_cast<double>(n) / kSampleRate;
            double v = 0.0;
            switch (note.voice) {
            case TVoice::Flute:
                v = Flute(note.freq, t, note.held);
                break;
            case TVoice::Bell:
                v = Struck(kBell, note.freq, t) * std::min(1.0, t / 0.004) *
                    (t > note.held ? std::exp(-(t - note.held) * 5.0) : 1.0);
                break;
            case TVoice::EPiano:
                v = Struck(kEPiano, note.freq, t) * std::min(1.0, t / 0.003) *
                    (t > note.held ? std::exp(-(t - note.held) * 10.0) : 1.0);
                break;
            case TVoice::Pluck:
                v = Struck(kPluck, note.freq, t) * std::min(1.0, t / 0.003) *
                    (t > note.held ? std::exp(-(t - note.held) * 12.0) : 1.0);
                break;
            case TVoice::Bass: {
                double s = 0.0;
                for (std::size_t k = 0; k < kBassAmps.size(); ++k)
                    s += kBassAmps[k] *
                         std::sin(kTwoPi * static_cast<double>(k + 1) * note.freq * t);
                v = s * std::exp(-1.0 * t) * Adsr(t, note.held, 0.008, 0.05, 0.9, 0.08);
                break;
            }
            case TVoice::Pad:
                v = Pad(note.freq, t) * Adsr(t, note.held, 0.5, 0.1, 1.0, 0.9);
                break;
            case TVoice::Kick: {
                const double phase =
                    kTwoPi * (45.0 * t + 90.0 / 25.0 * (1.0 - std::exp(-25.0 * t)));
                v = std::sin(phase) * std::exp(-9.0 * t) * std::min(1.0, t / 0.002);
                break;
            }
            case TVoice::Hat: {
                noise = noise * 1664525u + 1013904223u;
                const double white = static_cast<double>(noise >> 8) / double(1u << 24) * 2.0 - 1.0;
                v = (white - lastNoise) * std::exp(-45.0 * t);
                lastNoise = white;
                break;
            }
            }
            m_left[first + n] += gl * v;
            m_right[first + n] += gr * v;
        }
    }

    // A soft echo on both sides at different delays, so that the dry
    // synthesised notes sound as if played in a room.
    void Echo() {
        constexpr double kFeedback = 0.35;
        constexpr double kMix = 0.22;
        const auto dl = static_cast<std::size_t>(0.29 * kSampleRate);
        const auto dr = static_cast<std::size_t>(0.37 * kSampleRate);
        std::vector<double> wl(m_left.size(), 0.0);
        std::vector<double> wr(m_right.size(), 0.0);
        for (std::size_t n = 0; n < m_left.size(); ++n) {
            if (n >= dl)
                wl[n] = 0.5 * (m_left[n - dl] + m_right[n - dl]) + kFeedback * wr[n - dl];
            if (n >= dr)
                wr[n] = kFeedback * wl[n - dr] + 0.3 * m_right[n - dr];
        }
        for (std::size_t n = 0; n < m_left.size(); ++n) {
            m_left[n] += kMix * wl[n];
            m_right[n] += kMix * wr[n];
        }
    }

    // Linear fade to silence over the last `seconds`, and everything after
    // `frames` dropped.
    void CutWithFade(std::size_t frames, double seconds) {
        frames = std::min(frames, m_left.size());
        m_left.resize(frames);
        m_right.resize(frames);
        const auto fade = std::min(frames, static_cast<std::size_t>(seconds * kSampleRate));
        for (std::size_t i = 0; i < fade; ++i) {
            const double g = static_cast<double>(i) / static_cast<double>(fade);
            m_left[frames - fade + i] *= g;
            m_right[frames - fade + i] *= g;
        }
    }

    // Scaled to peak at -1 dBFS.
    TPcm ToPcm() const {
        double peak = 1e-9;
        for (std::size_t n = 0; n < m_left.size(); ++n)
            peak = std::max({peak, std::abs(m_left[n]), std::abs(m_right[n])});
        const double scale = 0.89 * 32767.0 / peak;
        TPcm pcm;
        pcm.samples.reserve(m_left.size() * 2);
        for (std::size_t n = 0; n < m_left.size(); ++n) {
            pcm.samples.push_back(static_cast<std::int16_t>(std::lround(m_left[n] * scale)));
            pcm.samples.push_back(static_cast<std::int16_t>(std::lround(m_right[n] * scale)));
        }
        return pcm;
    }

private:
    // A soft flute: a few harmonics and a vibrato that grows in.
    static double Flute(double f, double t, double held) {
        constexpr double kRate = 5.0;
        const double depth = 0.005 * std::min(1.0, t / 0.5);
        const double phase = kTwoPi * f * t + depth * f / kRate * std::sin(kTwoPi * kRate * t);
        double v = 0.0;
        for (std::size_t k = 0; k < kFluteAmps.size(); ++k)
            v += kFluteAmps[k] * std::sin(static_cast<double>(k + 1) * phase);
        return v * Adsr(t, held, 0.04, 0.2, 0.75, 0.25);
    }

    // Two slightly detuned bright tones that beat slowly against each other.
    static double Pad(double f, double t) {
        double v = 0.0;
        for (const double detune : {0.9985, 1.0015})
            for (int k = 1; k <= 6; ++k)
                v += std::sin(kTwoPi * k * f * detune * t) / std::pow(k, 1.3);
        return 0.5 * v;
    }

    std::vector<double> m_left;
    std::vector<double> m_right;
};

// The accompaniment of one chord, starting at `beat`.
void Accompany(const TScore& score, const TChord& chord, double beat, double beatSeconds,
               std::vector<TNote>& notes) {
    const double at = beat * beatSeconds;
    const std::array<int, 3> low = Triad(chord, 4);
    const int bassRoot = 12 * 3 + chord.root; // octave 2
    const int bassFifth = bassRoot + 7;
    const auto beats = static_cast<int>(chord.beats);
    switch (score.style) {
    case TStyle::Ballad: {
        constexpr std::array<double, 3> kPans = {-0.45, 0.0, 0.45};
        for (std::size_t i = 0; i < low.size(); ++i)
            notes.push_back(
                {at, chord.beats * beatSeconds, Frequency(low[i]), TVoice::Pad, 0.05, kPans[i]});
        notes.push_back({at, std::min(2.0, chord.beats) * beatSeconds - 0.05, Frequency(bassRoot),
                         TVoice::Bass, 0.3, 0.0});
        if (beats >= 4)
            notes.push_back({at + 2 * beatSeconds, 1.9 * beatSeconds, Frequency(bassFifth),
                             TVoice::Bass, 0.26, 0.0});
        // Eighth-note arpeggio up and down the chord.
        const std::array<int, 4> arp = {low[0], low[1], low[2], low[0] + 12};
        constexpr std::array<std::size_t, 4> kOrder = {0, 1, 2, 3};
        for (int e = 0; e < beats * 2; ++e) {
            const std::size_t k = (e / 4) % 2 == 0 ? kOrder[static_cast<std::size_t>(e % 4)]
                                                   : 3 - kOrder[static_cast<std::size_t>(e % 4)];
            notes.push_back({at + e * beatSeconds / 2, beatSeconds / 2, Frequency(arp[k]),
                             TVoice::Bell, 0.05, 0.35});
        }
        break;
    }
    case TStyle::Waltz:
        for (int b = 0; b < beats; ++b) {
            const double when = at + b * beatSeconds;
            const int inBar = static_cast<int>(beat + b) % score.beatsPerBar;
            if (inBar == 0) {
                notes.push_back(
                    {when, 1.8 * beatSeconds, Frequency(bassRoot), TVoice::Bass, 0.32, 0.0});
            } else {
                for (std::size_t i = 0; i < low.size(); ++i)
                    notes.push_back({when, 0.7 * beatSeconds, Frequency(low[i]), TVoice::Pluck,
                                     0.07, -0.3 + 0.15 * static_cast<double>(i)});
            }
        }
        break;
    case TStyle::March:
        for (int b = 0; b < beats; ++b) {
            const double when = at + b * beatSeconds;
            const int inBar = static_cast<int>(beat + b) % score.beatsPerBar;
            notes.push_back({when, 0.9 * beatSeconds, Frequency(b % 2 == 0 ? bassRoot : bassFifth),
                             TVoice::Bass, 0.3, 0.0});
            if (inBar % 2 == 0)
                notes.push_back({when, 0.35, 0.0, TVoice::Kick, 0.45, 0.0});
            else
                for (std::size_t i = 0; i < low.size(); ++i)
                    notes.push_back({when, 0.5 * beatSeconds, Frequency(low[i]), TVoice::Pluck,
                                     0.06, -0.25 + 0.1 * static_cast<double>(i)});
            for (int half = 0; half < 2; ++half)
                notes.push_back({when + half * beatSeconds / 2, 0.1, 0.0, TVoice::Hat,
                                 half == 0 ? 0.06 : 0.04, 0.4});
        }
        break;
    }
}

TVoice LeadOf(TStyle style) {
    switch (style) {
    case TStyle::Ballad:
        return TVoice::Flute;
    case TStyle::Waltz:
        return TVoice::Bell;
    case TStyle::March:
        return TVoice::EPiano;
    }
    return TVoice::Flute;
}

// One pass of the tune from `offset` seconds; returns its length in beats.
double Score(const TScore& score, double offset, std::vector<TNote>& notes) {
    const double beatSeconds = 60.0 / score.bpm;
    double beat = 0.0;
    for (const TChord& chord : ParseChords(score.chords)) {
        std::vector<TNote> part;
        Accompany(score, chord, beat, beatSeconds, part);
        for (TNote& n : part)
            n.start += offset;
        notes.insert(notes.end(), part.begin(), part.end());
        beat += chord.beats;
    }
    const TVoice lead = LeadOf(score.style);
    const double leadGain = lead == TVoice::Flute ? 0.3 : 0.26;
    double at = 0.0;
    for (const auto& [midi, beats] : ParseMelody(score.melody)) {
        if (midi >= 0)
            notes.push_back({offset + at * beatSeconds, beats * beatSeconds * 0.92, Frequency(midi),
                             lead, leadGain, 0.08});
        at += beats;
    }
    if (at > beat)
        throw std::logic_error("melody longer than its chords: " + std::string(score.piece.title));
    return beat;
}

} // namespace

const std::vector<TPiece>& Pieces() {
    static const std::vector<TPiece> pieces = [] {
        std::vector<TPiece> list;
        for (const TScore& s : kScores)
            list.push_back(s.piece);
        return list;
    }();
    return pieces;
}

TPcm Render(std::size_t index, double minSeconds) {
    const TScore& score = kScores.at(index);
    const double beatSeconds = 60.0 / score.bpm;
    std::vector<TNote> notes;
    const double passSeconds = Score(score, 0.0, notes) * beatSeconds;
    double seconds = passSeconds + kTailSeconds;
    bool cut = false;
    if (minSeconds > seconds) {
        for (double offset = passSeconds; offset < minSeconds; offset += passSeconds)
            Score(score, offset, notes);
        seconds = minSeconds;
        cut = true;
    }
    const auto frames = static_cast<std::size_t>(std::ceil(seconds * kSampleRate));
    // Room for the notes that ring past the cut; dropped again below.
    TMixer mixer(frames + static_cast<std::size_t>(passSeconds * kSampleRate));
    for (const TNote& note : notes)
        mixer.Add(note);
    mixer.Echo();
    mixer.CutWithFade(frames, cut ? kCutFadeSeconds : 0.3);
    return mixer.ToPcm();
}

} // namespace demo
