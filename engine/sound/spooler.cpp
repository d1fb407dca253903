#include "engine/sound/spooler.h"

#include <algorithm>
#include <cstring>

TMemSpooler::TMemSpooler(std::shared_ptr<const TPcm> pcm)
    : mPcm(std::move(pcm))
{
}

bool TMemSpooler::StreamToBuffer(int size, void* dst, unsigned int* written, bool loop)
{
    auto* out = static_cast<unsigned char*>(dst);
    std::memset(out, 0, static_cast<size_t>(std::max(size, 0)));
    const int length = mPcm ? mPcm->Bytes() : 0;
    const auto* source = mPcm ? reinterpret_cast<const unsigned char*>(mPcm->samples.data()) : nullptr;
    unsigned int total = 0;
    int remaining = std::max(size, 0);
    // A loop wraps as often as the buffer needs; an empty source cannot wrap
    // (it would never fill anything), so it simply ends.
    for (;;) {
        int count = std::min(remaining, length - mPosition);
        if (count > 0) {
            std::memcpy(out + total, source + mPosition, static_cast<size_t>(count));
            mPosition += count;
            total += static_cast<unsigned int>(count);
            remaining -= count;
        }
        if (mPosition < length) {
            if (written)
                *written = total;
            return true;
        }
        if (!loop || length == 0) {
            if (written)
                *written = total;
            return false;
        }
        mPosition = 0;
        if (remaining == 0) {
            if (written)
                *written = total;
            return true;
        }
    }
}

void TMemSpooler::SetPosition(float seconds)
{
    if (!mPcm)
        return;
    int position = static_cast<int>(2.0 * seconds * mPcm->rate * mPcm->channels);
    int frameBytes = 2 * mPcm->channels;
    position -= position % frameBytes;  // never split a frame
    mPosition = std::clamp(position, 0, mPcm->Bytes());
}
