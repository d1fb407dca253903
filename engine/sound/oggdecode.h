// Ogg Vorbis into 16-bit PCM with libvorbisfile: a whole file at once
// (DecodeOgg), or a file kept compressed in memory and decoded a piece at a
// time as it plays (ProbeOgg, then a TOggSpooler per stream).
#pragma once

#include "engine/sound/pcm.h"
#include "engine/sound/spooler.h"

#include <cstdio>
#include <memory>
#include <vector>

enum class EOggDecode {
    kOk,
    kNotVorbis,  // the decoder could not open the file
    kEmpty,      // no sample could be decoded
    kTooLong,    // more than kMaxPcmBytes, or no usable length
};

// A sound longer than this (about 25 minutes of 44.1 kHz stereo) is refused
// rather than allocated.
inline constexpr long long kMaxPcmBytes = 256ll << 20;

// Takes the file over and closes it in every case. A decoding error keeps the
// samples read before it; a hole in the data is stepped over.
EOggDecode DecodeOgg(std::FILE* file, const char* name, TPcm* out);

// An Ogg Vorbis file's bytes, checked to be playable, and what they decode to.
struct TOggFile {
    std::vector<unsigned char> bytes;
    int rate = 0;
    int channels = 0;
    // Frames a stream plays: the same as DecodeOgg would give when the
    // file's data ends where its headers say.
    long long frames = 0;
    // DecodeOgg's limit for the file, in bytes of PCM.
    long long capacity = 0;
};

// Reads the file into memory (taking it over and closing it) and checks it
// as DecodeOgg would, decoding only its first samples.
EOggDecode ProbeOgg(std::FILE* file, const char* name, TOggFile* out);

// Streams a probed file, decoding as the mixer asks for samples: the same
// samples DecodeOgg gives for it, without holding them all. Used only where
// a spooler is used (the mixer, under the output's lock).
class TOggSpooler : public TStreamSpooler {
public:
    explicit TOggSpooler(std::shared_ptr<const TOggFile> file);
    ~TOggSpooler() override;

    bool StreamToBuffer(int size, void* dst, unsigned int* written, bool loop) override;
    // 0 starts afresh; elsewhere the decoder seeks to the frame.
    void SetPosition(float seconds) override;

    // Bytes of PCM given out since the start.
    long long Position() const { return mPosition; }

private:
    struct TDecoder;
    bool Rewind();
    int Decode(unsigned char* dst, int size);

    std::shared_ptr<const TOggFile> mFile;
    std::unique_ptr<TDecoder> mDecoder;
    long long mPosition = 0;
    bool mEnded = false;
};
