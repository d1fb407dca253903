// Another client of the X server, as a window manager, a remote control or
// xdotool is: what it does to a window reaches the window's program only
// through the server. (Xlib stays in the .cpp: its macros clash with C++.)
#pragma once

#include <memory>

struct SDL_Window;

class TOutsideClient {
public:
    explicit TOutsideClient(SDL_Window* window);
    ~TOutsideClient();
    TOutsideClient(const TOutsideClient&) = delete;
    TOutsideClient& operator=(const TOutsideClient&) = delete;

    // False when there is no X server or the window is not an X11 window.
    bool Ok() const;
    // Moves the pointer to (x, y) of the window, as a warp does.
    void Warp(int x, int y);
    void Resize(int width, int height);

private:
    struct TConnection;
    std::unique_ptr<TConnection> mConnection;
};
