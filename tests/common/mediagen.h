#pragma once
// Small media files that tests write for themselves, so that playback,
// playlist and main-window tests run on real, decodable input without
// shipping binaries. Each writer returns false when the file could not be
// written (or the encoder refused); the content is deterministic.
#include <QString>

// 16-bit PCM RIFF WAVE with a 440 Hz sine on every channel.
bool WriteSineWav(const QString& path, double seconds, int rate = 44100, int channels = 2);

// Constant-bit-rate MPEG audio (layer III, mono) of a 440 Hz sine, encoded
// through libmp3lame, with neither an ID3 tag nor a VBR header, so that the
// length follows from the file size and the bit rate. The sample rate
// follows the bit rate: 8 kHz up to 16 kbit/s (8 kbit/s keeps a 4-minute
// file near 240 KB), 22.05 kHz up to 64 kbit/s, 44.1 kHz above.
bool WriteSineMp3(const QString& path, double seconds, int bitrateKbps = 32);

// An uncompressed AVI (24-bit RGB frames, one video stream, no sound) of
// the given picture size, frame count and frame rate; every frame is a
// different plain colour.
bool WriteTestAvi(const QString& path, int width, int height, int frames, int fps);
