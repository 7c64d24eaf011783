#pragma once

#include "history/HistoryRecord.h"

#include <QAbstractTableModel>
#include <QVector>

#include <cstdint>

namespace LinkageSnapAlarm {

class CAlarmHistory;

// The history list: past linkages, newest first, fetched a page at a time from
// the history's reader thread as the view scrolls (canFetchMore/fetchMore), so
// that a list of any length costs one page per screen. A new filter replaces
// the rows with its first page once that has come.
class CHistoryModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { ColumnTime, ColumnCameras, ColumnLinkageUid, ColumnAlarms, ColumnCards, ColumnCount };
    // The list row's key in the history, under this role of any column.
    static constexpr int LinkageIdRole = Qt::UserRole + 1;
    static constexpr int kPageRows = 200;

    explicit CHistoryModel(CAlarmHistory* pHistory, QObject* pParent = nullptr);

    // Asks for the first page of the filter (again, when it is the same).
    void SetFilter(const HistoryFilter& filter);
    const HistoryFilter& Filter() const { return m_filter; }
    std::int64_t LinkageId(const QModelIndex& index) const;
    // True while a page is on its way.
    bool IsLoading() const { return m_nPendingToken != 0; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int nRole = Qt::DisplayRole) const override;
    QVariant headerData(int nSection, Qt::Orientation eOrientation, int nRole = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

signals:
    // The first page of the current filter is in the model.
    void signalFirstPageShown();

private:
    void OnPage(quint64 nToken, const QVector<HistoryListRow>& vecRows, bool bMore);

    CAlarmHistory* m_pHistory;
    HistoryFilter m_filter;
    QVector<HistoryListRow> m_vecRows;
    bool m_bMore = false;
    bool m_bFirstPage = false; // the page on its way replaces the rows
    std::uint64_t m_nPendingToken = 0;
};

} // namespace LinkageSnapAlarm
