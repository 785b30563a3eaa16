// The music stream's arithmetic and its reads from the WAV file, apart from the
// threads that use them (sound/zq_stream.cpp): segment sizes, silence, and the
// filling of part of the ring from the file, wrapping or padding at the end.
#pragma once

#include <windows.h>

#include <cstdint>

#include "sound/zq_sound.h"

// Bytes per segment for a stream of this format: a quarter of a second, raised
// to the next whole frame. 0 when the format has no whole frame or a ring of
// eight segments would be larger than a sound buffer can be.
DWORD StreamSegmentSize(DWORD samplesPerSecond, DWORD bitsPerSample, DWORD channels);

// The byte of silence: 8-bit samples are unsigned (0x80), wider ones signed (0).
uint8_t StreamSilence(DWORD bitsPerSample);

// Data bytes the file really holds from `dataStart` to its end; the file is
// left standing at `dataStart`. 0 when the file cannot be measured.
DWORD StreamBytesInFile(HANDLE file, DWORD dataStart);

// Fills `bytes` at `to` with the next bytes of the stream's data, read from its
// file at stream.hFile (stream.dwBytesLeft counts down). At the end of the data
// a looping stream starts again at stream.dwDataStart, as often as the space
// asks (a piece shorter than a segment wraps several times); a one-shot stream
// pads the rest with `silence`. A read that fails or comes up short counts as
// the end of the data. Returns the data bytes written, the rest being silence.
DWORD FillStreamBytes(_SNDStream& stream, DWORD dataSize, uint8_t silence, bool loop, uint8_t* to, DWORD bytes);

// Tests only: how many wake-ups of the fill thread (a notification or a stop)
// have been handled since the program started, so that a test pumping the mixer
// can wait for the thread to have done its part before it looks at the ring.
uint32_t StreamWakeupsHandledForTest();
