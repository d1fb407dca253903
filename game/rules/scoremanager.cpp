#include "game/rules/scoremanager.h"

#include "engine/base/xml.h"
#include "engine/platform/platform.h"
#include "engine/text/textgraphic.h"
#include "engine/window/stringtable.h"
#include "game/rules/coinjarview.h"
#include "game/settings/configfile.h"
#include "game/settings/settings.h"

#include <algorithm>
#include <cstdlib>

namespace {

const char* const kPointsFile = "assets/config/actionpoints.xml";

// Element of each action's base points; high chairs always score 0.
const char* const kPointKeys[kScoreActionCount] = {nullptr, "ticket", "food",  "dessert", "dishes",
                                                   "check", "drinks", "snack", "mop",     "camera"};

// String-table label of each action's chain caption; drinks, pictures and
// high chairs have none.
const char* const CHAIN_STRINGS[kScoreActionCount] = {"",           "orderchain", "foodchain", "dessertchain",
                                                      "disheschain", "checkchain", "",          "snackchain",
                                                      "mopchain",   ""};

const TColor kWhite{1, 1, 1, 1}, kRed{1, 0, 0, 1}, kGreen{0, 1, 0, 1};
const TColor kPartyColours[5] = {{1, 0, 0, 1}, {0, 0, 1, 1}, {0, 1, 0, 1}, {1, 1, 0, 1}, {1, 0, 1, 1}};

str StringText(const char* label, int number)
{
    TPlatform* platform = TPlatform::GetInstance();
    TStringTable* table = platform ? platform->GetStringTable() : nullptr;
    if (!table)
        return str();
    return table->GetString(label, str::getFormatted("%d", number), "", "", "", "");
}

void ReadInt(TXmlNode* parent, const char* name, std::int32_t* out)
{
    if (TXmlNode* child = parent->GetChild(name))
        *out = std::atoi(child->GetContent().c_str());
}

}  // namespace

TScoreManager::TScoreManager()
{
    ReadConfiguration();
    mTextGraphic = TTextGraphic::Create("", 400, 200, TTextGraphic::kHAlignCenter | TTextGraphic::kVAlignCenter,
                                        "assets/fonts/corona.mvec", 30, TColor{0, 0, 0, 1});
}

TScoreManager::~TScoreManager()
{
    TTextGraphic::Destroy(mTextGraphic);
    ClearLists();
}

void TScoreManager::ReadConfiguration()
{
    TXmlNode document;
    if (!game::ReadConfigDocument(kPointsFile, &document, "dataroot", "the built-in points are used"))
        return;
    TXmlNode* root = document.GetChild("dataroot");
    TXmlNode* points = root ? root->GetChild("actionpoints") : nullptr;
    if (!points)
        return;
    ReadInt(points, "maxChairBonusMultiplier", &mMaxChairBonusMultiplier);
    ReadInt(points, "baseChairBonus", &mBaseChairBonus);
    ReadInt(points, "buzzBonus", &mBuzzBonus);
    for (int i = 0; i < kScoreActionCount; ++i)
        if (kPointKeys[i])
            ReadInt(points, kPointKeys[i], &mPoints[i]);
}

TScoreBubble& TScoreManager::AddBubble(float x, float y, const TColor& colour, str text)
{
    auto bubble = std::make_unique<TScoreBubble>();
    bubble->x = x;
    bubble->y = y;
    bubble->graphic = mTextGraphic;
    bubble->colour = colour;
    bubble->text = text;
    mBubbles.push_back(std::move(bubble));
    return *mBubbles.back();
}

void TScoreManager::FlashJar()
{
    if (mCoinJar)
        mCoinJar->FlashDollarSign();
}

void TScoreManager::ScoreAction(eScoreAction action, float x, float y)
{
    if (action < 0 || action >= kScoreActionCount)
        return;
    if (mChainAction != action) {
        mChainAction = action;
        mChainCount = 1;
    } else {
        ++mChainCount;
    }
    const int gain = mPoints[action] * mChainCount;
    if (gain > 0) {
        str text = str::getFormatted("+ %d", gain);
        // An action without a caption of its own shows the plain points.
        if (mChainCount > 1 && CHAIN_STRINGS[action][0] != '\0')
            text += str("<br>") + StringText(CHAIN_STRINGS[action], mChainCount);
        AddBubble(x, y, kWhite, text);
        mScore += gain;
        FlashJar();
    }
    if (action == kScoreCheck)
        ++mChecksCollected;
}

void TScoreManager::BreakChain(eScoreAction action)
{
    if (mChainAction != action) {
        mChainCount = 0;
        mChainAction = action;
    }
}

void TScoreManager::ChairBonus(int count, int colour, float x, float y)
{
    const int multiplier = std::min(mMaxChairBonusMultiplier, count);
    const int gain = multiplier * mBaseChairBonus;
    if (gain <= 0)
        return;
    str text = str::getFormatted("+ %d!", gain);
    if (mChainCount > 0)
        text += str("<br>") + StringText("colorchain", multiplier);
    AddBubble(x, y, colour >= 0 && colour < 5 ? kPartyColours[colour] : kWhite, text);
    mScore += gain;
    FlashJar();
}

void TScoreManager::Penalize(int amount, float x, float y)
{
    AddBubble(x, y, kRed, str::getFormatted("%d", amount));
    mScore += amount;
    if (mScore < mLevelStartScore)
        mScore = mLevelStartScore;
    ++mPenalties;
    mPenaltyPoints += amount;
}

void TScoreManager::Tip(int amount, float x, float y)
{
    if (amount <= 0)
        return;
    mCoins.push_back(std::make_unique<TCoinFlip>(amount, x, y));
}

void TScoreManager::Update(float dt)
{
    for (auto it = mCoins.begin(); it != mCoins.end();) {
        TCoinFlip& coin = **it;
        if (coin.Update(dt)) {
            ++it;
            continue;
        }
        AddBubble(coin.originX, coin.originY, kGreen, str::getFormatted("+ %d!", coin.amount)).bounce = true;
        mScore += coin.amount;
        FlashJar();
        it = mCoins.erase(it);
    }
    for (auto it = mBubbles.begin(); it != mBubbles.end();)
        it = (*it)->Update(dt) ? std::next(it) : mBubbles.erase(it);
}

void TScoreManager::Draw()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || !platform->Begin2d())
        return;
    for (const auto& coin : mCoins)
        coin->TAnimation::Draw(coin->x, coin->y, 1.0f, 1.0f, 0.0f, 0);
    for (const auto& bubble : mBubbles)
        bubble->Draw();
    platform->End2d();
}

void TScoreManager::StartLevel()
{
    mLevelStartScore = mScore;
    ClearLevel();
}

void TScoreManager::ResetLevel()
{
    mScore = mLevelStartScore;
    ClearLevel();
}

void TScoreManager::ClearLevel()
{
    mChecksCollected = 0;
    mPenalties = 0;
    mPenaltyPoints = 0;
    mChainAction = kScoreNone;
    mChainCount = 0;
    ClearLists();
}

void TScoreManager::ClearLists()
{
    while (!mBubbles.empty())
        mBubbles.pop_back();
    mCoins.clear();
}
