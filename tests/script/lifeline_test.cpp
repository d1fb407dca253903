// Lua functions bound to windows outlive them: a script may keep one after
// the window is destroyed and call it when a new window sits at the same
// address. The call must reach nothing and say so in the log.
#include "engine/script/luabind.h"
#include "engine/script/windowscript.h"
#include "engine/window/screen.h"
#include "engine/window/windowmanager.h"
#include "headlessengine.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

namespace {

// Every window of this class is built in one fixed slot, so the next one
// has the address of the last: what fools a check by address.
class TSlotWindow : public TWindow {
public:
    explicit TSlotWindow(int* pokes) : mPokes(pokes)
    {
        TWindowScript* script = TWindowScript::Get();
        qm::lua::Publish(script->GetState(), "Poke", "TSlotWindow", this, Lifeline(), LuaPoke);
        script->PublishIntFunction("PokeBy", "TSlotWindow", Lifeline(), [this](int n) { *mPokes += n; });
    }

    static void* operator new(std::size_t size)
    {
        EXPECT_LE(size, sizeof sSlot);
        return sSlot;
    }
    static void operator delete(void*) {}

private:
    static int LuaPoke(lua_State* L)
    {
        ++*qm::lua::Self<TSlotWindow>(L)->mPokes;
        return 0;
    }

    alignas(std::max_align_t) static unsigned char sSlot[1024];
    int* mPokes;
};
alignas(std::max_align_t) unsigned char TSlotWindow::sSlot[1024];

class LifelineTest : public qmtest::HeadlessWindowTest {
protected:
    LifelineTest() : HeadlessWindowTest("qm_lifeline_") {}

