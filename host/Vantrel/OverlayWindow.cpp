#include "Vantrel/OverlayWindow.h"

#include <QLoggingCategory>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace Vantrel {
namespace {
Q_LOGGING_CATEGORY(lcOverlay, "lsa.host.video")

struct FreeDeleter
{
    void operator()(void* p) const { std::free(p); }
};
template <class T>
using XcbPtr = std::unique_ptr<T, FreeDeleter>;

// xcb is safe to use from several threads: the GUI thread makes and hides the
// windows, the teardown thread destroys them. Opened once, kept for the process.
xcb_connection_t* Connection()
{
    static xcb_connection_t* const s_pConnection = [] {
        xcb_connection_t* pConnection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(pConnection)) {
            qCWarning(lcOverlay) << "no X connection of our own: video sinks draw into the surfaces themselves";
            xcb_disconnect(pConnection);
            return static_cast<xcb_connection_t*>(nullptr);
        }
        return pConnection;
    }();
    return s_pConnection;
}

// No events are selected: only errors of requests sent unchecked arrive here.
void LogErrors(xcb_connection_t* pConnection)
{
    while (XcbPtr<xcb_generic_event_t> upEvent{xcb_poll_for_event(pConnection)}) {
        if (upEvent->response_type != 0)
            continue;
        const auto* pError = reinterpret_cast<const xcb_generic_error_t*>(upEvent.get());
        qCWarning(lcOverlay, "X error %d on request %d.%d (video window)", pError->error_code, pError->major_code,
                  pError->minor_code);
    }
}

// Returns once the X server has handled every request sent before.
void Sync(xcb_connection_t* pConnection)
{
    XcbPtr<xcb_get_input_focus_reply_t> upReply{
        xcb_get_input_focus_reply(pConnection, xcb_get_input_focus(pConnection), nullptr)};
    LogErrors(pConnection);
}

uint32_t DefaultBlackPixel(xcb_connection_t* pConnection)
{
    const xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(pConnection));
    return it.rem ? it.data->black_pixel : 0;
}

uint32_t Side(int n)
{
    return uint32_t(std::max(1, n));
}
} // namespace

OverlayWindow CreateOverlayWindow(quintptr hParent, const QSize& sizePixels)
{
    xcb_connection_t* pConnection = Connection();
    if (!pConnection || !hParent)
        return OverlayWindow();
    const auto hParentWindow = xcb_window_t(hParent);
    OverlayWindow window;
    window.hWindow = xcb_generate_id(pConnection);
    // Black until the first picture; no events selected, so the pointer and
    // the keyboard go on reaching the surface.
    const uint32_t arrValues[] = {DefaultBlackPixel(pConnection)};
    const xcb_void_cookie_t createCookie =
        xcb_create_window_checked(pConnection, XCB_COPY_FROM_PARENT, window.hWindow, hParentWindow, 0, 0,
                                  Side(sizePixels.width()), Side(sizePixels.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                                  XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXEL, arrValues);
    xcb_map_window(pConnection, window.hWindow);
    // Asked last, answered in one round trip: once the reply is here the X
    // server has made and shown the window (the sink reaches it through a
    // connection of its own) and any error of the creation has arrived.
    xcb_generic_error_t* pError = nullptr;
    XcbPtr<xcb_get_geometry_reply_t> upGeometry{
        xcb_get_geometry_reply(pConnection, xcb_get_geometry(pConnection, hParentWindow), &pError)};
    std::free(pError);
    if (XcbPtr<xcb_generic_error_t> upError{xcb_request_check(pConnection, createCookie)}) {
        qCWarning(lcOverlay, "cannot make a video window: X error %d", upError->error_code);
        LogErrors(pConnection);
        return OverlayWindow();
    }
    LogErrors(pConnection);
    if (!upGeometry) {
        xcb_destroy_window(pConnection, window.hWindow);
        xcb_flush(pConnection);
        return OverlayWindow();
    }
    window.hRoot = upGeometry->root;
    return window;
}

void ResizeOverlayWindow(const OverlayWindow& window, const QSize& sizePixels)
{
    xcb_connection_t* pConnection = Connection();
    if (!window || !pConnection)
        return;
    const uint32_t arrValues[] = {Side(sizePixels.width()), Side(sizePixels.height())};
    xcb_configure_window(pConnection, window.hWindow, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, arrValues);
    // The sink reads the new size when it is told to redraw.
    Sync(pConnection);
}

void DetachOverlayWindow(const OverlayWindow& window)
{
    xcb_connection_t* pConnection = Connection();
    if (!window || !pConnection)
        return;
    xcb_unmap_window(pConnection, window.hWindow);
    xcb_reparent_window(pConnection, window.hWindow, window.hRoot, 0, 0);
    Sync(pConnection);
}

void DestroyOverlayWindow(const OverlayWindow& window)
{
    xcb_connection_t* pConnection = Connection();
    if (!window || !pConnection)
        return;
    xcb_destroy_window(pConnection, window.hWindow);
    xcb_flush(pConnection);
    LogErrors(pConnection);
}

} // namespace Vantrel
