#include "TesselGUIToolkit/Combination_Model.h"

#include <QMetaMethod>

#include <algorithm>

namespace TesselGUIToolkit {

struct CCombination_Model::Top
{
    TopRow row;
    int nRow = 0;
};

namespace {
qint64 HeaderKey(int nSection, Qt::Orientation eOrientation, int nRole)
{
    return (static_cast<qint64>(nSection) << 32) | (static_cast<qint64>(eOrientation) << 24) | nRole;
}

const QVariant* Find(const CCombination_Model::ItemData& data, int nRole)
{
    for (const auto& entry : data) {
        if (entry.first == nRole)
            return &entry.second;
    }
    return nullptr;
}
} // namespace

CCombination_Model::CCombination_Model(QObject* parent)
    : QAbstractItemModel(parent)
{
}

CCombination_Model::~CCombination_Model()
{
    for (const auto& upTop : m_vecTop) {
        if (auto* pPart = qobject_cast<CCombinationPart*>(upTop->row.pPart))
            pPart->m_pCombination = nullptr;
    }
}

void CCombination_Model::SetColumnCount(int nColumns)
{
    if (nColumns == m_nColumns || nColumns < 1)
        return;
    beginResetModel();
    m_nColumns = nColumns;
    endResetModel();
}

CCombination_Model::Top* CCombination_Model::TopOf(const QModelIndex& index) const
{
    return static_cast<Top*>(index.internalPointer());
}

QModelIndex CCombination_Model::index(int row, int column, const QModelIndex& parent) const
{
    if (row < 0 || column < 0 || column >= m_nColumns)
        return QModelIndex();
    if (!parent.isValid())
        return row < TopRowCount() ? createIndex(row, column, nullptr) : QModelIndex();
    if (TopOf(parent) || parent.model() != this || parent.row() >= TopRowCount())
        return QModelIndex(); // parts are flat: their rows have no children
    Top* pTop = m_vecTop[static_cast<size_t>(parent.row())].get();
    if (!pTop->row.pPart || row >= pTop->row.pPart->rowCount())
        return QModelIndex();
    return createIndex(row, column, pTop);
}

QModelIndex CCombination_Model::parent(const QModelIndex& child) const
{
    const Top* pTop = child.isValid() ? TopOf(child) : nullptr;
    return pTop ? createIndex(pTop->nRow, 0, nullptr) : QModelIndex();
}

int CCombination_Model::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return TopRowCount();
    if (TopOf(parent) || parent.column() != 0)
        return 0;
    const QAbstractItemModel* pPart = PartAt(parent.row());
    return pPart ? pPart->rowCount() : 0;
}

int CCombination_Model::columnCount(const QModelIndex&) const
{
    return m_nColumns;
}

bool CCombination_Model::hasChildren(const QModelIndex& parent) const
{
    return rowCount(parent) > 0;
}

QVariant CCombination_Model::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (const Top* pTop = TopOf(index)) {
        QAbstractItemModel* pPart = pTop->row.pPart;
        return pPart->data(pPart->index(index.row(), index.column()), role);
    }
    if (index.row() >= TopRowCount() || index.column() != 0)
        return QVariant();
    const QVariant* pValue = Find(m_vecTop[static_cast<size_t>(index.row())]->row.data, role);
    return pValue ? *pValue : QVariant();
}

bool CCombination_Model::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.model() != this)
        return false;
    if (Top* pTop = TopOf(index)) {
        QAbstractItemModel* pPart = pTop->row.pPart;
        return pPart->setData(pPart->index(index.row(), index.column()), value, role);
    }
    if (index.row() >= TopRowCount() || index.column() != 0)
        return false;
    ItemData& data = m_vecTop[static_cast<size_t>(index.row())]->row.data;
    auto it = std::find_if(data.begin(), data.end(), [role](const auto& entry) { return entry.first == role; });
    if (it != data.end())
        it->second = value;
    else
        data.append({role, value});
    if (!IsBeingAnnounced(index))
        emit dataChanged(index, index, {role});
    return true;
}

