// The contract between the game's window classes and the scripts that build
// them: every shipped script is opened headless through the game's own
// start-up, on its own data, and every child its classes state must be
// there, of the stated class; no Lua global has two owners, none is refused
// as another owner's, and none of the functions the classes publish is a
// stand-in that does nothing.
#include "gameapp_fixture.h"

#include "engine/script/luabind.h"
#include "engine/window/message.h"
#include "engine/window/modalwindow.h"
#include "engine/window/windowmanager.h"
#include "game/app/luaglobals.h"
#include "game/app/windowtypes.h"
#include "game/screens/fillwindow.h"
#include "game/screens/hiscore.h"
#include "game/screens/screencontract.h"
#include "game/settings/settings.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using contract::EScope;
using contract::TChildSpec;
using contract::TScreenSpec;

// A main loop that opens nothing and waits, so each test opens its script.
constexpr char kWaitingMainLoop[] = R"(
    ReadFile('scripts/ui.lua')
    return function()
        while true do WaitForMessage() end
    end)";

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every script a statement names (the classes' own, and those whose screens
// a class looks into), and every other shipped script that builds a window
// of a stated type (the comics beside the first).
std::vector<std::string> StatedScripts()
{
    std::set<std::string> scripts;
    std::set<std::string> types;
    for (const game::TStatedClass& stated : game::StatedWindowClasses()) {
        if (stated.contract->script)
            scripts.insert(stated.contract->script);
        if (stated.contract->script && stated.contract->typeName)
            types.insert(stated.contract->typeName);
        for (const TChildSpec& child : stated.contract->children)
            if (child.script)
                scripts.insert(child.script);
    }
    const fs::path folder = fs::path(QM_SOURCE_DIR) / "data" / "assets" / "scripts";
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string text = ReadText(entry.path());
        for (const std::string& type : types)
            if (std::regex_search(text, std::regex("\\b" + type + "\\s*\\{")))
                scripts.insert("scripts/" + entry.path().filename().string());
    }
    return {scripts.begin(), scripts.end()};
}

// Every window class whose header under game/ states what it shares with its
// script (a `static const contract::TScreenSpec kContract;` in the class).
std::set<std::string> ClassesWithAStatement()
{
    const std::regex classLine(R"(^class (T\w+)\b)");
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(QM_SOURCE_DIR) / "game")) {
        if (entry.path().extension() != ".h")
            continue;
        std::istringstream in(ReadText(entry.path()));
        std::string line, current;
        std::smatch match;
        while (std::getline(in, line)) {
            if (std::regex_search(line, match, classLine))
                current = match[1];
            else if (!current.empty() && line.find("static const contract::TScreenSpec kContract;") != std::string::npos)
                names.insert(current);
        }
    }
    return names;
}

// The window of a stated class that is most derived: a TTimedFade is no
// TScreenFade here.
bool IsOfStatement(TWindow* w, const TScreenSpec& spec) { return contract::ContractOf(w) == &spec; }

void CollectOfStatement(TWindow* w, const TScreenSpec& spec, std::vector<TWindow*>* found)
{
    if (IsOfStatement(w, spec))
        found->push_back(w);
    for (TWindow* child : w->GetChildren())
        CollectOfStatement(child, spec, found);
}

// What is wrong with one stated child below `root` ("" when nothing is).
std::string CheckChild(const TScreenSpec& spec, const TChildSpec& child, TWindow* root, const std::string& where)
{
    std::string problems;
    const int first = child.IsNumbered() ? child.first : 0;
    const int last = child.IsNumbered() ? child.last : 0;
    for (int n = first; n <= last; ++n) {
        const std::string name = child.NameOf(n);
        TWindow* w = root ? root->GetChildWindow(name.c_str(), -1) : nullptr;
        if (!w) {
            if (!child.optional)
                problems += std::string(spec.className) + ": \"" + name + "\" is missing from " + where +
                            " (build it there, or state it Optional() in " + spec.className +
                            "::kContract when the code does without it)\n";
            continue;
        }
        if (!w->IsKindOf(child.cls()))
            problems += std::string(spec.className) + ": \"" + name + "\" in " + where +
                        " is not of the class " + spec.className + "::kContract states for it\n";
    }
    return problems;
}

