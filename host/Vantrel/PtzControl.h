#pragma once

#include "HostExport.h"

#include <QHash>
#include <QObject>
#include <QRectF>
#include <QString>

#include <string>

class QTimer;

namespace tessel {
class ICamera;
} // namespace tessel

namespace Vantrel {

// Where a PTZ camera looks: the centre of its view in the scene (0..1 both ways)
// and its optical zoom (1 = widest).
struct PtzPosition
{
    double dPan = 0.5;
    double dTilt = 0.5;
    double dZoom = 1.0;

    bool operator==(const PtzPosition& o) const { return dPan == o.dPan && dTilt == o.dTilt && dZoom == o.dZoom; }
};

enum PtzCommand {
    PtzTiltUp,
    PtzTiltDown,
    PtzPanLeft,
    PtzPanRight,
    PtzUpLeft,
    PtzUpRight,
    PtzDownLeft,
    PtzDownRight,
    PtzZoomIn,
    PtzZoomOut,
};

// Carries PTZ commands to cameras. A command runs from its start until its stop
// (as a held button does); the camera's position moves while it runs. The demo
// cameras are simulated here: a preview shows the part of its larger scene that
// ViewRect gives for the camera's position. Reached through
// TesselGUIToolkit::CUiSingleton<Vantrel::CPtzControl>, so its timer goes with the application.
class HOST_API CPtzControl : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMinSpeed = 1;
    static constexpr int kMaxSpeed = 7;
    static constexpr double kMaxZoom = 8.0;
    // At zoom 1 a camera sees this fraction of its scene in each direction.
    static constexpr double kWideFraction = 0.5;
    static constexpr int kTickMs = 40;

    CPtzControl();
    ~CPtzControl() override;

    // Starts (bStop false) or stops a command on a camera; false for no camera or
    // a camera without PTZ. Speeds outside 1..7 are brought into that range.
    bool PtzControl(const tessel::ICamera* pCamera, PtzCommand eCommand, bool bStop, int nSpeed);
    // Stops whatever the camera does.
    void StopAll(const std::string& strGuid);
    // Back to the widest view at the scene's centre.
    bool GoHome(const tessel::ICamera* pCamera);

    PtzPosition GetPosition(const std::string& strGuid) const;
    bool IsMoving(const std::string& strGuid) const;

    // Moves every running command on by the given time (the timer calls it).
    void Advance(int nMilliseconds);

    // The part of the scene the camera shows, in fractions of the scene.
    static QRectF ViewRect(const PtzPosition& position);

signals:
    void SignalPositionChanged(const QString& strGuid);

private:
    struct Motion
    {
        int nPan = 0;  // -1 left, +1 right
        int nTilt = 0; // -1 up, +1 down
        int nZoom = 0; // -1 out, +1 in
        int nSpeed = kMinSpeed;
        bool IsIdle() const { return !nPan && !nTilt && !nZoom; }
    };
    static PtzPosition Clamped(PtzPosition position);
    void UpdateTimer();

    QHash<QString, PtzPosition> m_hashPositions;
    QHash<QString, Motion> m_hashMotions;
    QTimer* m_pTimer = nullptr;
};

} // namespace Vantrel
