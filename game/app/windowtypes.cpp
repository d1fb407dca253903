#include "game/app/windowtypes.h"

#include "engine/window/slider.h"
#include "engine/window/windowmanager.h"
#include "game/play/game.h"
#include "game/screens/coinjar.h"
#include "game/screens/fillwindow.h"
#include "game/screens/levelintro.h"
#include "game/screens/levelover.h"
#include "game/screens/linktext.h"
#include "game/screens/screenfade.h"
#include "game/screens/textdropbutton.h"

namespace game {

namespace {

struct TWindowType {
    const char* name;
    TClassId (*classId)();
};

// In registration order. The game's other screens join this table as their
// classes are written: "GameWindow", "GameUILayer", "GamePostUILayer",
// "GameTimer", "LockedLevels", "CoinJar", "PreLoader" before the fades;
// "ComicPanel", "Doodle", "AnimWindow", "QuessaWindow", "SpriteWindow",
// "QuessasCloset", "UnlockWindow", "ClothingUnlocked", "LevelEditor" between
// the fades and the fill window; "CustomerEditor", "HiscoreWindow",
// "ChoosePlayerWindow", "CreditsWindow", "EnterNameWindow",
// "ServerSaveLogin", "LevelIntro", "LevelOver", "ChooseRestaurant",
// "UpgradePicker", "MainMenu", "OptionsWindow" between it and the slider.
const TWindowType kWindowTypes[] = {
    {"GameWindow", &TGame::ClassId},
    {"GameUILayer", &TGameUILayer::ClassId},
    {"GamePostUILayer", &TGamePostUILayer::ClassId},
    {"GameTimer", &TGameTimer::ClassId},
    {"CoinJar", &TCoinJar::ClassId},
    {"ScreenFade", &TScreenFade::ClassId},
    {"TimedFade", &TTimedFade::ClassId},
    {"Doodle", &TLevelIntroDoodle::ClassId},
    {"FillWindow", &TFillWindow::ClassId},
    {"LevelIntro", &TLevelIntro::ClassId},
    {"LevelOver", &TLevelOver::ClassId},
    {"Slider", &TSlider::ClassId},
};

}  // namespace

void RegisterWindowTypes()
{
    TWindowManager* manager = TWindowManager::GetInstance();
    if (!manager)
        return;
    for (const TWindowType& type : kWindowTypes)
        manager->AddWindowType(type.name, type.classId());
    manager->AdoptWindowFactory("linktext", new TLinkTextFactory);
    manager->AdoptWindowFactory("_button", new TTextDropButtonFactory);
}

}  // namespace game