class ScreenContract : public GameAppWithConfigTest {
protected:
    void SetUp() override
    {
        GameAppWithConfigTest::SetUp();
        Script("mainloop.lua", kWaitingMainLoop);
        Start();
        TSettings* settings = TSettings::GetInstance();
        ASSERT_NE(settings, nullptr);
        settings->CreateNewUser("Ann");
        settings->SetCurrentUser(0, true);
    }

    TModalWindow* ModalNamed(const std::string& name)
    {
        for (TModalWindow* modal : manager->GetModalStack())
            if (modal->GetName() == str(name.c_str()))
                return modal;
        return nullptr;
    }

    // Builds the screen of a script as the game does; answers its modal.
    TModalWindow* Open(const std::string& script)
    {
        if (script == "scripts/leveleditorparties.lua") {
            // The party page opens over the level editor, which registers
            // the customer list's window type.
            if (!Open("scripts/leveleditor.lua"))
                return nullptr;
            Lua("PushModal('" + script + "') ReadFile('" + script + "')", "gNothing");
        } else if (script == THiscore::kSubmitScript) {
            // The hiscore screen opens its submit dialog when "submit" is pressed.
            TModalWindow* scores = Open("scripts/hiscore.lua");
            TWindow* hiscore = scores ? scores->GetChildWindow("hiscore", -1) : nullptr;
            if (!hiscore)
                return nullptr;
            TMessage press(kButtonPress, "submit", nullptr);
            hiscore->OnMessage(&press);
        } else {
            Lua("PushModal('" + script + "') ReadFile('" + script + "')", "gNothing");
        }
        Idle(16);
        return ModalNamed(script);
    }
};

}  // namespace

// ---- what the statements say, without running anything

TEST(ScreenContractStatements, ListEveryWindowClassWithItsScript)
{
    const fs::path assets = fs::path(QM_SOURCE_DIR) / "data" / "assets";
    std::set<std::string> classes;
    for (const game::TStatedClass& stated : game::StatedWindowClasses()) {
        const TScreenSpec& spec = *stated.contract;
        EXPECT_TRUE(classes.insert(spec.className).second) << spec.className << " is stated twice";
        std::printf("%-20s %-20s %s\n", spec.className, spec.typeName ? spec.typeName : "(made by code)",
                    spec.script ? spec.script : "(no script of its own)");
        if (spec.script) {
            EXPECT_TRUE(fs::exists(assets / spec.script)) << spec.className << ": " << spec.script << " is missing";
        }
        for (const TChildSpec& child : spec.children) {
            if (child.script) {
                EXPECT_TRUE(fs::exists(assets / child.script))
                    << spec.className << ": " << child.script << " is missing";
            }
        }
    }
    // Every class that states a contract is listed (the game types Main
    // registers, the editors' two lists, the classes made by code or by a
    // factory), and so are Main's globals, a statement of no class.
    const std::set<std::string> declared = ClassesWithAStatement();
    for (const std::string& name : declared)
        EXPECT_TRUE(classes.count(name)) << name << " states a kContract, but game/app/windowtypes.cpp lists it "
                                         << "nowhere: register its window type there (or list it with the "
                                         << "classes made by code)";
    for (const std::string& name : classes)
        EXPECT_TRUE(declared.count(name) || name == game::kMainContract.className)
            << name << " is listed, but no header under game/ states its kContract";
    EXPECT_EQ(classes.size(), declared.size() + 1);
}

TEST(ScreenContractStatements, NoLuaGlobalHasTwoOwners)
{
    std::map<std::string, std::string> owners;
    for (const game::TStatedClass& stated : game::StatedWindowClasses()) {
        for (const qm::lua::TBinding& binding : stated.contract->functions) {
            const std::string owner = stated.contract->FunctionOwner();
            auto [at, added] = owners.emplace(binding.name, owner);
            EXPECT_TRUE(added || at->second == owner)
                << binding.name << " is published by " << at->second << " and by " << owner;
        }
    }
}

