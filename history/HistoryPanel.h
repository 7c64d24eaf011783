#pragma once

#include "history/HistoryBounds.h"
#include "history/HistoryRecord.h"

#include <QWidget>

#include <memory>

namespace Ui {
class HistoryPanel;
} // namespace Ui

namespace LinkageSnapAlarm {

class CAlarmHistory;
class CHistoryModel;

// The history panel: past linkages, searched by camera, linkage id and time
// range as the operator types, with the history's bounds below. Enter, a double
// click or "ShowLinkage" choose a linkage: the history then emits
// signalLinkageChosen with everything needed to show it again; "ExportIncident"
// makes it emit signalLinkageExportChosen instead.
class CHistoryPanel : public QWidget
{
    Q_OBJECT
public:
    CHistoryPanel(CAlarmHistory* pHistory, QWidget* pParent = nullptr);
    ~CHistoryPanel() override;

    CHistoryModel* Model() const { return m_pModel; }
    // The search the fields make.
    HistoryFilter Filter() const;
    void ShowBounds(const HistoryBounds& bounds);

signals:
    // The operator changed how much the history keeps.
    void signalBoundsEdited(const LinkageSnapAlarm::HistoryBounds& bounds);

protected:
    // Each time the panel is shown it lists what the history holds now.
    void showEvent(QShowEvent* pEvent) override;

private slots:
    void onSearchEdited();
    void onChooseCurrent();
    // "ExportIncident": the history loads the linkage and asks for its export.
    void onExportCurrent();
    void onBoundsEdited();
    void onListChanged();
    void onHistoryWritten();

private:
    void MakeConnections();
    void SizeColumns();

    std::unique_ptr<Ui::HistoryPanel> ui;
    CAlarmHistory* m_pHistory;
    CHistoryModel* m_pModel;
};

} // namespace LinkageSnapAlarm
