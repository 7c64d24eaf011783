#include "TesselGUIToolkit/SecondarySortFilterModel.h"

namespace TesselGUIToolkit {

CSecondarySortFilterModel::CSecondarySortFilterModel(QObject* parent)
    : QSortFilterProxyModel(parent)
{
}

CSecondarySortFilterModel::~CSecondarySortFilterModel() = default;

void CSecondarySortFilterModel::SetSecondaryFilterRegExp(const QString& strPattern)
{
    m_bHasSecondary = !strPattern.isEmpty();
    m_reSecondary = QRegularExpression(QRegularExpression::anchoredPattern(strPattern));
    invalidate();
}

void CSecondarySortFilterModel::SetSecondaryFilterRole(int nRole)
{
    m_nSecondaryRole = nRole;
    invalidate();
}

void CSecondarySortFilterModel::SetFilterKeywords(const QStringList& lstKeywords)
{
    QStringList lstClean;
    for (const QString& strKeyword : lstKeywords) {
        if (!strKeyword.isEmpty())
            lstClean << strKeyword;
    }
    if (lstClean == m_lstKeywords)
        return;
    m_lstKeywords = lstClean;
    invalidate();
}

bool CSecondarySortFilterModel::PassesSecondary(const QModelIndex& source) const
{
    if (!m_bHasSecondary || m_nSecondaryRole < 0)
        return true;
    return m_reSecondary.match(source.data(m_nSecondaryRole).toString()).hasMatch();
}

bool CSecondarySortFilterModel::MatchesKeywords(const QModelIndex& source) const
{
    const QString strText = source.data(Qt::DisplayRole).toString();
    for (const QString& strKeyword : m_lstKeywords) {
        if (strText.contains(strKeyword, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool CSecondarySortFilterModel::HasMatchingChild(const QModelIndex& source) const
{
    const QAbstractItemModel* pModel = source.model();
    const int nRows = pModel->rowCount(source);
    for (int nRow = 0; nRow < nRows; ++nRow) {
        const QModelIndex child = pModel->index(nRow, 0, source);
        if (PassesSecondary(child) && (MatchesKeywords(child) || HasMatchingChild(child)))
            return true;
    }
    return false;
}

bool CSecondarySortFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    const QModelIndex source = sourceModel()->index(sourceRow, 0, sourceParent);
    if (!PassesSecondary(source))
        return false;
    if (m_lstKeywords.isEmpty() || MatchesKeywords(source))
        return true;
    for (QModelIndex ancestor = sourceParent; ancestor.isValid(); ancestor = ancestor.parent()) {
        if (MatchesKeywords(ancestor))
            return true;
    }
    return HasMatchingChild(source);
}

} // namespace TesselGUIToolkit
