#include "engine/sound/oggdecode.h"

#include "engine/base/debuglog.h"

#include <vorbis/vorbisfile.h>

namespace {

// Consecutive holes tolerated before the data is taken as broken.
constexpr int kMaxHolesInARow = 64;

// The PCM size the file announces: its length plus a tenth of a second of slack.
long long AnnouncedBytes(double seconds, int channels, int rate)
{
    return static_cast<long long>(2.0 * (seconds + 0.1) * channels * rate);
}

}  // namespace

EOggDecode DecodeOgg(std::FILE* file, const char* name, TPcm* out)
{
    OggVorbis_File decoder;
    if (ov_open(file, &decoder, nullptr, 0) != 0) {
        std::fclose(file);
        return EOggDecode::kNotVorbis;
    }
    // From here on ov_clear closes the file.
    const vorbis_info* info = ov_info(&decoder, -1);
    const double seconds = ov_time_total(&decoder, -1);
    if (!info || info->channels < 1 || info->rate < 1) {
        ov_clear(&decoder);
        return EOggDecode::kNotVorbis;
    }
    const int channels = info->channels;
    const int rate = static_cast<int>(info->rate);
    const int frameBytes = 2 * channels;
    long long capacity = seconds >= 0 ? AnnouncedBytes(seconds, channels, rate) : -1;
    if (capacity < 0 || capacity > kMaxPcmBytes) {
        ov_clear(&decoder);
        return EOggDecode::kTooLong;
    }
    capacity -= capacity % frameBytes;

    std::vector<int16_t> samples(static_cast<size_t>(capacity / 2));
    char* block = reinterpret_cast<char*>(samples.data());
    long long filled = 0;
    int holes = 0;
    while (filled < capacity) {
        int section = 0;
        long got = ov_read(&decoder, block + filled, static_cast<int>(capacity - filled), 0, 2, 1, &section);
        if (got == 0)
            break;
        if (got == OV_HOLE && ++holes <= kMaxHolesInARow)
            continue;
        if (got < 0) {
            WriteDbg("OGG decoding error %ld in %s: keeping the %lld bytes before it", got, name, filled);
            break;
        }
        holes = 0;
        // A chained file whose later part has another layout cannot share
        // this block; keep the first part.
        const vorbis_info* now = ov_info(&decoder, section);
        if (!now || now->channels != channels || now->rate != info->rate) {
            WriteDbg("OGG file changes format midway: %s", name);
            break;
        }
        filled += got;
    }
    ov_clear(&decoder);

    filled -= filled % frameBytes;
    if (filled == 0)
        return EOggDecode::kEmpty;
    samples.resize(static_cast<size_t>(filled / 2));
    out->samples = std::move(samples);
    out->rate = rate;
    out->channels = channels;
    return EOggDecode::kOk;
}
