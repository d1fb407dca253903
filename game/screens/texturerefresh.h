// A task on the platform's texture-refresh list, run after the display lost
// and restored its textures, for as long as its owner lives: the window or
// singleton that drew into its own textures fills them again.
#pragma once

#include <functional>

class TTask;

class TTextureRefresh {
public:
    // Registers `refill` with the platform (nothing without one).
    explicit TTextureRefresh(std::function<void()> refill);
    // Takes the task back and deletes it, while the platform still has it
    // (its teardown deletes what is left on the list).
    ~TTextureRefresh();
    TTextureRefresh(const TTextureRefresh&) = delete;
    TTextureRefresh& operator=(const TTextureRefresh&) = delete;

private:
    TTask* mTask = nullptr;  // owned by the platform's list while registered
};
