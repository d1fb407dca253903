// TQuessaRefresh: the waitress's texture-refresh listener. After the platform
// lost and reloaded textures it puts her clothing on again, which copies and
// tints each layer afresh. It stays on the list until she orphans it.
#pragma once

#include "engine/base/task.h"

class TQuessa;

class TQuessaRefresh : public TTask {
public:
    explicit TQuessaRefresh(TQuessa* waitress) : mWaitress(waitress) {}
    bool Ready(ETaskContext) override { return true; }
    bool DoTask() override;

private:
    TQuessa* mWaitress;  // she orphans this task before she goes away
};
