#include "game/editors/editorfields.h"

#include "engine/script/luabind.h"
#include "engine/script/windowscript.h"
#include "engine/window/button.h"
#include "engine/window/modalwindow.h"
#include "engine/window/text.h"
#include "engine/window/windowmanager.h"
#include "game/screens/screencontract.h"

#include <cstdlib>

namespace editors {

namespace {

// A name the code asks for is held to the editor's statement; one the
// script hands in (SetWindowText) is the script's own business.
template <typename T>
T* FindNamed(TWindow* editor, const str& name, bool stated = true)
{
    if (stated)
        contract::Check(editor, name.c_str());
    if (editor)
        if (T* found = dynamic_cast<T*>(editor->GetChildWindow(name, -1)))
            return found;
    TWindowManager* manager = TWindowManager::GetInstance();
    TWindow* top = manager ? manager->GetTopModalWindow() : nullptr;
    return top ? dynamic_cast<T*>(top->GetChildWindow(name, -1)) : nullptr;
}

int LuaSetWindowText(lua_State* L)
{
    const str name = qm::lua::CheckString(L, 1);
    const str text = qm::lua::CheckString(L, 2);
    if (TText* field = FindNamed<TText>(qm::lua::Self<TWindow>(L), name, false))
        field->SetText(text);
    return 0;
}

const qm::lua::TBinding kFieldFunctions[] = {
    {"SetWindowText", LuaSetWindowText},
};

}  // namespace

void PublishFieldFunctions(TWindow* editor)
{
    if (TWindowScript* script = TWindowScript::Get())
        qm::lua::PublishAll(script->GetState(), kFieldFunctions, "editor fields", editor, editor->Lifeline());
}

TText* FindField(TWindow* editor, const str& name) { return FindNamed<TText>(editor, name); }

void SetField(TWindow* editor, const str& name, const str& text)
{
    if (TText* field = FindField(editor, name))
        field->SetText(text);
}

str GetField(TWindow* editor, const str& name)
{
    TText* field = FindField(editor, name);
    return field ? field->GetText() : str();
}

int GetIntField(TWindow* editor, const str& name) { return std::atoi(GetField(editor, name).c_str()); }

float GetFloatField(TWindow* editor, const str& name)
{
    return static_cast<float>(std::atof(GetField(editor, name).c_str()));
}

TButton* FindToggle(TWindow* editor, const str& name) { return FindNamed<TButton>(editor, name); }

void SetToggle(TWindow* editor, const str& name, bool on)
{
    if (TButton* button = FindToggle(editor, name))
        button->SetOn(on);
}

bool GetToggle(TWindow* editor, const str& name)
{
    TButton* button = FindToggle(editor, name);
    return button && button->IsOn();
}

}  // namespace editors
