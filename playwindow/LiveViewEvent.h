#pragma once

#include "Vantrel/PreviewObserver.h"

#include <QEvent>
#include <QMetaType>

#include <string>

namespace TesselPlayWindow {

// A change of a play window's live view, as the host preview reported it.
// Travels in queued signals, so it is a registered metatype.
class CLiveViewEvent : public QEvent
{
public:
    static constexpr QEvent::Type kEventType = static_cast<QEvent::Type>(1000);
    // Kinds the linkage view acts on.
    enum { KindStarted = 0, KindStopped = 1, KindResumed = 6 };

    CLiveViewEvent();
    explicit CLiveViewEvent(const Vantrel::CPreviewObserver::Param& param);
    CLiveViewEvent(int nKind, const std::string& strCameraGUID);
    CLiveViewEvent(const CLiveViewEvent& other) = default;
    CLiveViewEvent& operator=(const CLiveViewEvent& other) = default;
    ~CLiveViewEvent() override;

    // Kinds 0 and 6: the camera's live view runs.
    bool IsRunning() const { return m_nKind == KindStarted || m_nKind == KindResumed; }

    int m_nKind = KindStopped;
    std::string m_strCameraGUID;
    std::string m_strText;
    int m_nFlag = 1;
    int m_arrValues[6] = {0, 0, 0, 0, 0, 0};
    int m_nCode = 4;
    int m_nValue = 0;
};

} // namespace TesselPlayWindow

// Play-window signals and their receivers name the event without namespace.
using CLiveViewEvent = TesselPlayWindow::CLiveViewEvent;

Q_DECLARE_METATYPE(TesselPlayWindow::CLiveViewEvent)
