#include "places.h"

#include "colours.h"

#include "engine/base/xml.h"

#include "lauxlib.h"
#include "lua.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace contentlint {

namespace {

std::string Describe(const TRect& b)
{
    return std::to_string(b.x1) + "," + std::to_string(b.y1) + " " + std::to_string(b.Width()) + "x" +
           std::to_string(b.Height());
}

// Whether two boxes share any pixel (boxes that only touch do not).
bool Meets(const TRect& a, const TRect& b)
{
    return !a.Intersect(b).IsEmpty();
}

// A Lua state of its own for a data script: nothing but the language, so a
// script that does more than set its tables fails instead of doing it.
struct TLuaCloser {
    void operator()(lua_State* L) const { lua_close(L); }
};

// The entry on top of the stack as a box: a table of four numbers, x, y,
// width and height.
bool ReadBox(lua_State* L, TRect* box)
{
    if (!lua_istable(L, -1))
        return false;
    int values[4];
    for (int i = 0; i < 4; ++i) {
        lua_rawgeti(L, -1, i + 1);
        const bool number = lua_type(L, -1) == LUA_TNUMBER;
        values[i] = number ? int(lua_tonumber(L, -1)) : 0;
        lua_pop(L, 1);
        if (!number)
            return false;
    }
    *box = {values[0], values[1], values[0] + values[2], values[1] + values[3]};
    return true;
}

// The framelist of a decor file: its `sequence` at the top or under the
// document element, as the game looks it up.
TXmlNode* Sequence(TXmlNode& document)
{
    if (TXmlNode* sequence = document.GetChild("sequence"))
        return sequence;
    str tag;
    TXmlNode* root = nullptr;
    document.ResetChildren();
    while (document.GetNextChild(&tag, &root))
        if (TXmlNode* sequence = root->GetChild("sequence"))
            return sequence;
    return nullptr;
}

int Attribute(TXmlNode* node, const char* name)
{
    return node ? std::atoi(node->GetAttribute(name).c_str()) : 0;
}

}  // namespace

void TPlaces::Add(const TContract& c)
{
    if (c.kind == "coverboxes")
        AddBoxes(c);
    else if (c.kind == "coverpicture")
        AddPicture(c);
    else
        mDecor.push_back(c);
}

void TPlaces::AddBoxes(const TContract& c)
{
    const std::string& script = c.words[0];
    const std::string& table = c.words[1];
    std::string text;
    if (!ReadText(ResourcePath(script), &text)) {
        Fail(c.where, "no script " + script);
        return;
    }
    std::unique_ptr<lua_State, TLuaCloser> state(lua_open());
    lua_State* L = state.get();
    if (luaL_loadbuffer(L, text.data(), text.size(), script.c_str()) != 0 || lua_pcall(L, 0, 0, 0) != 0) {
        Fail(c.where, script + " does not run: " + (lua_isstring(L, -1) ? lua_tostring(L, -1) : "?"));
        return;
    }
    lua_getglobal(L, table.c_str());
    if (!lua_istable(L, -1)) {
        Fail(c.where, script + " sets no table " + table);
        return;
    }
    std::vector<TCover> covers;
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        const std::string name = lua_type(L, -2) == LUA_TSTRING ? lua_tostring(L, -2) : "?";
        TRect box;
        if (ReadBox(L, &box))
            covers.push_back({name + " (" + script + ")", box});
        else
            Fail(c.where, table + "." + name + " in " + script + " is not a box { x, y, w, h }");
        lua_pop(L, 1);
    }
    // (in name order: the table's own order is the hash's)
    std::sort(covers.begin(), covers.end(), [](const TCover& a, const TCover& b) { return a.name < b.name; });
    mCovers.insert(mCovers.end(), covers.begin(), covers.end());
}

void TPlaces::AddPicture(const TContract& c)
{
    const TPicture picture = LoadPicture(c.words[1]);
    if (picture.bgra.empty()) {
        Fail(c.where, "no picture " + c.words[1]);
        return;
    }
    int v[4];
    for (int i = 0; i < 4; ++i)
        v[i] = std::atoi(c.words[std::size_t(i) + 2].c_str());
    // Centred at each end (as DrawSprite centres it), and everywhere between.
    const int left = std::min(v[0], v[2]) - picture.width / 2, top = std::min(v[1], v[3]) - picture.height / 2;
    const TRect box{left, top, left + std::abs(v[2] - v[0]) + picture.width,
                    top + std::abs(v[3] - v[1]) + picture.height};
    mCovers.push_back({c.words[0] + " (" + c.words[1] + ")", box});
}

void TPlaces::Finish()
{
    for (const TContract& c : mDecor)
        for (const std::string& file : c.words)
            CheckDecor(c, file);
}

void TPlaces::CheckDecor(const TContract& c, const std::string& file)
{
    TXmlNode document;
    const std::string path = ResourcePath(file);
    TXmlNode* sequence = !path.empty() && document.ParseFile(path.c_str()) == EXmlParse::kOk ? Sequence(document) : nullptr;
    TXmlNode* frames = sequence ? sequence->GetChild("framelist") : nullptr;
    if (!frames) {
        ++mReport.checks;
        Fail(c.where, file + " places no pictures (no sequence with a framelist)");
        return;
    }
    TXmlNode* origin = sequence->GetChild("img");
    // The game loads each picture from the decor file's own folder.
    std::string folder = fs::path(file).parent_path().generic_string();
    if (folder.rfind("assets/", 0) == 0)
        folder = folder.substr(7);
    str tag;
    TXmlNode* frame = nullptr;
    frames->ResetChildren();
    while (frames->GetNextChild(&tag, &frame)) {
        ++mReport.checks;
        const std::string name = folder + "/" + frame->GetAttribute("name").c_str();
        const TPicture picture = LoadPicture(name);
        if (picture.bgra.empty()) {
            Fail(c.where, file + " places " + name + ", which does not load");
            continue;
        }
        const int x = Attribute(origin, "regx") - Attribute(frame, "regx");
        const int y = Attribute(origin, "regy") - Attribute(frame, "regy");
        const TRect drawn{x, y, x + picture.width, y + picture.height};
        for (const TCover& cover : mCovers)
            if (Meets(drawn, cover.box))
                Fail(c.where, name + " at " + Describe(drawn) + " meets " + cover.name + " at " + Describe(cover.box));
    }
}

}  // namespace contentlint
