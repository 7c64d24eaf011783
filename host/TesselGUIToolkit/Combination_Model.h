#pragma once

#include "HostExport.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QMap>
#include <QVector>

#include <memory>
#include <vector>

namespace TesselGUIToolkit {

// A two-level tree combined from flat part models: each top-level row carries
// its own item data and shows the rows of its part model as its children.
// Changes of a part (rows inserted, removed, data changed) pass through as
// changes of the combined tree, one notice for each of the part's. Data set on
// rows while their insertion is being announced (by a rowsInserted slot of the
// model's own) is not announced again as a change: the listeners that hear of
// the rows after that slot read the data with them, and a change notice for rows
// they do not know yet would confuse them.
class HOST_API CCombination_Model : public QAbstractItemModel
{
    Q_OBJECT
public:
    using ItemData = QVector<QPair<int, QVariant>>;
    struct TopRow
    {
        QAbstractItemModel* pPart = nullptr;
        ItemData data;
    };

    explicit CCombination_Model(QObject* parent = nullptr);
    ~CCombination_Model() override;

    void SetColumnCount(int nColumns);

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The part shown under a top-level row, or null.
    QAbstractItemModel* PartAt(int nTopRow) const;
    int TopRowOfPart(const QAbstractItemModel* pPart) const;
    int TopRowCount() const { return static_cast<int>(m_vecTop.size()); }
    // The combined index of a part's index.
    QModelIndex MapFromPart(const QModelIndex& partIndex) const;

protected:
    // Inserts top-level rows at nRow in one notice; the parts' rows come along.
    void InsertTopRows(int nRow, std::vector<TopRow> vecRows);
    // Removes top-level rows in one notice; the parts are not deleted.
    void RemoveTopRows(int nRow, int nCount);
    // Flags of top-level rows.
    void SetTopRowFlags(Qt::ItemFlags flags) { m_topFlags = flags; }

private:
    friend class CCombinationPart;
    struct Top;
    void ConnectPart(Top* pTop);
    // What a part's change notices become in the combined tree.
    void PartAboutToInsert(const Top* pTop, int nFirst, int nLast);
    void PartAboutToRemove(const Top* pTop, int nFirst, int nLast);
    void PartDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QVector<int>& vecRoles);
    Top* TopOf(const QModelIndex& index) const;
    void Renumber(int nFrom);
    void EndInsert(const Top* pTop, int nFirst, int nLast);
    bool IsBeingAnnounced(const QModelIndex& topLeft) const;

    // The rows whose insertion is being announced: children of one top row, or
    // whole top rows (pTop null).
    struct Announced
    {
        bool bActive = false;
        const Top* pTop = nullptr;
        int nFirst = 0;
        int nLast = -1;
    } m_announced;

    std::vector<std::unique_ptr<Top>> m_vecTop;
    QHash<const QAbstractItemModel*, Top*> m_hashParts;
    QMap<qint64, QVariant> m_mapHeader;
    int m_nColumns = 1;
    Qt::ItemFlags m_topFlags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
};

// A flat part model that tells the combination showing it of its changes
// itself, as well as through its own signals: the combination then needs no
// connections to it, which is most of what showing a part costs in a tree of
// hundreds of them. Its rows change only through these calls.
class HOST_API CCombinationPart : public QAbstractItemModel
{
    Q_OBJECT
public:
    using QAbstractItemModel::QAbstractItemModel;

protected:
    void BeginInsertPartRows(int nFirst, int nLast);
    void EndInsertPartRows(int nFirst, int nLast);
    void BeginRemovePartRows(int nFirst, int nLast);
    void EndRemovePartRows();
    void NotifyDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                           const QVector<int>& vecRoles = QVector<int>());

private:
    friend class CCombination_Model;
    bool Told() const;
    CCombination_Model* m_pCombination = nullptr;
    const CCombination_Model::Top* m_pTop = nullptr;
};

} // namespace TesselGUIToolkit
