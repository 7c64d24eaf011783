#pragma once

#include <string>

namespace tessel {
class IElement;
}

// Resolves a camera GUID to the host's element for the play windows, which do
// not know the host's camera tree. The owner of the windows implements it.
class CLiveViewControllerPlugin
{
public:
    virtual ~CLiveViewControllerPlugin() = default;
    virtual tessel::IElement* GetElementByGUID(const std::string& strGUID) = 0;
};

// Instant playback's counterpart; the linkage view passes none.
class CLiveViewPlaybackPlugin
{
public:
    virtual ~CLiveViewPlaybackPlugin() = default;
};
