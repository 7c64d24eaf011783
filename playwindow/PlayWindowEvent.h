#pragma once

#include "Vantrel/LiveViewEvent.h"

#include "Vantrel/PreviewObserver.h"

namespace TesselPlayWindow {

// The event of a host preview notification: kind, GUID, second text, flag and
// the eight integers, in that order.
CLiveViewEvent MakeLiveViewEvent(const Vantrel::CPreviewObserver::Param& param);

} // namespace TesselPlayWindow

// Play-window signals and their receivers name the event without namespace.
using CLiveViewEvent = TesselPlayWindow::CLiveViewEvent;
