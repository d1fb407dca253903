// qm::lua::Method: a C++ method published to Lua by naming it. Each kind of
// argument and result crosses as the hand-written adapters did: numbers
// strictly, strings strictly, flags as Lua truth; a wrong argument is a Lua
// error naming the function and the argument, raised before the object is
// touched; a missing object (a finder answering null, a lifeline cut) makes
// the call do nothing.
#include "engine/script/luabind.h"

#include "lauxlib.h"
#include "lua.h"
#include "lualib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>

namespace {

using qm::lua::Method;

// Records every call it gets, so a test can tell whether the method ran.
class TRecorder {
public:
    void Poke() { ++pokes; }
    void Take(int i, double d, float f, bool b, const str& s, const char* c)
    {
        ++pokes;
        intArg = i;
        doubleArg = d;
        floatArg = f;
        boolArg = b;
        strArg = s.c_str();
        cArg = c;
    }
    void TakeFlag(bool b) { flags += b ? "T" : "F"; }
    bool IsEven(int n) const { return n % 2 == 0; }
    int Twice(int n) { return 2 * n; }
    double Half(double d) const { return d / 2; }
    float Third(float f) { return f / 3; }
    str Greet(str who) const { return str("hello ") + who; }
    const char* Label() const { return "label"; }

    int pokes = 0;
    int intArg = 0;
    double doubleArg = 0;
    float floatArg = 0;
    bool boolArg = false;
    std::string strArg;
    std::string cArg;
    std::string flags;
};

// What the finder-based adapters reach: the instance of the moment, or none.
TRecorder* gCurrent = nullptr;
TRecorder* Current(lua_State*) { return gCurrent; }

struct TStateCloser {
    void operator()(lua_State* L) const { lua_close(L); }
};

class MethodTest : public testing::Test {
protected:
    MethodTest() : mState(lua_open())
    {
        luaopen_base(L());
        lua_settop(L(), 0);
        const qm::lua::TBinding bound[] = {
            {"Poke", Method<&TRecorder::Poke>},
            {"Take", Method<&TRecorder::Take>},
            {"TakeFlag", Method<&TRecorder::TakeFlag>},
            {"IsEven", Method<&TRecorder::IsEven>},
            {"Twice", Method<&TRecorder::Twice>},
            {"Half", Method<&TRecorder::Half>},
            {"Third", Method<&TRecorder::Third>},
            {"Greet", Method<&TRecorder::Greet>},
            {"Label", Method<&TRecorder::Label>},
        };
        qm::lua::PublishAll(L(), bound, "TRecorder", &mRecorder, mLife);
        const qm::lua::TBinding found[] = {
            {"CurrentPoke", Method<&TRecorder::Poke, Current>},
            {"CurrentTwice", Method<&TRecorder::Twice, Current>},
        };
        qm::lua::PublishAll(L(), found, "current recorder");
    }
    ~MethodTest() override { gCurrent = nullptr; }

    lua_State* L() { return mState.get(); }

    // Runs the text; answers the error message, or nothing when it ran.
    std::optional<std::string> Run(const char* text)
    {
        int status = luaL_loadbuffer(L(), text, std::strlen(text), "=test");
        if (status == 0)
            status = lua_pcall(L(), 0, 0, 0);
        if (status == 0)
            return std::nullopt;
        std::string message = lua_tostring(L(), -1) ? lua_tostring(L(), -1) : "(no message)";
        lua_pop(L(), 1);
        return message;
    }
    // Runs "return <expression>" and leaves the value as the global r.
    std::string TypeAndValueOf(const char* expression)
    {
        const std::string text = std::string("r = ") + expression + "  rt = type(r)  rs = tostring(r)";
        if (auto error = Run(text.c_str()))
            return "error: " + *error;
        return Global("rt") + " " + Global("rs");
    }
    std::string Global(const char* name)
    {
        lua_getglobal(L(), name);
        std::string value = lua_tostring(L(), -1) ? lua_tostring(L(), -1) : "nil";
        lua_pop(L(), 1);
        return value;
    }

