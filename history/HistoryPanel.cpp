#include "history/HistoryPanel.h"

#include "ui_HistoryPanel.h"

#include "history/AlarmHistory.h"
#include "history/HistoryModel.h"
#include "history/HistoryTexts.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QShortcut>
#include <QTimer>

namespace LinkageSnapAlarm {
namespace {

// The earliest time the fields offer; at it they show "AnyTime" and bound nothing.
const QDateTime kAnyTime(QDate(2000, 1, 1), QTime(0, 0));
constexpr int kMaxAlarmsStep = 1000;
// Room beside a cell's text, and the characters a linkage id column shows.
constexpr int kCellPadding = 16;
constexpr int kLinkageUidSampleChars = 36;
// New alarms reach a shown list at most this often, however fast they come.
constexpr int kRefreshIntervalMs = 1000;

} // namespace

CHistoryPanel::CHistoryPanel(CAlarmHistory* pHistory, QWidget* pParent)
    : QWidget(pParent)
    , ui(std::make_unique<Ui::HistoryPanel>())
    , m_pHistory(pHistory)
    , m_pModel(new CHistoryModel(pHistory, this))
{
    ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground); // the style sheet paints the panel by its name
    setWindowTitle(HistoryTexts::Text(HistoryTexts::AlarmHistory));
    for (QDateTimeEdit* pEdit : {ui->m_pTimeHistoryFrom, ui->m_pTimeHistoryTo}) {
        pEdit->setMinimumDateTime(kAnyTime);
        pEdit->setDateTime(kAnyTime);
    }
    ui->m_pSpinKeepDays->setRange(HistoryBounds::kMinKeepDays, HistoryBounds::kMaxKeepDays);
    ui->m_pSpinMaxAlarms->setRange(HistoryBounds::kMinMaxAlarms, HistoryBounds::kMaxMaxAlarms);
    ui->m_pSpinMaxAlarms->setSingleStep(kMaxAlarmsStep);
    ui->m_pTableHistory->setModel(m_pModel);
    SizeColumns();
    if (m_pHistory)
        ShowBounds(m_pHistory->Bounds());
    MakeConnections();
}

CHistoryPanel::~CHistoryPanel() = default;

void CHistoryPanel::SizeColumns()
{
    // Widths from the font, not from the rows: a search lays out no column.
    QHeaderView* pHeader = ui->m_pTableHistory->horizontalHeader();
    const QFontMetrics fm(ui->m_pTableHistory->font());
    const auto width = [&fm](const QString& strSample) { return fm.horizontalAdvance(strSample) + kCellPadding; };
    pHeader->resizeSection(CHistoryModel::ColumnTime, width(QStringLiteral("0000-00-00 00:00:00")));
    pHeader->resizeSection(CHistoryModel::ColumnLinkageUid, width(QString(kLinkageUidSampleChars, '0')));
    for (int nColumn : {int(CHistoryModel::ColumnAlarms), int(CHistoryModel::ColumnCards)})
        pHeader->resizeSection(nColumn, width(m_pModel->headerData(nColumn, Qt::Horizontal).toString()));
    pHeader->setSectionResizeMode(CHistoryModel::ColumnCameras, QHeaderView::Stretch);
    pHeader->setStretchLastSection(false);
}

