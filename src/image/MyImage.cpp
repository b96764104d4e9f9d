#include "image/MyImage.h"

#include <vector>

#include "app/Application.h"
#include "gui/DrawContext.h"
#include "gui/Form.h"
#include "image/PackedPicture.h"

namespace {
constexpr int64_t kShadow = 0x000000;
constexpr int64_t kLight = 0xFFFFFF;
}  // namespace

MyImage::MyImage(GUIElement* parent, XImage* image) : image_(image)
{
    SetParent(parent);
    kind_ = kKindImage;
    tabStop_ = false;
    paintedByForm_ = true;
    drawsItself_ = true;
}

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
    if (created_) Paint();
}

void MyImage::SetSource(const unsigned char* source)
{
    // A caller's image is dropped as well: otherwise it would hide the new source and
    // be taken for a converted one.
    converted_.reset();
    image_ = nullptr;
    source_ = source;
    if (created_) Paint();
}

void MyImage::SetSunken(bool on)
{
    sunken_ = on;
    if (created_) Paint();
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

void MyImage::Paint()
{
    if (Application::Loading() || !created_) return;
    DrawContext dc(static_cast<Form*>(OwningForm()));
    const Point at = FormOffset(x_, y_);
    ConvertSource();

    const int64_t back = BackColorBehind();
    if (XImage* image = GetImage()) {
        dc.PutImage(at.x, at.y, width_, height_, image);
        // An element larger than its picture shows the background beyond the picture
        // rather than whatever was drawn there before.
        if (image->width < width_)
            dc.FillRectangle(at.x + image->width, at.y, width_ - image->width + 1, height_ + 1, 0, -1, back);
        if (image->height < height_)
            dc.FillRectangle(at.x, at.y + image->height, width_ + 1, height_ - image->height + 1, 0, -1, back);
    } else {
        dc.FillRectangle(at.x, at.y, width_ + 1, height_ + 1, 0, -1, back);
    }

    if (sunken_) {
        const int right = at.x + width_ - 1, bottom = at.y + height_ - 1;
        dc.DrawLineSolid(at.x, at.y, right, at.y, kShadow);
        dc.DrawLineSolid(at.x, bottom, at.x, at.y, kShadow);
        dc.DrawLineSolid(right, at.y, right, bottom, kLight);
        dc.DrawLineSolid(at.x, bottom, right, bottom, kLight);
    }
}
