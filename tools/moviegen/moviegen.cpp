#include "tools/moviegen/moviegen.h"

#include <theora/theoraenc.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <memory>
#include <numbers>

namespace {

// A finished Ogg page and the time (seconds) at which its last packet ends,
// so that the two tracks can be interleaved in time order.
struct TTimedPage {
    double time = 0;
    std::vector<std::uint8_t> bytes;
};

void AddPage(std::vector<TTimedPage>& pages, const ogg_page& page, double time)
{
    TTimedPage out;
    out.time = time;
    out.bytes.assign(page.header, page.header + page.header_len);
    out.bytes.insert(out.bytes.end(), page.body, page.body + page.body_len);
    pages.push_back(std::move(out));
}

std::uint8_t Clamp(int v)
{
    return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
}

// B, G, R, A picture to 4:2:0 Y'CbCr (BT.601, studio range) in planes of
// the encoder's frame size; the picture sits at the top left.
struct TPlanes {
    int width, height;  // frame size, multiples of 16
    std::vector<std::uint8_t> y, cb, cr;

    TPlanes(int w, int h) : width(w), height(h), y(size_t(w) * h, 16), cb(size_t(w / 2) * (h / 2), 128),
                             cr(size_t(w / 2) * (h / 2), 128) {}

    void Convert(const std::vector<std::uint8_t>& bgra, int picWidth, int picHeight)
    {
        auto at = [&](int x, int yy) {
            x = std::min(x, picWidth - 1);
            yy = std::min(yy, picHeight - 1);
            return &bgra[(size_t(yy) * picWidth + x) * 4];
        };
        for (int row = 0; row < picHeight; ++row)
            for (int x = 0; x < picWidth; ++x) {
                const std::uint8_t* p = at(x, row);
                y[size_t(row) * width + x] = Clamp(((66 * p[2] + 129 * p[1] + 25 * p[0] + 128) >> 8) + 16);
            }
        for (int row = 0; row < (picHeight + 1) / 2; ++row)
            for (int x = 0; x < (picWidth + 1) / 2; ++x) {
                int r = 0, g = 0, b = 0;
                for (int k = 0; k < 4; ++k) {
                    const std::uint8_t* p = at(2 * x + (k & 1), 2 * row + (k >> 1));
                    b += p[0];
                    g += p[1];
                    r += p[2];
                }
                r /= 4, g /= 4, b /= 4;
                cb[size_t(row) * (width / 2) + x] = Clamp(((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128);
                cr[size_t(row) * (width / 2) + x] = Clamp(((112 * r - 94 * g - 18 * b + 128) >> 8) + 128);
            }
    }

    void Fill(th_ycbcr_buffer buffer)
    {
        std::uint8_t* planes[3] = {y.data(), cb.data(), cr.data()};
        for (int i = 0; i < 3; ++i) {
            buffer[i].width = i == 0 ? width : width / 2;
            buffer[i].height = i == 0 ? height : height / 2;
            buffer[i].stride = buffer[i].width;
            buffer[i].data = planes[i];
        }
    }
};

class TVideoTrack {
public:
    explicit TVideoTrack(const TMovieSpec& spec) : mSpec(spec)
    {
        th_info_init(&mInfo);
        mInfo.frame_width = static_cast<ogg_uint32_t>((spec.width + 15) & ~15);
        mInfo.frame_height = static_cast<ogg_uint32_t>((spec.height + 15) & ~15);
        mInfo.pic_width = static_cast<ogg_uint32_t>(spec.width);
        mInfo.pic_height = static_cast<ogg_uint32_t>(spec.height);
        mInfo.fps_numerator = static_cast<ogg_uint32_t>(spec.fpsNumerator);
        mInfo.fps_denominator = static_cast<ogg_uint32_t>(spec.fpsDenominator);
        mInfo.aspect_numerator = 1;
        mInfo.aspect_denominator = 1;
        mInfo.colorspace = TH_CS_UNSPECIFIED;
        mInfo.pixel_fmt = TH_PF_420;
        mInfo.quality = std::clamp(spec.quality, 0, 63);
        mInfo.keyframe_granule_shift = 6;
        mEncoder = th_encode_alloc(&mInfo);
        ogg_stream_init(&mStream, 0x7468);  // fixed serials keep the output byte-identical
    }
    ~TVideoTrack()
    {
        if (mEncoder)
            th_encode_free(mEncoder);
        th_info_clear(&mInfo);
        ogg_stream_clear(&mStream);
    }
    TVideoTrack(const TVideoTrack&) = delete;
    TVideoTrack& operator=(const TVideoTrack&) = delete;

    bool Ok() const { return mEncoder != nullptr; }

    // The first page (alone, as Ogg wants the first pages of all tracks
    // before any other) and the rest of the headers.
    void Headers(std::vector<TTimedPage>& first, std::vector<TTimedPage>& rest)
    {
        th_comment comment;
        th_comment_init(&comment);
        ogg_packet packet;
        bool firstPacket = true;
        while (th_encode_flushheader(mEncoder, &comment, &packet) > 0) {
            ogg_stream_packetin(&mStream, &packet);
            if (firstPacket)
                Flush(first, 0);
            firstPacket = false;
        }
        Flush(rest, 0);
        th_comment_clear(&comment);
    }

    bool Encode(const TFramePainter& paint, std::vector<TTimedPage>& pages)
    {
        std::vector<std::uint8_t> bgra(size_t(mSpec.width) * mSpec.height * 4);
        TPlanes planes(static_cast<int>(mInfo.frame_width), static_cast<int>(mInfo.frame_height));
        for (int i = 0; i < mSpec.frames; ++i) {
            std::fill(bgra.begin(), bgra.end(), 0);
            paint(i, bgra);
            planes.Convert(bgra, mSpec.width, mSpec.height);
            th_ycbcr_buffer buffer;
            planes.Fill(buffer);
            if (th_encode_ycbcr_in(mEncoder, buffer) != 0)
                return false;
            ogg_packet packet;
            while (th_encode_packetout(mEncoder, i + 1 == mSpec.frames, &packet) > 0) {
                ogg_stream_packetin(&mStream, &packet);
                ogg_page page;
                while (ogg_stream_pageout(&mStream, &page) != 0)
                    AddPage(pages, page, th_granule_time(mEncoder, ogg_page_granulepos(&page)));
            }
        }
        Flush(pages, double(mSpec.frames) * mSpec.fpsDenominator / mSpec.fpsNumerator);
        return true;
    }

private:
    void Flush(std::vector<TTimedPage>& pages, double time)
    {
        ogg_page page;
        while (ogg_stream_flush(&mStream, &page) != 0)
            AddPage(pages, page, time);
    }

    TMovieSpec mSpec;
    th_info mInfo;
    th_enc_ctx* mEncoder = nullptr;
    ogg_stream_state mStream;
};

class TSoundTrack {
public:
    explicit TSoundTrack(const TMovieSpec& spec) : mSpec(spec)
    {
        vorbis_info_init(&mInfo);
        mOk = vorbis_encode_init_vbr(&mInfo, spec.soundChannels, spec.soundRate, 0.3f) == 0;
        vorbis_comment_init(&mComment);
        if (mOk) {
            vorbis_analysis_init(&mDsp, &mInfo);
            vorbis_block_init(&mDsp, &mBlock);
        }
        ogg_stream_init(&mStream, 0x766f);
    }
    ~TSoundTrack()
    {
        ogg_stream_clear(&mStream);
        if (mOk) {
            vorbis_block_clear(&mBlock);
            vorbis_dsp_clear(&mDsp);
        }
        vorbis_comment_clear(&mComment);
        vorbis_info_clear(&mInfo);
    }
    TSoundTrack(const TSoundTrack&) = delete;
    TSoundTrack& operator=(const TSoundTrack&) = delete;

    bool Ok() const { return mOk; }

    void Headers(std::vector<TTimedPage>& first, std::vector<TTimedPage>& rest)
    {
        ogg_packet header, comment, code;
        vorbis_analysis_headerout(&mDsp, &mComment, &header, &comment, &code);
        ogg_stream_packetin(&mStream, &header);
        Flush(first, 0);
        ogg_stream_packetin(&mStream, &comment);
        ogg_stream_packetin(&mStream, &code);
        Flush(rest, 0);
    }

    void Encode(const TSampleSource& sample, std::vector<TTimedPage>& pages)
    {
        const double seconds = double(mSpec.frames) * mSpec.fpsDenominator / mSpec.fpsNumerator;
        const long total = std::lround(seconds * mSpec.soundRate);
        const long chunk = 1024;
        for (long done = 0; done < total; done += chunk) {
            const long count = std::min(chunk, total - done);
            float** buffer = vorbis_analysis_buffer(&mDsp, static_cast<int>(count));
            for (long i = 0; i < count; ++i)
                for (int c = 0; c < mSpec.soundChannels; ++c)
                    buffer[c][i] = sample ? std::clamp(sample(c, double(done + i) / mSpec.soundRate), -1.0f, 1.0f)
                                          : 0.0f;
            vorbis_analysis_wrote(&mDsp, static_cast<int>(count));
            Drain(pages);
        }
        vorbis_analysis_wrote(&mDsp, 0);
        Drain(pages);
        Flush(pages, seconds);
    }

private:
    void Drain(std::vector<TTimedPage>& pages)
    {
        while (vorbis_analysis_blockout(&mDsp, &mBlock) == 1) {
            vorbis_analysis(&mBlock, nullptr);
            vorbis_bitrate_addblock(&mBlock);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&mDsp, &packet)) {
                ogg_stream_packetin(&mStream, &packet);
                ogg_page page;
                while (ogg_stream_pageout(&mStream, &page) != 0)
                    AddPage(pages, page, double(ogg_page_granulepos(&page)) / mSpec.soundRate);
            }
        }
    }
    void Flush(std::vector<TTimedPage>& pages, double time)
    {
        ogg_page page;
        while (ogg_stream_flush(&mStream, &page) != 0)
            AddPage(pages, page, time);
    }

