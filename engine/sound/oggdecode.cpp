#include "engine/sound/oggdecode.h"

#include "engine/base/debuglog.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Consecutive holes tolerated before the data is taken as broken.
constexpr int kMaxHolesInARow = 64;

// Whether the file's last page says the stream ends there (the end-of-stream
// flag of its header): a file cut short ends on a page without it. The read
// position is put back; a file that cannot be looked at counts as whole.
bool EndsWithStreamEnd(std::FILE* file)
{
    const long at = std::ftell(file);
    if (at < 0 || std::fseek(file, 0, SEEK_END) != 0)
        return true;
    const long size = std::ftell(file);
    // A page is at most some 64 KiB: its header lies within the last ones.
    const long tail = std::min<long>(size, 140000);
    std::vector<unsigned char> bytes(static_cast<size_t>(tail));
    const bool read = std::fseek(file, size - tail, SEEK_SET) == 0 &&
                      std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    std::fseek(file, at, SEEK_SET);
    if (!read)
        return true;
    for (long i = tail - 6; i >= 0; --i) {
        if (bytes[size_t(i)] == 'O' && bytes[size_t(i) + 1] == 'g' && bytes[size_t(i) + 2] == 'g' &&
            bytes[size_t(i) + 3] == 'S')
            return (bytes[size_t(i) + 5] & 0x04) != 0;  // version byte, then the header type
    }
    return true;
}

// The PCM size the file announces: its length plus a tenth of a second of slack.
long long AnnouncedBytes(double seconds, int channels, int rate)
{
    return static_cast<long long>(2.0 * (seconds + 0.1) * channels * rate);
}

}  // namespace

EOggDecode DecodeOgg(std::FILE* file, const char* name, TPcm* out)
{
    const bool whole = EndsWithStreamEnd(file);
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
    // What there is still plays; the file is named so the cut is not taken for the sound.
    if (!whole)
        WriteDbg("OGG file %s is cut short: it ends without the end of its stream; %lld frames kept", name,
                 filled / frameBytes);
    samples.resize(static_cast<size_t>(filled / 2));
    out->samples = std::move(samples);
    out->rate = rate;
    out->channels = channels;
    return EOggDecode::kOk;
}
