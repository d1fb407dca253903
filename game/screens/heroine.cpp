#include "game/screens/heroine.h"

namespace {

THeroineMaker& Maker()
{
    static THeroineMaker maker;
    return maker;
}

}  // namespace

void SetHeroineMaker(THeroineMaker maker) { Maker() = std::move(maker); }

std::unique_ptr<IHeroine> MakeHeroine()
{
    return Maker() ? Maker()() : nullptr;
}
