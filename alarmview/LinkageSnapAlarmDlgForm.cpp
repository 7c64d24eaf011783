#include "LinkageSnapAlarmDlgForm.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpacerItem>
#include <QVariant>
#include <QVBoxLayout>
#include <QWidget>

namespace LinkageSnapAlarm {
namespace {

QSpacerItem* HSpacer(int nWidth)
{
    return new QSpacerItem(nWidth, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
}

QSpacerItem* VSpacer(int nHeight)
{
    return new QSpacerItem(20, nHeight, QSizePolicy::Minimum, QSizePolicy::Expanding);
}

template <class Layout>
Layout* MakeLayout(const char* szName, QWidget* pOn = nullptr)
{
    auto* pLayout = pOn ? new Layout(pOn) : new Layout();
    pLayout->setObjectName(szName);
    pLayout->setSpacing(0);
    pLayout->setContentsMargins(0, 0, 0, 0);
    return pLayout;
}

template <class Widget = QWidget>
Widget* MakeWidget(const char* szName, QWidget* pParent)
{
    auto* pWidget = new Widget(pParent);
    pWidget->setObjectName(szName);
    return pWidget;
}

QWidget* MakeTitleEdge(const char* szName, QWidget* pParent)
{
    QWidget* pEdge = MakeWidget(szName, pParent);
    pEdge->setMinimumSize(45, 56);
    pEdge->setMaximumSize(45, 56);
    return pEdge;
}

// A title bar: fixed edge, label, fixed edge, then a spacer taking the rest.
QWidget* MakeTitleBar(const char* szBar, const char* szLayout, const char* szEdgeL, const char* szLabel,
                      const char* szEdgeR, int nSpacerWidth, QWidget* pParent, QHBoxLayout*& pLayout,
                      QWidget*& pEdgeL, QLabel*& pLabel, QWidget*& pEdgeR)
{
    QWidget* pBar = MakeWidget(szBar, pParent);
    pLayout = MakeLayout<QHBoxLayout>(szLayout, pBar);
    pEdgeL = MakeTitleEdge(szEdgeL, pBar);
    pLabel = MakeWidget<QLabel>(szLabel, pBar);
    pEdgeR = MakeTitleEdge(szEdgeR, pBar);
    pLayout->addWidget(pEdgeL);
    pLayout->addWidget(pLabel);
    pLayout->addWidget(pEdgeR);
    pLayout->addItem(HSpacer(nSpacerWidth));
    return pBar;
}

// A strip holding one picture widget behind a small gap.
template <class Picture>
QWidget* MakePictureStrip(const char* szStrip, const char* szLayout, const char* szPicture, int nPictureStretch,
                          QWidget* pParent, QHBoxLayout*& pLayout, Picture*& pPicture)
{
    QWidget* pStrip = MakeWidget(szStrip, pParent);
    pLayout = MakeLayout<QHBoxLayout>(szLayout, pStrip);
    pPicture = MakeWidget<Picture>(szPicture, pStrip);
    pLayout->addItem(HSpacer(5));
    pLayout->addWidget(pPicture);
    pLayout->setStretch(0, 15);
    pLayout->setStretch(1, nPictureStretch);
    return pStrip;
}

// A column of the alarm area: its title bar above its picture strip.
QVBoxLayout* MakeColumn(const char* szName, QWidget* pTitle, QWidget* pStrip)
{
    auto* pColumn = MakeLayout<QVBoxLayout>(szName);
    pColumn->addWidget(pTitle);
    pColumn->addWidget(pStrip);
    pColumn->setStretch(0, 24);
    pColumn->setStretch(1, 285);
    return pColumn;
}

} // namespace

void CLinkageSnapAlarmDlgForm::setupUi(QWidget* pDlg)
{
    if (pDlg->objectName().isEmpty())
        pDlg->setObjectName("LinkageSnapAlarmDlg");
    pDlg->resize(1486, 872);
    pDlg->setWindowTitle("LinkageSnapAlarmDlg");

    gridLayout_2 = MakeLayout<QGridLayout>("gridLayout_2", pDlg);
    m_pWidgetBg = MakeWidget("m_pWidgetBg", pDlg);
    gridLayout_2->addWidget(m_pWidgetBg, 0, 0);

    gridLayout_4 = MakeLayout<QGridLayout>("gridLayout_4", m_pWidgetBg);

    // Live area: title bar, a gap, then the three window holders.
    m_pWidgetLiveTitle = MakeTitleBar("m_pWidgetLiveTitle", "horizontalLayout_3", "m_pWidgetLiveTitleL",
                                      "m_pLabelLiveTitle", "m_pWidgetLiveTitleR", 353, m_pWidgetBg,
                                      horizontalLayout_3, m_pWidgetLiveTitleL, m_pLabelLiveTitle, m_pWidgetLiveTitleR);

    m_pWidgetLiveCon = MakeWidget("m_pWidgetLiveCon", m_pWidgetBg);
    m_pWidgetLiveCon->setProperty("bSelected", false);
    LayoutPanorama = MakeLayout<QHBoxLayout>("LayoutPanorama", m_pWidgetLiveCon);
    m_pWidgetLive1 = MakeWidget("m_pWidgetLive1", m_pWidgetLiveCon);
    m_pWidgetLive2 = MakeWidget("m_pWidgetLive2", m_pWidgetLiveCon);
    m_pWidgetLive3 = MakeWidget("m_pWidgetLive3", m_pWidgetLiveCon);
    const int arrGaps[] = {5, 40, 5};
    QWidget* arrHolders[] = {m_pWidgetLive1, m_pWidgetLive2, m_pWidgetLive3};
    for (int i = 0; i < 3; ++i) {
        arrHolders[i]->setProperty("bSelected", false);
        LayoutPanorama->addItem(HSpacer(arrGaps[i]));
        LayoutPanorama->addWidget(arrHolders[i]);
        LayoutPanorama->setStretch(2 * i, 15);
        LayoutPanorama->setStretch(2 * i + 1, 906);
    }

    verticalLayout_5 = MakeLayout<QVBoxLayout>("verticalLayout_5");
    verticalLayout_5->addWidget(m_pWidgetLiveTitle);
    verticalLayout_5->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));
    verticalLayout_5->addWidget(m_pWidgetLiveCon);
    verticalLayout_5->setStretch(0, 56);
    verticalLayout_5->setStretch(1, 5);
    verticalLayout_5->setStretch(2, 525);

