#include "TesselGUIToolkit/SecondarySortFilterModel.h"

namespace TesselGUIToolkit {

CSecondarySortFilterModel::CSecondarySortFilterModel(QObject* parent)
    : QSortFilterProxyModel(parent)
{
    // A group shows when one of its rows matches, also when that row arrives
    // or changes later.
    setRecursiveFilteringEnabled(true);
}

CSecondarySortFilterModel::~CSecondarySortFilterModel() = default;

void CSecondarySortFilterModel::SetSecondaryFilterRegExp(const QString& strPattern)
{
    m_bHasSecondary = !strPattern.isEmpty();
    m_reSecondary = QRegularExpression(QRegularExpression::anchoredPattern(strPattern));
    // "0|1" and the like: a set of plain words is matched without the engine.
    static const QRegularExpression s_reWords(QStringLiteral("^\\w+(\\|\\w+)*$"));
    m_setSecondaryWords.clear();
    m_bSecondaryWords = s_reWords.match(strPattern).hasMatch();
    m_setSecondaryNumbers.clear();
    if (m_bSecondaryWords) {
        const QStringList lstWords = strPattern.split('|');
        m_setSecondaryWords = QSet<QString>(lstWords.begin(), lstWords.end());
        for (const QString& strWord : lstWords) {
            bool bNumber = false;
            const int nValue = strWord.toInt(&bNumber);
            if (bNumber && QString::number(nValue) == strWord)
                m_setSecondaryNumbers.insert(nValue);
        }
    }
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
    const QVariant value = source.data(m_nSecondaryRole);
    if (m_bSecondaryWords && (value.userType() == QMetaType::Int || value.userType() == QMetaType::UInt))
        return m_setSecondaryNumbers.contains(value.toInt()); // numbers need no text
    const QString strValue = value.toString();
    return m_bSecondaryWords ? m_setSecondaryWords.contains(strValue) : m_reSecondary.match(strValue).hasMatch();
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

bool CSecondarySortFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    const QModelIndex source = sourceModel()->index(sourceRow, 0, sourceParent);
    // The keywords first: while searching they turn most rows away, and the
    // secondary value need not be read for those.
    if (!m_lstKeywords.isEmpty() && !MatchesKeywords(source)) {
        bool bAncestorMatches = false;
        for (QModelIndex ancestor = sourceParent; ancestor.isValid() && !bAncestorMatches; ancestor = ancestor.parent())
            bAncestorMatches = MatchesKeywords(ancestor);
        if (!bAncestorMatches)
            return false;
    }
    return PassesSecondary(source);
}

} // namespace TesselGUIToolkit
