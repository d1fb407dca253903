// The window factories the window script registers: "_button", "_text" and
// "_textedit". A screen names another factory (key `factory`) to build its
// own classes in their place.
#pragma once

#include "engine/window/window.h"

class TButtonFactory : public TWindowFactory {
public:
    // A TButton of the style's "type" (default push).
    TWindow* Create(TWindowStyle* style) override;
};

class TTextFactory : public TWindowFactory {
public:
    TWindow* Create(TWindowStyle* style) override;
};

class TTextEditFactory : public TWindowFactory {
public:
    TWindow* Create(TWindowStyle* style) override;
};
