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
        qm::lua::Publish(script->GetState(), "Poke", this, Lifeline(), LuaPoke);
        script->PublishIntFunction("PokeBy", Lifeline(), [this](int n) { *mPokes += n; });
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

}  // namespace
