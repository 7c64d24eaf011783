#pragma once

#include "HostExport.h"

#include <QString>

#include <array>
#include <cstdint>
#include <mutex>

namespace Kelmot {

// The client's common configuration: 32-bit settings read from the host's
// configuration file ("host.ini" in the host's configuration folder).
// Setting 0 is the interface language (34 and 13 are right-to-left languages);
// setting 1 selects the style variant (0 is the alternative variant).
class HOST_API CConfigMgr
{
public:
    enum Setting { LanguageType = 0, StyleVariant = 1, SettingCount };

    CConfigMgr();

    int32_t GetSetting(int nIndex) const;
    void SetSetting(int nIndex, int32_t nValue);
    int32_t GetLanguageType() const { return GetSetting(LanguageType); }
    int32_t GetStyleVariant() const { return GetSetting(StyleVariant); }

    // Reads the settings again from the configuration file.
    void Reload();
    static QString ConfigFilePath();

private:
    mutable std::mutex m_mutex;
    std::array<int32_t, SettingCount> m_arrSettings{};
};

} // namespace Kelmot
