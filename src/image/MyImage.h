#pragma once
// A control that shows one picture at a fixed place on its form, optionally inside a
// one-pixel sunken frame. The picture is either a display image handed in by the
// owner (who keeps owning it) or a source the control converts at its first paint:
// an RGB buffer or a packed picture, of the control's own size. A converted image is
// a cache of its source and belongs to the control.
#include <X11/Xlib.h>

#include "gui/Child.h"
#include "image/DisplayImage.h"

class MyImage : public Child {
public:
    // Shows `image` (may be null and set later); the caller frees it after the
    // control is gone.
    MyImage(GUIElement* parent, XImage* image);
    // Shows a packed picture of width x height.
    MyImage(GUIElement* parent, const unsigned char* packed, int width, int height);
    // Shows `source`, an RGB buffer when sourceIsRgb, else a packed picture, of
    // width x height. The source is never copied or freed: it must outlive the control.
    MyImage(GUIElement* parent, const unsigned char* source, bool sourceIsRgb, int width, int height);
    ~MyImage() override;

    // --- the control's own operations ---
    // Shows a caller-owned image instead of whatever was shown; drops the source.
    virtual void SetImage(XImage* image);
    // Shows a new source, converted at the next paint; drops the image shown so far
    // (freeing it only when the control had made it).
    virtual void SetSource(const unsigned char* source);
    virtual void SetSunken(bool on);
    // Sets the enabled flag without repainting.
    virtual void Enable(bool on);

    // The image shown (the converted one once a source has been painted), or null.
    XImage* GetImage() const { return converted_ ? converted_.get() : image_; }
    const unsigned char* GetSource() const { return source_; }
    bool IsSunken() const { return sunken_; }

protected:
    void Draw(DrawContext& dc, Point at) override;

private:
    void ConvertSource();

    XImage* image_ = nullptr;    // handed in, owned by the caller
    DisplayImagePtr converted_;  // made from source_, owned here
    const unsigned char* source_ = nullptr;
    bool sourceIsRgb_ = false;
    bool sunken_ = false;
};
