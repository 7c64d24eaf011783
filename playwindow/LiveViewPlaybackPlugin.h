#pragma once

// Instant playback's counterpart of the live view plug-in; the linkage view
// passes none.
class CLiveViewPlaybackPlugin
{
public:
    virtual ~CLiveViewPlaybackPlugin() = default;
};
