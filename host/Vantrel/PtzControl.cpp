#include "Vantrel/PtzControl.h"

#include "TesselGUIToolkit/UiSingletonImpl.h"

#include "tessel/ICamera.h"

#include <QTimer>

#include <algorithm>
#include <cmath>

namespace Vantrel {
namespace {

// At speed 1 a camera pans a tenth of its current view per second; speed 7 seven tenths.
constexpr double kViewsPerSecondPerSpeed = 0.1;
// At speed 1 the zoom grows by a fifth per second.
constexpr double kZoomRatePerSpeed = 0.2;
constexpr double kMsPerSecond = 1000.0;

struct Direction
{
    int nPan;
    int nTilt;
    int nZoom;
};

Direction DirectionOf(PtzCommand eCommand)
{
    switch (eCommand) {
    case PtzTiltUp:
        return {0, -1, 0};
    case PtzTiltDown:
        return {0, 1, 0};
    case PtzPanLeft:
        return {-1, 0, 0};
    case PtzPanRight:
        return {1, 0, 0};
    case PtzUpLeft:
        return {-1, -1, 0};
    case PtzUpRight:
        return {1, -1, 0};
    case PtzDownLeft:
        return {-1, 1, 0};
    case PtzDownRight:
        return {1, 1, 0};
    case PtzZoomIn:
        return {0, 0, 1};
    case PtzZoomOut:
        return {0, 0, -1};
    }
    return {0, 0, 0};
}

} // namespace

CPtzControl::CPtzControl()
    : m_pTimer(new QTimer(this))
{
    m_pTimer->setInterval(kTickMs);
    connect(m_pTimer, &QTimer::timeout, this, [this] { Advance(kTickMs); });
}

CPtzControl::~CPtzControl() = default;

bool CPtzControl::PtzControl(const tessel::ICamera* pCamera, PtzCommand eCommand, bool bStop, int nSpeed)
{
    if (!pCamera || !pCamera->HasPTZ())
        return false;
    const QString strGuid = QString::fromStdString(pCamera->GetElementID());
    const Direction direction = DirectionOf(eCommand);
    Motion& motion = m_hashMotions[strGuid];
    if (bStop) {
        // A stop ends only the axes its command moves, so a held zoom survives a released pan.
        if (direction.nPan || direction.nTilt) {
            motion.nPan = 0;
            motion.nTilt = 0;
        }
        if (direction.nZoom)
            motion.nZoom = 0;
    } else {
        if (direction.nPan || direction.nTilt) {
            motion.nPan = direction.nPan;
            motion.nTilt = direction.nTilt;
        }
        if (direction.nZoom)
            motion.nZoom = direction.nZoom;
        motion.nSpeed = std::clamp(nSpeed, kMinSpeed, kMaxSpeed);
    }
    if (motion.IsIdle())
        m_hashMotions.remove(strGuid);
    UpdateTimer();
    return true;
}

void CPtzControl::StopAll(const std::string& strGuid)
{
    m_hashMotions.remove(QString::fromStdString(strGuid));
    UpdateTimer();
}

bool CPtzControl::GoHome(const tessel::ICamera* pCamera)
{
    if (!pCamera || !pCamera->HasPTZ())
        return false;
    const QString strGuid = QString::fromStdString(pCamera->GetElementID());
    m_hashMotions.remove(strGuid);
    UpdateTimer();
    m_hashPositions.insert(strGuid, PtzPosition{});
    emit SignalPositionChanged(strGuid);
    return true;
}

PtzPosition CPtzControl::GetPosition(const std::string& strGuid) const
{
    return m_hashPositions.value(QString::fromStdString(strGuid));
}

bool CPtzControl::IsMoving(const std::string& strGuid) const
{
    return m_hashMotions.contains(QString::fromStdString(strGuid));
}

void CPtzControl::Advance(int nMilliseconds)
{
    if (nMilliseconds <= 0)
        return;
    const double dSeconds = nMilliseconds / kMsPerSecond;
    QStringList listChanged;
    for (auto it = m_hashMotions.cbegin(); it != m_hashMotions.cend(); ++it) {
        const Motion& motion = it.value();
        PtzPosition position = m_hashPositions.value(it.key());
        const double dView = kWideFraction / position.dZoom; // current view size in scene fractions
        const double dStep = motion.nSpeed * kViewsPerSecondPerSpeed * dView * dSeconds;
        position.dPan += motion.nPan * dStep;
        position.dTilt += motion.nTilt * dStep;
        position.dZoom *= std::pow(1.0 + motion.nSpeed * kZoomRatePerSpeed, motion.nZoom * dSeconds);
        position = Clamped(position);
        if (!(position == m_hashPositions.value(it.key()))) {
            m_hashPositions.insert(it.key(), position);
            listChanged << it.key();
        }
    }
    for (const QString& strGuid : listChanged)
        emit SignalPositionChanged(strGuid);
}

PtzPosition CPtzControl::Clamped(PtzPosition position)
{
    position.dZoom = std::clamp(position.dZoom, 1.0, kMaxZoom);
    const double dHalf = kWideFraction / position.dZoom / 2.0;
    position.dPan = std::clamp(position.dPan, dHalf, 1.0 - dHalf);
    position.dTilt = std::clamp(position.dTilt, dHalf, 1.0 - dHalf);
    return position;
}

QRectF CPtzControl::ViewRect(const PtzPosition& position)
{
    const PtzPosition clamped = Clamped(position);
    const double dSize = kWideFraction / clamped.dZoom;
    return QRectF(clamped.dPan - dSize / 2.0, clamped.dTilt - dSize / 2.0, dSize, dSize);
}

void CPtzControl::UpdateTimer()
{
    if (m_hashMotions.isEmpty())
        m_pTimer->stop();
    else if (!m_pTimer->isActive())
        m_pTimer->start();
}

} // namespace Vantrel

TESSEL_HOST_UI_SINGLETON(Vantrel::CPtzControl)
