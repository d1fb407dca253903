// TComic ("ComicPanel"): the story comic of the current restaurant, one
// full-screen panel at a time ("comics/comic<restaurant>_<panel>"); the
// closing comic "comic_6_1" adds three bobbing figures.
#pragma once

#include "engine/base/vec.h"
#include "engine/window/window.h"
#include "game/screens/scriptedwindow.h"

#include <memory>

class TTexture;

class TComic : public TScriptedWindow<TComic> {
public:
    static const contract::TScreenSpec kContract;

    TComic();

    void PostChildrenInit() override;
    bool OnTaskAnimate() override;
    void Draw() override;

    // True when there is no next panel (the comic is over).
    bool ForwardComic();
    void BackComic();
    int GetPanel() const { return mPanel; }
    bool HasFigures() const { return mFigures[0] != nullptr; }

private:
    template <class T>
    T* FindOnScreen(const contract::TChild<T>& child);
    bool LoadPanel();
    void SetButtons();

    int mPanel = 0;
    std::shared_ptr<TTexture> mFigures[3];
    TVec2 mFigurePos[3];
};