    std::string Run(const char* text)
    {
        testing::internal::CaptureStderr();
        EXPECT_EQ(script->DoLuaString(text), 0) << text;
        return testing::internal::GetCapturedStderr();
    }
    void Destroy(TWindow* w)
    {
        manager->SafeDestroyWindow(w);
        manager->ClearDestroyedWindows();
    }
};

TEST_F(LifelineTest, AFunctionKeptFromADestroyedWindowIsRefusedWhenAnotherTakesItsAddress)
{
    int firstPokes = 0;
    int secondPokes = 0;
    auto* first = new TSlotWindow(&firstPokes);
    ASSERT_TRUE(manager->GetScreen()->AdoptChild(first, true));
    Run("gOldPoke, gOldPokeBy = Poke, PokeBy  Poke()  PokeBy(2)");
    EXPECT_EQ(firstPokes, 3);

    Destroy(first);
    auto* second = new TSlotWindow(&secondPokes);
    ASSERT_EQ(static_cast<void*>(second), static_cast<void*>(first));
    ASSERT_TRUE(manager->GetScreen()->AdoptChild(second, true));

    const std::string log = Run("gOldPoke()  gOldPokeBy(5)");
    EXPECT_EQ(secondPokes, 0);
    EXPECT_NE(log.find("Poke: called after its object was destroyed; ignored"), std::string::npos) << log;
    EXPECT_NE(log.find("PokeBy: called after its object was destroyed; ignored"), std::string::npos) << log;

    Run("Poke()  PokeBy(5)");
    EXPECT_EQ(secondPokes, 6);
    Destroy(second);
}

TEST_F(LifelineTest, AButtonsCleanupCalledAfterTheButtonIsDestroyedIsRefused)
{
    Run("PushModal('b') gT = { name = 'gone', w = 10, h = 10 } MakeDialog { Button(gT) }");
    TWindow* button = Find("gone");
    ASSERT_NE(button, nullptr);
    Destroy(button);
    const std::string log = Run("gT.cleanup()");
    EXPECT_NE(log.find("cleanup: called after its object was destroyed; ignored"), std::string::npos) << log;
}

// Another class that publishes "Poke": the register keeps the name with
// whoever holds it while that holder lives.
class TOtherPoker : public TWindow {
public:
    explicit TOtherPoker(int* pokes) : mPokes(pokes)
    {
        TWindowScript* script = TWindowScript::Get();
        published = qm::lua::Publish(script->GetState(), "Poke", "TOtherPoker", this, Lifeline(), LuaPoke);
    }
    bool published = false;

private:
    static int LuaPoke(lua_State* L)
    {
        *qm::lua::Self<TOtherPoker>(L)->mPokes += 100;
        return 0;
    }
    int* mPokes;
};

int LuaNothingAtAll(lua_State*) { return 0; }

TEST_F(LifelineTest, ANameHeldByALiveObjectOfAnotherClassIsRefusedAndLogged)
{
    int slotPokes = 0;
    int otherPokes = 0;
    auto* slot = new TSlotWindow(&slotPokes);
    ASSERT_TRUE(manager->GetScreen()->AdoptChild(slot, true));

    testing::internal::CaptureStderr();
    auto* other = new TOtherPoker(&otherPokes);
    const std::string log = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(manager->GetScreen()->AdoptChild(other, true));
    EXPECT_FALSE(other->published);
    EXPECT_NE(log.find("Poke: already published by TSlotWindow; TOtherPoker's is refused"), std::string::npos) << log;
    Run("Poke()");
    EXPECT_EQ(slotPokes, 1);
    EXPECT_EQ(otherPokes, 0);
    ASSERT_EQ(qm::lua::RefusedPublications(L).size(), 1u);

    // Once the holder is gone the other class may take the name.
    Destroy(slot);
    auto* later = new TOtherPoker(&otherPokes);
    ASSERT_TRUE(manager->GetScreen()->AdoptChild(later, true));
    EXPECT_TRUE(later->published);
    Run("Poke()");
    EXPECT_EQ(otherPokes, 100);
    Destroy(other);
    Destroy(later);
}

TEST_F(LifelineTest, TheNewestObjectOfTheSameClassTakesItsNameOver)
{
    int firstPokes = 0;
    int secondPokes = 0;
    auto* first = new TOtherPoker(&firstPokes);
    auto* second = new TOtherPoker(&secondPokes);
    ASSERT_TRUE(manager->GetScreen()->AdoptChild(first, true));
    ASSERT_TRUE(manager->GetScreen()->AdoptChild(second, true));
    EXPECT_TRUE(second->published);
    Run("Poke()");
    EXPECT_EQ(firstPokes, 0);
    EXPECT_EQ(secondPokes, 100);
    EXPECT_TRUE(qm::lua::RefusedPublications(L).empty());
    Destroy(first);
    Destroy(second);
}

TEST_F(LifelineTest, AFunctionBoundToNoObjectHoldsItsNameForTheLifeOfTheState)
{
    ASSERT_TRUE(qm::lua::Publish(L, "Nothing", "the globals", nullptr, LuaNothingAtAll));
    int pokes = 0;
    testing::internal::CaptureStderr();
    auto* other = new TOtherPoker(&pokes);
    testing::internal::GetCapturedStderr();
    ASSERT_TRUE(manager->GetScreen()->AdoptChild(other, true));
    EXPECT_TRUE(other->published);  // a different name
    EXPECT_FALSE(qm::lua::Publish(L, "Poke", "the globals", nullptr, LuaNothingAtAll));
    Destroy(other);
    EXPECT_TRUE(qm::lua::Publish(L, "Poke", "the globals", nullptr, LuaNothingAtAll));

    // The register names each global's owner, whether it lives, and its function.
    bool found = false;
    for (const qm::lua::TPublication& p : qm::lua::Publications(L)) {
        if (p.name != "Nothing")
            continue;
        found = true;
        EXPECT_EQ(p.owner, "the globals");
        EXPECT_TRUE(p.alive);
        EXPECT_EQ(p.fn, &LuaNothingAtAll);
    }
    EXPECT_TRUE(found);
}

}  // namespace
