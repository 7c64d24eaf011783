#include "dashboard/DashboardWindow.h"

#include "dashboard/DashboardPlugin.h"
#include "dashboard/DashboardStateStore.h"
#include "dashboard/DashboardTexts.h"
#include "quorra/IAIInterface.h"
#include "quorra/IAIWidget.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QVariant>

namespace {
// An icon read as the format its file's name tells: left to guess, Qt asks
// every image plug-in, which loads them all before the first paint.
QIcon IconOfFile(const QString& strFile)
{
    QImageReader reader(strFile, QFileInfo(strFile).suffix().toLower().toLatin1());
    reader.setAutoDetectImageFormat(false);
    const QImage image = reader.read();
    return image.isNull() ? QIcon(strFile) : QIcon(QPixmap::fromImage(image));
}

QPushButton* MakeToolButton(const char* szName, const char* szIcon, const char* szTip, QWidget* pParent)
{
    auto* pButton = new QPushButton(pParent);
    pButton->setObjectName(szName);
    pButton->setIcon(IconOfFile(QString::fromLatin1(szIcon)));
    pButton->setIconSize(QSize(18, 18));
    pButton->setToolTip(DashboardTexts::Text(szTip));
    // An icon-only button is named by its tool tip for screen readers.
    pButton->setAccessibleName(pButton->toolTip());
    pButton->setFocusPolicy(Qt::TabFocus);
    return pButton;
}

} // namespace

CDashboardWindow::CDashboardWindow(CDashboardStateStore& stateStore, QWidget* parent)
    : QWidget(parent)
    , m_stateStore(stateStore)
{
    setObjectName("m_pDashboardWindow");
    setWindowTitle(DashboardTexts::Text(DashboardTexts::AIDashboard));

    m_pWidgetDashboardBar = new QWidget(this);
    m_pWidgetDashboardBar->setObjectName("m_pWidgetDashboardBar");
    m_pWidgetDashboardBar->setAttribute(Qt::WA_StyledBackground);
    m_pLabelDashboardTitle = new QLabel(DashboardTexts::Text(DashboardTexts::AIDashboard), m_pWidgetDashboardBar);
    m_pLabelDashboardTitle->setObjectName("m_pLabelDashboardTitle");
    m_pBtnDashboardConfig = MakeToolButton("m_pBtnDashboardConfig", ":/dashboard/icons/settings.png",
                                           DashboardTexts::Configure, m_pWidgetDashboardBar);
    m_pBtnDashboardMinimum = MakeToolButton("m_pBtnDashboardMinimum", ":/dashboard/icons/minimise.png",
                                            DashboardTexts::Minimise, m_pWidgetDashboardBar);
    m_pBtnDashboardClose = MakeToolButton("m_pBtnDashboardClose", ":/dashboard/icons/close.png", DashboardTexts::Close,
                                          m_pWidgetDashboardBar);
    m_pLabelDashboardStatus = new QLabel(m_pWidgetDashboardBar);
    m_pLabelDashboardStatus->setObjectName("m_pLabelDashboardStatus");
    m_pLabelDashboardStatus->setTextFormat(Qt::PlainText);
    m_pLabelDashboardStatus->hide();
    m_pStackPages = new QStackedWidget(this);
    m_pStackPages->setObjectName("m_pDashboardCentral");

    auto* pBarLayout = new QHBoxLayout(m_pWidgetDashboardBar);
    pBarLayout->setContentsMargins(16, 8, 12, 8);
    pBarLayout->setSpacing(10);
    pBarLayout->addWidget(m_pLabelDashboardTitle);
    pBarLayout->addSpacing(20);
    m_pLayoutButtons = new QHBoxLayout();
    m_pLayoutButtons->setSpacing(8);
    pBarLayout->addLayout(m_pLayoutButtons);
    pBarLayout->addStretch(1);
    pBarLayout->addWidget(m_pLabelDashboardStatus);
    pBarLayout->addWidget(m_pBtnDashboardConfig);
    pBarLayout->addWidget(m_pBtnDashboardMinimum);
    pBarLayout->addWidget(m_pBtnDashboardClose);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    pLayout->addWidget(m_pWidgetDashboardBar);
    pLayout->addWidget(m_pStackPages, 1);

    connect(m_pBtnDashboardConfig, &QPushButton::clicked, this, [this] {
        if (quorra::IAIWidget* pWidget = CurrentWidget())
            pWidget->onConfigBtnClicked();
    });
    connect(m_pBtnDashboardMinimum, &QPushButton::clicked, this, [this] {
        if (quorra::IAIWidget* pWidget = CurrentWidget())
            pWidget->onMinmumBtnClicked();
        showMinimized();
    });
    connect(m_pBtnDashboardClose, &QPushButton::clicked, this, [this] {
        if (quorra::IAIWidget* pWidget = CurrentWidget())
            pWidget->onCloseBtnClicked();
    });
}

