#include "playwindow/PlayWindowEvent.h"

#include <algorithm>

namespace TesselPlayWindow {

CLiveViewEvent MakeLiveViewEvent(const Vantrel::CPreviewObserver::Param& param)
{
    CLiveViewEvent event(param.nKind, param.strCameraGUID);
    event.m_strSecondText = param.strText;
    event.m_nFlag = param.nFlag;
    std::copy(std::begin(param.arrValues), std::end(param.arrValues), event.m_arrValues.begin());
    event.m_nCode = param.nCode;
    event.m_nValue = param.nValue;
    return event;
}

} // namespace TesselPlayWindow