    TMovieSpec mSpec;
    bool mOk = false;
    vorbis_info mInfo;
    vorbis_comment mComment;
    vorbis_dsp_state mDsp;
    vorbis_block mBlock;
    ogg_stream_state mStream;
};

bool WritePages(std::FILE* file, const std::vector<TTimedPage>& pages)
{
    bool ok = true;
    for (const TTimedPage& page : pages)
        ok = std::fwrite(page.bytes.data(), 1, page.bytes.size(), file) == page.bytes.size() && ok;
    return ok;
}

}  // namespace

bool WriteMovie(const std::string& path, const TMovieSpec& spec, const TFramePainter& paint,
                const TSampleSource& sample)
{
    if (spec.width <= 0 || spec.height <= 0 || spec.width > 4096 || spec.height > 4096 || spec.frames < 0 ||
        spec.fpsNumerator <= 0 || spec.fpsDenominator <= 0)
        return false;
    TVideoTrack video(spec);
    if (!video.Ok())
        return false;
    std::unique_ptr<TSoundTrack> sound = spec.sound ? std::make_unique<TSoundTrack>(spec) : nullptr;
    if (sound && !sound->Ok())
        return false;

    std::vector<TTimedPage> first, headers, videoPages, soundPages;
    video.Headers(first, headers);
    if (sound)
        sound->Headers(first, headers);
    if (!video.Encode(paint, videoPages))
        return false;
    if (sound)
        sound->Encode(sample, soundPages);

    // Data pages of both tracks in time order; a stable merge keeps each
    // track's own order.
    std::vector<TTimedPage> data;
    std::merge(videoPages.begin(), videoPages.end(), soundPages.begin(), soundPages.end(), std::back_inserter(data),
               [](const TTimedPage& a, const TTimedPage& b) { return a.time < b.time; });

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = WritePages(file, first) && WritePages(file, headers) && WritePages(file, data);
    return std::fclose(file) == 0 && ok;
}

bool WriteColourMovie(const std::string& path, const TMovieSpec& spec, const std::vector<TRgb>& colours)
{
    if (colours.empty())
        return false;
    auto paint = [&](int frame, std::vector<std::uint8_t>& bgra) {
        const TRgb c = colours[size_t(frame) % colours.size()];
        for (size_t i = 0; i + 3 < bgra.size(); i += 4) {
            bgra[i] = c.b;
            bgra[i + 1] = c.g;
            bgra[i + 2] = c.r;
            bgra[i + 3] = 255;
        }
    };
    auto tone = [](int channel, double t) {
        return 0.25f * static_cast<float>(std::sin(2 * std::numbers::pi * (channel ? 660.0 : 440.0) * t));
    };
    return WriteMovie(path, spec, paint, tone);
}
