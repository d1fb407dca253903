// Drawing a frame on the headless platform: which windows redraw, in which
// order, each inside its own viewport, and when no frame is drawn at all.
#include "probes.h"

#include "engine/platform/headless/headlessbackend.h"
#include "engine/platform/platform.h"
#include "engine/window/screen.h"
#include "engine/window/windowdisplay.h"
#include "engine/window/windowhost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

std::string Text(const TRect& r)
{
    return std::to_string(r.x1) + "," + std::to_string(r.y1) + "," + std::to_string(r.x2) + "," + std::to_string(r.y2);
}

// The display as the window core sees it, writing every call to the journal.
class RecordingDisplay : public IWindowDisplay {
public:
    explicit RecordingDisplay(Journal* journal) : mJournal(journal) {}

    TRect GetViewport() override { return mStack.back(); }
    void PushViewport(const TRect& r) override
    {
        mStack.push_back(r);
        mJournal->push_back("push " + Text(r));
    }
    void PopViewport() override
    {
        mStack.pop_back();
        mJournal->push_back("pop");
    }
    void FillRect(const TRect& r, const TColor&) override { mJournal->push_back("fill " + Text(r)); }

    size_t Depth() const { return mStack.size(); }

private:
    Journal* mJournal;
    std::vector<TRect> mStack{TRect{0, 0, 800, 600}};
};

// Frame brackets of the display handler, as the platform calls them.
struct RecordingDisplayHost : IDisplayHost {
    Journal* journal = nullptr;
    TDisplayHandler* GetDisplayHandler() override { return nullptr; }
    void SetDisplay(int, int, bool) override {}
    void RebuildDisplay() override {}
    bool BeginDraw(bool clear) override
    {
        journal->push_back(std::string("begin ") + (clear ? "keep" : "whole"));
        return true;
    }
    void EndDraw(bool) override { journal->push_back("end"); }
    bool Begin2d() override { return true; }
    void End2d() override {}
};

class DrawTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/qm_window_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        home = pattern;
        ::setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);

        qm::InstallWindowSystem();
        auto headless = std::make_unique<qm::THeadlessBackend>();
        backend = headless.get();
        testing::internal::CaptureStderr();  // start-up lines
        data = new TPlatformData(0, nullptr, false, std::move(headless));
        auto host = std::make_unique<RecordingDisplayHost>();
        host->journal = &journal;
        data->SetDisplayHandler(std::move(host));
        platform = std::make_unique<TPlatform>(data);
        static_cast<TWindowHost*>(data->GetWindowHost())->SetWindowDisplay(&display);
        platform->SetDisplay(800, 600, false);
        testing::internal::GetCapturedStderr();

        manager = platform->GetWindowManager();
        screen = manager->GetScreen();
        ASSERT_NE(screen, nullptr);
        screen->SetFill(true, TColor{0, 0, 1, 1});
        screen->SetName("screen");
    }

    void TearDown() override
    {
        platform.reset();
        qm::PlatformHooks() = qm::TPlatformHooks{};
        std::filesystem::remove_all(home);
        ::unsetenv("XDG_DATA_HOME");
    }

    ProbeWindow* Add(TWindow* parent, const char* name, int x1, int y1, int x2, int y2)
    {
        auto* w = new ProbeWindow(&journal, name);
        Place(w, x1, y1, x2, y2);
        parent->AdoptChild(w, false);
        return w;
    }

    ProbeModal* Push(const char* name, int x1, int y1, int x2, int y2)
    {
        auto* w = new ProbeModal(&journal, name);
        w->noteFocus = false;
        Place(w, x1, y1, x2, y2);
        manager->PushModal(w);
        return w;
    }

    void Send(int type)
    {
        TEvent e = Event(type);
        manager->HandleEvent(&e);
    }

    std::string home;
    Journal journal;
    RecordingDisplay display{&journal};
    qm::THeadlessBackend* backend = nullptr;
    TPlatformData* data = nullptr;
    std::unique_ptr<TPlatform> platform;
    TWindowManager* manager = nullptr;
    TScreen* screen = nullptr;
};

TEST_F(DrawTest, FrameDrawsTheStackFromTheRootUpEachWindowInsideItsViewport)
{
    Add(screen, "backdrop", 0, 0, 800, 100);
    ProbeModal* dialog = Push("dialog", 100, 100, 300, 200);
    ProbeWindow* panel = Add(dialog, "panel", 10, 10, 110, 60);
    Add(panel, "label", 5, 5, 25, 15);
    Add(dialog, "hidden", 0, 0, 50, 50)->ClearFlags(TWindow::kVisible);
    journal.clear();

    Send(TEvent::kIdle);
    EXPECT_EQ(journal, (Journal{"begin whole",
                                "push 0,0,800,600", "fill 0,0,800,600",
                                "push 0,0,800,100", "backdrop: draw", "pop",
                                "pop",
                                "push 100,100,300,200", "dialog: draw",
                                "push 110,110,210,160", "panel: draw",
                                "push 115,115,135,125", "label: draw", "pop",
                                "pop",
                                "pop",
                                "end"}));
    EXPECT_EQ(display.Depth(), 1u);
    EXPECT_EQ(backend->swaps, 1);
}

