#include "Kelmot/ConfigMgr.h"
#include "Fendra/SingletonImpl.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace Kelmot {
namespace {
constexpr int32_t kDefaults[CConfigMgr::SettingCount] = {1, 1};
const char* const kKeys[CConfigMgr::SettingCount] = {"Client/LanguageType", "Client/StyleVariant"};
} // namespace

CConfigMgr::CConfigMgr()
{
    Reload();
}

QString CConfigMgr::ConfigFilePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath("LinkageHost/host.ini");
}

void CConfigMgr::Reload()
{
    QSettings settings(ConfigFilePath(), QSettings::IniFormat);
    std::lock_guard<std::mutex> lock(m_mutex);
    for (int i = 0; i < SettingCount; ++i) {
        bool bOk = false;
        const int nValue = settings.value(kKeys[i]).toInt(&bOk);
        m_arrSettings[i] = bOk ? nValue : kDefaults[i];
    }
}

int32_t CConfigMgr::GetSetting(int nIndex) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return nIndex >= 0 && nIndex < SettingCount ? m_arrSettings[nIndex] : 0;
}

void CConfigMgr::SetSetting(int nIndex, int32_t nValue)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (nIndex >= 0 && nIndex < SettingCount)
        m_arrSettings[nIndex] = nValue;
}

} // namespace Kelmot

// The one holder of this type, in host code (see Fendra/Singleton.h).
FENDRA_HOST_SINGLETON(Kelmot::CConfigMgr)
