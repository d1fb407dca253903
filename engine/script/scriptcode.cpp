#include "engine/script/scriptcode.h"

#include "engine/platform/platform.h"

#include "lauxlib.h"
#include "lua.h"
#include "lualib.h"

TClassId TScriptCode::ClassId()
{
    return MakeClassId(&TScriptCode::ClassId);
}

namespace {

int AppendPiece(lua_State*, const void* p, size_t size, void* out)
{
    static_cast<std::string*>(out)->append(static_cast<const char*>(p), size);
    return 1;
}

std::shared_ptr<TScriptCode> Compile(const str& file, str luaPath)
{
    lua_State* L = lua_open();
    luaopen_base(L);
    lua_settop(L, 0);
    if (luaPath.length() == 0)
        luaPath = "assets/?;../?;?";
    const str setPath = str("LUA_PATH='") + luaPath + "' ;";
    lua_dostring(L, setPath.c_str());
    std::shared_ptr<TScriptCode> code;
    if (luaL_loadfile(L, file.c_str()) == 0) {
        std::string bytes;
        lua_dump(L, AppendPiece, &bytes);
        code = std::make_shared<TScriptCode>(std::move(bytes));
    }
    lua_close(L);
    return code;
}

}  // namespace

std::shared_ptr<TScriptCode> TScriptCode::Get(str file, str luaPath)
{
    if (file.length() == 0)
        return nullptr;
    if (TPlatform* platform = TPlatform::GetInstance()) {
        const str translated = platform->TranslateResource(file);
        if (translated.length() != 0)
            file = translated;
    }
    TAssetManager* assets = TAssetManager::GetInstance();
    if (assets) {
        if (std::shared_ptr<TAsset> cached = assets->GetAsset(file); cached && cached->IsKindOf(ClassId()))
            return std::static_pointer_cast<TScriptCode>(cached);
    }
    std::shared_ptr<TScriptCode> code = Compile(file, luaPath);
    if (assets && code)
        assets->AddAsset(file, code);
    return code;
}
