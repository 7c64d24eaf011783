#pragma once

// A camera's video analytics as its site file switches them on:
//   "analytics": {"persons": true, "faces": true, "fps": 4}
// The README's site table describes every field.

#include "HostExport.h"

#include <QString>

struct cJSON;

namespace Analytics {

struct HOST_API AnalyticsSettings
{
    static constexpr int kDefaultFps = 4;
    static constexpr int kDefaultWidth = 768;
    static constexpr int kDefaultMinPersonHeight = 96;
    static constexpr int kDefaultLinkageWindowS = 30;
    static constexpr int kDefaultDetectEvery = 1;

    bool bPersons = false;
    bool bFaces = false;
    int nFps = kDefaultFps;                         // analysis frames per second
    int nWidth = kDefaultWidth;                     // analysis frames are at most this wide
    int nMinPersonHeight = kDefaultMinPersonHeight; // in pixels of the analysis frame
    int nLinkageWindowS = kDefaultLinkageWindowS;   // how long a panoramic linkage stays open
    // The detector looks at everything that moves on every Nth analysis frame;
    // in between, the tracker carries known persons and only what moves outside
    // them is searched.
    int nDetectEvery = kDefaultDetectEvery;

    // Persons are the base of everything; faces are searched inside persons.
    bool Enabled() const { return bPersons; }
    bool operator==(const AnalyticsSettings& o) const;
    bool operator!=(const AnalyticsSettings& o) const { return !(*this == o); }
};

// Reads the "analytics" object of a camera; on failure returns false with what
// was expected in strProblem and leaves settings as they were.
HOST_API bool ReadAnalyticsSettings(const cJSON* pValue, AnalyticsSettings& settings, QString& strProblem);

} // namespace Analytics
