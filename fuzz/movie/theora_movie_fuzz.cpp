// Any bytes opened as a movie: refused, or every picture decodes and
// converts (twice, across a rewind) within the picture's own pixels, and the
// sound track holds whole frames.
#include "engine/render/theoramovie.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto movie = TTheoraMovie::Open(std::vector<std::uint8_t>(data, data + size));
    if (!movie)
        return 0;
    if (movie->Width() < 1 || movie->Height() < 1 || movie->FrameCount() < 1 ||
        movie->Pixels().size() != size_t(movie->Width()) * movie->Height() * 4)
        std::abort();
    for (int pass = 0; pass < 2; ++pass) {
        while (movie->DecodeNext(true)) {
        }
        movie->Rewind();
    }
    if (movie->FrameAtMs(~0ull) != movie->FrameCount())
        std::abort();
    if (auto pcm = movie->Sound())
        if (pcm->channels < 1 || pcm->channels > 2 || pcm->samples.size() % size_t(pcm->channels) != 0)
            std::abort();
    return 0;
}
