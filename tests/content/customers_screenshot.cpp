// Every customer type drawn by the engine the way the floor draws it (legs
// first at the "legs" anchor, the body recoloured through its party palette,
// the mother's baby at her "baby" anchor) in one 800x600 frame: two standing
// rows and two seated rows, each column one type in changing party colours,
// and the baby alone in all five. Written as a PNG for a reviewer to judge
// silhouettes, props and colours at the game's size; fails when a piece does
// not load.
//
//     xvfb-run -a build/tests/content/content_customers_screenshot customers.png
#include "engine/render/animatedtexture.h"
#include "engine/render/texture.h"

#include "screenshot.h"

#include <array>
#include <cstdio>
#include <string>

namespace {

int gMissing = 0;

const std::array<const char*, 13> kTypes = {
    "old_male", "young_female", "business_female", "bookworm_female", "cellphone_male",
    "fitness_female", "dad_male", "mom_female", "kid_male", "lovebird_female",
    "lovebird_male", "tourist_male", "tourist_female"};
const std::array<const char*, 5> kColours = {"red", "blue", "green", "yellow", "purple"};

int FrameNamed(const TAnimatedTexture& body, const std::string& name)
{
    const auto& frames = body.GetAnimation().frames;
    for (std::size_t f = 0; f < frames.size(); ++f)
        if (name == frames[f].name.c_str())
            return int(f);
    std::fprintf(stderr, "customers: no frame %s\n", name.c_str());
    ++gMissing;
    return 0;
}

void DrawBaby(const std::string& folder, const char* colour, const char* mood, float x, float y)
{
    const std::string image = std::string("baby.png?palette=") + folder + "/" + colour + "_baby.pal";
    auto baby = TAnimatedTexture::Get((folder + "/baby.anm").c_str(), image.c_str());
    if (!baby) {
        std::fprintf(stderr, "customers: %s/baby.anm does not load\n", folder.c_str());
        ++gMissing;
        return;
    }
    baby->SetCurrentFrame(FrameNamed(*baby, mood));
    baby->DrawSprite(x, y, 1, 1, 0, 0);
}

// One figure with its registration point on (x, y) in a pose (a frame name).
void DrawCustomer(const char* type, const char* colour, const std::string& pose, float x, float y)
{
    const std::string folder = std::string("customers/") + type;
    auto body = TAnimatedTexture::Get((folder + "/anim.anm").c_str(), "anim.png?palettized");
    if (!body) {
        std::fprintf(stderr, "customers: %s does not load\n", type);
        ++gMissing;
        return;
    }
    const int frame = FrameNamed(*body, pose);
    int ax = 0, ay = 0;
    if (!body->GetAnchorPoint(frame, "hide_legs", nullptr, nullptr) && body->GetAnchorPoint(frame, "legs", &ax, &ay)) {
        const std::string legs = folder + "/legs?palette=" + folder + "/" + colour + "_legs.pal";
        if (auto texture = TTexture::Get(legs.c_str()))
            texture->DrawSprite(x + float(ax), y + float(ay), 1, 1, 0, 0);
        else
            ++gMissing;
    }
    body->LoadPalette((folder + "/" + colour + ".pal").c_str());
    body->SetCurrentFrame(frame);
    body->DrawSprite(x, y, 1, 1, 0, 0);
    if (pose.find("_baby") != std::string::npos && body->GetAnchorPoint(frame, "baby", &ax, &ay))
        DrawBaby(folder, colour, pose.find("call") == 0 ? "happy0" : "sad0", x + float(ax), y + float(ay));
}

void DrawScene()
{
    // A floor of middling value: pale and dark party colours must both read on it.
    TColor floor{0.78f, 0.66f, 0.5f, 1};
    TPlatform::GetInstance()->FillRect(0, 0, 800, 600, &floor);
    TColor band{0.36f, 0.55f, 0.66f, 1};
    TPlatform::GetInstance()->FillRect(0, 300, 800, 520, &band);

    const float step = 800.0f / float(kTypes.size());
    for (std::size_t i = 0; i < kTypes.size(); ++i) {
        const float x = step * (float(i) + 0.5f);
        const bool mother = std::string(kTypes[i]) == "mom_female";
        const auto colour = [&](std::size_t row) { return kColours[(i + row) % kColours.size()]; };
        DrawCustomer(kTypes[i], colour(0), "stand1", x, 92);
        DrawCustomer(kTypes[i], colour(1), i % 2 ? "mad1" : "unhappy1", x, 236);
        DrawCustomer(kTypes[i], colour(2), mother ? "sit1_baby" : "sit1", x, 356);
        DrawCustomer(kTypes[i], colour(3), mother ? "call1_baby" : (i % 2 ? "call1" : "eat2"), x, 462);
    }
    for (std::size_t c = 0; c < kColours.size(); ++c) {
        DrawBaby("customers/mom_female", kColours[c], "happy0", 250 + float(c) * 70, 560);
        DrawBaby("customers/mom_female", kColours[c], "sad1", 280 + float(c) * 70, 560);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    return contentshot::Run(argc, argv, "customers.png", DrawScene, &gMissing);
}
