#pragma once

#include "Vantrel/LiveViewEvent.h"

#include "tessel/IElement.h"

#include <QModelIndex>
#include <QWidget>

#include <memory>

class QLineEdit;

namespace Ui {
class GroupTreeWidget;
} // namespace Ui
namespace TesselGUIToolkit {
class CSecondarySortFilterModel;
} // namespace TesselGUIToolkit

namespace LinkageSnapAlarm {

class CGroupTreeView;
class CLinkageCameraModel;

// The camera tree panel: the search box, the tree of groups and cameras (the
// camera model behind a filter proxy that shows groups and cameras only) and
// the collapse strip. It turns the view's events into panel signals and shows
// which cameras play.
class CGroupTreeWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CGroupTreeWidget(QWidget* parent = nullptr);
    ~CGroupTreeWidget() override;

    void SetShrinkState(bool bShrinkIn);
    void UpdateCameraPlayState(const TesselPlayWindow::CLiveViewEvent& event);

    CGroupTreeView* TreeView() const;
    // The search box's line edit (Ctrl+F).
    QLineEdit* SearchEdit() const;

    CLinkageCameraModel* m_pModel = nullptr;
    TesselGUIToolkit::CSecondarySortFilterModel* m_pProxy = nullptr;
    std::unique_ptr<Ui::GroupTreeWidget> ui;

signals:
    void SignalBtnShrink();
    void signalStartLiveView(const QModelIndex& miIndex);
    void SignalCameraDClicked(void* pElement);
    void SignalCameraRemoved(tessel::StrGUID idCamera);

private:
    void NameForAccessibility();

private slots:
    void OnCameraItemDClicked(const QModelIndex& index);
    void OnGroupRowsAboutToBeRemoved(const QModelIndex& miParent, int iFirst, int iLast);
};

} // namespace LinkageSnapAlarm
