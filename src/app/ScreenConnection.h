#pragma once
// The program's one connection to the X server, with the default screen's size and
// depth, the visual information, and the translation of the program's colours into
// that screen's pixels.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <memory>

class ColorTranslator;

class ScreenConnection {
public:
    // Opens the environment's default display at once; failures are logged and leave
    // the object without a display and with the start values 800 x 600, depth 8.
    ScreenConnection();
    ~ScreenConnection();
    ScreenConnection(const ScreenConnection&) = delete;
    ScreenConnection& operator=(const ScreenConnection&) = delete;

    Display* GetDisplay() const { return display_; }
    int GetScreenNumber() const { return screenNumber_; }
    int GetScreenWidth() const { return screenWidth_; }
    int GetScreenHeight() const { return screenHeight_; }
    int GetScreenDepth() const { return screenDepth_; }
    XVisualInfo* GetVisualInfo() const { return visualInfo_; }
    // How colours become pixels on the default screen; null when no display is open.
    const ColorTranslator* GetColors() const { return colors_.get(); }

    // How many times larger every window is shown: 1 until ChooseScale, and where the
    // desktop asks for nothing.
    int GetScale() const { return scale_; }
    // Sets the scale from the desktop's font resolution (Xft.dpi in the resources
    // the server handed over at connection), lowered until a main window of
    // width x height fits the screen; 1 without the RENDER extension. Logs the
    // scale when it is not 1.
    void ChooseScale(int width, int height);
    // round(dpi / 96), from 1 to 4, lowered until width x height at that scale fits
    // a screen of screenWidth x screenHeight, less a panel's 48 pixels of height.
    static int ScaleFor(double dpi, int screenWidth, int screenHeight, int width, int height);

    // True if a display was open; gives back the colour cells, frees the visual
    // information and closes it.
    bool Close();

private:
    void Open();
    void InternWindowAtoms();

    int screenNumber_ = 0;
    Display* display_ = nullptr;
    XVisualInfo* visualInfo_ = nullptr;
    std::unique_ptr<ColorTranslator> colors_;
    int screenWidth_ = 800;
    int screenHeight_ = 600;
    int screenDepth_ = 8;
    int scale_ = 1;
};

// The size of the first ScreenConnection ever made, or 0 when there is none.
int ScreenWidth();
int ScreenHeight();
