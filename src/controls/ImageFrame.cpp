#include "controls/ImageFrame.h"

#include "gui/DrawContext.h"
#include "gui/Form.h"
#include "image/PackedPicture.h"

// Unlike the other controls, a frame also paints while its form is loading.
ImageFrame::ImageFrame(Form* owner, XImage* image, int column, int row)
    : Child(owner, {.kind = kKindImageFrame, .painted = true, .paintsWhileLoading = true}),
      image_(image),
      column_(column),
      row_(row)
{}

ImageFrame::ImageFrame(Form* owner, XImage** images, int column, int row)
    : ImageFrame(owner, static_cast<XImage*>(nullptr), column, row)
{
    imageList_ = images;
}

ImageFrame::ImageFrame(Form* owner, const unsigned char* const* packed, int count, int column, int row)
    : ImageFrame(owner, static_cast<XImage*>(nullptr), column, row)
{
    packed_ = packed;
    pictureCount_ = count;
}

ImageFrame::ImageFrame(Form* owner, const unsigned char* sheet, unsigned char sheetFlag, int sheetWidth,
                       int sheetHeight, int column, int row)
    : ImageFrame(owner, static_cast<XImage*>(nullptr), column, row)
{
    sheet_ = sheet;
    sheetFlag_ = sheetFlag;
    sheetWidth_ = sheetWidth;
    sheetHeight_ = sheetHeight;
}

// builtList_ frees the pictures converted from packed ones; sheetImage_ lets go of
// the shared sheet image; caller images stay with the caller.
ImageFrame::~ImageFrame() = default;

void ImageFrame::SetFrame(int column, int row)
{
    if (column == column_ && row == row_) return;
    column_ = column;
    row_ = row;
    Paint();
}

void ImageFrame::SetFrameErased(int column, int row, bool erase)
{
    if (column == column_ && row == row_) return;
    column_ = column;
    row_ = row;
    if (!created_) return;
    if (erase) {
        Hide();
        Create();
    }
    Paint();
}

void ImageFrame::SetTransparent(bool on)
{
    transparent_ = on;
    Paint();
}

void ImageFrame::BuildPictures()
{
    if (packed_ && builtList_.empty() && !image_ && pictureCount_ > 0) {
        builtList_.reserve(static_cast<size_t>(pictureCount_));
        for (int i = 0; i < pictureCount_; ++i) {
            const std::vector<unsigned char> rgb = UnpackPicture(width_, height_, packed_[i]);
            builtList_.emplace_back(rgb.empty() ? nullptr : MakeDisplayImage(this, rgb.data(), width_, height_));
        }
    }
    if (sheet_ && !sheetImage_ && !image_) sheetImage_ = AcquireSheetImage(this, sheet_, sheetWidth_, sheetHeight_);
}

XImage* ImageFrame::ListEntry(int index) const
{
    if (packed_) {
        // The frame knows how many pictures it built, so a cell beyond them shows nothing.
        return index >= 0 && index < static_cast<int>(builtList_.size()) ? builtList_[index].get() : nullptr;
    }
    return imageList_ && index >= 0 ? imageList_[index] : nullptr;
}

void ImageFrame::Draw(DrawContext& dc, Point at)
{
    const int w = width_, h = height_;
    BuildPictures();

    XImage* image = GetImage();
    XImage* entry = image ? nullptr : ListEntry(column_ + row_);
    if (transparent_) {
        // The whole cell starts as background, so black pixels show it everywhere.
        dc.FillArea(at.x, at.y, w, h, BackColorBehind());
        if (image)
            dc.PutImagePartTransparent(at.x, at.y, w, h, image, column_ * w, row_ * h);
        else if (entry)
            dc.PutImageTransparent(at.x, at.y, w, h, entry);
    } else {
        if (Pixmap onServer = SheetPixmapOf(sheetImage_))
            dc.CopyPixmapPart(at.x, at.y, w, h, onServer, image->width, image->height, column_ * w, row_ * h);
        else if (image)
            dc.PutImagePart(at.x, at.y, w, h, image, column_ * w, row_ * h);
        else if (entry)
            dc.PutImage(at.x, at.y, w, h, entry);
    }
}
