#include "cameratree/GroupTreeWidget.h"

#include "cameratree/CameraTreeTexts.h"
#include "cameratree/GroupTreeView.h"
#include "cameratree/LinkageCameraModel.h"
#include "ui_GroupTreeWidget.h"

#include "common/LsaCheck.h"

#include "TesselGUIToolkit/ItemDataRole.h"
#include "TesselGUIToolkit/LocationViewWidget.h"
#include "TesselGUIToolkit/SecondarySortFilterModel.h"

#include <QHeaderView>
#include <QLineEdit>

namespace LinkageSnapAlarm {

using namespace TesselGUIToolkit;

namespace {
constexpr int kAlignLeftVCenter = Qt::AlignLeft | Qt::AlignVCenter; // 129
// Groups (0) and cameras (1): the panel shows no other elements.
const char* const kGroupsAndCameras = "0|1";
} // namespace

CGroupTreeWidget::CGroupTreeWidget(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::GroupTreeWidget>())
{
    qRegisterMetaType<tessel::StrGUID>("tessel::StrGUID");
    ui->setupUi(this);
    // Groups and cameras are one line each: the view lays out thousands of rows
    // from one row's height instead of asking each painted row for its own.
    ui->treeView->setUniformRowHeights(true);
    m_pModel = new CLinkageCameraModel(this, 1, true);
    m_pModel->setObjectName("m_pModel");
    if (m_pModel) {
        m_pProxy = new CSecondarySortFilterModel(this);
        m_pProxy->setObjectName("m_pProxy");
        m_pProxy->setDynamicSortFilter(true);
        m_pProxy->SetSecondaryFilterRole(SecondaryFilterRole);
        m_pProxy->SetSecondaryFilterRegExp(QString::fromLatin1(kGroupsAndCameras));
        m_pProxy->setSourceModel(m_pModel);
        ui->treeView->setModel(m_pProxy);
        m_pModel->setHeaderData(0, Qt::Horizontal, kAlignLeftVCenter, Qt::TextAlignmentRole);
    }
    ui->treeView->header()->hide();
    // The site's groups open, their cameras in sight; the user folds what he wants.
    ui->treeView->expandAll();
    ui->pLocationViewWidget->SetView(ui->treeView);
    NameForAccessibility();

    connect(ui->treeView, SIGNAL(doubleClicked(const QModelIndex&)), this,
            SLOT(OnCameraItemDClicked(const QModelIndex&)));
    connect(ui->treeView, SIGNAL(signalStartLiveView(const QModelIndex&)), this,
            SIGNAL(signalStartLiveView(const QModelIndex&)));
    connect(ui->m_pWidgetShrink, SIGNAL(SignalShrinkBtnCk()), this, SIGNAL(SignalBtnShrink()));
    connect(m_pModel, SIGNAL(rowsAboutToBeRemoved(const QModelIndex&, int, int)), this,
            SLOT(OnGroupRowsAboutToBeRemoved(const QModelIndex&, int, int)));
    setAcceptDrops(true);
}

CGroupTreeWidget::~CGroupTreeWidget() = default;

void CGroupTreeWidget::NameForAccessibility()
{
    setAccessibleName(CameraTreeTexts::Text(CameraTreeTexts::CameraPanel));
    ui->treeView->setAccessibleName(CameraTreeTexts::Text(CameraTreeTexts::CameraTree));
    ui->treeView->setAccessibleDescription(CameraTreeTexts::Text(CameraTreeTexts::CameraTreeHelp));
    QLineEdit* pSearch = SearchEdit();
    pSearch->setAccessibleName(CameraTreeTexts::Text(CameraTreeTexts::CameraSearch));
    pSearch->setAccessibleDescription(CameraTreeTexts::Text(CameraTreeTexts::CameraSearchHelp));
}

CGroupTreeView* CGroupTreeWidget::TreeView() const
{
    return ui->treeView;
}

QLineEdit* CGroupTreeWidget::SearchEdit() const
{
    return ui->pLocationViewWidget->SearchEdit();
}

void CGroupTreeWidget::SetShrinkState(bool bShrinkIn)
{
    ui->m_pWidgetShrink->SetShrinkIn(bShrinkIn);
}

void CGroupTreeWidget::OnCameraItemDClicked(const QModelIndex& index)
{
    LSA_CHECK(m_pModel && m_pProxy) return;
    if (!index.isValid() || index.model()->index(0, 0, index).isValid())
        return;
    if (tessel::IElement* pElement = m_pModel->FindElementByElementIndex(m_pProxy->mapToSource(index)))
        emit SignalCameraDClicked(pElement);
}

void CGroupTreeWidget::OnGroupRowsAboutToBeRemoved(const QModelIndex& miParent, int iFirst, int iLast)
{
    LSA_CHECK(m_pModel) return;
    // A site change may remove several rows in one notice: each camera is reported.
    for (int nRow = iFirst; nRow <= iLast; ++nRow) {
        const QVariant id = m_pModel->index(nRow, 0, miParent).data(ElementIDRole);
        const QString strGUID = id.isValid() ? id.toString() : QString();
        if (!strGUID.isEmpty())
            emit SignalCameraRemoved(strGUID.toStdString());
    }
}

void CGroupTreeWidget::UpdateCameraPlayState(const TesselPlayWindow::CLiveViewEvent& event)
{
    LSA_CHECK(m_pModel) return;
    const int nKind = event.GetKind();
    if (!event.IsRunning() && nKind != TesselPlayWindow::CLiveViewEvent::kKindStopped)
        return;
    const QModelIndex row = m_pModel->GetElementIndexByElementID(event.GetCameraGUID());
    if (row.isValid())
        m_pModel->SetCameraPlayIcon(row, event.IsRunning());
}

} // namespace LinkageSnapAlarm
