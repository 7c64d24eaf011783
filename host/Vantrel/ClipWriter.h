#pragma once

#include "HostExport.h"
#include "Vantrel/PreAlarmBuffer.h"

#include <QString>

#include <atomic>
#include <functional>

namespace Vantrel {

// Writes buffered frames as a Matroska file, as they are (no re-encoding): an
// H.264 or H.265 stream is only repackaged by its parser for the muxer. The
// frames start at a keyframe (a snapshot does); they are rebased to one time
// line from 0. Runs on the caller's thread and blocks until the file is
// finished; pbCancel (may be null) stops it early, fnProgress (may be empty)
// hears how many frames went in. The file is written once the muxer is done,
// in big blocks; fnWritten (may be empty) hears the file's bytes in order right
// after each block's write, so that a caller hashes them without reading the
// file back. On failure or cancel the file is removed and false is returned
// with the reason in pstrError.
HOST_API bool WriteMatroskaClip(EncodedFrames vecFrames, const QString& strPath, const std::atomic<bool>* pbCancel,
                                const std::function<void(size_t)>& fnProgress, QString* pstrError,
                                const std::function<void(const char*, size_t)>& fnWritten = {});

} // namespace Vantrel
