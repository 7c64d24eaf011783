#pragma once

// Internal to the clip writer: buffered H.264 access units (start codes before
// each NAL unit, as the live pipelines keep them) repackaged the way Matroska
// holds H.264 (each NAL unit behind its 4-byte length, the parameter sets in
// the stream's header) without copying the pictures' bytes: the parser that
// would do it copies every byte of the clip.

#include <gst/gst.h>

#include "Vantrel/PreAlarmBuffer.h"

namespace Vantrel {

// The caps for the muxer when every frame is an H.264 access unit with start
// codes in one format, with its picture size, and the first frame carries the
// parameter sets; null otherwise (the parser is used then).
GstCaps* AvcCapsFor(const EncodedFrames& vecFrames);

// A frame as length-prefixed NAL units; the units' bytes stay the frame's own.
GstBuffer* AvcBuffer(const EncodedFrame& frame);

} // namespace Vantrel
