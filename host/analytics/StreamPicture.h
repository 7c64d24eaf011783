#pragma once

// The stream's own picture as the analysis branch hands it on: a reference to
// the decoder's buffer in its own format (I420, NV12, ...), converted to BGR
// only when an alarm needs its pictures.

#include "HostExport.h"
#include "analytics/AnalyticsModule.h"

#include <gst/video/video.h>

#include <memory>

namespace Analytics {

// Holds a reference to pBuffer, laid out as info (and its video meta, if any);
// null for a buffer or format it cannot take.
HOST_API std::shared_ptr<const IStreamPicture> WrapStreamPicture(GstBuffer* pBuffer, const GstVideoInfo& info);

} // namespace Analytics
