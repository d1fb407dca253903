#include "engine/script/buttonaction.h"

#include "engine/script/luaobject.h"
#include "engine/window/message.h"
#include "engine/window/windowmanager.h"

TButton::LuaAction::LuaAction(TLuaFunction* function) : mFunction(function) {}

TButton::LuaAction::~LuaAction() = default;

bool TButton::LuaAction::DoAction(TButton* button)
{
    auto* message = new TMessage(kLuaButtonAction, str("LuaAction:") + button->GetName(), nullptr);
    if (TWindowManager* manager = TWindowManager::GetInstance())
        manager->OnScriptMessage(message, mFunction.get());
    else
        delete message;
    return true;
}
