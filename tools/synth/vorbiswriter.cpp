#include "vorbiswriter.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace synth {

namespace {

struct TFileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// libvorbis keeps its state in C structs; this owns them for one file.
class TEncoder {
public:
    TEncoder() { vorbis_info_init(&mInfo); }
    ~TEncoder()
    {
        if (mStarted) {
            ogg_stream_clear(&mStream);
            vorbis_block_clear(&mBlock);
            vorbis_dsp_clear(&mDsp);
            vorbis_comment_clear(&mComment);
        }
        vorbis_info_clear(&mInfo);
    }

    bool Start(std::FILE* file, int rate, double quality)
    {
        if (vorbis_encode_init_vbr(&mInfo, 1, rate, float(quality)) != 0)
            return false;
        vorbis_comment_init(&mComment);
        vorbis_analysis_init(&mDsp, &mInfo);
        vorbis_block_init(&mDsp, &mBlock);
        ogg_stream_init(&mStream, 1);
        mStarted = true;
        mFile = file;
        ogg_packet header, comment, code;
        vorbis_analysis_headerout(&mDsp, &mComment, &header, &comment, &code);
        ogg_stream_packetin(&mStream, &header);
        ogg_stream_packetin(&mStream, &comment);
        ogg_stream_packetin(&mStream, &code);
        ogg_page page;
        while (ogg_stream_flush(&mStream, &page) != 0)
            mOk = Write(page) && mOk;
        return mOk;
    }

    void Feed(const float* samples, int count)
    {
        float** buffer = vorbis_analysis_buffer(&mDsp, count);
        std::copy(samples, samples + count, buffer[0]);
        vorbis_analysis_wrote(&mDsp, count);
        Drain();
    }

    bool Finish()
    {
        vorbis_analysis_wrote(&mDsp, 0);
        Drain();
        return mOk;
    }

private:
    bool Write(const ogg_page& page)
    {
        return std::fwrite(page.header, 1, std::size_t(page.header_len), mFile) == std::size_t(page.header_len) &&
               std::fwrite(page.body, 1, std::size_t(page.body_len), mFile) == std::size_t(page.body_len);
    }

    void Drain()
    {
        while (vorbis_analysis_blockout(&mDsp, &mBlock) == 1) {
            vorbis_analysis(&mBlock, nullptr);
            vorbis_bitrate_addblock(&mBlock);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&mDsp, &packet)) {
                ogg_stream_packetin(&mStream, &packet);
                ogg_page page;
                // The last packet carries end-of-stream, which forces its page out here.
                while (ogg_stream_pageout(&mStream, &page) != 0)
                    mOk = Write(page) && mOk;
            }
        }
    }

    vorbis_info mInfo;
    vorbis_comment mComment{};
    vorbis_dsp_state mDsp{};
    vorbis_block mBlock{};
    ogg_stream_state mStream{};
    std::FILE* mFile = nullptr;
    bool mStarted = false, mOk = true;
};

}  // namespace

bool WriteVorbis(const std::string& path, const std::vector<float>& samples, int rate, double quality,
                 std::string* error)
{
    std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        *error = "cannot write " + path;
        return false;
    }
    TEncoder encoder;
    if (!encoder.Start(file.get(), rate, quality)) {
        *error = "the Vorbis encoder refused " + std::to_string(rate) + " Hz at quality " + std::to_string(quality);
        return false;
    }
    constexpr std::size_t kChunk = 4096;
    for (std::size_t at = 0; at < samples.size(); at += kChunk)
        encoder.Feed(samples.data() + at, int(std::min(kChunk, samples.size() - at)));
    bool ok = encoder.Finish();
    ok = std::fclose(file.release()) == 0 && ok;
    if (!ok)
        *error = "writing " + path + " failed";
    return ok;
}

}  // namespace synth
