#include "image/MyImage.h"

#include <vector>

#include "gui/DrawContext.h"
#include "image/PackedPicture.h"

MyImage::MyImage(GUIElement* parent, XImage* image)
    : Child(parent, {.kind = kKindImage, .painted = true}), image_(image)
{}

MyImage::MyImage(GUIElement* parent, const unsigned char* packed, int width, int height)
    : MyImage(parent, packed, false, width, height)
{}

MyImage::MyImage(GUIElement* parent, const unsigned char* source, bool sourceIsRgb, int width, int height)
    : MyImage(parent, nullptr)
{
    source_ = source;
    sourceIsRgb_ = sourceIsRgb;
    width_ = width;
    height_ = height;
}

// The converted image goes with converted_; a handed-in image stays with its owner.
MyImage::~MyImage() = default;

void MyImage::SetImage(XImage* image)
{
    converted_.reset();
    source_ = nullptr;
    image_ = image;
    Paint();
}

void MyImage::SetSource(const unsigned char* source)
{
    // A caller's image is dropped as well: otherwise it would hide the new source and
    // be taken for a converted one.
    converted_.reset();
    image_ = nullptr;
    source_ = source;
    Paint();
}

void MyImage::SetSunken(bool on)
{
    sunken_ = on;
    Paint();
}

void MyImage::Enable(bool on) { enabled_ = on; }

void MyImage::ConvertSource()
{
    if (!source_ || converted_ || image_) return;
    if (sourceIsRgb_) {
        converted_.reset(MakeDisplayImage(this, source_, width_, height_));
        return;
    }
    const std::vector<unsigned char> rgb = UnpackPicture(width_, height_, source_);
    if (!rgb.empty()) converted_.reset(MakeDisplayImage(this, rgb.data(), width_, height_));
}

void MyImage::Draw(DrawContext& dc, Point at)
{
    ConvertSource();

    const int64_t back = BackColorBehind();
    if (XImage* image = GetImage()) {
        dc.PutImage(at.x, at.y, width_, height_, image);
        // An element larger than its picture shows the background beyond the picture
        // rather than whatever was drawn there before.
        if (image->width < width_) dc.FillArea(at.x + image->width, at.y, width_ - image->width, height_, back);
        if (image->height < height_) dc.FillArea(at.x, at.y + image->height, width_, height_ - image->height, back);
    } else {
        dc.FillArea(at.x, at.y, width_, height_, back);
    }
    if (sunken_) dc.DrawSunkenFrame(at.x, at.y, width_, height_);
}