namespace {

// The source of the game, with its comments taken out.
std::map<std::string, std::string> GameSources()
{
    std::map<std::string, std::string> sources;
    const std::regex comment(R"(//[^\n]*|/\*[\s\S]*?\*/)");
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(QM_SOURCE_DIR) / "game")) {
        const std::string ext = entry.path().extension().string();
        if (ext == ".cpp" || ext == ".h")
            sources[entry.path().string()] = std::regex_replace(ReadText(entry.path()), comment, "");
    }
    return sources;
}

std::string WithoutSpace(std::string text)
{
    std::string out;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)))
            out += c;
    return out;
}

// The body of the definition of `head` (a regex ending before the
// parameter list) in any source that names `identifier`, or nullopt.
std::optional<std::string> BodyOf(const std::map<std::string, std::string>& sources, const std::string& head,
                                  const std::string& identifier)
{
    const std::regex definition(head + R"(\s*\([^;{)]*\)\s*(const\s*)?(override\s*)?\{)");
    for (const auto& [file, text] : sources) {
        if (text.find(identifier) == std::string::npos)
            continue;
        std::smatch m;
        if (!std::regex_search(text, m, definition))
            continue;
        size_t at = static_cast<size_t>(m.position(0) + m.length(0));
        int depth = 1;
        const size_t start = at;
        while (at < text.size() && depth > 0) {
            if (text[at] == '{')
                ++depth;
            else if (text[at] == '}')
                --depth;
            ++at;
        }
        return text.substr(start, at - start - 1);
    }
    return std::nullopt;
}

// Why the function a binding table names for `name` is a stand-in ("" when
// it does something).
std::string StandInReason(const std::map<std::string, std::string>& sources, const std::string& name)
{
    const std::regex entry("\\{\\s*\"" + name + R"("\s*,\s*&?([^}]+?)\s*\})");
    std::string reason;
    bool seen = false;
    for (const auto& [file, text] : sources) {
        if (text.find("\"" + name + "\"") == std::string::npos)
            continue;
        for (auto it = std::sregex_iterator(text.begin(), text.end(), entry); it != std::sregex_iterator(); ++it) {
            seen = true;
            const std::string function = WithoutSpace((*it)[1].str());
            // A member function behind a template binding (LuaMethod<T, &T::M>).
            std::smatch member;
            if (std::regex_search(function, member, std::regex(R"(&(\w+)::(\w+)>$)"))) {
                const auto body = BodyOf(sources, member[1].str() + "::" + member[2].str(), member[2].str());
                const auto inlineBody = BodyOf(sources, "void\\s+" + member[2].str(), member[2].str());
                const auto& found = body ? body : inlineBody;
                if (found && WithoutSpace(*found).empty())
                    reason += name + ": " + member[1].str() + "::" + member[2].str() + " does nothing\n";
                continue;
            }
            const auto body = BodyOf(sources, "int\\s+" + function, function);
            if (!body)
                continue;  // a function of another kind: taken as doing something
            if (std::regex_match(WithoutSpace(*body), std::regex(R"(return-?\d+;|)")))
                reason += name + ": " + function + " only returns\n";
        }
    }
    if (!seen)
        reason += name + ": no binding table in the game names it\n";
    return reason;
}

}  // namespace

TEST(ScreenContractStatements, NoPublishedFunctionIsAStandIn)
{
    const auto sources = GameSources();
    for (const game::TStatedClass& stated : game::StatedWindowClasses())
        for (const qm::lua::TBinding& binding : stated.contract->functions)
            EXPECT_EQ(StandInReason(sources, binding.name), "") << stated.contract->className;
}

