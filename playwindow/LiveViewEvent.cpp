#include "LiveViewEvent.h"

#include <algorithm>

namespace TesselPlayWindow {

CLiveViewEvent::CLiveViewEvent()
    : QEvent(kEventType)
{
}

CLiveViewEvent::CLiveViewEvent(const Vantrel::CPreviewObserver::Param& param)
    : QEvent(kEventType)
    , m_nKind(param.nKind)
    , m_strCameraGUID(param.strCameraGUID)
    , m_strText(param.strText)
    , m_nFlag(param.nFlag)
    , m_nCode(param.nCode)
    , m_nValue(param.nValue)
{
    std::copy(std::begin(param.arrValues), std::end(param.arrValues), std::begin(m_arrValues));
}

CLiveViewEvent::CLiveViewEvent(int nKind, const std::string& strCameraGUID)
    : QEvent(kEventType)
    , m_nKind(nKind)
    , m_strCameraGUID(strCameraGUID)
{
}

CLiveViewEvent::~CLiveViewEvent() = default;

} // namespace TesselPlayWindow
