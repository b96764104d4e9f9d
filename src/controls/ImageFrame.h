#pragma once
// A control that shows one cell of a picture strip: the frame is W x H pixels and
// shows the W x H cell at a column and row of its source, so changing the picture
// shown is a matter of changing the column. The source is one display image (the
// caller's, or one converted from an RGB sheet), or a list of one image per cell
// indexed by column + row. A transparent frame lets black pixels show its parent's
// background. Clicks reach the owner through the element callbacks.
#include <X11/Xlib.h>
#include <string>
#include <vector>

#include "gui/Child.h"
#include "image/DisplayImage.h"
#include "image/SharedSheetImage.h"

class Form;

class ImageFrame : public Child {
public:
    // One caller-owned image holding all cells.
    ImageFrame(Form* owner, XImage* image, int column, int row);
    // A caller-owned list of images, one per cell.
    ImageFrame(Form* owner, XImage** images, int column, int row);
    // `count` packed pictures of the frame's size, converted at the first paint into
    // a list the frame owns.
    ImageFrame(Form* owner, const unsigned char* const* packed, int count, int column, int row);
    // An RGB sheet of sheetWidth x sheetHeight, converted at the first paint. Frames
    // over the same sheet share one converted image. The sheet must outlive the frame.
    ImageFrame(Form* owner, const unsigned char* sheet, unsigned char sheetFlag, int sheetWidth, int sheetHeight,
               int column, int row);
    ~ImageFrame() override;

    // --- the frame's own operations ---
    // Shows another cell; repaints a created frame unless the cell is the same.
    void SetFrame(int column, int row);
    // As SetFrame; with `erase` the frame is first erased to its background, which a
    // transparent frame needs when the new cell does not cover the old one.
    void SetFrameErased(int column, int row, bool erase);
    // (column, row) of the cell shown.
    Point GetFrame() const { return Point{column_, row_}; }
    void SetTransparent(bool on);
    bool IsTransparent() const { return transparent_; }
    // The image the cells are cut from (null before the first paint of a sheet frame).
    XImage* GetImage() const { return sheetImage_ ? sheetImage_.get() : image_; }

    // Free text for the owner; the frame never reads it.
    std::string value;

protected:
    void Draw(DrawContext& dc, Point at) override;

private:
    void BuildPictures();
    XImage* ListEntry(int index) const;

    bool transparent_ = false;
    XImage* image_ = nullptr;                 // caller's
    SharedDisplayImage sheetImage_;           // converted from sheet_, shared
    XImage** imageList_ = nullptr;            // caller's
    std::vector<DisplayImagePtr> builtList_;  // converted from packed_, owned
    const unsigned char* const* packed_ = nullptr;
    int pictureCount_ = 0;
    const unsigned char* sheet_ = nullptr;
    int sheetWidth_ = 0;
    int sheetHeight_ = 0;
    int column_;
    int row_;
    unsigned char sheetFlag_ = 0;  // kept for the owner; not consulted
};
