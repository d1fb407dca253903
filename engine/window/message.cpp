#include "engine/window/message.h"

#include <utility>

str FormatWindowId(int id)
{
    return str::getFormatted("%8x", static_cast<unsigned>(id));
}

TMessage::TMessage(int type, str name, TWindow* target)
    : mType(type), mName(std::move(name)), mTarget(target)
{
}

TClassId TMessage::ClassId()
{
    return MakeClassId(&TMessage::ClassId);
}
