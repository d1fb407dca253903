// The read-only view of a window-definition table that window factories get.
#pragma once

#include "engine/base/str.h"

class TLuaTable;

class TWindowStyle {
public:
    explicit TWindowStyle(TLuaTable* table) : mTable(table) {}
    virtual ~TWindowStyle() = default;

    // The key read with the style chain (see TScript::GetTag) through the
    // window manager's script; def when absent or when there is no script.
    double GetNumber(str key, double def);
    TLuaTable* GetTable() const { return mTable; }

private:
    TLuaTable* mTable;  // not owned
};
