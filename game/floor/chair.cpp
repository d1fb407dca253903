#include "game/floor/chair.h"

#include "engine/render/animatedtexture.h"
#include "engine/render/spritequad.h"
#include "engine/render/texture.h"
#include "engine/text/textgraphic.h"
#include "game/floor/floorart.h"
#include "game/rules/scoremanager.h"

namespace {

const char* const kChairPalettes[kChairColorCount] = {"red", "blue", "green", "yellow", "purple", "grey", "black"};
constexpr int kMaxChairBonusMultiplier = 4;  // as actionpoints.xml ships it; the shown chain stops one below
constexpr int kChainBoxW = 13, kChainBoxH = 14;

}  // namespace

TChair::TChair(str chairName, TPoint location, int colour, bool mirrored, int number)
    : mLocation(location), mNumber(number), mMirrored(mirrored), mColor(colour)
{
    for (int c = 0; c < kChairColorCount; ++c)
        mLooks[c] = TAnimatedTexture::Get(chairName + "green.anm",
                                          str("green.png?palette=") + chairName + kChairPalettes[c] + ".pal");
    TClock* clock = floorart::GameClock();
    for (int c = 0; c < kCustomerColorCount; ++c) {
        mBabies[c].Init("furniture/highchairbaby.anm",
                        str("highchairbaby.png?palette=furniture/") + kChairPalettes[c] + "_highchairbaby.pal", "");
        mBabies[c].SetClock(clock);
    }
    const char* const flags[kCustomerColorCount] = {"ui/flag_red", "ui/flag_blue", "ui/flag_green", "ui/flag_yellow",
                                                    "ui/flag_purple"};
    for (int c = 0; c < kCustomerColorCount; ++c)
        mFlags[c] = TTexture::Get(flags[c], 0);
    if (const std::shared_ptr<TAnimatedTexture>& look = mLooks[0]) {
        int x = 0, y = 0;
        if (look->GetAnchorPoint(0, "sit", &x, &y))
            mSitOffset = {x, y};
        if (look->GetAnchorPoint(0, "flag", &x, &y))
            mFlagOffset = {x, y};
    }
    mChainText = TTextGraphic::Create("", kChainBoxW, kChainBoxH, TTextGraphic::kHAlignCenter, "assets/fonts/default.mvec",
                                      13, TColor{0, 0, 0, 1});
    if (chairName.find("barstool") >= 0)
        return;
    mHighlight = TTexture::Get(chairName + "highlight", 0);
    // The ring (drawn centred on a point) is centred on the upgraded look
    // (frame 1), whose box is held from its registration point.
    if (const std::shared_ptr<TAnimatedTexture>& look = mLooks[0]; look && look->GetNumFrames() > 1) {
        const TRect box = look->BoundingBox(1);
        mHighlightPosition = {(box.x1 + box.x2) * 0.5f, (box.y1 + box.y2) * 0.5f};
    }
}

TChair::~TChair()
{
    TTextGraphic::Destroy(mChainText);
}

TPoint TChair::GetLocation(bool* mirrored) const
{
    if (mirrored)
        *mirrored = mMirrored;
    return mLocation;
}

TPoint TChair::GetSitLocation(bool* mirrored) const
{
    if (mirrored)
        *mirrored = mMirrored;
    return {mMirrored ? mLocation.x - mSitOffset.x : mLocation.x + mSitOffset.x, mLocation.y + mSitOffset.y};
}

TRect TChair::BoundingBox() const
{
    const int c = mColor >= 0 && mColor < kChairColorCount ? mColor : 0;
    TRect box = mLooks[c] ? mLooks[c]->BoundingBox(0) : TRect{};
    box.Offset(mLocation.x, mLocation.y);
    return box;
}

bool TChair::SetColor(int colour, TScoreManager* score)
{
    if (!score) {
        mColor = colour;
        return false;
    }
    if (mColor == kColorBlack)
        return false;
    if (mColor != colour) {
        mChainCount = 0;
        mColor = colour;
        return false;
    }
    const int count = mChainCount + 1;
    mChainCount = std::min(count, kMaxChairBonusMultiplier - 1);
    score->ChairBonus(count, colour, static_cast<float>(mLocation.x), static_cast<float>(mLocation.y));
    return true;
}

void TChair::SetChairMood(bool happy)
{
    if (happy == mMoodHappy)
        return;
    // Every colour's baby would play the same script on the same clock: one
    // plays (one interpreter, not one a colour) and the one drawn shows its
    // frame.
    mBabies[0].Play(happy ? "Happy" : "Sad", false);
    mMoodHappy = happy;
}

void TChair::UpdateChairMood()
{
    if (!mBabies[0].IsPlaying()) {
        mMoodHappy = false;  // lets the happy look start again
        SetChairMood(true);
    }
}

void TChair::SetChairUpgrade(int level)
{
    mUpgradeLevel = level;
    for (const auto& look : mLooks)
        if (look)
            look->SetCurrentFrame(level);
}

str TChair::FlagText() const
{
    if (!mShowFlag || mChainCount <= 0 || mColor >= kColorGrey)
        return str();
    return str::getFormatted("x%d", mChainCount + 1);
}

void TChair::Draw(float upgradeAlpha, float highlightAlpha)
{
    const float alpha = upgradeAlpha > 0 ? 1.0f - upgradeAlpha : 1.0f;
    const int flip = mMirrored ? kSpriteMirrorX : 0;
    const float x = static_cast<float>(mLocation.x), y = static_cast<float>(mLocation.y);
    if (mIsHighChair) {
        const int baby = mBabyColor >= 0 && mBabyColor < kCustomerColorCount ? mBabyColor : 0;
        mBabies[baby].SetCurrentFrame(mBabies[0].GetCurrentFrame());
        mBabies[baby].Draw(mMirrored ? x - 10 : x + 10, y + 5, 1.0f, 1.0f, 0, flip);
    } else if (mColor >= 0 && mColor < kChairColorCount && mLooks[mColor]) {
        mLooks[mColor]->DrawSprite(x, y, alpha, 1.0f, 0, flip);
        // The decor choice offers the upgraded chair: it shows in the chair's own colour.
        if (upgradeAlpha > 0)
            mUpgradeLook.DrawOtherFrame(*mLooks[mColor], 1, mUpgradeLevel, mLocation, upgradeAlpha, flip);
    }
    DrawFlag();
    if (highlightAlpha > 0 && mHighlight)
        mHighlight->DrawSprite(mMirrored ? x - mHighlightPosition.x : x + mHighlightPosition.x, y + mHighlightPosition.y,
                               highlightAlpha, 1.0f, 0, flip);
}

void TChair::DrawFlag()
{
    const str text = FlagText();
    if (text.length() == 0 || !mFlags[mColor])
        return;
    const int fx = mMirrored ? mLocation.x - mFlagOffset.x : mLocation.x + mFlagOffset.x;
    mFlags[mColor]->DrawSprite(static_cast<float>(fx), static_cast<float>(mLocation.y + mFlagOffset.y), 1.0f, 1.0f, 0,
                               mMirrored ? kSpriteMirrorX : 0);
    if (!mChainText)
        return;
    mChainText->SetText(text);
    const int tx = mMirrored ? mLocation.x - mFlagOffset.x - mChainTextOffset.x - kChainBoxW
                             : mLocation.x + mFlagOffset.x + mChainTextOffset.x;
    const int ty = mLocation.y + mFlagOffset.y + mChainTextOffset.y;
    const TRect box{tx, ty, tx + kChainBoxW, ty + kChainBoxH};
    mChainText->Draw(box, 1.0f, 0, 1.0f);
}