QVariant CCombination_Model::headerData(int section, Qt::Orientation orientation, int role) const
{
    return m_mapHeader.value(HeaderKey(section, orientation, role));
}

bool CCombination_Model::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role)
{
    if (section < 0)
        return false;
    m_mapHeader.insert(HeaderKey(section, orientation, role), value);
    emit headerDataChanged(orientation, section, section);
    return true;
}

Qt::ItemFlags CCombination_Model::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (const Top* pTop = TopOf(index)) {
        QAbstractItemModel* pPart = pTop->row.pPart;
        return pPart->flags(pPart->index(index.row(), index.column()));
    }
    return m_topFlags;
}

QAbstractItemModel* CCombination_Model::PartAt(int nTopRow) const
{
    if (nTopRow < 0 || nTopRow >= TopRowCount())
        return nullptr;
    return m_vecTop[static_cast<size_t>(nTopRow)]->row.pPart;
}

int CCombination_Model::TopRowOfPart(const QAbstractItemModel* pPart) const
{
    const Top* pTop = m_hashParts.value(pPart);
    return pTop ? pTop->nRow : -1;
}

QModelIndex CCombination_Model::MapFromPart(const QModelIndex& partIndex) const
{
    Top* pTop = m_hashParts.value(partIndex.model());
    if (!pTop || !partIndex.isValid() || partIndex.column() >= m_nColumns)
        return QModelIndex();
    return createIndex(partIndex.row(), partIndex.column(), pTop);
}

void CCombination_Model::InsertTopRows(int nRow, std::vector<TopRow> vecRows)
{
    if (vecRows.empty())
        return;
    nRow = std::clamp(nRow, 0, TopRowCount());
    beginInsertRows(QModelIndex(), nRow, nRow + static_cast<int>(vecRows.size()) - 1);
    std::vector<std::unique_ptr<Top>> vecNew;
    vecNew.reserve(vecRows.size());
    for (TopRow& row : vecRows) {
        auto upTop = std::make_unique<Top>();
        upTop->row = std::move(row);
        vecNew.push_back(std::move(upTop));
    }
    m_vecTop.insert(m_vecTop.begin() + nRow, std::make_move_iterator(vecNew.begin()),
                    std::make_move_iterator(vecNew.end()));
    Renumber(nRow);
    for (size_t i = static_cast<size_t>(nRow); i < static_cast<size_t>(nRow) + vecRows.size(); ++i)
        ConnectPart(m_vecTop[i].get());
    EndInsert(nullptr, nRow, nRow + static_cast<int>(vecRows.size()) - 1);
}

void CCombination_Model::RemoveTopRows(int nRow, int nCount)
{
    if (nRow < 0 || nCount <= 0 || nRow + nCount > TopRowCount())
        return;
    beginRemoveRows(QModelIndex(), nRow, nRow + nCount - 1);
    for (int i = nRow; i < nRow + nCount; ++i) {
        Top* pTop = m_vecTop[static_cast<size_t>(i)].get();
        if (pTop->row.pPart) {
            disconnect(pTop->row.pPart, nullptr, this, nullptr);
            m_hashParts.remove(pTop->row.pPart);
            if (auto* pDirect = qobject_cast<CCombinationPart*>(pTop->row.pPart))
                pDirect->m_pCombination = nullptr;
        }
    }
    m_vecTop.erase(m_vecTop.begin() + nRow, m_vecTop.begin() + nRow + nCount);
    Renumber(nRow);
    endRemoveRows();
}

void CCombination_Model::EndInsert(const Top* pTop, int nFirst, int nLast)
{
    const Announced previous = m_announced;
    m_announced = Announced{true, pTop, nFirst, nLast};
    endInsertRows();
    m_announced = previous;
}

