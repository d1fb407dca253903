// A script compiled to a precompiled chunk, cached as an asset: a script
// named twice is compiled once.
#pragma once

#include "engine/base/asset.h"
#include "engine/base/str.h"

#include <memory>
#include <string>

class TScriptCode : public TAsset {
public:
    explicit TScriptCode(std::string bytes) : mBytes(std::move(bytes)) {}

    static TClassId ClassId();
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TAsset::IsKindOf(id); }

    // The chunk of the script file (through the resource rules), compiled
    // with LUA_PATH set to luaPath (empty: "assets/?;../?;?"); empty when
    // the name is empty or the file does not compile.
    static std::shared_ptr<TScriptCode> Get(str file, str luaPath);

    // The chunk may contain zero bytes, so it is kept with its own count.
    const char* GetBytes() const { return mBytes.data(); }
    int GetSize() const { return static_cast<int>(mBytes.size()); }

private:
    std::string mBytes;
};
