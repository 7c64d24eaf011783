#pragma once

#include "HostExport.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>

class QWidget;
class QLabel;

namespace Miravel {

// Transient notices at the bottom right of the screen. Each notice fades out on
// its own; newer ones stack above older ones. Every text shown is also kept in a
// record that the application and tests can read.
class HOST_API CInformationMgr : public QObject
{
    Q_OBJECT
public:
    CInformationMgr();
    ~CInformationMgr() override;

    // The three flags are reserved for the host's richer notice kinds; the
    // plug-in always passes false.
    void ShowInformationAtScreenRightBottom(const QString& strText, QWidget* pParent, bool bFlag1 = false,
                                            bool bFlag2 = false, bool bFlag3 = false);

    // The host's last error under a title, naming the camera concerned.
    void ShowLastErrorInfo(const QString& strErrorInfo, const QString& strCameraName, const QString& strTitle,
                           QWidget* pParent);
    // A captured picture's path; a notice that the client also records as an event.
    void ShowSnapshotAtScreenRightBottom(const QString& strPath, QWidget* pParent);
    void ShowInfoAtRightBottomANDAddEvent(const QString& strText, QWidget* pParent);

    QStringList ShownNotices() const { return m_lstShown; }
    void ClearShownNotices() { m_lstShown.clear(); }

    // How long a notice stays, in milliseconds.
    void SetNoticeDuration(int nMs) { m_nDurationMs = nMs; }

signals:
    void signalNoticeShown(const QString& strText);

private:
    void PlaceNotices(QWidget* pAnchor);

    QStringList m_lstShown;
    QVector<QPointer<QLabel>> m_vecNotices;
    int m_nDurationMs = 4000;
};

} // namespace Miravel
