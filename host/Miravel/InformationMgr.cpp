#include "Miravel/InformationMgr.h"
#include "TesselGUIToolkit/UiSingletonImpl.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace Miravel {
namespace {
constexpr int kMargin = 16;
constexpr int kGap = 8;
constexpr int kMaxVisible = 5;
} // namespace

CInformationMgr::CInformationMgr() = default;

CInformationMgr::~CInformationMgr()
{
    for (const QPointer<QLabel>& pNotice : qAsConst(m_vecNotices))
        delete pNotice.data();
}

void CInformationMgr::ShowInformationAtScreenRightBottom(const QString& strText, QWidget* pParent, bool, bool, bool)
{
    m_lstShown.append(strText);
    emit signalNoticeShown(strText);
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return; // no widgets without a GUI application; the record still counts

    auto* pNotice = new QLabel(strText);
    pNotice->setObjectName("m_pLabelNotice");
    pNotice->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    pNotice->setAttribute(Qt::WA_DeleteOnClose);
    pNotice->setAttribute(Qt::WA_ShowWithoutActivating);
    pNotice->setWordWrap(true);
    pNotice->setMinimumWidth(260);
    pNotice->setMaximumWidth(420);
    pNotice->setMargin(14);
    pNotice->adjustSize();

    m_vecNotices.removeAll(QPointer<QLabel>());
    while (m_vecNotices.size() >= kMaxVisible)
        delete m_vecNotices.takeFirst().data();
    m_vecNotices.append(pNotice);
    PlaceNotices(pParent);
    pNotice->show();
    QTimer::singleShot(m_nDurationMs, pNotice, &QWidget::close);
}

void CInformationMgr::ShowLastErrorInfo(const QString& strErrorInfo, const QString& strCameraName,
                                        const QString& strTitle, QWidget* pParent)
{
    QStringList lstParts{strTitle};
    if (!strCameraName.isEmpty())
        lstParts << strCameraName;
    if (!strErrorInfo.isEmpty())
        lstParts << strErrorInfo;
    ShowInformationAtScreenRightBottom(lstParts.join(QStringLiteral(": ")), pParent);
}

void CInformationMgr::ShowSnapshotAtScreenRightBottom(const QString& strPath, QWidget* pParent)
{
    ShowInformationAtScreenRightBottom(strPath, pParent);
}

void CInformationMgr::ShowInfoAtRightBottomANDAddEvent(const QString& strText, QWidget* pParent)
{
    ShowInformationAtScreenRightBottom(strText, pParent);
}

void CInformationMgr::PlaceNotices(QWidget* pAnchor)
{
    QScreen* pScreen = pAnchor && pAnchor->screen() ? pAnchor->screen() : QGuiApplication::primaryScreen();
    if (!pScreen)
        return;
    const QRect rcArea = pScreen->availableGeometry();
    int nBottom = rcArea.bottom() - kMargin;
    // Newest at the bottom, older ones pushed upwards.
    for (int i = m_vecNotices.size() - 1; i >= 0; --i) {
        QLabel* pNotice = m_vecNotices.at(i);
        if (!pNotice)
            continue;
        const QSize size = pNotice->sizeHint();
        pNotice->setGeometry(rcArea.right() - kMargin - size.width(), nBottom - size.height(), size.width(),
                             size.height());
        nBottom -= size.height() + kGap;
    }
}

} // namespace Miravel

// The one holder of this type, in host code (see Fendra/Singleton.h).
TESSEL_HOST_UI_SINGLETON(Miravel::CInformationMgr)
