#include "platform/X11Picture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "platform/PictureWindow.h"
#include "platform/X11Native.h"

bool PutX11WindowPicture(void* window, const Picture& picture) {
    if (!window || picture.width <= 0 || picture.height <= 0 ||
        picture.argb.size() < static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height))
        return false;
    ::Window xwindow = 0;
    Display* display = X11DisplayOf(window, &xwindow);
    XWindowAttributes attributes{};
    if (!display || !XGetWindowAttributes(display, xwindow, &attributes)) return false;
    const Visual* visual = attributes.visual;
    // 0xAARRGGBB words are the pixels of such a visual as they are.
    if (attributes.depth != 24 || visual->red_mask != 0xFF0000 || visual->green_mask != 0xFF00 ||
        visual->blue_mask != 0xFF)
        return false;
    XImage* image = XCreateImage(display, attributes.visual, 24, ZPixmap, 0,
                                 reinterpret_cast<char*>(const_cast<uint32_t*>(picture.argb.data())),
                                 static_cast<unsigned>(picture.width), static_cast<unsigned>(picture.height), 32,
                                 picture.width * 4);
    if (!image) return false;
    // Sent into a pixmap, then copied in one request: the picture shows
    // whole, not in the bands the transfer is cut into.
    const unsigned width = static_cast<unsigned>(picture.width), height = static_cast<unsigned>(picture.height);
    Pixmap pixmap = XCreatePixmap(display, xwindow, width, height, 24);
    GC gc = XCreateGC(display, pixmap, 0, nullptr);
    XPutImage(display, pixmap, gc, image, 0, 0, 0, 0, width, height);
    XCopyArea(display, pixmap, xwindow, gc, 0, 0, width, height, 0, 0);
    XFreeGC(display, gc);
    XFreePixmap(display, pixmap);
    image->data = nullptr;  // the picture's own
    XDestroyImage(image);
    XFlush(display);
    return true;
}