TEST_F(DrawTest, OnlyInvalidatedWindowsDrawAndACleanFrameDrawsNothing)
{
    ProbeWindow* left = Add(screen, "left", 0, 0, 100, 100);
    ProbeWindow* right = Add(screen, "right", 200, 0, 300, 100);
    Send(TEvent::kIdle);
    journal.clear();

    // DrawStack alone (no event): nothing is invalidated, no frame at all.
    manager->DrawStack();
    EXPECT_TRUE(journal.empty());

    TRect area{10, 10, 20, 20};
    left->InvalidateRect(&area);
    manager->DrawStack();
    EXPECT_EQ(journal, (Journal{"begin keep",
                                "push 0,0,800,600", "fill 10,10,20,20",
                                "push 0,0,100,100", "left: draw", "pop",
                                "push 200,0,300,100", "pop",
                                "pop", "end"}));
    EXPECT_EQ(right->draws, 1);
    EXPECT_EQ(left->draws, 2);
}

TEST_F(DrawTest, ADirtyAreaOfAParentRedrawsTheChildrenItOverlaps)
{
    ProbeWindow* left = Add(screen, "left", 0, 0, 100, 100);
    ProbeWindow* right = Add(screen, "right", 200, 0, 300, 100);
    Send(TEvent::kIdle);
    journal.clear();

    TRect area{50, 50, 150, 150};
    screen->InvalidateRect(&area);
    manager->DrawStack();
    EXPECT_EQ(left->draws, 2);
    EXPECT_EQ(right->draws, 1);
    EXPECT_EQ(journal.at(2), "fill 50,50,150,150");
}

TEST_F(DrawTest, PlatformDirtyRedrawsTheWholeScreenOnEveryEvent)
{
    ProbeWindow* w = Add(screen, "w", 0, 0, 100, 100);
    Send(TEvent::kIdle);
    // An event that does not draw still marks the root screen, so the next
    // frame redraws everything.
    Send(TEvent::kMouseMove);
    EXPECT_TRUE(manager->IsDirty(screen));
    journal.clear();
    Send(TEvent::kIdle);
    EXPECT_EQ(journal.front(), "begin whole");
    EXPECT_EQ(w->draws, 2);
}

TEST(DirtySetTest, WithoutPlatformDirtyAnEventMarksNothing)
{
    Journal journal;
    TWindowManager manager;
    auto* root = new ProbeModal(&journal, "root");
    Place(root, 0, 0, 800, 600);
    manager.PushModal(root);
    manager.DirtyWindows();
    TEvent move = Event(TEvent::kMouseMove);
    manager.HandleEvent(&move);
    EXPECT_EQ(manager.GetDirtyCount(), 0u);
}

TEST_F(DrawTest, TopModalOnlyDrawsJustTheTopModal)
{
    Add(screen, "backdrop", 0, 0, 800, 100);
    Push("dialog", 100, 100, 300, 200);
    manager->SetTopModalOnly(true);
    journal.clear();
    Send(TEvent::kIdle);
    EXPECT_EQ(journal, (Journal{"begin whole", "push 100,100,300,200", "dialog: draw", "pop", "end"}));
}

TEST_F(DrawTest, WhileAMoviePlaysTasksAndMessagesRunButNoFrameIsDrawn)
{
    ProbeModal* dialog = Push("dialog", 100, 100, 300, 200);
    struct Counter : TTask {
        int* runs;
        bool DoTask() override
        {
            ++*runs;
            return true;
        }
    };
    int runs = 0;
    auto* task = new Counter;
    task->runs = &runs;
    dialog->AdoptTask(task);
    dialog->handlesMessages = {kButtonPress};
    manager->SetMoviePlaying(true);
    journal.clear();
    manager->PostWindowMessage(new TMessage(kButtonPress, "b", dialog));
    Send(TEvent::kIdle);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(journal, (Journal{"dialog: msg 3 'b'"}));

    manager->SetMoviePlaying(false);
    journal.clear();
    Send(kRedrawEvent);
    EXPECT_EQ(journal.front(), "begin whole");
}

TEST_F(DrawTest, PoppedModalLeavesItsAreaToRedrawInTheRoot)
{
    Push("dialog", 100, 100, 300, 200);
    Send(TEvent::kIdle);
    manager->PopModal();
    journal.clear();
    manager->DrawStack();
    EXPECT_EQ(journal, (Journal{"begin keep", "push 0,0,800,600", "fill 100,100,300,200", "pop", "end"}));
}

TEST_F(DrawTest, ScreenFillStaysInsideTheScreenAndNeedsTheFlag)
{
    Send(TEvent::kIdle);
    TRect beyond{700, 500, 900, 700};
    screen->InvalidateRect(&beyond);
    journal.clear();
    manager->DrawStack();
    EXPECT_EQ(journal.at(2), "fill 700,500,800,600");

    screen->SetFill(false, TColor{});
    screen->InvalidateRect(nullptr);
    journal.clear();
    manager->DrawStack();
    EXPECT_EQ(journal, (Journal{"begin whole", "push 0,0,800,600", "pop", "end"}));
}

}  // namespace
