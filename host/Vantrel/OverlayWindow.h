#pragma once

// Internal to the preview logic: the X window an overlay sink draws into.

#include <QSize>

#include <cstdint>

namespace Vantrel {

// A child of the surface's native window, made on the host's own X connection.
// It can be taken out from under the surface, so that destroying the surface
// never destroys a window a sink still draws into.
struct OverlayWindow
{
    quint32 hWindow = 0;
    quint32 hRoot = 0; // of the parent's screen
    explicit operator bool() const { return hWindow != 0; }
};

// Covers the parent (size in device pixels) and is shown; empty when no X
// connection of our own or no such parent window is there.
OverlayWindow CreateOverlayWindow(quintptr hParent, const QSize& sizePixels);
void ResizeOverlayWindow(const OverlayWindow& window, const QSize& sizePixels);
// Hides it and moves it to the root window; returns once the X server has
// done both, so that a later destruction of the old parent cannot reach it.
void DetachOverlayWindow(const OverlayWindow& window);
// From any thread, once nothing draws into it any more.
void DestroyOverlayWindow(const OverlayWindow& window);

} // namespace Vantrel
