// An Ogg movie held in memory: the first Theora track decoded one picture at
// a time into B, G, R, A pixels, and the first Vorbis track decoded whole
// into 16-bit PCM when the movie is opened. Portable: no display, no device.
//
// Every bit of the file is outside input: a file that is not Ogg, has no
// Theora track, breaks inside the headers or announces pictures larger than
// kMaxMovieSide does not open. Damage after the headers ends the movie (or
// its sound) early rather than failing it.
#pragma once

#include "engine/sound/pcm.h"

#include <cstdint>
#include <memory>
#include <vector>

struct th_dec_ctx;
struct th_setup_info;

class TTheoraMovie {
public:
    static constexpr int kMaxMovieSide = 4096;

    // Null when the bytes are no playable movie.
    static std::unique_ptr<TTheoraMovie> Open(const std::vector<std::uint8_t>& bytes);
    ~TTheoraMovie();
    TTheoraMovie(const TTheoraMovie&) = delete;
    TTheoraMovie& operator=(const TTheoraMovie&) = delete;

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    // Pictures per second as a fraction (both positive).
    std::uint32_t FpsNumerator() const { return mFpsNumerator; }
    std::uint32_t FpsDenominator() const { return mFpsDenominator; }
    int FrameCount() const { return static_cast<int>(mPackets.size()); }
    // Milliseconds from the movie's start at which picture `frame` shows.
    std::uint64_t FrameTimeMs(int frame) const;
    // The index of the picture showing at `ms`; FrameCount() once it is over.
    int FrameAtMs(std::uint64_t ms) const;

    // The index of the next picture DecodeNext reads (0 after Open and Rewind).
    int NextFrame() const { return mNextFrame; }
    // Decodes the next picture; with convert, it becomes the pixels. False at
    // the end. A picture the decoder refuses keeps the previous pixels.
    bool DecodeNext(bool convert);
    // Back to the first picture.
    void Rewind();

    // Width x Height pixels, B, G, R, A, top row first (opaque black at first).
    const std::vector<std::uint8_t>& Pixels() const { return mPixels; }

    // The sound track, or null when the movie has none (or it would not decode).
    std::shared_ptr<const TPcm> Sound() const { return mSound; }

private:
    TTheoraMovie() = default;
    struct TPacket {
        std::vector<std::uint8_t> bytes;
        bool first = false;  // the first packet of its track
        std::int64_t granule = -1;  // the end position its page gave it, -1 when none
    };
    struct TTracks;
    struct TDecoderInfo;  // the stream's picture description, for a fresh decoder

    static void Demux(const std::vector<std::uint8_t>& bytes, TTracks& tracks);
    bool ReadTheoraHeaders(const std::vector<TPacket>& packets);
    void DecodeSound(const std::vector<TPacket>& packets);
    void ConvertPicture();

    int mWidth = 0, mHeight = 0;
    std::uint32_t mFpsNumerator = 1, mFpsDenominator = 1;
    std::vector<TPacket> mPackets;  // one per picture
    int mPixelFormat = 0;
    int mPictureX = 0, mPictureY = 0;
    std::unique_ptr<TDecoderInfo> mInfo;
    th_dec_ctx* mDecoder = nullptr;
    th_setup_info* mSetup = nullptr;
    int mNextFrame = 0;
    std::vector<std::uint8_t> mPixels;
    std::shared_ptr<const TPcm> mSound;
};
