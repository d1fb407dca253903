// A level definition from any bytes. The first byte chooses the reader
// (even: career level 1, odd: the endless file); the rest is the file. The
// level is set up, started, scheduled for a while with goals reached, its
// texts and tables asked for, edited and written back: a damaged file may
// give an empty or odd level, never a crash.
#include "fuzz_folder.h"
#include "game/levels/levelmanager.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <list>
#include <vector>

namespace {

class CountingFactory : public IPartyFactory {
public:
    TParty* CreateParty(const TPartyOrder& order) override
    {
        if (order.size < 1 || order.size > kMaxPartyMembers)
            std::abort();
        for (int i = 1; i <= order.size; ++i)
            (void)order.MemberFigure(i)[0];
        ++count;
        return reinterpret_cast<TParty*>(static_cast<std::uintptr_t>(count));
    }
    void SetTimeMultiplier(TParty*, float) override {}
    int count = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    qmfuzz::EnterScratchFolder();
    const bool endless = data[0] & 1;
    qmfuzz::WriteInput(endless ? "assets/config/endless.xml" : "assets/config/career/1.xml", data + 1, size - 1);
    // Every layout a level names reads this one floor.
    static const char kFloor[] = "sy--------------\n----------------\n----------------\n..r2b...........\n"
                                 "..g4b....<......\n..r4y....<......\n";
    qmfuzz::WriteInput("assets/layouts/floor.txt", kFloor, sizeof kFloor - 1);
    static const char kTypes[] = "<dataroot><c><id>young</id><graphicType>young_female</graphicType></c>"
                                 "<c><id>family</id><graphicType>dad_male</graphicType><graphicOverride1>dad_male"
                                 "</graphicOverride1><graphicOverride2>kid_male</graphicOverride2></c></dataroot>";
    qmfuzz::WriteInput("assets/config/customer.xml", kTypes, sizeof kTypes - 1);

    CountingFactory factory;
    TLevelManager levels(endless ? TLevelManager::kEndless : TLevelManager::kCareer, &factory);
    std::vector<TTableDesc> tables;
    std::optional<TBarDesc> bar;
    levels.MergeLayouts(&tables, &bar);
    levels.StartLevel();
    std::list<TParty*> line;
    for (int frame = 0; frame < 400; ++frame) {
        levels.UpdateQueue(0.25f, &line);
        if (frame % 100 == 99)
            levels.GoalReached();
    }
    while (levels.TableUpgradeAvailable())
        levels.TableUpgrade(&tables, &bar);
    (void)levels.IsClosed();
    (void)levels.GetCurrentLevelStr();
    (void)levels.GetLevelIntroText();
    (void)levels.GetLevelOverText(true);
    float a = 0, b = 0, c = 0;
    levels.GetShakeValue(&a, &b, &c);
    levels.SetGroupDefinition(0, 1000, "rb", "young");
    levels.SetShakeValue(0, 0, 0);
    levels.SaveLevelDefinition("saved.xml", (data[0] & 2) != 0);
    levels.RestartLevel();
    levels.StartLevel();
    levels.UpdateQueue(1.0f, &line);
    return 0;
}
