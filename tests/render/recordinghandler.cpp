#include "recordinghandler.h"

#include <algorithm>
#include <cstddef>

namespace {

class RecordingTextureData : public THeadlessTextureData {
public:
    explicit RecordingTextureData(RecordingHandler& handler) : mHandler(handler) {}

    void Draw(float x, float y, float alpha, float scale, const TRect* source) override
    {
        RecordedDraw draw;
        draw.data = this;
        draw.pos = TVec2{x, y};
        draw.alpha = alpha;
        draw.scaleX = draw.scaleY = scale;
        if (source)
            draw.source = *source;
        Keep(draw);
        mHandler.draws.push_back(draw);
    }

    void DrawSprite(const TVec2& pos, float alpha, float scaleX, float scaleY, float rotation, const TVec2* centre,
                    const TColor& colour, int flags, const float* matrix, const TRect* source) override
    {
        RecordedDraw draw;
        draw.data = this;
        draw.sprite = true;
        draw.pos = pos;
        draw.alpha = alpha;
        draw.scaleX = scaleX;
        draw.scaleY = scaleY;
        draw.rotation = rotation;
        if (centre)
            draw.centre = *centre;
        draw.colour = colour;
        draw.flags = flags;
        if (matrix)
            draw.matrix = std::vector<float>(matrix, matrix + 6);
        if (source)
            draw.source = *source;
        Keep(draw);
        mHandler.draws.push_back(draw);
    }

private:
    void Keep(RecordedDraw& draw)
    {
        draw.imageWidth = GetImageWidth();
        draw.imageHeight = GetImageHeight();
        const unsigned char* pixels = nullptr;
        int pitch = 0;
        if (!mHandler.keepPixels || !ReadPixels(&pixels, &draw.surfaceWidth, &draw.surfaceHeight, &pitch))
            return;
        draw.pixels.resize(std::size_t(draw.surfaceWidth) * std::size_t(draw.surfaceHeight) * 4);
        for (int y = 0; y < draw.surfaceHeight; ++y)
            std::copy(pixels + std::size_t(y) * std::size_t(pitch),
                      pixels + std::size_t(y) * std::size_t(pitch) + std::size_t(draw.surfaceWidth) * 4,
                      draw.pixels.begin() + std::ptrdiff_t(std::size_t(y) * std::size_t(draw.surfaceWidth) * 4));
    }

    RecordingHandler& mHandler;
};

}  // namespace

std::unique_ptr<TTextureData> RecordingHandler::NewTextureData()
{
    return std::make_unique<RecordingTextureData>(*this);
}
