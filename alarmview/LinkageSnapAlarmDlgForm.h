#pragma once

#include <QtGlobal>

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QVBoxLayout;
class QWidget;

namespace LinkageSnapAlarm {

// The widgets of the linkage dialog's form, built in code. The host style sheet
// addresses them by object name, so every child carries one.
struct CLinkageSnapAlarmDlgForm
{
    QGridLayout* gridLayout_2 = nullptr;
    QWidget* m_pWidgetBg = nullptr;
    QGridLayout* gridLayout_4 = nullptr;
    QHBoxLayout* LayoutPreview = nullptr;
    QVBoxLayout* verticalLayout_5 = nullptr;
    QWidget* m_pWidgetLiveTitle = nullptr;
    QHBoxLayout* horizontalLayout_3 = nullptr;
    QWidget* m_pWidgetLiveTitleL = nullptr;
    QLabel* m_pLabelLiveTitle = nullptr;
    QWidget* m_pWidgetLiveTitleR = nullptr;
    QWidget* m_pWidgetLiveCon = nullptr;
    QHBoxLayout* LayoutPanorama = nullptr;
    QWidget* m_pWidgetLive1 = nullptr;
    QWidget* m_pWidgetLive2 = nullptr;
    QWidget* m_pWidgetLive3 = nullptr;
    QWidget* widget_2 = nullptr;
    QGridLayout* gridLayout = nullptr;
    QVBoxLayout* verticalLayout_8 = nullptr;
    QWidget* m_pWidgetSceneTitle = nullptr;
    QHBoxLayout* horizontalLayout_5 = nullptr;
    QWidget* m_pWidgetSceneTitleL = nullptr;
    QLabel* m_pLabelSceneTitle = nullptr;
    QWidget* m_pWidgetSceneTitleR = nullptr;
    QWidget* m_pWidgetScenePicCon = nullptr;
    QHBoxLayout* horizontalLayout_8 = nullptr;
    QWidget* m_pWidgetScenePic = nullptr;
    QVBoxLayout* verticalLayout_7 = nullptr;
    QWidget* m_pWidgetLinkageTitle = nullptr;
    QHBoxLayout* horizontalLayout_6 = nullptr;
    QWidget* m_pWidgetLinkageTitleL = nullptr;
    QLabel* m_pLabelLinkageTitle = nullptr;
    QWidget* m_pWidgetLinkageTitleR = nullptr;
    QWidget* m_pWidgetLinkagePicCon = nullptr;
    QHBoxLayout* horizontalLayout_9 = nullptr;
    QWidget* m_pWidgetLinkagePic = nullptr;

    void setupUi(QWidget* pDlg);
    void retranslateUi();
};

} // namespace LinkageSnapAlarm
