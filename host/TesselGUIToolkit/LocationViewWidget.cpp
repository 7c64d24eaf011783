#include "TesselGUIToolkit/LocationViewWidget.h"

#include "TesselGUIToolkit/ItemDataRole.h"
#include "TesselGUIToolkit/SecondarySortFilterModel.h"
#include "TesselGUIToolkit/SharedIcon.h"

#include <QAbstractItemView>
#include <QAction>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QTreeView>

namespace TesselGUIToolkit {

CLocationViewWidget::CLocationViewWidget(QWidget* parent)
    : QWidget(parent)
    , m_pEditSearch(new QLineEdit(this))
{
    m_pEditSearch->setObjectName("m_pEditSearch");
    m_pEditSearch->setPlaceholderText(tr("Search"));
    // A clear action of our own: the line edit's built-in one fades with an
    // animation that outlives the box when it is closed mid-fade.
    QAction* pSearchIcon = m_pEditSearch->addAction(
        SharedIcon(QStringLiteral(":/publicIcon/Images/public/PublicIcon/Search.svg")), QLineEdit::LeadingPosition);
    QAction* pClear =
        m_pEditSearch->addAction(SharedIcon(QStringLiteral(":/publicIcon/Images/public/PublicIcon/SearchClear.svg")),
                                 QLineEdit::TrailingPosition);
    pClear->setObjectName("m_pActionClearSearch");
    // The texts name the icon buttons for screen readers.
    pSearchIcon->setText(tr("Search"));
    pClear->setText(tr("ClearSearch"));
    pClear->setToolTip(tr("ClearSearch"));
    pClear->setVisible(false);
    connect(pClear, &QAction::triggered, m_pEditSearch, &QLineEdit::clear);
    connect(m_pEditSearch, &QLineEdit::textChanged, pClear,
            [pClear](const QString& strText) { pClear->setVisible(!strText.isEmpty()); });
    m_pEditSearch->installEventFilter(this);
    auto* pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(m_pEditSearch);
    setFocusProxy(m_pEditSearch);

    auto* pShortcut = new QShortcut(QKeySequence::Find, this);
    pShortcut->setContext(Qt::WindowShortcut);
    connect(pShortcut, &QShortcut::activated, this, [this] {
        m_pEditSearch->setFocus(Qt::ShortcutFocusReason);
        m_pEditSearch->selectAll();
    });
    connect(m_pEditSearch, &QLineEdit::textChanged, this, &CLocationViewWidget::ApplyText);
}

CLocationViewWidget::~CLocationViewWidget() = default;

void CLocationViewWidget::SetView(QAbstractItemView* pView)
{
    m_pView = pView;
    ApplyText(m_pEditSearch->text());
}

void CLocationViewWidget::ApplyText(const QString& strText)
{
    static const QRegularExpression s_reSpace(QStringLiteral("\\s+"));
    m_lstKeywords = strText.split(s_reSpace, Qt::SkipEmptyParts);
    emit SignalKeywordsChanged(m_lstKeywords);
    QAbstractItemModel* pModel = m_pView ? m_pView->model() : nullptr;
    if (!pModel)
        return;
    // The colouring first, so the relayout below paints the new colours.
    auto* pProxy = qobject_cast<QSortFilterProxyModel*>(pModel);
    QAbstractItemModel* pSource = pProxy && pProxy->sourceModel() ? pProxy->sourceModel() : pModel;
    pSource->setHeaderData(0, Qt::Horizontal, m_lstKeywords, FilterKeywordsRole);
    if (auto* pSecondary = qobject_cast<CSecondarySortFilterModel*>(pModel))
        pSecondary->SetFilterKeywords(m_lstKeywords);
    else if (pProxy)
        pProxy->setFilterFixedString(m_lstKeywords.join(' '));
    else
        m_pView->viewport()->update();
    // Every group opens so the matches show. The filter's relayout is only
    // scheduled: expanding the collapsed groups now just marks them, and the
    // tree is laid out once (expandAll would lay it out at once, and again).
    auto* pTree = qobject_cast<QTreeView*>(m_pView.data());
    if (pTree && !m_lstKeywords.isEmpty()) {
        for (int nRow = 0; nRow < pModel->rowCount(); ++nRow) {
            const QModelIndex group = pModel->index(nRow, 0);
            if (!pTree->isExpanded(group))
                pTree->expand(group);
        }
    }
}

bool CLocationViewWidget::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched == m_pEditSearch && pEvent->type() == QEvent::KeyPress) {
        const int nKey = static_cast<QKeyEvent*>(pEvent)->key();
        if (nKey == Qt::Key_Escape && !m_pEditSearch->text().isEmpty()) {
            m_pEditSearch->clear();
            return true;
        }
        if (nKey == Qt::Key_Down && m_pView) {
            m_pView->setFocus(Qt::TabFocusReason);
            if (!m_pView->currentIndex().isValid() && m_pView->model())
                m_pView->setCurrentIndex(m_pView->model()->index(0, 0));
            return true;
        }
    }
    return QWidget::eventFilter(pWatched, pEvent);
}

} // namespace TesselGUIToolkit
