#include "recordinghandler.h"

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
        mHandler.draws.push_back(draw);
    }

private:
    RecordingHandler& mHandler;
};

}  // namespace

std::unique_ptr<TTextureData> RecordingHandler::NewTextureData()
{
    return std::make_unique<RecordingTextureData>(*this);
}
