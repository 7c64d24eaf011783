#pragma once

#include "HostExport.h"

#include <QMetaType>

#include <string>

namespace Vantrel {

// What a preview reports about its stream.
enum PreviewNotifyKind {
    NotifyStarted = 0, // the first picture is shown
    NotifyStopped = 1, // the preview stopped (by request, error or end of stream)
    NotifyRecordStarted = 2,
    NotifyRecordStopped = 3, // the recording file is complete; text: its path
    NotifyError = 4,         // text: the error; code: the host's error reason
    NotifyConnecting = 5,    // the stream was asked for and no picture is shown yet
    NotifyResumed = 6,       // pictures flow again after the stream was lost
    NotifyStreamLost = 7,    // a running stream failed or stalled
    NotifySoundOpened = 10,  // the window's sound action shows its on look
    NotifySoundClosed = 11,
    NotifyPictureSize = 13, // values 0 and 1: the picture's width and height
    NotifyReconnect = 24,   // flag non-zero: start the same camera again
};

class HOST_API CPreviewObserver
{
public:
    // One notification of a preview.
    struct Param
    {
        int nKind = NotifyStopped;
        std::string strCameraGUID;
        std::string strText;
        int nFlag = 1;
        int arrValues[6] = {0, 0, 0, 0, 0, 0};
        int nCode = 4;
        int nValue = 0;
    };

    virtual ~CPreviewObserver();
    virtual void OnPreviewNotify(const Param& param) = 0;
};

} // namespace Vantrel

Q_DECLARE_METATYPE(Vantrel::CPreviewObserver::Param)
