// Windows of the modal stack: screens, dialogs, the root screen and the
// game's full-screen views.
#pragma once

#include "engine/base/task.h"
#include "engine/window/window.h"

#include <memory>
#include <vector>

// What Enter in a modal window needs of a button: whether it is the default
// button, and pressing it. Buttons implement it.
class IDefaultButton {
public:
    virtual ~IDefaultButton() = default;
    virtual bool IsDefaultButton() const = 0;
    // True when the press did something.
    virtual bool DoCommand() = 0;
};

class TModalWindow : public TWindow {
public:
    TModalWindow();
    ~TModalWindow() override;

    static TClassId ClassId();
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }

    // The task list runs only while this window is the top modal.
    void AdoptTask(TTask* task);
    bool OrphanTask(TTask* task);
    void DestroyTasks();
    void DoModalProcess(TTask::ETaskContext context);
    TTaskList* GetTaskList() const { return mTasks.get(); }

    // The window that takes the focus when this modal gets it.
    void SetDefaultFocus(TWindow* w);
    TWindow* GetDefaultFocus() const { return mDefaultFocus; }

    void OnSetFocus(TWindow* previous) override;
    bool OnMessage(TMessage* m) override;
    bool OnChar(char32_t c) override;

    // The visible default button among the descendants, if any.
    IDefaultButton* FindDefaultButton();

private:
    std::unique_ptr<TTaskList> mTasks;
    TWindow* mDefaultFocus = nullptr;
};
