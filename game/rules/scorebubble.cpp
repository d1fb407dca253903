#include "game/rules/scorebubble.h"

#include "engine/base/rect.h"
#include "engine/text/textgraphic.h"

bool TScoreBubble::Update(float dt)
{
    if (!bounce) {
        y -= speed * dt;
    } else {
        const float half = lifetime * 0.5f;
        if (age < half)
            y -= (1.0f - age / half) * speed * dt;
        else
            y += ((age - half) / half) * speed * dt;
    }
    age += dt;
    return age <= lifetime;
}

void TScoreBubble::Draw()
{
    if (!graphic)
        return;
    graphic->SetText(str("<outline \"color=000000\" size=\"2\">") + text + "</outline>");
    graphic->SetColor(colour);
    const int cx = static_cast<int>(x), cy = static_cast<int>(y);
    graphic->Draw(TRect{cx - 200, cy - 100, cx + 200, cy + 100}, 1.0f, 0, 1.0f);
}
