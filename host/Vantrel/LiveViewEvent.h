#pragma once

#include <QEvent>
#include <QMetaType>

#include <array>
#include <string>

namespace TesselPlayWindow {

// A play window's live-view state change, as the host's preview logic reports
// it. The plug-in reads the kind and the camera GUID.
class CLiveViewEvent : public QEvent
{
public:
    static constexpr int kEventType = 1000;
    // Kinds the plug-in acts on: the live view stopped; it runs (two kinds).
    static constexpr int kKindStopped = 1;
    static constexpr int kKindStarted = 0;
    static constexpr int kKindRunning = 6;

    CLiveViewEvent()
        : QEvent(static_cast<QEvent::Type>(kEventType))
    {
    }
    CLiveViewEvent(int nKind, std::string strCameraGUID)
        : QEvent(static_cast<QEvent::Type>(kEventType))
        , m_nKind(nKind)
        , m_strCameraGUID(std::move(strCameraGUID))
    {
    }

    int GetKind() const { return m_nKind; }
    const std::string& GetCameraGUID() const { return m_strCameraGUID; }
    bool IsRunning() const { return m_nKind == kKindStarted || m_nKind == kKindRunning; }

    int m_nKind = kKindStopped;
    std::string m_strCameraGUID;
    std::string m_strSecondText;
    int m_nFlag = 1;
    std::array<int, 6> m_arrValues{};
    int m_nCode = 4;
    int m_nValue = 0;
};

} // namespace TesselPlayWindow

Q_DECLARE_METATYPE(TesselPlayWindow::CLiveViewEvent)
