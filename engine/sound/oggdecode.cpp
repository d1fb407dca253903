#include "engine/sound/oggdecode.h"

#include "engine/base/debuglog.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Consecutive holes tolerated before the data is taken as broken.
constexpr int kMaxHolesInARow = 64;

// Whether the last page of `bytes` says the stream ends there (the
// end-of-stream flag of its header): a file cut short ends on a page without
// it. Bytes without a page count as whole.
bool EndsWithStreamEnd(const unsigned char* bytes, long size)
{
    for (long i = size - 6; i >= 0; --i) {
        if (bytes[i] == 'O' && bytes[i + 1] == 'g' && bytes[i + 2] == 'g' && bytes[i + 3] == 'S')
            return (bytes[i + 5] & 0x04) != 0;  // version byte, then the header type
    }
    return true;
}

// The same for a file, whose read position is put back; a file that cannot
// be looked at counts as whole.
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
    return !read || EndsWithStreamEnd(bytes.data(), tail);
}

// The PCM size the file announces: its length plus a tenth of a second of slack.
long long AnnouncedBytes(double seconds, int channels, int rate)
{
    return static_cast<long long>(2.0 * (seconds + 0.1) * channels * rate);
}

// One read of the decoder into dst: the bytes of PCM it gave (whole frames),
// or 0 where the sound ends: the end of the data, a decoding error (what came
// before it is kept) or a chained part of another layout (which cannot share
// the first part's samples). Holes in the data are stepped over. Problems are
// named when there is a name.
long ReadStep(OggVorbis_File* decoder, char* dst, int size, const vorbis_info& first, int* holes, const char* name,
              long long filled)
{
    for (;;) {
        int section = 0;
        const long got = ov_read(decoder, dst, size, 0, 2, 1, &section);
        if (got == 0)
            return 0;
        if (got == OV_HOLE && ++*holes <= kMaxHolesInARow)
            continue;
        if (got < 0) {
            if (name)
                WriteDbg("OGG decoding error %ld in %s: keeping the %lld bytes before it", got, name, filled);
            return 0;
        }
        *holes = 0;
        const vorbis_info* now = ov_info(decoder, section);
        if (!now || now->channels != first.channels || now->rate != first.rate) {
            if (name)
                WriteDbg("OGG file changes format midway: %s", name);
            return 0;
        }
        return got;
    }
}

// The decoder's limit for a file: what its headers announce plus some slack,
// in whole frames; -1 when there is no usable length or it is too long.
long long CapacityBytes(OggVorbis_File* decoder, int channels, int rate)
{
    const double seconds = ov_time_total(decoder, -1);
    const long long capacity = seconds >= 0 ? AnnouncedBytes(seconds, channels, rate) : -1;
    if (capacity < 0 || capacity > kMaxPcmBytes)
        return -1;
    return capacity - capacity % (2 * channels);
}

// libvorbisfile reading from bytes in memory.
struct TMemoryReader {
    const unsigned char* data = nullptr;
    size_t size = 0;
    size_t at = 0;
};

size_t MemoryRead(void* dst, size_t size, size_t count, void* source)
{
    auto* reader = static_cast<TMemoryReader*>(source);
    if (size == 0)
        return 0;
    const size_t items = std::min(count, (reader->size - reader->at) / size);
    std::memcpy(dst, reader->data + reader->at, items * size);
    reader->at += items * size;
    return items;
}

int MemorySeek(void* source, ogg_int64_t offset, int whence)
{
    auto* reader = static_cast<TMemoryReader*>(source);
    ogg_int64_t base = 0;
    if (whence == SEEK_CUR)
        base = static_cast<ogg_int64_t>(reader->at);
    else if (whence == SEEK_END)
        base = static_cast<ogg_int64_t>(reader->size);
    const ogg_int64_t to = base + offset;
    if (to < 0 || to > static_cast<ogg_int64_t>(reader->size))
        return -1;
    reader->at = static_cast<size_t>(to);
    return 0;
}

// What a whole decode and a stream both check of an opened file: a stream
// with channels and a rate, and a length the sample limit holds.
struct TOggFormat {
    const vorbis_info* info = nullptr;
    int channels = 0;
    int rate = 0;
    long long capacity = 0;
};

EOggDecode ReadFormat(OggVorbis_File* decoder, TOggFormat* out)
{
    const vorbis_info* info = ov_info(decoder, -1);
    if (!info || info->channels < 1 || info->rate < 1)
        return EOggDecode::kNotVorbis;
    out->info = info;
    out->channels = info->channels;
    out->rate = static_cast<int>(info->rate);
    out->capacity = CapacityBytes(decoder, out->channels, out->rate);
    return out->capacity < 0 ? EOggDecode::kTooLong : EOggDecode::kOk;
}

long MemoryTell(void* source) { return static_cast<long>(static_cast<TMemoryReader*>(source)->at); }

