#include "tools/moviegen/splash.h"

#include "engine/text/minivecdraw.h"
#include "engine/text/text_display.h"
#include "engine/text/textgraphic.h"
#include "engine/text/textservices.h"
#include "tools/moviegen/moviegen.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kFps = 25;
constexpr int kFrames = 75;  // three seconds

struct TColourF {
    float r, g, b;
};

TColourF Mix(TColourF a, TColourF b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

TColourF Hex(unsigned rgb)
{
    return {float((rgb >> 16) & 255), float((rgb >> 8) & 255), float(rgb & 255)};
}

const TColourF kOutline = Hex(0x3b2a33);
const TColourF kSkyTop = Hex(0x1d4e5a);
const TColourF kSkyBottom = Hex(0x142033);
const TColourF kGlow = Hex(0xffc867);
const TColourF kPlate = Hex(0xfff4dc);
const TColourF kRim = Hex(0xe6cfa6);
const TColourF kSparkle = Hex(0xfff2b0);

float Smooth(float edge0, float edge1, float x)
{
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

// Overshoots a little past 1 before settling: things pop into place.
float EaseOutBack(float t)
{
    t = std::clamp(t, 0.0f, 1.0f);
    const float c = 1.7f;
    const float u = t - 1;
    return 1 + (c + 1) * u * u * u + c * u * u;
}

// A falling drop that bounces twice and rests at 1.
float Bounce(float t)
{
    t = std::clamp(t, 0.0f, 1.0f);
    if (t < 0.6f)
        return (t / 0.6f) * (t / 0.6f);
    if (t < 0.85f) {
        const float u = (t - 0.725f) / 0.125f;
        return 1 - 0.12f * (1 - u * u);
    }
    const float u = (t - 0.925f) / 0.075f;
    return 1 - 0.03f * (1 - u * u);
}

class TCanvas {
public:
    explicit TCanvas(std::vector<std::uint8_t>& bgra) : mPixels(bgra) {}

    void Blend(int x, int y, TColourF c, float alpha)
    {
        if (x < 0 || y < 0 || x >= kWidth || y >= kHeight || alpha <= 0)
            return;
        alpha = std::min(alpha, 1.0f);
        std::uint8_t* p = &mPixels[(size_t(y) * kWidth + x) * 4];
        p[0] = std::uint8_t(std::lround(p[0] + (c.b - p[0]) * alpha));
        p[1] = std::uint8_t(std::lround(p[1] + (c.g - p[1]) * alpha));
        p[2] = std::uint8_t(std::lround(p[2] + (c.r - p[2]) * alpha));
        p[3] = 255;
    }

    // Ellipse with a soft one-pixel edge; coverage times alpha.
    void Ellipse(float cx, float cy, float rx, float ry, TColourF c, float alpha = 1)
    {
        if (rx < 0.5f || ry < 0.5f)
            return;
        for (int y = int(cy - ry - 2); y <= int(cy + ry + 2); ++y)
            for (int x = int(cx - rx - 2); x <= int(cx + rx + 2); ++x) {
                const float dx = (x + 0.5f - cx) / rx, dy = (y + 0.5f - cy) / ry;
                const float d = (std::sqrt(dx * dx + dy * dy) - 1) * std::min(rx, ry);
                Blend(x, y, c, alpha * std::clamp(0.5f - d, 0.0f, 1.0f));
            }
    }

    // Four-pointed star of the given radius.
    void Sparkle(float cx, float cy, float r, float alpha)
    {
        for (int y = int(cy - r - 1); y <= int(cy + r + 1); ++y)
            for (int x = int(cx - r - 1); x <= int(cx + r + 1); ++x) {
                const float dx = std::abs(x + 0.5f - cx), dy = std::abs(y + 0.5f - cy);
                const float d = std::sqrt(dx * dy) * 2.2f + std::max(dx, dy) - r;
                Blend(x, y, kSparkle, alpha * std::clamp(0.5f - d, 0.0f, 1.0f));
            }
    }

private:
    std::vector<std::uint8_t>& mPixels;
};

void PaintBackground(TCanvas& canvas, float seconds)
{
    const float glow = Smooth(0.0f, 1.2f, seconds);
    for (int y = 0; y < kHeight; ++y) {
        const TColourF sky = Mix(kSkyTop, kSkyBottom, float(y) / kHeight);
        for (int x = 0; x < kWidth; ++x) {
            const float dx = (x - 400.0f) / 420, dy = (y - 320.0f) / 300;
            const float warmth = glow * 0.55f * std::max(0.0f, 1 - std::sqrt(dx * dx + dy * dy));
            canvas.Blend(x, y, Mix(sky, kGlow, warmth), 1);
        }
    }
}

void PaintPlate(TCanvas& canvas, float seconds)
{
    const float grow = EaseOutBack((seconds - 0.2f) / 0.8f);
    const float rx = 250 * grow, ry = 105 * grow;
    const float cx = 400, cy = 372;
    canvas.Ellipse(cx + 8, cy + 12, rx, ry, kOutline, 0.35f);  // shadow, light from the upper left
    canvas.Ellipse(cx, cy, rx + 3, ry + 3, kOutline);
    canvas.Ellipse(cx, cy, rx, ry, kRim);
    canvas.Ellipse(cx, cy - 4 * grow, rx * 0.72f, ry * 0.62f, kPlate);
}

// The title, drawn once, copied in with a scale about its bottom centre.
void PaintTitle(TCanvas& canvas, TMemorySurface& title, float seconds)
{
    const float t = (seconds - 0.8f) / 0.8f;
    if (t <= 0)
        return;
    const float drop = Bounce(t);
    // Squash on the first landing, then a little stretch back.
    const float squash = t > 0.55f && t < 0.8f ? std::sin((t - 0.55f) / 0.25f * std::numbers::pi_v<float>) : 0;
    const float sx = 1 + 0.12f * squash, sy = 1 - 0.16f * squash;
    const float baseY = -40 + (352 + 40) * drop;  // bottom edge of the title
    const float left = 400 - title.Width() * sx / 2;
    const float top = baseY - title.Height() * sy;
    for (int y = std::max(0, int(top)); y < std::min(kHeight, int(baseY) + 1); ++y)
        for (int x = std::max(0, int(left)); x < std::min(kWidth, int(left + title.Width() * sx) + 1); ++x) {
            const int tx = int((x - left) / sx), ty = int((y - top) / sy);
            if (tx < 0 || ty < 0 || tx >= title.Width() || ty >= title.Height())
                continue;
            const float alpha = title.At(tx, ty, 3) / 255.0f;
            canvas.Blend(x, y, {float(title.At(tx, ty, 2)), float(title.At(tx, ty, 1)), float(title.At(tx, ty, 0))},
                         alpha);
        }
}

void PaintSparkles(TCanvas& canvas, float seconds)
{
    static const float kSpots[][3] = {{150, 180, 0.0f}, {660, 160, 0.3f}, {230, 470, 0.5f}, {600, 500, 0.15f},
                                      {90, 330, 0.4f},  {720, 330, 0.1f}, {400, 110, 0.25f}, {320, 520, 0.6f}};
    const float start = 1.5f;
    if (seconds < start)
        return;
    for (const auto& spot : kSpots) {
        const float phase = (seconds - start - spot[2]) / 0.7f;
        if (phase < 0 || phase > 1)
            continue;
        const float s = std::sin(phase * std::numbers::pi_v<float>);
        canvas.Sparkle(spot[0], spot[1], 16 * s, s);
    }
}

// A chime rising through a major arpeggio, each note with a quick attack
// and a long soft decay.
float Chime(int channel, double seconds)
{
    static const double kNotes[][2] = {{0.2, 523.25}, {0.9, 659.25}, {1.45, 783.99}, {1.62, 1046.5}};
    double sum = 0;
    for (const auto& note : kNotes) {
        const double t = seconds - note[0];
        if (t < 0)
            continue;
        const double envelope = std::min(1.0, t / 0.006) * std::exp(-t * 2.5);
        const double tone = std::sin(2 * std::numbers::pi * note[1] * t) + 0.3 * std::sin(4 * std::numbers::pi * note[1] * t);
        sum += envelope * tone * (channel == 0 ? 0.22 : 0.18);
    }
    // Fade the last few milliseconds so the end does not click.
    const double end = double(kFrames) / kFps;
    return float(sum * std::min(1.0, (end - seconds) / 0.05));
}

// The rasteriser blends onto what is there and keeps the surface's alpha,
// so the title is drawn on black and on white: the difference gives each
// pixel's coverage, and the black one divided by it the colour.
std::unique_ptr<TMemorySurface> RenderTitle(const std::string& fontFolder)
{
    TQmMiniVecDraw rasterizer;
    SetTextServices(TTextServices{nullptr, &rasterizer, nullptr});
    const std::string markup = "<center><outline color=\"#3b2a33\" size=\"5\"><font size=\"96\" face=\"" + fontFolder +
                               "/corona.mvec\" color=\"#ffd040\">Corvellatrip</font></outline></center>";
    const int width = 760;
    TTextGraphic* text = TTextGraphic::Create(markup.c_str(), width, 200, 0, "", 96, TColor{1, 1, 1, 1});
    TRect bounds;
    text->GetTextBounds(&bounds);
    const int height = bounds.y2 + 24;
    auto onBlack = std::make_shared<TMemorySurface>(width, height);
    auto onWhite = std::make_shared<TMemorySurface>(width, height);
    onBlack->Fill(0, 0, 0, 255);
    onWhite->Fill(255, 255, 255, 255);
    for (const auto& surface : {onBlack, onWhite})
        text->DrawInto(TRect{0, 8, width, bounds.y2 + 16}, 1.0f, 0, 1.0f, surface);
    text->Destroy();
    SetTextServices(TTextServices{});

    auto title = std::make_unique<TMemorySurface>(width, height);
    std::vector<std::uint8_t>& out = title->Pixels();
    for (size_t i = 0; i < out.size(); i += 4) {
        const int alpha = 255 - (onWhite->Pixels()[i + 1] - onBlack->Pixels()[i + 1]);
        out[i + 3] = std::uint8_t(std::clamp(alpha, 0, 255));
        for (int c = 0; c < 3; ++c)
            out[i + c] = alpha > 0 ? std::uint8_t(std::min(255, onBlack->Pixels()[i + c] * 255 / alpha)) : 0;
    }
    return title;
}

}  // namespace

bool WriteSplashMovie(const std::string& path, const std::string& fontFolder)
{
    std::unique_ptr<TMemorySurface> title = RenderTitle(fontFolder);
    TMovieSpec spec;
    spec.width = kWidth;
    spec.height = kHeight;
    spec.fpsNumerator = kFps;
    spec.fpsDenominator = 1;
    spec.frames = kFrames;
    spec.quality = 48;
    auto paint = [&](int frame, std::vector<std::uint8_t>& bgra) {
        const float seconds = float(frame) / kFps;
        TCanvas canvas(bgra);
        PaintBackground(canvas, seconds);
        PaintPlate(canvas, seconds);
        PaintTitle(canvas, *title, seconds);
        PaintSparkles(canvas, seconds);
    };
    return WriteMovie(path, spec, paint, Chime);
}
