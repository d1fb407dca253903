// TButton: the clickable widget. A layered window whose layers hold one look
// per mouse state (push: normal, pressed, rollover; toggle and radio: off,
// on, off with rollover, on with rollover). A click posts kButtonPress and
// runs an optional command; a button can close its modal window, be the
// default button Enter presses, and belong to a radio group.
#pragma once

#include "engine/window/layeredwindow.h"
#include "engine/window/modalwindow.h"

#include <cstdint>
#include <memory>
#include <vector>

class TSound;
class TTexture;

class TButton : public TLayeredWindow, public IDefaultButton {
public:
    enum EButtonType : int { kPush = 0, kToggle = 1, kRadio = 2 };
    enum EMouseState : int { kNormal = 0, kPressed = 1, kRollover = 2, kClicked = 3 };

    // What a click runs besides posting its message.
    class Action {
    public:
        virtual ~Action() = default;
        virtual bool DoAction(TButton* button) = 0;
    };
    // Runs a Lua function; defined by the script layer (engine/script).
    class LuaAction;

    explicit TButton(EButtonType type);
    ~TButton() override;

    static TClassId ClassId();
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TLayeredWindow::IsKindOf(id); }

    bool Init() override;
    bool OnMouseDown(const TPoint& p) override;
    bool OnMouseUp(const TPoint& p) override;
    bool OnMouseMove(const TPoint& p) override;
    bool OnMouseLeave() override;

    // Selects the look of a state; derived buttons add their own reactions.
    virtual void StateUpdate(EMouseState newState, EMouseState oldState);
    virtual void SetState(EMouseState state);

    EButtonType GetType() const { return static_cast<EButtonType>(mKindAndState & 0x0f); }
    EMouseState GetState() const { return static_cast<EMouseState>((mKindAndState >> 4) & 0x07); }
    bool IsOn() const { return (mOptions & kOptionOn) != 0; }
    void SetOn(bool on);

    // Takes ownership of the command (null: none).
    void SetCommand(Action* action);
    Action* GetCommand() const { return mCommand.get(); }
    // 1 begins a radio group, 2 sends the press below the top modal, 4
    // closes the modal window, 8 makes this the default button.
    void AddFlags(int bits);
    bool SendsToParent() const { return (mKindAndState & 0x80) != 0; }
    bool ClosesModal() const { return (mOptions & kOptionClose) != 0; }

    void SetSound(EMouseState state, str name);
    // Only the light pixels of the mask answer the mouse; a texture that
    // cannot be locked keeps the previous mask.
    void SetClickMask(std::shared_ptr<TTexture> mask);

    // The text of the child "label" when it is a TText.
    str GetLabel();
    void SetLabel(str label);

    // True (after OnMouseLeave) when p lies outside the button or its mask.
    bool ReleaseCapture(const TPoint& p);
    // True when the command changed the modal stack, so the click must not
    // touch the button any further.
    bool DoCommand() override;
    bool IsDefaultButton() const override { return (mOptions & kOptionDefault) != 0; }

private:
    enum : uint8_t { kOptionOn = 1, kOptionClose = 2, kOptionDefault = 4 };

    void StoreState(EMouseState state);
    void PlaySound(EMouseState state);
    void TurnOffRadioGroup();

    uint8_t mKindAndState;
    uint8_t mOptions = 0;
    std::unique_ptr<Action> mCommand;
    std::shared_ptr<TSound> mSounds[3];
    std::vector<uint32_t> mMask;  // B, G, R, A bytes per pixel
    int mMaskWidth = 0;
    int mMaskHeight = 0;
};
