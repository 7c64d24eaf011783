#pragma once

#include "HostExport.h"

#include <QObject>

#include <cstdint>

namespace tessel {

// Notified when the host's video system configuration changes; code 0 means the
// video scale mode changed.
class HOST_API IVideoSystemConfigObserver
{
public:
    virtual ~IVideoSystemConfigObserver();
    virtual void OnVideoSystemConfigChanged(const int32_t* pnCode) = 0;
};

} // namespace tessel

// Lets a QObject that implements the observer be cast to it through its meta-object.
Q_DECLARE_INTERFACE(tessel::IVideoSystemConfigObserver, "IVideoSystemConfigObserver")
