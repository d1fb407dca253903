#include "engine/render/displayhandler.h"

#include "engine/base/instanceholder.h"

TDisplayHandler* TDisplayHandler::GetInstance()
{
    return TInstanceHolder<TDisplayHandler>::Get();
}

TDisplayHandler::TDisplayHandler()
{
    TInstanceHolder<TDisplayHandler>::Publish(this);
}

TDisplayHandler::~TDisplayHandler()
{
    TInstanceHolder<TDisplayHandler>::Withdraw(this);
}
