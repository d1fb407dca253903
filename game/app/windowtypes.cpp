#include "game/app/windowtypes.h"

#include "engine/window/slider.h"
#include "engine/window/windowmanager.h"
#include "game/editors/customereditor.h"
#include "game/editors/leveleditor.h"
#include "game/screens/displaywindows.h"
#include "game/screens/fillwindow.h"
#include "game/screens/hiscore.h"
#include "game/screens/heroine.h"
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

// In registration order. The game's other screens join this table as their
// classes are written: "GameWindow", "GameUILayer", "GamePostUILayer",
// "GameTimer", "LockedLevels", "CoinJar" before the preloader; "ComicPanel",
// "Doodle" after the fades; "QuessasCloset", "UnlockWindow",
// "ClothingUnlocked" before the level editor; "HiscoreWindow" before the
// player choice;
// "CreditsWindow" before the name entry; "ServerSaveLogin", "LevelIntro",
// "LevelOver", "ChooseRestaurant", "UpgradePicker" before the main menu.
const TWindowType kWindowTypes[] = {
    {"PreLoader", &TPreLoader::ClassId},
    {"ScreenFade", &TScreenFade::ClassId},
    {"TimedFade", &TTimedFade::ClassId},
    {"AnimWindow", &TAnimWindow::ClassId},
    {"QuessaWindow", &TQuessaWindow::ClassId},
    {"SpriteWindow", &TSpriteWindow::ClassId},
    {"LevelEditor", &TLevelEditor::ClassId},
    {"FillWindow", &TFillWindow::ClassId},
    {"CustomerEditor", &TCustomerEditor::ClassId},
    {THiscore::kTypeName, &THiscore::ClassId},
    {TServerSaveLogin::kTypeName, &TServerSaveLogin::ClassId},
    {TUpgradePicker::kTypeName, &TUpgradePicker::ClassId},
    {"ChoosePlayerWindow", &TChoosePlayer::ClassId},
    {"EnterNameWindow", &TEnterName::ClassId},
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
