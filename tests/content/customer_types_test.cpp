// Every customer type the levels name, read back through the engine: the
// game decides from frame 0 alone whether a figure arrives with a baby, so
// exactly the mother's first frame carries "baby"; every type stands on its
// legs in frame 0 and shares the frame size the party's placement relies on.
#include "engine/render/animatedtexture.h"

#include "datafolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CustomerTypes, FirstFrameStandsAndOnlyTheMotherCarriesABaby)
{
    InDataFolder data;
    TAssetManager assets;
    for (const char* type : {"old_male", "young_female", "business_female", "bookworm_female", "cellphone_male",
                             "fitness_female", "dad_male", "mom_female", "kid_male", "lovebird_female",
                             "lovebird_male", "tourist_male", "tourist_female"}) {
        SCOPED_TRACE(type);
        const std::string folder = std::string("customers/") + type;
        auto body = TAnimatedTexture::Get((folder + "/anim.anm").c_str(), "anim.png?palettized");
        ASSERT_TRUE(body);
        EXPECT_TRUE(body->GetAnchorPoint(0, "legs", nullptr, nullptr));
        EXPECT_FALSE(body->GetAnchorPoint(0, "hide_legs", nullptr, nullptr));
        const bool mother = std::string(type) == "mom_female";
        EXPECT_EQ(body->GetAnchorPoint(0, "baby", nullptr, nullptr), mother);
        const TRect box = body->BoundingBox(0);
        EXPECT_EQ(box.Height(), 84);
        EXPECT_EQ(box.Width(), 84);
        const std::string script = body->GetScript().c_str();
        EXPECT_EQ(script.find("function Eat_Baby()") != std::string::npos, mother);
    }
}

}  // namespace