bool CCombination_Model::IsBeingAnnounced(const QModelIndex& index) const
{
    if (!m_announced.bActive || !index.isValid())
        return false;
    const Top* pTop = TopOf(index);
    // A row of a top row being inserted, or a row being inserted into a top row.
    const int nTopRow = pTop ? pTop->nRow : index.row();
    if (!m_announced.pTop)
        return nTopRow >= m_announced.nFirst && nTopRow <= m_announced.nLast;
    return pTop == m_announced.pTop && index.row() >= m_announced.nFirst && index.row() <= m_announced.nLast;
}

void CCombination_Model::Renumber(int nFrom)
{
    for (size_t i = static_cast<size_t>(nFrom); i < m_vecTop.size(); ++i)
        m_vecTop[i]->nRow = static_cast<int>(i);
}

void CCombination_Model::ConnectPart(Top* pTop)
{
    QAbstractItemModel* pPart = pTop->row.pPart;
    if (!pPart)
        return;
    m_hashParts.insert(pPart, pTop);
    if (auto* pDirect = qobject_cast<CCombinationPart*>(pPart)) {
        pDirect->m_pCombination = this;
        pDirect->m_pTop = pTop;
        return;
    }
    connect(pPart, &QAbstractItemModel::rowsAboutToBeInserted, this,
            [this, pTop](const QModelIndex&, int first, int last) { PartAboutToInsert(pTop, first, last); });
    connect(pPart, &QAbstractItemModel::rowsInserted, this,
            [this, pTop](const QModelIndex&, int first, int last) { EndInsert(pTop, first, last); });
    connect(pPart, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this, pTop](const QModelIndex&, int first, int last) { PartAboutToRemove(pTop, first, last); });
    connect(pPart, &QAbstractItemModel::rowsRemoved, this, [this] { endRemoveRows(); });
    connect(pPart, &QAbstractItemModel::dataChanged, this, &CCombination_Model::PartDataChanged);
    connect(pPart, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(pPart, &QAbstractItemModel::modelReset, this, [this] { endResetModel(); });
}

void CCombination_Model::PartAboutToInsert(const Top* pTop, int nFirst, int nLast)
{
    beginInsertRows(createIndex(pTop->nRow, 0, nullptr), nFirst, nLast);
}

void CCombination_Model::PartAboutToRemove(const Top* pTop, int nFirst, int nLast)
{
    beginRemoveRows(createIndex(pTop->nRow, 0, nullptr), nFirst, nLast);
}

void CCombination_Model::PartDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                         const QVector<int>& vecRoles)
{
    static const QMetaMethod s_dataChanged = QMetaMethod::fromSignal(&QAbstractItemModel::dataChanged);
    if (!isSignalConnected(s_dataChanged))
        return;
    const QModelIndex from = MapFromPart(topLeft);
    if (!IsBeingAnnounced(from))
        emit dataChanged(from, MapFromPart(bottomRight), vecRoles);
}

// As the signals would: a part whose signals are blocked tells nobody.
bool CCombinationPart::Told() const
{
    return m_pCombination && !signalsBlocked();
}

void CCombinationPart::BeginInsertPartRows(int nFirst, int nLast)
{
    beginInsertRows(QModelIndex(), nFirst, nLast);
    if (Told())
        m_pCombination->PartAboutToInsert(m_pTop, nFirst, nLast);
}

void CCombinationPart::EndInsertPartRows(int nFirst, int nLast)
{
    endInsertRows();
    if (Told())
        m_pCombination->EndInsert(m_pTop, nFirst, nLast);
}

void CCombinationPart::BeginRemovePartRows(int nFirst, int nLast)
{
    beginRemoveRows(QModelIndex(), nFirst, nLast);
    if (Told())
        m_pCombination->PartAboutToRemove(m_pTop, nFirst, nLast);
}

void CCombinationPart::EndRemovePartRows()
{
    endRemoveRows();
    if (Told())
        m_pCombination->endRemoveRows();
}

void CCombinationPart::NotifyDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                         const QVector<int>& vecRoles)
{
    emit dataChanged(topLeft, bottomRight, vecRoles);
    if (Told())
        m_pCombination->PartDataChanged(topLeft, bottomRight, vecRoles);
}

} // namespace TesselGUIToolkit
