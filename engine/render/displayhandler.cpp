#include "engine/render/displayhandler.h"

namespace {
TDisplayHandler* gInstalled = nullptr;
}

TDisplayHandler* TDisplayHandler::GetInstance()
{
    return gInstalled;
}

TDisplayHandler::TDisplayHandler()
{
    gInstalled = this;
}

TDisplayHandler::~TDisplayHandler()
{
    if (gInstalled == this)
        gInstalled = nullptr;
}