    TRecorder mRecorder;
    std::unique_ptr<lua_State, TStateCloser> mState;
    TLifeline mLife;
};

TEST_F(MethodTest, EveryArgumentKindArrivesAsTheMethodTakesIt)
{
    ASSERT_EQ(Run("Take(-7.9, 2.25, 1.5, 0, 'two words', 'c text')"), std::nullopt);
    EXPECT_EQ(mRecorder.pokes, 1);
    EXPECT_EQ(mRecorder.intArg, -7) << "ints are truncated toward zero";
    EXPECT_DOUBLE_EQ(mRecorder.doubleArg, 2.25);
    EXPECT_FLOAT_EQ(mRecorder.floatArg, 1.5f);
    EXPECT_TRUE(mRecorder.boolArg) << "0 is true in Lua";
    EXPECT_EQ(mRecorder.strArg, "two words");
    EXPECT_EQ(mRecorder.cArg, "c text");

    ASSERT_EQ(Run("Take(1e300, 0, 0, nil, '12', '')"), std::nullopt);
    EXPECT_EQ(mRecorder.intArg, 2147483647) << "a number beyond int is held at its end";
    EXPECT_FALSE(mRecorder.boolArg);
    EXPECT_EQ(mRecorder.strArg, "12") << "a numeral string stays a string";

    ASSERT_EQ(Run("Poke()  Poke('extra', 1)"), std::nullopt) << "arguments beyond the method's are ignored";
    EXPECT_EQ(mRecorder.pokes, 4);
}

TEST_F(MethodTest, AFlagIsLuaTruth)
{
    ASSERT_EQ(Run("TakeFlag(true) TakeFlag(false) TakeFlag(nil) TakeFlag() TakeFlag(0) TakeFlag('') TakeFlag({})"),
              std::nullopt);
    EXPECT_EQ(mRecorder.flags, "TFFFTTT");
}

TEST_F(MethodTest, EveryResultKindComesBackAsItsLuaType)
{
    EXPECT_EQ(TypeAndValueOf("IsEven(4)"), "boolean true");
    EXPECT_EQ(TypeAndValueOf("IsEven(3)"), "boolean false");
    EXPECT_EQ(TypeAndValueOf("Twice(21)"), "number 42");
    EXPECT_EQ(TypeAndValueOf("Half(3)"), "number 1.5");
    EXPECT_EQ(TypeAndValueOf("Third(1.5)"), "number 0.5");
    EXPECT_EQ(TypeAndValueOf("Greet('Quessa')"), "string hello Quessa");
    EXPECT_EQ(TypeAndValueOf("Label()"), "string label");
    EXPECT_EQ(TypeAndValueOf("Poke()"), "nil nil") << "a void method returns nothing";
    ASSERT_EQ(Run("local a, b = Twice(1)  second = b"), std::nullopt);
    EXPECT_EQ(Global("second"), "nil") << "one result, not more";
}

TEST_F(MethodTest, AWrongArgumentIsALuaErrorNamingTheFunctionAndTheMethodNeverRuns)
{
    struct TCase {
        const char* call;
        const char* message;
    };
    const TCase cases[] = {
        {"Twice('12')", "bad argument #1 to `Twice' (number expected, got string)"},
        {"Twice()", "bad argument #1 to `Twice' (number expected, got no value)"},
        {"Half(nil)", "bad argument #1 to `Half' (number expected, got nil)"},
        {"Greet(12)", "bad argument #1 to `Greet' (string expected, got number)"},
        {"Take(1, 2, 3, true, 's', {})", "bad argument #6 to `Take' (string expected, got table)"},
        {"Take(1, 'x', 3, true, 5, 6)", "bad argument #2 to `Take' (number expected, got string)"},
    };
    for (const TCase& c : cases) {
        const std::optional<std::string> error = Run(c.call);
        ASSERT_TRUE(error.has_value()) << c.call;
        EXPECT_NE(error->find(c.message), std::string::npos) << c.call << " -> " << *error;
    }
    EXPECT_EQ(mRecorder.pokes, 0) << "no method ran with a bad argument";
}

TEST_F(MethodTest, TheFinderGivesTheObjectAndNoObjectMeansNothingHappens)
{
    EXPECT_EQ(TypeAndValueOf("CurrentTwice(4)"), "nil nil");
    ASSERT_EQ(Run("CurrentPoke()"), std::nullopt);

    TRecorder current;
    gCurrent = &current;
    EXPECT_EQ(TypeAndValueOf("CurrentTwice(4)"), "number 8");
    ASSERT_EQ(Run("CurrentPoke()"), std::nullopt);
    EXPECT_EQ(current.pokes, 1);
    EXPECT_EQ(mRecorder.pokes, 0) << "the finder's object, not the bound one";

    gCurrent = nullptr;
    const std::optional<std::string> error = Run("CurrentTwice('x')");
    ASSERT_TRUE(error.has_value()) << "arguments are checked even when there is no object";
    EXPECT_NE(error->find("bad argument #1 to `CurrentTwice'"), std::string::npos) << *error;
}

TEST_F(MethodTest, AMethodOfAnObjectWhoseLifelineIsCutIsNotCalled)
{
    ASSERT_EQ(Run("Poke()"), std::nullopt);
    mLife.Cut();
    testing::internal::CaptureStderr();
    ASSERT_EQ(Run("Poke()"), std::nullopt);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(mRecorder.pokes, 1);
    EXPECT_NE(log.find("Poke: called after its object was destroyed; ignored"), std::string::npos) << log;
}

}  // namespace
