#include "engine/window/modalwindow.h"

#include "engine/base/debuglog.h"
#include "engine/window/message.h"
#include "engine/window/windowmanager.h"

TModalWindow::TModalWindow() : mTasks(std::make_unique<TTaskList>())
{
    AddFlags(kModal | kCanFocus);
}

TModalWindow::~TModalWindow()
{
    // Scripts that opened this window wait for this message to learn it is gone.
    if (TWindowManager* manager = TWindowManager::GetInstance())
        manager->PostWindowMessage(new TMessage(kModalClosed, GetIdText(), nullptr));
    mTasks.reset();
}

TClassId TModalWindow::ClassId()
{
    return MakeClassId(&TModalWindow::ClassId);
}

void TModalWindow::AdoptTask(TTask* task)
{
    mTasks->AdoptTask(task);
}

bool TModalWindow::OrphanTask(TTask* task)
{
    return mTasks->OrphanTask(task);
}

void TModalWindow::DestroyTasks()
{
    mTasks->DestroyAll();
}

void TModalWindow::DoModalProcess(TTask::ETaskContext context)
{
    mTasks->DoAll(context);
}

void TModalWindow::SetDefaultFocus(TWindow* w)
{
    mDefaultFocus = w;
    TWindowManager* manager = TWindowManager::GetInstance();
    if (!manager || manager->GetFocus() != this)
        return;
    manager->SetFocus(w);
    if (w)
        w->OnSetFocus(this);
}

void TModalWindow::OnSetFocus(TWindow* /*previous*/)
{
    // Giving a modal the focus gives it to its default-focus window.
    TWindowManager* manager = TWindowManager::GetInstance();
    if (!mDefaultFocus || !manager)
        return;
    TWindow* holder = manager->GetFocus();
    manager->SetFocus(mDefaultFocus);
    mDefaultFocus->OnSetFocus(holder);
}

bool TModalWindow::OnMessage(TMessage* m)
{
    if (m->GetType() != kCloseWindow)
        return false;
    const str ownId = GetIdText();
    if (ownId == m->GetName()) {
        WriteDbg("TModalWindow::OnMessage: Closing window because of kCloseWindow (%s)", m->GetName().c_str());
        if (TWindowManager* manager = TWindowManager::GetInstance())
            manager->PopModal();
    } else {
        WriteDbg("TModalWindow::OnMessage: NOT Closing window because of name mismatch (this window %s != %s)",
                 ownId.c_str(), m->GetName().c_str());
    }
    // A close request is never passed on, whether it closed anything or not.
    return true;
}

namespace {

// Depth first, front to back. A match ends the walk of its own level only,
// so a match found later in an enclosing level replaces it.
class FindDefault : public TWindowSpider {
public:
    explicit FindDefault(IDefaultButton** result) : mResult(result) {}

    bool Process(TWindow* w) override
    {
        auto* button = dynamic_cast<IDefaultButton*>(w);
        if (button && button->IsDefaultButton() && w->IsVisible()) {
            *mResult = button;
            return false;
        }
        FindDefault nested(mResult);
        w->ForEachChild(&nested, false);
        return true;
    }

private:
    IDefaultButton** mResult;
};

}  // namespace

IDefaultButton* TModalWindow::FindDefaultButton()
{
    IDefaultButton* result = nullptr;
    FindDefault spider(&result);
    ForEachChild(&spider, false);
    return result;
}

bool TModalWindow::OnChar(char32_t c)
{
    if (c != static_cast<char32_t>(TEvent::kEnter))
        return false;
    IDefaultButton* button = FindDefaultButton();
    if (button && button->DoCommand())
        return true;
    TWindowManager* manager = TWindowManager::GetInstance();
    TWindow* receiver = manager && manager->GetFocus() ? manager->GetFocus() : this;
    receiver->SendWindowMessage(new TMessage(kDefaultAction, str(), nullptr));
    return true;
}