const ov_callbacks kMemoryCallbacks = {MemoryRead, MemorySeek, nullptr, MemoryTell};

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
    TOggFormat format;
    if (const EOggDecode refused = ReadFormat(&decoder, &format); refused != EOggDecode::kOk) {
        ov_clear(&decoder);
        return refused;
    }
    const vorbis_info* info = format.info;
    const int channels = format.channels;
    const int rate = format.rate;
    const int frameBytes = 2 * channels;
    const long long capacity = format.capacity;

    std::vector<int16_t> samples(static_cast<size_t>(capacity / 2));
    char* block = reinterpret_cast<char*>(samples.data());
    long long filled = 0;
    int holes = 0;
    while (filled < capacity) {
        const long got =
            ReadStep(&decoder, block + filled, static_cast<int>(capacity - filled), *info, &holes, name, filled);
        if (got <= 0)
            break;
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

// ---------------------------------------------------------------- streaming

EOggDecode ProbeOgg(std::FILE* file, const char* name, TOggFile* out)
{
    std::vector<unsigned char> bytes;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        size = std::ftell(file);
    if (size > 0 && std::fseek(file, 0, SEEK_SET) == 0) {
        bytes.resize(static_cast<size_t>(size));
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    }
    std::fclose(file);

    TMemoryReader reader{bytes.data(), bytes.size(), 0};
    OggVorbis_File decoder;
    if (ov_open_callbacks(&reader, &decoder, nullptr, 0, kMemoryCallbacks) != 0)
        return EOggDecode::kNotVorbis;
    TOggFormat format;
    if (const EOggDecode refused = ReadFormat(&decoder, &format); refused != EOggDecode::kOk) {
        ov_clear(&decoder);
        return refused;
    }
    const vorbis_info* info = format.info;
    const int channels = format.channels;
    const int rate = format.rate;
    const long long capacity = format.capacity;
    // A looping stream of a sound without a single sample would never get on.
    std::vector<char> first(static_cast<size_t>(4096 * channels));
    int holes = 0;
    const long got = ReadStep(&decoder, first.data(), static_cast<int>(first.size()), *info, &holes, name, 0);
    const long long frames = std::min<long long>(ov_pcm_total(&decoder, -1), capacity / (2 * channels));
    ov_clear(&decoder);
    if (got <= 0 || frames <= 0)
        return EOggDecode::kEmpty;
    if (!EndsWithStreamEnd(bytes.data(), static_cast<long>(bytes.size())))
        WriteDbg("OGG file %s is cut short: it ends without the end of its stream; %lld frames kept", name, frames);
    out->bytes = std::move(bytes);
    out->rate = rate;
    out->channels = channels;
    out->frames = frames;
    out->capacity = capacity;
    return EOggDecode::kOk;
}

struct TOggSpooler::TDecoder {
    TMemoryReader reader;
    OggVorbis_File file;
    vorbis_info first{};
    int holes = 0;
    bool open = false;  // libvorbisfile clears a file it failed to open itself

    explicit TDecoder(const TOggFile& bytes)
        : reader{bytes.bytes.data(), bytes.bytes.size(), 0}
    {
    }
    ~TDecoder()
    {
        if (open)
            ov_clear(&file);
    }
    TDecoder(const TDecoder&) = delete;
    TDecoder& operator=(const TDecoder&) = delete;
};

TOggSpooler::TOggSpooler(std::shared_ptr<const TOggFile> file)
    : mFile(std::move(file))
{
    Rewind();
}

TOggSpooler::~TOggSpooler() = default;

bool TOggSpooler::Rewind()
{
    // A fresh decoder rather than a seek: the samples are then exactly those
    // of a decode from the start.
    mDecoder.reset();
    mPosition = 0;
    mEnded = true;
    if (!mFile)
        return false;
    auto decoder = std::make_unique<TDecoder>(*mFile);
    if (ov_open_callbacks(&decoder->reader, &decoder->file, nullptr, 0, kMemoryCallbacks) != 0)
        return false;
    decoder->open = true;
    const vorbis_info* info = ov_info(&decoder->file, -1);
    if (!info)
        return false;
    decoder->first = *info;
    mDecoder = std::move(decoder);
    mEnded = false;
    return true;
}

int TOggSpooler::Decode(unsigned char* dst, int size)
{
    int total = 0;
    while (!mEnded && total < size) {
        const long long room = std::min<long long>(size - total, mFile->capacity - mPosition);
        const long got = room > 0 ? ReadStep(&mDecoder->file, reinterpret_cast<char*>(dst + total),
                                             static_cast<int>(room), mDecoder->first, &mDecoder->holes, nullptr, 0)
                                  : 0;
        if (got <= 0) {
            mEnded = true;
            break;
        }
        total += static_cast<int>(got);
        mPosition += got;
    }
    return total;
}

bool TOggSpooler::StreamToBuffer(int size, void* dst, unsigned int* written, bool loop)
{
    auto* out = static_cast<unsigned char*>(dst);
    std::memset(out, 0, static_cast<size_t>(std::max(size, 0)));
    const int frameBytes = mFile ? 2 * std::max(mFile->channels, 1) : 2;
    int remaining = std::max(size, 0);
    remaining -= remaining % frameBytes;  // libvorbisfile hands out whole frames only
    int total = 0;
    bool progress = true;  // since the last rewind: a loop of nothing would never end
    for (;;) {
        const int got = Decode(out + total, remaining);
        total += got;
        remaining -= got;
        progress = progress || got > 0;
        if (!mEnded) {
            if (written)
                *written = static_cast<unsigned int>(total);
            return true;
        }
        if (!loop || !progress || !Rewind()) {
            if (written)
                *written = static_cast<unsigned int>(total);
            return false;
        }
        progress = false;
        if (remaining == 0) {
            if (written)
                *written = static_cast<unsigned int>(total);
            return true;
        }
    }
}

void TOggSpooler::SetPosition(float seconds)
{
    if (seconds <= 0 || !mDecoder) {
        // Freshly opened decoders are already at the start.
        if (mPosition != 0 || !mDecoder)
            Rewind();
        return;
    }
    const long long frame = std::min<long long>(static_cast<long long>(double(seconds) * mFile->rate), mFile->frames);
    if (ov_pcm_seek(&mDecoder->file, frame) != 0) {
        mEnded = true;
        return;
    }
    mPosition = frame * 2 * mFile->channels;
    mEnded = false;
}
