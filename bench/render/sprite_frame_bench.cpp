// A typical 2D frame on the GL handler: clear, 500 alpha-blended 64x64
// sprites, present. Reports frames per second. Runs on whatever GL the
// environment gives (llvmpipe under Xvfb or SDL's offscreen driver).
#include "engine/render/gl/gldisplayhandler.h"
#include "engine/render/texture.h"

#include "glcontext.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

void BM_SpriteFrame(benchmark::State& state)
{
    TestGLContext context;
    if (!context.Ok()) {
        state.SkipWithError(context.Error().c_str());
        return;
    }
    TAssetManager assets;
    TGLDisplayHandler handler;
    handler.SetDisplay(800, 600, false, false, false, false);
    auto sprite = TTexture::Create(64, 64, true);
    for (int ring = 0; ring < 8; ++ring) {
        TColor colour{ring / 8.0f, 1 - ring / 8.0f, 0.5f, 0.6f};
        handler.FillRect(ring * 4, ring * 4, 64 - ring * 4, 64 - ring * 4, &colour, sprite);
    }
    const int count = int(state.range(0));
    for (auto _ : state) {
        handler.BeginDraw(false);
        handler.Begin2d();
        for (int i = 0; i < count; ++i) {
            float x = float((i * 37) % 800);
            float y = float((i * 53) % 600);
            sprite->DrawSprite(x, y, 0.8f, 1.0f, float(i % 7) * 0.3f, i % 4);
        }
        handler.End2d();
        handler.EndDraw(false);
        glFinish();
        context.Swap();
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    sprite.reset();
}

BENCHMARK(BM_SpriteFrame)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
