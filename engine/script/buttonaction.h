// The command of a button made by a screen script: a Lua function that the
// window script runs when the button is clicked.
#pragma once

#include "engine/window/button.h"

#include <memory>

class TLuaFunction;

class TButton::LuaAction : public TButton::Action {
public:
    // Takes ownership of the function.
    explicit LuaAction(TLuaFunction* function);
    ~LuaAction() override;

    bool DoAction(TButton* button) override;

private:
    std::unique_ptr<TLuaFunction> mFunction;
};
