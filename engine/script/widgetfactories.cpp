#include "engine/script/widgetfactories.h"

#include "engine/script/luabind.h"
#include "engine/script/windowstyle.h"
#include "engine/window/button.h"
#include "engine/window/text.h"
#include "engine/window/textedit.h"

TWindow* TButtonFactory::Create(TWindowStyle* style)
{
    // (a script's number: one beyond int would be undefined cast straight)
    const int type = style ? qm::lua::ToInt(style->GetNumber("type", 0)) : 0;
    return new TButton(static_cast<TButton::EButtonType>(type));
}

TWindow* TTextFactory::Create(TWindowStyle*)
{
    return new TText(false);
}

TWindow* TTextEditFactory::Create(TWindowStyle*)
{
    return new TTextEdit;
}
