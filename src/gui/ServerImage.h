#pragma once
#include <X11/Xlib.h>
#include <X11/Xutil.h>

// Owns an XImage whose pixels Xlib allocated (XGetImage, XSubImage) and destroys
// it with XDestroyImage. Images made by MakeDisplayImage are not for this holder.
class ServerImage {
public:
    explicit ServerImage(XImage* image = nullptr) : image_(image) {}
    ~ServerImage() { reset(); }
    ServerImage(const ServerImage&) = delete;
    ServerImage& operator=(const ServerImage&) = delete;

    XImage* get() const { return image_; }
    XImage* operator->() const { return image_; }
    explicit operator bool() const { return image_ != nullptr; }
    void reset(XImage* image = nullptr)
    {
        if (image_) XDestroyImage(image_);
        image_ = image;
    }

private:
    XImage* image_;
};
