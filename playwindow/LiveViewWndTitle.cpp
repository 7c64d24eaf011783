#include "playwindow/LiveViewWndTitle.h"

#include "Fendra/Singleton.h"
#include "Kelmot/ConfigMgr.h"
#include "TesselGUIToolkit/HBoxLayout.h"
#include "TesselGUIToolkit/Label.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QLayout>
#include <QSpacerItem>

#include <iterator>

namespace {

// Names of the streams a camera offers, by stream type; type 6 has no name.
struct LiveViewWndTitleTexts
{
    static constexpr const char* kStreamNames[] = {
        QT_TRANSLATE_NOOP("CLiveViewWndTitle", "Tessel_Client.3f0fe9311dfe46ff9ea7f16dab6eef2a.name"),
        QT_TRANSLATE_NOOP("CLiveViewWndTitle", "Sub-stream"),
        QT_TRANSLATE_NOOP("CLiveViewWndTitle", "ThirdStream"),
        QT_TRANSLATE_NOOP("CLiveViewWndTitle", "FourthStream"),
        QT_TRANSLATE_NOOP("CLiveViewWndTitle", "FifthStream"),
        QT_TRANSLATE_NOOP("CLiveViewWndTitle", "SixthStream"),
        nullptr,
        QT_TRANSLATE_NOOP("CLiveViewWndTitle", "SeventhStream"),
        QT_TRANSLATE_NOOP("CLiveViewWndTitle", "EighthStream"),
        QT_TRANSLATE_NOOP("CLiveViewWndTitle", "NinthStream"),
        QT_TRANSLATE_NOOP("CLiveViewWndTitle", "TenthStream"),
    };
};

constexpr int kMarginH = 4;
constexpr int kSpacerSize = 20;
constexpr uint64_t kBitsPerByte = 8;
constexpr uint64_t kBitsPerKilobit = 1000;
constexpr int32_t kRightToLeftLanguages[] = {34, 13};
constexpr uint32_t kFractionFlag = 1;

} // namespace

CLiveViewWndTitle::CLiveViewWndTitle(QWidget* pParent)
    : TesselGUIToolkit::CFancyTitle(pParent)
{
    SetOpenWidgetMoveEnable(false);
    m_pWndLabel = CreateLabel("m_pWndLabel");
    m_pDetailLabel = CreateLabel("m_pDetailLabel");
    m_pAnalyzeResultLabel = CreateLabel("m_pAnalyzeResultLabel");
    // The stream line gives way to the camera's name when the window is narrow.
    m_pAnalyzeResultLabel->setMinimumWidth(1);

    auto* pLayout = new TesselGUIToolkit::CHBoxLayout(this);
    pLayout->AddWidget(m_pWndLabel);
    pLayout->AddWidget(m_pDetailLabel);
    pLayout->AddItem(new QSpacerItem(kSpacerSize, kSpacerSize, QSizePolicy::Expanding, QSizePolicy::Minimum));
    pLayout->AddWidget(m_pAnalyzeResultLabel);
    pLayout->SetLayoutContentsMargins(kMarginH, 0, kMarginH, 0);
    setFixedHeight(kTitleHeight);

    if (IsRightToLeftLanguage(Fendra::CSingleton<Kelmot::CConfigMgr>::Instance().GetLanguageType())) {
        for (QWidget* pLabel : {static_cast<QWidget*>(m_pWndLabel), static_cast<QWidget*>(m_pDetailLabel),
                                static_cast<QWidget*>(m_pAnalyzeResultLabel)})
            pLabel->setLayoutDirection(Qt::RightToLeft);
    }
}

TesselGUIToolkit::CLabel* CLiveViewWndTitle::CreateLabel(const char* pszObjectName)
{
    auto* pLabel = new TesselGUIToolkit::CLabel(this);
    pLabel->setObjectName(QLatin1String(pszObjectName));
    return pLabel;
}

bool CLiveViewWndTitle::IsRightToLeftLanguage(int32_t nLanguage)
{
    for (int32_t nRtl : kRightToLeftLanguages)
        if (nLanguage == nRtl)
            return true;
    return false;
}

void CLiveViewWndTitle::SetTitleText(const QString& strText)
{
    if (m_pWndLabel)
        m_pWndLabel->setText(strText);
}

void CLiveViewWndTitle::ClearTitle()
{
    m_strStreamLine.clear();
    if (m_pAnalyzeResultLabel)
        m_pAnalyzeResultLabel->setMinimumWidth(1);
    for (TesselGUIToolkit::CLabel* pLabel : {m_pWndLabel, m_pAnalyzeResultLabel, m_pDetailLabel})
        if (pLabel) {
            pLabel->clear();
            pLabel->setToolTip(QString());
        }
}

