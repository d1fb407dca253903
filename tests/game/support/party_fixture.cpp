#include "party_fixture.h"

#include "engine/base/task.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

const char* const kActionPoints =
    "<?xml version=\"1.0\"?>\n<dataroot><actionpoints>"
    "<maxChairBonusMultiplier>4</maxChairBonusMultiplier><baseChairBonus>100</baseChairBonus>"
    "<ticket>50</ticket><food>100</food><dessert>80</dessert><dishes>30</dishes><check>40</check>"
    "<drinks>20</drinks><snack>10</snack><mop>15</mop><camera>25</camera></actionpoints></dataroot>\n";

}  // namespace

void PartyTest::SetUp()
{
    PlayTest::SetUp();
    for (const char* folder : {"restaurants", "furniture", "accessories", "ui", "customers"})
        fs::copy(fs::path(QM_DATA_DIR) / "assets" / folder, mHome / "assets" / folder, fs::copy_options::recursive);
    WriteAsset("config/actionpoints.xml", kActionPoints);
    StartGame({{"smooch", "Smooch!"}});
    mPlatform->SeedRand(21);
    mSettings->GetGameClock()->Start();  // the figures' animations run on it
    score = std::make_unique<TScoreManager>();
    score->SetScore(0);
    score->StartLevel();
}

void PartyTest::TearDown()
{
    rings.clear();
    score.reset();
    PlayTest::TearDown();
}

TCustomerDef PartyTest::MakeDef(const char* figure, float patienceMS, float durationMS)
{
    TCustomerDef def{};
    for (char* slot : {def.graphicType, def.graphicOverride[0], def.graphicOverride[1], def.graphicOverride[2],
                       def.graphicOverride[3], def.graphicOverride[4], def.graphicOverride[5]})
        std::strncpy(slot, figure, kCustomerGraphicNameSize - 1);
    def.minStatePeriodMS = 1000;
    def.timeMood = 1;
    def.colorMood = 1;
    def.baseTip = 5;
    def.moodTip = 2;
    def.noiseMood = -100;  // quiet unless a test says otherwise
    for (int s = 0; s < kCustomerStates; ++s) {
        const bool timed = s == 0 || s == 2 || s == 3 || s == 5 || s == 7 || s == 11 || s == 12;
        // Only deciding, eating and eating dessert have a duration key.
        const bool duration = s == 1 || s == 4 || s == 6;
        def.states[s] = {timed, timed ? patienceMS / 2 : 0.0f, timed ? patienceMS : 0.0f, duration ? durationMS : 0.0f};
    }
    return def;
}

std::unique_ptr<TParty> PartyTest::MakeParty(int id, std::initializer_list<int> colours, const TCustomerDef& def)
{
    return std::make_unique<TParty>(id, static_cast<int>(colours.size()), colours.begin(), def, 0);
}

bool PartyTest::SeatByDrag(TParty* party, TEatingStation& table, std::unique_ptr<TParty> owned)
{
    party->SetInLine({300, 560}, true);
    const TRect box = party->MembersInBuildOrder().front()->BoundingBox();
    EXPECT_TRUE(party->PickupParty({box.x1 + box.Width() / 2, box.y1 + box.Height() / 2}));
    const TRect chair = table.GetChair(0)->BoundingBox();
    const TPoint drop{chair.x1 + chair.Width() / 2, chair.y1 + chair.Height() / 2};
    table.TryOutParty(party);
    party->PickSeats(drop, &table);
    const bool match = table.AllCustomersMatch(party);
    table.AdoptParty(std::move(owned), score.get());
    party->SetState(kStateDeciding);
    return match;
}

void PartyTest::Tick()
{
    mBackend->now += 50;
    mPlatform->GetTaskList()->DoAll(TTask::kEventContext);
}

bool PartyTest::Run(TEatingStation& table, float seconds, bool dessert)
{
    std::list<TEatingStation*> tables{&table};
    for (float t = 0; t < seconds; t += 0.05f) {
        Tick();
        if (!table.Update(0.05f, &hands, {score.get(), nullptr}, rings, true, dessert, -100))
            return false;
        for (auto it = rings.begin(); it != rings.end();)
            it = (*it)->Update(0.05f, tables) ? std::next(it) : rings.erase(it);
        score->Update(0.05f);
    }
    return true;
}
