#pragma once

#include "HostExport.h"

#include <QRegularExpression>
#include <QSet>
#include <QSortFilterProxyModel>
#include <QStringList>

namespace TesselGUIToolkit {

// The filter proxy of the host's trees. Two rules, both must hold:
//  - secondary: the row's value under the secondary role, as text, matches the
//    secondary expression as a whole (no expression: every row);
//  - keywords: the row's text contains one of the keywords (case ignored), or
//    a child row does, or its parent row does (no keywords: every row).
// A new rule is applied as one layout change instead of one removal notice per
// gap of hidden rows: with a large expanded tree that is what keeps a search
// keystroke fast.
class HOST_API CSecondarySortFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit CSecondarySortFilterModel(QObject* parent = nullptr);
    ~CSecondarySortFilterModel() override;

    void SetSecondaryFilterRegExp(const QString& strPattern);
    void SetSecondaryFilterRole(int nRole);
    void SetFilterKeywords(const QStringList& lstKeywords);
    QStringList FilterKeywords() const { return m_lstKeywords; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    bool PassesSecondary(const QModelIndex& source) const;
    bool MatchesKeywords(const QModelIndex& source) const;

    QRegularExpression m_reSecondary;
    QSet<QString> m_setSecondaryWords;
    QSet<int> m_setSecondaryNumbers;
    bool m_bSecondaryWords = false;
    bool m_bHasSecondary = false;
    int m_nSecondaryRole = -1;
    QStringList m_lstKeywords;
};

} // namespace TesselGUIToolkit
