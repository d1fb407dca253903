// The mixer's cost per device buffer (1024 frames, as the SDL output asks
// for), by number of playing channels, at the device rate and resampled.
#include "engine/sound/mixer.h"
#include "engine/sound/spooler.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

std::shared_ptr<TPcm> Tone(int rate, int channels, double seconds)
{
    auto pcm = std::make_shared<TPcm>();
    pcm->rate = rate;
    pcm->channels = channels;
    int frames = static_cast<int>(rate * seconds);
    for (int i = 0; i < frames * channels; ++i)
        pcm->samples.push_back(static_cast<int16_t>(12000 * std::sin(i * 0.05)));
    return pcm;
}

void MixChannels(benchmark::State& state, int rate, int channels)
{
    const int count = static_cast<int>(state.range(0));
    auto pcm = Tone(rate, channels, 2.0);
    std::vector<std::unique_ptr<TMemSpooler>> spoolers;
    std::vector<std::unique_ptr<TAudioChannel>> voices;
    TMixer mixer(44100);
    for (int i = 0; i < count; ++i) {
        spoolers.push_back(std::make_unique<TMemSpooler>(pcm));
        voices.push_back(std::make_unique<TAudioChannel>(spoolers.back().get(), rate, channels, true, 44100));
        voices.back()->SetVolume(200);
        voices.back()->Start();
        mixer.Add(voices.back().get());
    }
    std::vector<int16_t> out(2 * 1024);
    for (auto _ : state) {
        mixer.Mix(out.data(), 1024);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * 1024 * count);
}

void BM_MixStereo44k(benchmark::State& state) { MixChannels(state, 44100, 2); }
void BM_MixMono22k(benchmark::State& state) { MixChannels(state, 22050, 1); }

}  // namespace

BENCHMARK(BM_MixStereo44k)->Arg(1)->Arg(8)->Arg(32);
BENCHMARK(BM_MixMono22k)->Arg(1)->Arg(8)->Arg(32);
