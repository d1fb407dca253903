// TInstanceHolder<T>: where the one instance of a per-process service is
// found. The service's owner makes and deletes it; the service publishes
// itself when made and withdraws when it goes, and its GetInstance() answers
// Get(): the instance, or null when there is none. Nothing here ever makes
// one, so a caller can never bring a service to life by asking for it.
#pragma once

template <class T>
class TInstanceHolder {
public:
    static T* Get() { return sInstance; }
    static void Publish(T* instance) { sInstance = instance; }
    // Only the published instance withdraws: one that was replaced leaves
    // its successor in place.
    static void Withdraw(const T* instance)
    {
        if (sInstance == instance)
            sInstance = nullptr;
    }

private:
    static inline T* sInstance = nullptr;
};
