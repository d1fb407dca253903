#include "tools/soundgen/soundgen.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

bool WritePage(std::FILE* file, const ogg_page& page)
{
    return std::fwrite(page.header, 1, static_cast<size_t>(page.header_len), file) ==
               static_cast<size_t>(page.header_len) &&
           std::fwrite(page.body, 1, static_cast<size_t>(page.body_len), file) == static_cast<size_t>(page.body_len);
}

// Hands finished blocks to the stream and writes every page it completes.
bool Drain(vorbis_dsp_state& dsp, vorbis_block& block, ogg_stream_state& stream, std::FILE* file)
{
    bool ok = true;
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
        vorbis_analysis(&block, nullptr);
        vorbis_bitrate_addblock(&block);
        ogg_packet packet;
        while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
            ogg_stream_packetin(&stream, &packet);
            ogg_page page;
            while (ogg_stream_pageout(&stream, &page) != 0) {
                ok = WritePage(file, page) && ok;
                if (ogg_page_eos(&page))
                    break;
            }
        }
    }
    return ok;
}

}  // namespace

bool WriteToneOgg(const std::string& path, const TToneSpec& spec)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;

    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, spec.channels, spec.rate, spec.quality) != 0) {
        vorbis_info_clear(&info);
        std::fclose(file);
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);

    bool ok = true;
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0)
        ok = WritePage(file, page) && ok;

    const long frames = std::lround(spec.seconds * spec.rate);
    const long chunk = 1024;
    for (long done = 0; done < frames; done += chunk) {
        long count = std::min(chunk, frames - done);
        float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
        for (long i = 0; i < count; ++i) {
            double t = static_cast<double>(done + i) / spec.rate;
            for (int c = 0; c < spec.channels; ++c) {
                double f = spec.frequency * (c % 2 == 1 ? 2.0 : 1.0);
                buffer[c][i] = static_cast<float>(spec.amplitude * std::sin(2.0 * std::numbers::pi * f * t));
            }
        }
        vorbis_analysis_wrote(&dsp, static_cast<int>(count));
        ok = Drain(dsp, block, stream, file) && ok;
    }
    vorbis_analysis_wrote(&dsp, 0);  // end of stream
    ok = Drain(dsp, block, stream, file) && ok;

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    ok = std::fclose(file) == 0 && ok;
    return ok;
}
