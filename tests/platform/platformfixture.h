// A platform on the headless back end, with its data folders in a
// temporary XDG_DATA_HOME, and fake services that record what they are asked.
#pragma once

#include "engine/platform/headless/headlessbackend.h"
#include "engine/platform/platform.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

struct FakeWindowHost : IWindowHost {
    std::vector<std::string>* log = nullptr;
    bool loadSucceeds = true;
    int attached = 0;
    std::vector<std::string> loaded;
    int enabled = 0;
    bool root = false;
    int rootWidth = 0, rootHeight = 0;

    ~FakeWindowHost() override
    {
        if (log)
            log->push_back("windows");
    }
    TWindowManager* GetWindowManager() override { return nullptr; }
    TStringTable* GetStringTable() override { return nullptr; }
    void AttachWindowScript(TPlatform*) override { ++attached; }
    bool LoadStringTable(const char* path) override
    {
        loaded.emplace_back(path);
        return loadSucceeds;
    }
    void EnableStringTable(bool on) override { enabled += on ? 1 : 0; }
    bool HasRootScreen() override { return root; }
    void CreateRootScreen(int w, int h) override
    {
        root = true;
        rootWidth = w;
        rootHeight = h;
    }
};

struct FakeSoundHost : ISoundHost {
    std::vector<std::string>* log = nullptr;
    std::vector<bool> pauses;
    int notifications = 0;
    ~FakeSoundHost() override
    {
        if (log)
            log->push_back("sound");
    }
    TSoundManager* GetSoundManager() override { return nullptr; }
    bool Init() override { return true; }
    void PauseAllSounds(bool pause) override { pauses.push_back(pause); }
    void HandleNotifications() override { ++notifications; }
};

struct FakeDisplayHost : IDisplayHost {
    std::vector<std::string>* log = nullptr;
    bool begin2dResult = true;
    int begin2d = 0, end2d = 0, rebuilds = 0;
    std::vector<std::string> calls;
    ~FakeDisplayHost() override
    {
        if (log)
            log->push_back("display");
    }
    TDisplayHandler* GetDisplayHandler() override { return nullptr; }
    void SetDisplay(int w, int h, bool fs) override
    {
        calls.push_back("SetDisplay " + std::to_string(w) + "x" + std::to_string(h) + (fs ? " full" : " window"));
    }
    void RebuildDisplay() override { ++rebuilds; }
    bool BeginDraw(bool) override { return true; }
    void EndDraw(bool) override { calls.push_back("EndDraw"); }
    bool Begin2d() override
    {
        ++begin2d;
        return begin2dResult;
    }
    void End2d() override { ++end2d; }
};

class PlatformTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the platform; hooks may be set before.
    void start(unsigned seed = qm::THeadlessBackend::kDefaultSeed);

    TEvent next();
    std::vector<TEvent> drain();

    std::string home;
    qm::THeadlessBackend* backend = nullptr;
    TPlatformData* data = nullptr;
    std::unique_ptr<TPlatform> platform;
};

TRawEvent Raw(TRawEvent::EKind kind, int x = 0, int y = 0, int modifiers = 0);
TRawEvent Key(TRawEvent::EKind kind, unsigned char character, int modifiers = 0);
TRawEvent Button(TRawEvent::EKind kind, int button, int x, int y, int modifiers = 0);

// "type=6 param=0 x=1 y=2 mods=0", for readable failures.
std::string Describe(const TEvent& ev);
std::string Describe(const std::vector<TEvent>& events);