CDashboardWindow::~CDashboardWindow() = default;

bool CDashboardWindow::AddPlugin(std::unique_ptr<CDashboardPlugin> upPlugin, bool bRestoreState)
{
    quorra::IAIInterface* pInterface = upPlugin ? upPlugin->Interface() : nullptr;
    if (!pInterface)
        return false;
    quorra::IAIWidget* pWidget = upPlugin->Widget(m_pStackPages);
    if (!pWidget)
        return false;

    auto* pButton =
        new QPushButton(IconOfFile(pInterface->getAIIconUrl()), pInterface->getAIName(), m_pWidgetDashboardBar);
    pButton->setObjectName(pInterface->getObjectName());
    pButton->setProperty("dashboardButton", true);
    pButton->setCheckable(true);
    pButton->setIconSize(QSize(22, 22));
    m_pLayoutButtons->addWidget(pButton);

    const int nIndex = m_pStackPages->addWidget(pWidget);
    m_vecButtons.push_back(pButton);
    m_vecWidgets.push_back(pWidget);
    connect(pButton, &QPushButton::clicked, this, [this, nIndex] { OpenPage(nIndex); });

    m_vecPlugins.push_back(std::move(upPlugin));
    m_vecRestored.push_back(false);
    if (bRestoreState)
        RestoreState(m_vecPlugins.size() - 1);
    OpenPage(nIndex);
    return true;
}

void CDashboardWindow::RestoreStates()
{
    for (std::size_t i = 0; i < m_vecWidgets.size(); ++i)
        RestoreState(i);
}

void CDashboardWindow::RestoreState(std::size_t nIndex)
{
    quorra::IAIWidget* pWidget = m_vecWidgets[nIndex];
    pWidget->stateList() = m_stateStore.Load(m_vecPlugins[nIndex]->Interface()->getAIDllName());
    pWidget->readState();
    m_vecRestored[nIndex] = true;
}

void CDashboardWindow::SaveStates()
{
    for (size_t i = 0; i < m_vecWidgets.size(); ++i) {
        // A state never handed over is still the saved one: keep it.
        if (!m_vecRestored[i])
            continue;
        m_vecWidgets[i]->saveState();
        m_stateStore.Save(m_vecPlugins[i]->Interface()->getAIDllName(), m_vecWidgets[i]->stateList());
    }
}

quorra::IAIWidget* CDashboardWindow::CurrentWidget() const
{
    return qobject_cast<quorra::IAIWidget*>(m_pStackPages->currentWidget());
}

void CDashboardWindow::OpenPage(int nIndex)
{
    m_pStackPages->setCurrentIndex(nIndex);
    for (size_t i = 0; i < m_vecButtons.size(); ++i)
        m_vecButtons[i]->setChecked(static_cast<int>(i) == nIndex);
}

void CDashboardWindow::SetStatusText(const QString& strStatus)
{
    m_pLabelDashboardStatus->setText(strStatus);
    m_pLabelDashboardStatus->setToolTip(strStatus);
    m_pLabelDashboardStatus->setVisible(!strStatus.isEmpty());
}