TEST(ScreenContractStatements, TheStandInCheckSeesAFunctionThatOnlyReturns)
{
    const std::map<std::string, std::string> sources = {
        {"a.cpp", "int LuaNothing(lua_State*) { return 0; }\n"
                  "int LuaReal(lua_State* L) { Self(L)->Go(); return 0; }\n"
                  "const TBinding k[] = { {\"Nothing\", LuaNothing}, {\"Real\", LuaReal},\n"
                  "  {\"Empty\", LuaMethod<TThing, &TThing::Empty>}, {\"Full\", LuaMethod<TThing, &TThing::Full>} };\n"
                  "void TThing::Empty() {}\n"
                  "void TThing::Full() { mGone = true; }\n"}};
    EXPECT_NE(StandInReason(sources, "Nothing"), "");
    EXPECT_EQ(StandInReason(sources, "Real"), "");
    EXPECT_NE(StandInReason(sources, "Empty"), "");
    EXPECT_EQ(StandInReason(sources, "Full"), "");
}

TEST(ScreenContractLookups, AChildNotInItsClassStatementIsNamedWithTheClass)
{
    TFillWindow fill;  // states no children
    const size_t before = contract::UnstatedLookups().size();
    EXPECT_FALSE(contract::Check(&fill, "sparkle"));
    EXPECT_FALSE(contract::Check(&fill, "sparkle"));  // reported once
    const std::vector<std::string> unstated = contract::UnstatedLookups();
    ASSERT_EQ(unstated.size(), before + 1);
    EXPECT_EQ(unstated.back(), "TFillWindow: \"sparkle\"");
}

// ---- the shipped scripts, opened as the game opens them

class ScreenContractScript : public ScreenContract, public testing::WithParamInterface<std::string> {};

TEST_P(ScreenContractScript, BuildsEveryChildItsClassesState)
{
    const std::string script = GetParam();
    const size_t unstatedBefore = contract::UnstatedLookups().size();
    TModalWindow* screen = Open(script);
    ASSERT_NE(screen, nullptr) << script << " did not open";
    std::string problems;
    for (const game::TStatedClass& stated : game::StatedWindowClasses()) {
        const TScreenSpec& spec = *stated.contract;
        // Children a class finds in this script's screen, though it is built elsewhere.
        for (const TChildSpec& child : spec.children)
            if (child.script && script == child.script)
                problems += CheckChild(spec, child, screen, script);
        // The class's own children, wherever a window of it is built.
        std::vector<TWindow*> windows;
        CollectOfStatement(screen, spec, &windows);
        if (windows.empty()) {
            if (spec.script && script == spec.script)
                problems += std::string(spec.className) + ": " + script + " builds no " +
                            (spec.typeName ? spec.typeName : spec.className) + "\n";
            continue;
        }
        for (TWindow* window : windows) {
            for (const TChildSpec& child : spec.children) {
                if (child.script)
                    continue;
                TWindow* root = child.scope == EScope::kScreen ? screen : window;
                problems += CheckChild(spec, child, root, script);
            }
        }
    }
    // A child the code looks up that its class does not state: add it to
    // the class's statement (its kContract) and to the script.
    const std::vector<std::string> unstated = contract::UnstatedLookups();
    for (size_t i = unstatedBefore; i < unstated.size(); ++i)
        problems += unstated[i] + " is read by the code but not in the statement\n";
    EXPECT_EQ(problems, "");
    const std::vector<std::string> refused = qm::lua::RefusedPublications(L);
    EXPECT_TRUE(refused.empty()) << refused.front();
}

INSTANTIATE_TEST_SUITE_P(Shipped, ScreenContractScript, testing::ValuesIn(StatedScripts()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name;
                             for (char c : fs::path(info.param).stem().string())
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

TEST_F(ScreenContract, StartingTheGameRefusesNoLuaGlobal)
{
    // The start-up publishes the game's globals and services over the
    // engine's; a second owner of a name would be refused (and logged).
    const std::vector<std::string> refused = qm::lua::RefusedPublications(L);
    EXPECT_TRUE(refused.empty()) << refused.front();
    // SetTopModalOnly is the window manager's alone.
    std::string owner;
    for (const qm::lua::TPublication& p : qm::lua::Publications(L))
        if (p.name == "SetTopModalOnly")
            owner = p.owner;
    EXPECT_EQ(owner, "TWindowManager");
}
