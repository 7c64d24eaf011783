#include "mqtt/BrokerSettings.h"

#include <QUrl>

namespace mqtt {

bool BrokerSettings::SetUrl(const QString& strUrl, QString& strError)
{
    const QUrl url(strUrl, QUrl::StrictMode);
    const QString strScheme = url.scheme().toLower();
    if (!url.isValid() || (strScheme != "mqtt" && strScheme != "mqtts") || url.host().isEmpty()
        || !(url.path().isEmpty() || url.path() == "/") || url.hasQuery() || !url.userInfo().isEmpty()) {
        strError = QString("broker address %1: expected mqtt://host[:port] or mqtts://host[:port]").arg(strUrl);
        return false;
    }
    bTls = strScheme == "mqtts";
    strHost = url.host();
    nPort = url.port(bTls ? kTlsPort : kPlainPort);
    if (nPort <= 0) {
        strError = QString("broker address %1: bad port").arg(strUrl);
        return false;
    }
    return true;
}

QString BrokerSettings::Url() const
{
    const bool bV6 = strHost.contains(':');
    return QString("%1://%2%3%4:%5").arg(bTls ? "mqtts" : "mqtt", bV6 ? "[" : "", strHost, bV6 ? "]" : "").arg(nPort);
}

} // namespace mqtt