    LayoutPreview = MakeLayout<QHBoxLayout>("LayoutPreview");
    LayoutPreview->addLayout(verticalLayout_5);
    LayoutPreview->setStretch(0, 766);

    // Alarm area: the scene picture on the left, the snapshot cards on the right.
    widget_2 = MakeWidget("widget_2", m_pWidgetBg);
    gridLayout = MakeLayout<QGridLayout>("gridLayout", widget_2);

    m_pWidgetSceneTitle = MakeTitleBar("m_pWidgetSceneTitle", "horizontalLayout_5", "m_pWidgetSceneTitleL",
                                       "m_pLabelSceneTitle", "m_pWidgetSceneTitleR", 305, widget_2,
                                       horizontalLayout_5, m_pWidgetSceneTitleL, m_pLabelSceneTitle,
                                       m_pWidgetSceneTitleR);
    m_pWidgetScenePicCon = MakePictureStrip("m_pWidgetScenePicCon", "horizontalLayout_8", "m_pWidgetScenePic", 507,
                                            widget_2, horizontalLayout_8, m_pWidgetScenePic);
    verticalLayout_8 = MakeColumn("verticalLayout_8", m_pWidgetSceneTitle, m_pWidgetScenePicCon);

    m_pWidgetLinkageTitle = MakeTitleBar("m_pWidgetLinkageTitle", "horizontalLayout_6", "m_pWidgetLinkageTitleL",
                                         "m_pLabelLinkageTitle", "m_pWidgetLinkageTitleR", 305, widget_2,
                                         horizontalLayout_6, m_pWidgetLinkageTitleL, m_pLabelLinkageTitle,
                                         m_pWidgetLinkageTitleR);
    m_pWidgetLinkagePicCon = MakePictureStrip("m_pWidgetLinkagePicCon", "horizontalLayout_9", "m_pWidgetLinkagePic",
                                              1316, widget_2, horizontalLayout_9, m_pWidgetLinkagePic);
    verticalLayout_7 = MakeColumn("verticalLayout_7", m_pWidgetLinkageTitle, m_pWidgetLinkagePicCon);

    gridLayout->addLayout(verticalLayout_8, 0, 0);
    gridLayout->addItem(HSpacer(40), 0, 1);
    gridLayout->addLayout(verticalLayout_7, 0, 2);
    gridLayout->setColumnStretch(0, 522);
    gridLayout->setColumnStretch(1, 16);
    gridLayout->setColumnStretch(2, 1331);

    gridLayout_4->addItem(VSpacer(50), 0, 1);
    gridLayout_4->addItem(new QSpacerItem(33, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 1, 0);
    gridLayout_4->addLayout(LayoutPreview, 1, 1);
    gridLayout_4->addItem(new QSpacerItem(12, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 1, 2);
    gridLayout_4->addItem(VSpacer(16), 2, 1);
    gridLayout_4->addWidget(widget_2, 3, 1);
    gridLayout_4->addItem(VSpacer(53), 4, 1);
    const int arrRowStretch[] = {82, 586, 8, 341, 65};
    for (int nRow = 0; nRow < 5; ++nRow)
        gridLayout_4->setRowStretch(nRow, arrRowStretch[nRow]);
    gridLayout_4->setColumnStretch(0, 31);
    gridLayout_4->setColumnStretch(1, 1869);
    gridLayout_4->setColumnStretch(2, 20);
    widget_2->raise();

    retranslateUi();
}

void CLinkageSnapAlarmDlgForm::retranslateUi()
{
    m_pLabelLiveTitle->setText(QCoreApplication::translate("LinkageSnapAlarmDlg", "LiveView"));
    m_pLabelSceneTitle->setText(QCoreApplication::translate("LinkageSnapAlarmDlg", "PanoramicChannelAlarm"));
    m_pLabelLinkageTitle->setText(QCoreApplication::translate("LinkageSnapAlarmDlg", "LinkageChannelAlarm"));
}

} // namespace LinkageSnapAlarm