void CLiveViewWndTitle::SetStreamInfoVisible(bool bVisible)
{
    if (m_pAnalyzeResultLabel)
        m_pAnalyzeResultLabel->setVisible(bVisible);
}

QString CLiveViewWndTitle::BitRateText(uint32_t uBytesPerSecond)
{
    // 64 bits: a fast stream's bit count does not fit 32 bits.
    const uint64_t uBits = uint64_t(uBytesPerSecond) * kBitsPerByte;
    if (uBits <= kBitsPerKilobit)
        return QString::number(uBits) + QLatin1String("bps, ");
    const uint64_t uHundredths = (uBits % kBitsPerKilobit) / 10;
    return QString::number(uBits / kBitsPerKilobit) + QLatin1Char('.')
           + QString::number(uHundredths).rightJustified(2, QLatin1Char('0')) + QLatin1String("kbps, ");
}

const char* CLiveViewWndTitle::StreamNameKey(int32_t nStreamType)
{
    constexpr int32_t nCount = int32_t(std::size(LiveViewWndTitleTexts::kStreamNames));
    if (nStreamType < 0 || nStreamType >= nCount || !LiveViewWndTitleTexts::kStreamNames[nStreamType])
        return "";
    return LiveViewWndTitleTexts::kStreamNames[nStreamType];
}

void CLiveViewWndTitle::ShowStreamInfo(const Vantrel::StreamInfo& struInfo, bool bWithStreamName, int32_t nStreamType)
{
    if (!m_pAnalyzeResultLabel)
        return;
    if (struInfo.uFrameRate != 0) {
        m_strFrameRate = QString::number(struInfo.uFrameRate);
        if (struInfo.uFrameRateFraction == kFractionFlag)
            m_strFrameRate.prepend(QLatin1String("1/"));
    }
    const QString strDetail = BitRateText(struInfo.uDataRate) + QString::number(struInfo.uWidth) + QLatin1Char('*')
                              + QString::number(struInfo.uHeight) + QLatin1String(", ") + m_strFrameRate
                              + QLatin1String("fps");
    QString strLine = strDetail;
    if (bWithStreamName) {
        const char* pszKey = StreamNameKey(nStreamType);
        const QString strName = *pszKey ? QCoreApplication::translate("CLiveViewWndTitle", pszKey) : QString();
        strLine = strName + QLatin1Char('(') + strDetail + QLatin1Char(')');
    }
    m_strStreamLine = strLine;
    m_pAnalyzeResultLabel->setText(strLine);
    ElideStreamLine();
}

int CLiveViewWndTitle::StreamLineRoom() const
{
    // The bar's width less everything else in it: measuring the label itself
    // would keep a once-shortened line short for good. Spacers give way.
    QLayout* pLayout = layout();
    const int nSpacing = qMax(0, pLayout->spacing());
    int nRoom = contentsRect().width() - pLayout->contentsMargins().left() - pLayout->contentsMargins().right();
    for (int i = 0; i < pLayout->count(); ++i) {
        QLayoutItem* pItem = pLayout->itemAt(i);
        QWidget* pWidget = pItem->widget();
        if (pWidget == m_pAnalyzeResultLabel || (pWidget && pWidget->isHidden()))
            continue;
        nRoom -= nSpacing;
        if (pWidget)
            nRoom -= pWidget->sizeHint().width();
    }
    return qMax(0, nRoom);
}

void CLiveViewWndTitle::ElideStreamLine()
{
    if (!m_bElideStreamInfo || !m_pAnalyzeResultLabel || m_strStreamLine.isEmpty())
        return;
    const QFontMetrics metrics(m_pAnalyzeResultLabel->font());
    const QString strShown = metrics.elidedText(m_strStreamLine, Qt::ElideRight, StreamLineRoom());
    // The label keeps the room of what it shows; the spacer gives way.
    m_pAnalyzeResultLabel->setMinimumWidth(qMax(1, metrics.horizontalAdvance(strShown)));
    m_pAnalyzeResultLabel->setText(strShown);
    m_pAnalyzeResultLabel->setToolTip(m_strStreamLine);
}

void CLiveViewWndTitle::resizeEvent(QResizeEvent* pEvent)
{
    TesselGUIToolkit::CFancyTitle::resizeEvent(pEvent);
    ElideStreamLine();
}
