#pragma once

#include "Miravel/LogicModelParams.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>
#include <QVector>

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
class HOST_API CAreaModel : public QAbstractItemModel
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

private:
    struct Row
    {
        tessel::IElement* pElement = nullptr;
        QVector<QPair<int, QVariant>> vecData;
    };

    static const QVector<int>& RoleList(int nRole);
    bool Accepts(const tessel::IElement* pElement) const;
    QVariant ElementData(const tessel::IElement* pElement, int role) const;
    void RebuildRowIndex(int nFrom);

    std::string m_strAreaID;
    const AreaLook* m_pLook;
    std::vector<Row> m_vecRows;
    QHash<const tessel::IElement*, int> m_hashRows;
};

} // namespace Miravel
