#include "analytics/LinkageBoard.h"

#include "Fendra/SingletonImpl.h"

#include <QUuid>

namespace Analytics {

CLinkageBoard& CLinkageBoard::Instance()
{
    return Fendra::CSingleton<CLinkageBoard>::Instance();
}

std::string CLinkageBoard::NewLinkageUid()
{
    return "analytics-" + QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
}

void CLinkageBoard::Open(const std::string& strGroup, const std::string& strUid, int64_t nNowMs, int nWindowS)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_mapOpen[strGroup] = {strUid, nNowMs + int64_t(nWindowS) * 1000};
}

std::string CLinkageBoard::Current(const std::string& strGroup, int64_t nNowMs) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_mapOpen.find(strGroup);
    return it != m_mapOpen.end() && nNowMs <= it->second.nUntilMs ? it->second.strUid : std::string();
}

void CLinkageBoard::Clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_mapOpen.clear();
}

} // namespace Analytics

FENDRA_HOST_SINGLETON(Analytics::CLinkageBoard)