void CHistoryPanel::MakeConnections()
{
    connect(ui->m_pEditHistoryCamera, &QLineEdit::textChanged, this, &CHistoryPanel::onSearchEdited);
    connect(ui->m_pEditHistoryLinkage, &QLineEdit::textChanged, this, &CHistoryPanel::onSearchEdited);
    connect(ui->m_pTimeHistoryFrom, &QDateTimeEdit::dateTimeChanged, this, &CHistoryPanel::onSearchEdited);
    connect(ui->m_pTimeHistoryTo, &QDateTimeEdit::dateTimeChanged, this, &CHistoryPanel::onSearchEdited);
    connect(ui->m_pTableHistory, &QAbstractItemView::activated, this, &CHistoryPanel::onChooseCurrent);
    connect(ui->m_pBtnHistoryShow, &QPushButton::clicked, this, &CHistoryPanel::onChooseCurrent);
    connect(ui->m_pBtnHistoryExport, &QPushButton::clicked, this, &CHistoryPanel::onExportCurrent);
    connect(ui->m_pBtnHistoryClose, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->m_pSpinKeepDays, &QSpinBox::editingFinished, this, &CHistoryPanel::onBoundsEdited);
    connect(ui->m_pSpinMaxAlarms, &QSpinBox::editingFinished, this, &CHistoryPanel::onBoundsEdited);
    connect(m_pModel, &QAbstractItemModel::modelReset, this, &CHistoryPanel::onListChanged);
    connect(m_pModel, &QAbstractItemModel::rowsInserted, this, &CHistoryPanel::onListChanged);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
    auto* pRefreshTimer = new QTimer(this);
    pRefreshTimer->setSingleShot(true);
    pRefreshTimer->setInterval(kRefreshIntervalMs);
    connect(pRefreshTimer, &QTimer::timeout, this, &CHistoryPanel::onHistoryWritten);
    if (m_pHistory)
        connect(m_pHistory, &CAlarmHistory::signalWritten, pRefreshTimer, [pRefreshTimer] {
            if (!pRefreshTimer->isActive())
                pRefreshTimer->start();
        });
}

void CHistoryPanel::onHistoryWritten()
{
    // New alarms show at the top while the operator looks at the top and has
    // chosen nothing; a list scrolled or with a row chosen stays as it is.
    if (isVisible() && !m_pModel->IsLoading() && ui->m_pTableHistory->verticalScrollBar()->value() == 0
        && !ui->m_pTableHistory->selectionModel()->hasSelection())
        m_pModel->SetFilter(Filter());
}

HistoryFilter CHistoryPanel::Filter() const
{
    HistoryFilter filter;
    filter.strCamera = ui->m_pEditHistoryCamera->text().trimmed();
    filter.strLinkageUid = ui->m_pEditHistoryLinkage->text().trimmed();
    if (ui->m_pTimeHistoryFrom->dateTime() > kAnyTime)
        filter.nFromMs = ui->m_pTimeHistoryFrom->dateTime().toMSecsSinceEpoch();
    if (ui->m_pTimeHistoryTo->dateTime() > kAnyTime)
        filter.nToMs = ui->m_pTimeHistoryTo->dateTime().toMSecsSinceEpoch();
    return filter;
}

void CHistoryPanel::ShowBounds(const HistoryBounds& bounds)
{
    ui->m_pSpinKeepDays->setValue(bounds.nKeepDays);
    ui->m_pSpinMaxAlarms->setValue(bounds.nMaxAlarms);
}

void CHistoryPanel::showEvent(QShowEvent* pEvent)
{
    m_pModel->SetFilter(Filter());
    QWidget::showEvent(pEvent);
}

void CHistoryPanel::onSearchEdited()
{
    // Every keystroke searches; the reader drops searches overtaken meanwhile.
    m_pModel->SetFilter(Filter());
}

void CHistoryPanel::onChooseCurrent()
{
    if (m_pHistory)
        m_pHistory->ChooseLinkage(m_pModel->LinkageId(ui->m_pTableHistory->currentIndex()));
}

void CHistoryPanel::onExportCurrent()
{
    if (m_pHistory)
        m_pHistory->ExportLinkage(m_pModel->LinkageId(ui->m_pTableHistory->currentIndex()));
}

void CHistoryPanel::onBoundsEdited()
{
    const HistoryBounds bounds{ui->m_pSpinKeepDays->value(), ui->m_pSpinMaxAlarms->value()};
    if (m_pHistory && bounds.nKeepDays == m_pHistory->Bounds().nKeepDays
        && bounds.nMaxAlarms == m_pHistory->Bounds().nMaxAlarms)
        return;
    emit signalBoundsEdited(bounds);
}

void CHistoryPanel::onListChanged()
{
    const QString strText = HistoryTexts::Text(HistoryTexts::LinkagesListed);
    const int nRows = m_pModel->rowCount();
    const QString strCount =
        m_pModel->canFetchMore(QModelIndex()) ? QStringLiteral("%1+").arg(nRows) : QString::number(nRows);
    ui->m_pLabelHistoryStatus->setText(strText.contains(QLatin1String("%1")) ? strText.arg(strCount)
                                                                             : strText + ' ' + strCount);
}

} // namespace LinkageSnapAlarm
