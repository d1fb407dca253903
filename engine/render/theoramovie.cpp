#include "engine/render/theoramovie.h"

#include "engine/sound/oggdecode.h"

#include <ogg/ogg.h>
#include <theora/theoradec.h>
#include <vorbis/codec.h>

#include <algorithm>
#include <cstring>
#include <map>

namespace {

enum class ETrack { kOther, kTheora, kVorbis };

// A track's kind from its first packet (the identification header).
ETrack Identify(const ogg_packet& packet)
{
    if (packet.bytes >= 7 && packet.packet[0] == 0x80 && !std::memcmp(packet.packet + 1, "theora", 6))
        return ETrack::kTheora;
    if (packet.bytes >= 7 && packet.packet[0] == 0x01 && !std::memcmp(packet.packet + 1, "vorbis", 6))
        return ETrack::kVorbis;
    return ETrack::kOther;
}

ogg_packet AsOggPacket(const std::vector<std::uint8_t>& bytes, bool first, ogg_int64_t number)
{
    ogg_packet packet{};
    packet.packet = const_cast<unsigned char*>(bytes.data());
    packet.bytes = static_cast<long>(bytes.size());
    packet.b_o_s = first ? 1 : 0;
    packet.granulepos = -1;
    packet.packetno = number;
    return packet;
}

std::uint8_t Clamp8(int v)
{
    return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

}  // namespace

struct TTheoraMovie::TDecoderInfo {
    th_info info;
};

// The packets of the first Theora and the first Vorbis track, in order.
struct TTheoraMovie::TTracks {
    std::vector<TPacket> theora, vorbis;
};

void TTheoraMovie::Demux(const std::vector<std::uint8_t>& bytes, TTracks& tracks)
{
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    char* buffer = ogg_sync_buffer(&sync, static_cast<long>(bytes.size()));
    if (buffer && !bytes.empty()) {
        std::memcpy(buffer, bytes.data(), bytes.size());
        ogg_sync_wrote(&sync, static_cast<long>(bytes.size()));
    }
    struct TStream {
        ogg_stream_state state;
        ETrack kind = ETrack::kOther;
        bool identified = false;
    };
    std::map<int, TStream> streams;
    bool haveTheora = false, haveVorbis = false;
    ogg_page page;
    int result;
    while ((result = ogg_sync_pageout(&sync, &page)) != 0) {
        if (result < 0)
            continue;  // bytes skipped to the next page
        const int serial = ogg_page_serialno(&page);
        auto found = streams.find(serial);
        if (found == streams.end()) {
            if (!ogg_page_bos(&page))
                continue;  // a page of a track whose start is missing
            found = streams.emplace(serial, TStream{}).first;
            ogg_stream_init(&found->second.state, serial);
        }
        TStream& stream = found->second;
        if (ogg_stream_pagein(&stream.state, &page) != 0)
            continue;
        ogg_packet packet;
        while ((result = ogg_stream_packetout(&stream.state, &packet)) != 0) {
            if (result < 0)
                continue;  // a gap: the packets on either side still decode
            if (!stream.identified) {
                stream.identified = true;
                stream.kind = Identify(packet);
                // Only the first track of each kind plays.
                if ((stream.kind == ETrack::kTheora && haveTheora) || (stream.kind == ETrack::kVorbis && haveVorbis))
                    stream.kind = ETrack::kOther;
                haveTheora = haveTheora || stream.kind == ETrack::kTheora;
                haveVorbis = haveVorbis || stream.kind == ETrack::kVorbis;
            }
            std::vector<TPacket>* out = stream.kind == ETrack::kTheora   ? &tracks.theora
                                        : stream.kind == ETrack::kVorbis ? &tracks.vorbis
                                                                         : nullptr;
            if (out)
                out->push_back(TPacket{std::vector<std::uint8_t>(packet.packet, packet.packet + packet.bytes),
                                       out->empty(), packet.granulepos});
        }
    }
    for (auto& entry : streams)
        ogg_stream_clear(&entry.second.state);
    ogg_sync_clear(&sync);
}

std::unique_ptr<TTheoraMovie> TTheoraMovie::Open(const std::vector<std::uint8_t>& bytes)
{
    TTracks tracks;
    Demux(bytes, tracks);
    std::unique_ptr<TTheoraMovie> movie(new TTheoraMovie());  // private constructor
    if (!movie->ReadTheoraHeaders(tracks.theora))
        return nullptr;
    movie->DecodeSound(tracks.vorbis);
    return movie;
}

bool TTheoraMovie::ReadTheoraHeaders(const std::vector<TPacket>& packets)
{
    th_info info;
    th_comment comment;
    th_info_init(&info);
    th_comment_init(&comment);
    size_t next = 0;
    bool headersDone = false;
    for (; next < packets.size(); ++next) {
        ogg_packet packet = AsOggPacket(packets[next].bytes, packets[next].first, ogg_int64_t(next));
        const int result = th_decode_headerin(&info, &comment, &mSetup, &packet);
        if (result == 0) {
            headersDone = true;  // this packet is the first picture
            break;
        }
        if (result < 0)
            break;
    }
    const bool sane = headersDone && mSetup && info.pic_width > 0 && info.pic_height > 0 &&
                      info.pic_width <= kMaxMovieSide && info.pic_height <= kMaxMovieSide &&
                      info.pic_x + info.pic_width <= info.frame_width &&
                      info.pic_y + info.pic_height <= info.frame_height && info.fps_numerator > 0 &&
                      info.fps_denominator > 0;
    if (sane) {
        mWidth = static_cast<int>(info.pic_width);
        mHeight = static_cast<int>(info.pic_height);
        mPictureX = static_cast<int>(info.pic_x);
        mPictureY = static_cast<int>(info.pic_y);
        mFpsNumerator = info.fps_numerator;
        mFpsDenominator = info.fps_denominator;
        mPixelFormat = info.pixel_fmt;
        mPackets.assign(packets.begin() + static_cast<std::ptrdiff_t>(next), packets.end());
        mDecoder = th_decode_alloc(&info, mSetup);
        mInfo = std::make_unique<TDecoderInfo>(TDecoderInfo{info});
    }
    th_comment_clear(&comment);
    th_info_clear(&info);
    if (!mDecoder || mPackets.empty())
        return false;
    mPixels.assign(size_t(mWidth) * mHeight * 4, 0);
    for (size_t i = 3; i < mPixels.size(); i += 4)
        mPixels[i] = 255;
    return true;
}

void TTheoraMovie::DecodeSound(const std::vector<TPacket>& packets)
{
    vorbis_info info;
    vorbis_comment comment;
    vorbis_info_init(&info);
    vorbis_comment_init(&comment);
    bool ok = packets.size() >= 3;
    for (size_t i = 0; ok && i < 3; ++i) {
        ogg_packet packet = AsOggPacket(packets[i].bytes, packets[i].first, ogg_int64_t(i));
        ok = vorbis_synthesis_headerin(&info, &comment, &packet) == 0;
    }
    // The mixer plays mono and stereo at ordinary rates.
    ok = ok && (info.channels == 1 || info.channels == 2) && info.rate >= 4000 && info.rate <= 192000;
    vorbis_dsp_state dsp;
    vorbis_block block;
    if (ok && vorbis_synthesis_init(&dsp, &info) == 0) {
        vorbis_block_init(&dsp, &block);
        auto pcm = std::make_shared<TPcm>();
        pcm->rate = static_cast<int>(info.rate);
        pcm->channels = info.channels;
        const size_t maxSamples = size_t(kMaxPcmBytes) / sizeof(int16_t);
        for (size_t i = 3; i < packets.size() && pcm->samples.size() < maxSamples; ++i) {
            ogg_packet packet = AsOggPacket(packets[i].bytes, false, ogg_int64_t(i));
            if (vorbis_synthesis(&block, &packet) != 0 || vorbis_synthesis_blockin(&dsp, &block) != 0)
                continue;  // a damaged packet is skipped
            float** channels;
            int frames;
            while ((frames = vorbis_synthesis_pcmout(&dsp, &channels)) > 0) {
                for (int f = 0; f < frames; ++f)
                    for (int c = 0; c < info.channels; ++c)
                        pcm->samples.push_back(static_cast<int16_t>(
                            std::clamp(channels[c][f] * 32767.0f, -32768.0f, 32767.0f)));
                vorbis_synthesis_read(&dsp, frames);
            }
        }
        // The last block decodes whole; the track ends where its last
        // position says.
        const std::int64_t end = packets.back().granule;
        if (end >= 0 && end < pcm->Frames())
            pcm->samples.resize(size_t(end) * size_t(info.channels));
        if (pcm->Frames() > 0)
            mSound = std::move(pcm);
        vorbis_block_clear(&block);
        vorbis_dsp_clear(&dsp);
    }
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
}

TTheoraMovie::~TTheoraMovie()
{
    if (mDecoder)
        th_decode_free(mDecoder);
    if (mSetup)
        th_setup_free(mSetup);
}

std::uint64_t TTheoraMovie::FrameTimeMs(int frame) const
{
    return static_cast<std::uint64_t>((unsigned __int128)std::max(frame, 0) * mFpsDenominator * 1000 /
                                      mFpsNumerator);
}

int TTheoraMovie::FrameAtMs(std::uint64_t ms) const
{
    const unsigned __int128 frame = (unsigned __int128)ms * mFpsNumerator / (std::uint64_t(mFpsDenominator) * 1000);
    return frame >= unsigned(FrameCount()) ? FrameCount() : static_cast<int>(frame);
}

bool TTheoraMovie::DecodeNext(bool convert)
{
    if (mNextFrame >= FrameCount())
        return false;
    const TPacket& data = mPackets[size_t(mNextFrame)];
    ogg_packet packet = AsOggPacket(data.bytes, false, ogg_int64_t(mNextFrame) + 3);
    ++mNextFrame;
    // A duplicate (empty) or refused packet leaves the decoder's picture as it was.
    const int result = th_decode_packetin(mDecoder, &packet, nullptr);
    if (convert && (result == 0 || result == TH_DUPFRAME))
        ConvertPicture();
    return true;
}

void TTheoraMovie::Rewind()
{
    // A fresh decoder: the first picture is a key frame, so nothing of the
    // old state may leak into it.
    th_dec_ctx* fresh = th_decode_alloc(&mInfo->info, mSetup);
    if (fresh) {
        th_decode_free(mDecoder);
        mDecoder = fresh;
    }
    mNextFrame = 0;
}

void TTheoraMovie::ConvertPicture()
{
    th_ycbcr_buffer planes;
    if (th_decode_ycbcr_out(mDecoder, planes) != 0)
        return;
    const int xShift = (mPixelFormat & 1) ? 0 : 1;  // 4:2:0 and 4:2:2 halve the chroma width
    const int yShift = (mPixelFormat & 2) ? 0 : 1;  // 4:2:0 halves its height
    for (int y = 0; y < mHeight; ++y) {
        const int row = mPictureY + y;
        const unsigned char* luma = planes[0].data + std::ptrdiff_t(row) * planes[0].stride + mPictureX;
        const unsigned char* cb = planes[1].data + std::ptrdiff_t(row >> yShift) * planes[1].stride;
        const unsigned char* cr = planes[2].data + std::ptrdiff_t(row >> yShift) * planes[2].stride;
        std::uint8_t* out = &mPixels[size_t(y) * mWidth * 4];
        for (int x = 0; x < mWidth; ++x, out += 4) {
            // BT.601 studio range to full-range R'G'B'.
            const int c = 298 * (luma[x] - 16);
            const int d = cb[(mPictureX + x) >> xShift] - 128;
            const int e = cr[(mPictureX + x) >> xShift] - 128;
            out[0] = Clamp8((c + 516 * d + 128) >> 8);
            out[1] = Clamp8((c - 100 * d - 208 * e + 128) >> 8);
            out[2] = Clamp8((c + 409 * e + 128) >> 8);
            out[3] = 255;
        }
    }
}
