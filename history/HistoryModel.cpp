#include "history/HistoryModel.h"

#include "history/AlarmHistory.h"
#include "history/HistoryTexts.h"

#include <QDateTime>

namespace LinkageSnapAlarm {
namespace {

const char* const kTimeFormat = "yyyy-MM-dd HH:mm:ss";

} // namespace

CHistoryModel::CHistoryModel(CAlarmHistory* pHistory, QObject* pParent)
    : QAbstractTableModel(pParent)
    , m_pHistory(pHistory)
{
    if (m_pHistory)
        connect(m_pHistory, &CAlarmHistory::signalPage, this, &CHistoryModel::OnPage);
}

void CHistoryModel::SetFilter(const HistoryFilter& filter)
{
    m_filter = filter;
    if (!m_pHistory)
        return;
    m_nPendingToken = m_pHistory->NewToken();
    m_bFirstPage = true;
    m_pHistory->RequestPage(this, m_nPendingToken, m_filter, CAlarmHistory::kFirstPage, CAlarmHistory::kFirstPage,
                            kPageRows);
}

void CHistoryModel::OnPage(quint64 nToken, const QVector<HistoryListRow>& vecRows, bool bMore)
{
    if (nToken != m_nPendingToken)
        return; // an older search, or another list's
    m_nPendingToken = 0;
    if (m_bFirstPage) {
        beginResetModel();
        m_vecRows = vecRows;
        m_bMore = bMore;
        endResetModel();
        emit signalFirstPageShown();
        return;
    }
    m_bMore = bMore;
    if (vecRows.isEmpty())
        return;
    beginInsertRows(QModelIndex(), m_vecRows.size(), m_vecRows.size() + vecRows.size() - 1);
    m_vecRows += vecRows;
    endInsertRows();
}

std::int64_t CHistoryModel::LinkageId(const QModelIndex& index) const
{
    return checkIndex(index, CheckIndexOption::IndexIsValid) ? m_vecRows[index.row()].nId : 0;
}

int CHistoryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_vecRows.size();
}

int CHistoryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CHistoryModel::data(const QModelIndex& index, int nRole) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return QVariant();
    const HistoryListRow& row = m_vecRows[index.row()];
    if (nRole == LinkageIdRole)
        return QVariant::fromValue<qint64>(row.nId);
    if (nRole == Qt::TextAlignmentRole && (index.column() == ColumnAlarms || index.column() == ColumnCards))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (nRole != Qt::DisplayRole && nRole != Qt::ToolTipRole)
        return QVariant();
    switch (index.column()) {
    case ColumnTime:
        return QDateTime::fromMSecsSinceEpoch(row.nTimeMs).toString(QLatin1String(kTimeFormat));
    case ColumnCameras:
        return row.lstCameras.isEmpty() ? row.strCameraName : row.lstCameras.join(QStringLiteral(", "));
    case ColumnLinkageUid:
        return row.strLinkageUid;
    case ColumnAlarms:
        return row.nAlarms;
    case ColumnCards:
        return row.nCards;
    default:
        return QVariant();
    }
}

QVariant CHistoryModel::headerData(int nSection, Qt::Orientation eOrientation, int nRole) const
{
    if (eOrientation != Qt::Horizontal || nRole != Qt::DisplayRole)
        return QAbstractTableModel::headerData(nSection, eOrientation, nRole);
    static const char* const s_arrTitles[ColumnCount] = {HistoryTexts::ColumnTime, HistoryTexts::ColumnCamera,
                                                         HistoryTexts::ColumnLinkageUid, HistoryTexts::ColumnAlarms,
                                                         HistoryTexts::ColumnCards};
    if (nSection < 0 || nSection >= ColumnCount)
        return QVariant();
    return HistoryTexts::Text(s_arrTitles[nSection]);
}

bool CHistoryModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && m_bMore && m_nPendingToken == 0;
}

void CHistoryModel::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent) || !m_pHistory || m_vecRows.isEmpty())
        return;
    const HistoryListRow& last = m_vecRows.last();
    m_nPendingToken = m_pHistory->NewToken();
    m_bFirstPage = false;
    m_pHistory->RequestPage(this, m_nPendingToken, m_filter, last.nTimeMs, last.nId, kPageRows);
}

} // namespace LinkageSnapAlarm
