#pragma once
// A window's pixels at one moment, read back from the server with XGetImage, as
// 0xRRGGBB. Copies share the one image.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdint>
#include <memory>

class WindowPixels {
public:
    WindowPixels(Display* d, Window w, int width, int height)
        : image_(XGetImage(d, w, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes, ZPixmap),
                 XDestroyImageDeleter{})
    {}
    bool Ok() const { return static_cast<bool>(image_); }
    uint32_t At(int x, int y) const { return static_cast<uint32_t>(XGetPixel(image_.get(), x, y)) & 0xFFFFFF; }
    XImage* Image() const { return image_.get(); }

    // How many pixels of the w x h rectangle at (x, y) have colour c.
    int Count(int x, int y, int w, int h, uint32_t c) const
    {
        int n = 0;
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) n += At(i, j) == c;
        return n;
    }
    // Pixels of the rectangle that are not colour c.
    int CountOther(int x, int y, int w, int h, uint32_t c) const
    {
        int n = 0;
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) n += At(i, j) != c;
        return n;
    }
    // True when every pixel of the rectangle has colour c.
    bool AllOf(int x, int y, int w, int h, uint32_t c) const { return CountOther(x, y, w, h, c) == 0; }
    // Pixels where the w x h rectangles at (ax, ay) and (bx, by) differ.
    int Differences(int ax, int ay, int bx, int by, int w, int h) const
    {
        int n = 0;
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) n += At(ax + i, ay + j) != At(bx + i, by + j);
        return n;
    }

    struct Box {
        int x = 0, y = 0, w = 0, h = 0;
    };
    // Bounding box of the pixels of colour c in the rectangle; w = 0 when none.
    Box Bounds(int x, int y, int w, int h, uint32_t c) const
    {
        int x0 = x + w, y0 = y + h, x1 = x - 1, y1 = y - 1;
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                if (At(i, j) == c) {
                    x0 = std::min(x0, i);
                    x1 = std::max(x1, i);
                    y0 = std::min(y0, j);
                    y1 = std::max(y1, j);
                }
        return x1 < x0 ? Box{} : Box{x0, y0, x1 - x0 + 1, y1 - y0 + 1};
    }

private:
    struct XDestroyImageDeleter {
        void operator()(XImage* i) const { XDestroyImage(i); }
    };
    std::shared_ptr<XImage> image_;
};
