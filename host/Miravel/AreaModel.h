#pragma once

#include "Miravel/LogicModelParams.h"

#include "TesselGUIToolkit/Combination_Model.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>
#include <QVector>

#include <cstdint>
#include <string>
#include <vector>

namespace tessel {
class IElement;
class IGroupManager;
} // namespace tessel

namespace Miravel {

// The icons and flags every area model of one logic model shares.
struct HOST_API AreaLook
{
    LogicNodeParam param;
    tessel::IGroupManager* pGroupManager = nullptr;
    QIcon iconCamera;
    QIcon iconCameraOffline;
    QIcon iconCameraDisabled;
    QIcon iconAlarmInput;
};

// One group of the tree: a flat model of the group's elements. Element rows
// answer from the element itself (name, GUID, type, state); data set on a row
// is kept beside it and wins over the element's own.
class HOST_API CAreaModel : public TesselGUIToolkit::CCombinationPart
{
    Q_OBJECT
public:
    CAreaModel(std::string strAreaID, const AreaLook* pLook, QObject* parent = nullptr);
    ~CAreaModel() override;

    const std::string& AreaID() const { return m_strAreaID; }

    bool GetAllElements(QVector<tessel::IElement*>& vecElements) const;
    QModelIndex GetElementIndexByElementID(const std::string& strElementID);
    tessel::IElement* ElementAt(int nRow) const;
    int RowOf(const tessel::IElement* pElement) const;

    // The group manager's changes, each as one notice per run of rows.
    void AppendElements(const std::vector<tessel::IElement*>& vecElements);
    void RemoveElements(const std::vector<tessel::IElement*>& vecElements);
    void ElementChanged(tessel::IElement* pElement);

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    using RoleValues = QVector<QPair<int, QVariant>>;
    // Several roles set on rows at once, as setData would set them one by one,
    // with one change notice spanning the rows; rows that hold no data of their
    // own share the list (a decoration every camera carries costs no copy per row).
    void SetRoleValues(const std::vector<int>& vecRows, const RoleValues& vecValues);

private:
    struct Row
    {
        tessel::IElement* pElement = nullptr;
        RoleValues vecData;
        // Kept beside the pointer: the tree's filter reads it on every row, and
        // reaching each element for it would touch memory all over the site.
        int32_t nElementType = 0;
        // The row's data is the area's shared list, not vecData.
        bool bSharedData = false;
    };

    static const QVector<int>& RoleList(int nRole);
    bool Accepts(const tessel::IElement* pElement) const;
    QVariant ElementData(const Row& row, int role) const;
    void SetRoleValue(RoleValues& vecData, int nRole, const QVariant& value);
    const RoleValues& DataOf(const Row& row) const { return row.bSharedData ? m_vecSharedData : row.vecData; }
    // The row's own list, copied from the shared one first when it reads that.
    RoleValues& OwnData(Row& row);

    std::string m_strAreaID;
    const AreaLook* m_pLook;
    std::vector<Row> m_vecRows;
    // One list that many rows read, such as a decoration every camera carries:
    // the rows hold no copy, so setting it costs nothing per row.
    RoleValues m_vecSharedData;
    // Rows by element, built on the first lookup in a large group only: a scan
    // of a few dozen rows is as quick as hashing and costs no memory per row.
    mutable QHash<const tessel::IElement*, int> m_hashRows;
    mutable bool m_bRowIndexBuilt = false;
};

} // namespace Miravel
