#pragma once

#include "HostExport.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

class QAbstractItemView;
class QLineEdit;

namespace TesselGUIToolkit {

// The search box of the host's trees, bound to a view. Each edit splits the
// text into keywords (at white space), stores them in the model's header data
// of section 0 under FilterKeywordsRole (models colour matching rows from it)
// and filters the view's proxy with them; while a search is typed every
// top-level group is expanded so the matches show. Ctrl+F anywhere in the window focuses the
// box, Escape clears it and the Down key moves on into the view.
class HOST_API CLocationViewWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CLocationViewWidget(QWidget* parent = nullptr);
    ~CLocationViewWidget() override;

    void SetView(QAbstractItemView* pView);
    QAbstractItemView* View() const { return m_pView; }
    QLineEdit* SearchEdit() const { return m_pEditSearch; }
    QStringList Keywords() const { return m_lstKeywords; }

signals:
    void SignalKeywordsChanged(const QStringList& lstKeywords);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void ApplyText(const QString& strText);

    QLineEdit* m_pEditSearch = nullptr;
    QPointer<QAbstractItemView> m_pView;
    QStringList m_lstKeywords;
};

} // namespace TesselGUIToolkit
