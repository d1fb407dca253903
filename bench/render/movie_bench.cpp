// Movie pictures at 800x600: decoding one (Theora to B, G, R, A) and
// uploading it to the streaming texture on the GL handler, apart and
// together. Reports milliseconds per picture. The movie, a moving pattern,
// is encoded by moviegen when the benchmark starts.
#include "engine/render/gl/gldisplayhandler.h"
#include "engine/render/texture.h"
#include "engine/render/theoramovie.h"
#include "tools/moviegen/moviegen.h"

#include "glcontext.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

// Thirty pictures of soft gradients with a disc crossing them: enough
// change between pictures that the decoder does real work.
std::unique_ptr<TTheoraMovie> MakeMovie()
{
    TMovieSpec spec;
    spec.width = 800;
    spec.height = 600;
    spec.fpsNumerator = 30;
    spec.frames = 30;
    spec.quality = 48;
    spec.sound = false;
    // (a name of this run's own: another user's run may have left one)
    std::string made = (std::filesystem::temp_directory_path() / "qm_movie_bench_XXXXXX").string();
    const int fd = ::mkstemp(made.data());
    if (fd < 0)
        return nullptr;
    ::close(fd);
    const char* path = made.c_str();
    auto paint = [](int frame, std::vector<std::uint8_t>& bgra) {
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x) {
                std::uint8_t* p = &bgra[(size_t(y) * 800 + x) * 4];
                const bool disc = std::hypot(x - 100 - frame * 20, y - 300) < 120;
                p[0] = std::uint8_t(disc ? 40 : (x + frame * 3) / 4);
                p[1] = std::uint8_t(disc ? 200 : y / 3);
                p[2] = std::uint8_t(disc ? 250 : 128 + ((x ^ y) & 31));
                p[3] = 255;
            }
    };
    if (!WriteMovie(path, spec, paint))
        return nullptr;
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path);
    return TTheoraMovie::Open(bytes);
}

void NextPicture(TTheoraMovie& movie)
{
    if (!movie.DecodeNext(true)) {
        movie.Rewind();
        movie.DecodeNext(true);
    }
}

void Upload(const TTheoraMovie& movie, TTexture& texture)
{
    unsigned char* pixels;
    int w, h, pitch;
    if (!texture.Lock(&pixels, &w, &h, &pitch))
        return;
    for (int y = 0; y < 600; ++y)
        std::memcpy(pixels + size_t(y) * pitch, &movie.Pixels()[size_t(y) * 800 * 4], 800 * 4);
    texture.Unlock();
}

void BM_MovieDecode800x600(benchmark::State& state)
{
    auto movie = MakeMovie();
    if (!movie) {
        state.SkipWithError("no movie");
        return;
    }
    for (auto _ : state)
        NextPicture(*movie);
}
BENCHMARK(BM_MovieDecode800x600)->Unit(benchmark::kMillisecond);

// Decode (arg 1) or not (arg 0), then upload and finish the GL work.
void BM_MovieUpload800x600(benchmark::State& state)
{
    TestGLContext context;
    if (!context.Ok()) {
        state.SkipWithError(context.Error().c_str());
        return;
    }
    auto movie = MakeMovie();
    if (!movie) {
        state.SkipWithError("no movie");
        return;
    }
    TAssetManager assets;
    TGLDisplayHandler handler;
    handler.SetDisplay(800, 600, false, false, false, false);
    auto texture = TTexture::Create(800, 600, true);
    NextPicture(*movie);
    for (auto _ : state) {
        if (state.range(0))
            NextPicture(*movie);
        Upload(*movie, *texture);
        glFinish();
    }
    texture.reset();
}
BENCHMARK(BM_MovieUpload800x600)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
