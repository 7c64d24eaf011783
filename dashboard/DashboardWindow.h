#pragma once

#include <QWidget>

#include <memory>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QStackedWidget;
class CDashboardPlugin;
class CDashboardStateStore;

namespace quorra {
class IAIWidget;
} // namespace quorra

// The AI dashboard: a bar with one button per plug-in and the configure,
// minimise and close buttons, above the embedded widget of the open plug-in.
class CDashboardWindow : public QWidget
{
    Q_OBJECT
public:
    explicit CDashboardWindow(CDashboardStateStore& stateStore, QWidget* parent = nullptr);
    ~CDashboardWindow() override;

    // Adds the plug-in's button and embeds its widget; restores its saved state
    // now, or when RestoreStates is called (once what the state names exists).
    bool AddPlugin(std::unique_ptr<CDashboardPlugin> upPlugin, bool bRestoreState = true);
    // Hands every widget its saved state.
    void RestoreStates();
    // Lets every widget save its state; the host calls it before it exits.
    void SaveStates();

    quorra::IAIWidget* CurrentWidget() const;
    // A line of state in the bar (such as the alarm broker's); empty hides it.
    void SetStatusText(const QString& strStatus);

private:
    void OpenPage(int nIndex);
    void RestoreState(std::size_t nIndex);

    CDashboardStateStore& m_stateStore;
    QWidget* m_pWidgetDashboardBar = nullptr;
    QHBoxLayout* m_pLayoutButtons = nullptr;
    QLabel* m_pLabelDashboardTitle = nullptr;
    QLabel* m_pLabelDashboardStatus = nullptr;
    QPushButton* m_pBtnDashboardConfig = nullptr;
    QPushButton* m_pBtnDashboardMinimum = nullptr;
    QPushButton* m_pBtnDashboardClose = nullptr;
    QStackedWidget* m_pStackPages = nullptr;
    std::vector<std::unique_ptr<CDashboardPlugin>> m_vecPlugins;
    std::vector<quorra::IAIWidget*> m_vecWidgets;
    std::vector<QPushButton*> m_vecButtons;
    std::vector<bool> m_vecRestored;
};
