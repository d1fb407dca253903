#include "game/screens/heroine.h"

#include "game/floor/quessa.h"

namespace {

// The waitress as a drawn-only figure: never updated, no floor.
class TQuessaHeroine : public IHeroine {
public:
    void PlayAnim(const str& function) override { mQuessa.PlayAnim(function); }
    void SetCurrentFrame(int frame) override
    {
        if (frame >= 0)
            mQuessa.SetCurrentFrame(frame);
    }
    void SetFacing(int facing) override { mQuessa.SetFacing(facing); }
    void SetPosition(TVec2 position) override { mPosition = position; }
    TRect BoundingBox() const override
    {
        // Hers is placed at her position; the heroine's is around her feet.
        TRect box = mQuessa.BoundingBox(false);
        const TVec2 at = mQuessa.GetPosition();
        box.Offset(-static_cast<int>(at.x), -static_cast<int>(at.y));
        return box;
    }
    void Draw(TVec2 origin) override
    {
        mQuessa.SetPosition({origin.x + mPosition.x, origin.y + mPosition.y});
        mQuessa.Draw(false);
    }

private:
    TQuessa mQuessa{nullptr};
    TVec2 mPosition{0.0f, 0.0f};
};

THeroineMaker& Maker()
{
    static THeroineMaker maker;
    return maker;
}

}  // namespace

void SetHeroineMaker(THeroineMaker maker) { Maker() = std::move(maker); }

std::unique_ptr<IHeroine> MakeHeroine()
{
    return Maker() ? Maker()() : nullptr;
}

void InstallQuessaHeroine()
{
    SetHeroineMaker([] { return std::make_unique<TQuessaHeroine>(); });
}
