#include "game/screens/texturerefresh.h"

#include "engine/base/task.h"
#include "engine/platform/platform.h"

#include <memory>

namespace {

class TRefillTask : public TTask {
public:
    explicit TRefillTask(std::function<void()> refill) : mRefill(std::move(refill)) {}
    bool DoTask() override
    {
        mRefill();
        return true;
    }

private:
    std::function<void()> mRefill;
};

}  // namespace

TTextureRefresh::TTextureRefresh(std::function<void()> refill)
{
    if (TPlatform* platform = TPlatform::GetInstance()) {
        auto task = std::make_unique<TRefillTask>(std::move(refill));
        mTask = task.get();
        platform->AdoptTextureRefreshListener(task.release());
    }
}

TTextureRefresh::~TTextureRefresh()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (mTask && platform && platform->OrphanTextureRefreshListener(mTask))
        delete mTask;
}
