#include "gui/ScaledWindow.h"

#include <algorithm>

ScaledWindow::ScaledWindow(Display* display, Visual* visual, int depth, Window window, int width, int height, int scale,
                           unsigned long background)
    : display_(display), window_(window), width_(std::max(1, width)), height_(std::max(1, height)), scale_(scale)
{
    XRenderPictFormat* format = XRenderFindVisualFormat(display, visual);
    if (!format) return;
    pixmap_ = XCreatePixmap(display, window, static_cast<unsigned>(width_), static_cast<unsigned>(height_),
                            static_cast<unsigned>(depth));
    // Until the form paints it, the picture shows what the window's background would.
    XGCValues values{};
    values.foreground = background;
    GC gc = XCreateGC(display, pixmap_, GCForeground, &values);
    XFillRectangle(display, pixmap_, gc, 0, 0, static_cast<unsigned>(width_), static_cast<unsigned>(height_));
    XFreeGC(display, gc);

    source_ = XRenderCreatePicture(display, pixmap_, format, 0, nullptr);
    target_ = XRenderCreatePicture(display, window, format, 0, nullptr);
    // The transform maps window pixels back to picture pixels. 1/3 is not exact in
    // fixed point, but sampling at pixel centres keeps every block whole far beyond
    // any screen's size.
    const XFixed inverse = XDoubleToFixed(1.0 / scale);
    XTransform transform = {{{inverse, 0, 0}, {0, inverse, 0}, {0, 0, XDoubleToFixed(1)}}};
    XRenderSetPictureTransform(display, source_, &transform);
    XRenderSetPictureFilter(display, source_, FilterNearest, nullptr, 0);
}

ScaledWindow::~ScaledWindow()
{
    if (!display_) return;
    if (target_) XRenderFreePicture(display_, target_);
    if (source_) XRenderFreePicture(display_, source_);
    if (pixmap_) XFreePixmap(display_, pixmap_);
}

void ScaledWindow::Changed(int x, int y, int w, int h)
{
    const int l = std::max(x, 0), t = std::max(y, 0);
    const int r = std::min(x + w, width_), b = std::min(y + h, height_);
    if (l >= r || t >= b) return;
    if (left_ >= right_) {
        left_ = l, top_ = t, right_ = r, bottom_ = b;
        return;
    }
    left_ = std::min(left_, l), top_ = std::min(top_, t);
    right_ = std::max(right_, r), bottom_ = std::max(bottom_, b);
}

void ScaledWindow::Present()
{
    if (holds_ > 0 || left_ >= right_ || !Ok()) return;
    const int s = scale_;
    // With the transform on the source, its origin is given in window pixels too.
    XRenderComposite(display_, PictOpSrc, source_, None, target_, left_ * s, top_ * s, 0, 0, left_ * s, top_ * s,
                     static_cast<unsigned>((right_ - left_) * s), static_cast<unsigned>((bottom_ - top_) * s));
    XFlush(display_);
    left_ = right_ = 0;
}

void ScaledWindow::Release()
{
    if (holds_ > 0) --holds_;
    Present();
}
