#include "game/app/windowtypes.h"

#include "engine/window/slider.h"
#include "engine/window/windowmanager.h"
#include "game/play/game.h"
#include "game/screens/coinjar.h"
#include "game/screens/displaywindows.h"
#include "game/screens/fillwindow.h"
#include "game/screens/heroine.h"
#include "game/screens/hiscore.h"
#include "game/screens/levelintro.h"
#include "game/screens/levelover.h"
#include "game/screens/linktext.h"
#include "game/screens/mainmenu.h"
#include "game/screens/playerscreens.h"
#include "game/screens/preloader.h"
#include "game/screens/screenfade.h"
#include "game/screens/serversavelogin.h"
#include "game/screens/textdropbutton.h"
#include "game/screens/upgradepicker.h"

namespace game {

namespace {

struct TWindowType {
    const char* name;
    TClassId (*classId)();
};

// In registration order. Screens still to come join this table as their
// classes are written: "LockedLevels" before the preloader; "ComicPanel"
// before the doodle; "QuessasCloset", "UnlockWindow", "ClothingUnlocked",
// "LevelEditor" before the fill window; "CustomerEditor" after it;
// "CreditsWindow" before the name entry; "ChooseRestaurant" before the
// upgrade picker.
const TWindowType kWindowTypes[] = {
    {"GameWindow", &TGame::ClassId},
    {"GameUILayer", &TGameUILayer::ClassId},
    {"GamePostUILayer", &TGamePostUILayer::ClassId},
    {"GameTimer", &TGameTimer::ClassId},
    {"CoinJar", &TCoinJar::ClassId},
    {"PreLoader", &TPreLoader::ClassId},
    {"ScreenFade", &TScreenFade::ClassId},
    {"TimedFade", &TTimedFade::ClassId},
    {"Doodle", &TLevelIntroDoodle::ClassId},
    {"AnimWindow", &TAnimWindow::ClassId},
    {"QuessaWindow", &TQuessaWindow::ClassId},
    {"SpriteWindow", &TSpriteWindow::ClassId},
    {"FillWindow", &TFillWindow::ClassId},
    {THiscore::kTypeName, &THiscore::ClassId},
    {"ChoosePlayerWindow", &TChoosePlayer::ClassId},
    {"EnterNameWindow", &TEnterName::ClassId},
    {TServerSaveLogin::kTypeName, &TServerSaveLogin::ClassId},
    {"LevelIntro", &TLevelIntro::ClassId},
    {"LevelOver", &TLevelOver::ClassId},
    {TUpgradePicker::kTypeName, &TUpgradePicker::ClassId},
    {"MainMenu", &TMainMenu::ClassId},
    {"OptionsWindow", &TOptions::ClassId},
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
    // The loading screen and the heroine window draw the floor's waitress.
    InstallQuessaHeroine();
}

}  // namespace game
