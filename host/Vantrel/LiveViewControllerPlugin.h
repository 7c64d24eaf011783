#pragma once

#include <string>

namespace tessel {
class IElement;
} // namespace tessel

// How a play window turns a camera GUID into a host camera: an object handed to
// each window at construction (the camera tree supplies one).
class CLiveViewControllerPlugin
{
public:
    virtual ~CLiveViewControllerPlugin() = default;
    // The host element of that GUID, or null; callers downcast it to tessel::ICamera.
    virtual tessel::IElement* GetElementByGUID(const std::string& strGUID) = 0;
};
