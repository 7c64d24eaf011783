#include "playwindow/StreamPlayWindowWithTask.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

namespace {
// The mime-data property naming the play window a drag comes from.
const char* const kDragFromProperty = "CStreamPlayWindowWithTaskDragFrom";
const char* const kViewIdProperty = "ViewID";

bool HasViewId(const QMimeData* pMime)
{
    return pMime && pMime->property(kViewIdProperty).isValid();
}
} // namespace

bool CStreamPlayWindowWithTask::event(QEvent* pEvent)
{
    switch (pEvent->type()) {
    case QEvent::Enter:
        m_pOverlays->SetHovered(true);
        break;
    case QEvent::Leave:
        m_pOverlays->SetHovered(false);
        break;
    default:
        break;
    }
    return QFrame::event(pEvent);
}

bool CStreamPlayWindowWithTask::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    return QFrame::eventFilter(pWatched, pEvent);
}

void CStreamPlayWindowWithTask::mousePressEvent(QMouseEvent* pEvent)
{
    m_ptPress = pEvent->pos();
    m_bPressed = pEvent->button() == Qt::LeftButton;
    MarkSelectedAndFocus();
    QFrame::mousePressEvent(pEvent);
}

void CStreamPlayWindowWithTask::mouseReleaseEvent(QMouseEvent* pEvent)
{
    m_bPressed = false;
    QFrame::mouseReleaseEvent(pEvent);
}

void CStreamPlayWindowWithTask::mouseDoubleClickEvent(QMouseEvent* pEvent)
{
    QFrame::mouseDoubleClickEvent(pEvent);
}

void CStreamPlayWindowWithTask::mouseMoveEvent(QMouseEvent* pEvent)
{
    if (m_bPressed && m_bDragEnabled && (pEvent->buttons() & Qt::LeftButton)
        && (pEvent->pos() - m_ptPress).manhattanLength() >= QApplication::startDragDistance()) {
        m_bPressed = false;
        StartDrag();
        return;
    }
    QFrame::mouseMoveEvent(pEvent);
}

void CStreamPlayWindowWithTask::wheelEvent(QWheelEvent* pEvent)
{
    if (m_pPtzZoom->Wheel(pEvent))
        return;
    QFrame::wheelEvent(pEvent);
}

void CStreamPlayWindowWithTask::paintEvent(QPaintEvent* pEvent)
{
    QFrame::paintEvent(pEvent);
}

void CStreamPlayWindowWithTask::resizeEvent(QResizeEvent* pEvent)
{
    QFrame::resizeEvent(pEvent);
    LayoutVideo();
}

void CStreamPlayWindowWithTask::StartDrag()
{
    auto* pDrag = new QDrag(this);
    auto* pMime = new QMimeData;
    pMime->setProperty(kDragFromProperty, m_nPlayWindowIndex);
    pDrag->setMimeData(pMime);
    pDrag->setPixmap(grab().scaledToWidth(qMax(1, width() / 3)));
    pDrag->exec(Qt::MoveAction);
}

bool CStreamPlayWindowWithTask::IsAcceptedSource(QObject* pSource) const
{
    if (auto* pWindow = qobject_cast<CStreamPlayWindowWithTask*>(pSource))
        return pWindow->GetGroupNumber() == m_nGroupNumber;
    auto* pSourceWidget = qobject_cast<QWidget*>(pSource);
    for (QWidget* pWidget : m_lstDragSourceWidgets) {
        // A view's drag may come from its viewport.
        if (pWidget && pSourceWidget && (pWidget == pSourceWidget || pWidget->isAncestorOf(pSourceWidget)))
            return true;
    }
    return false;
}

bool CStreamPlayWindowWithTask::AcceptDragFrom(QObject* pSource, const QMimeData* pMime) const
{
    if (IsAcceptedSource(pSource))
        return pSource != this;
    return HasViewId(pMime);
}

void CStreamPlayWindowWithTask::dragEnterEvent(QDragEnterEvent* pEvent)
{
    if (!AcceptDragFrom(pEvent->source(), pEvent->mimeData())) {
        pEvent->ignore();
        return;
    }
    pEvent->setDropAction(Qt::MoveAction);
    pEvent->accept();
}

void CStreamPlayWindowWithTask::dragMoveEvent(QDragMoveEvent* pEvent)
{
    QObject* pSource = pEvent->source();
    if ((pSource && pSource != this) || (!pSource && HasViewId(pEvent->mimeData()))) {
        pEvent->setDropAction(Qt::MoveAction);
        pEvent->accept();
        return;
    }
    pEvent->ignore();
}

void CStreamPlayWindowWithTask::dropEvent(QDropEvent* pEvent)
{
    if (!DropFrom(pEvent->source(), pEvent))
        pEvent->ignore();
}

bool CStreamPlayWindowWithTask::DropFrom(QObject* pSource, QDropEvent* pEvent)
{
    if (pSource == this)
        return false;
    const QMimeData* pMime = pEvent->mimeData();
    if (pSource && IsAcceptedSource(pSource)) {
        bool bIsInt = false;
        const int nFrom = pMime ? pMime->property(kDragFromProperty).toInt(&bIsInt) : 0;
        if (bIsInt) {
            emit SignalExchangePlayWindow(nFrom, m_nPlayWindowIndex);
        } else {
            // A camera from the tree: the owner opens it.
            emit SignalDropEvent(pEvent);
            MarkSelectedAndFocus();
        }
    } else if (HasViewId(pMime)) {
        emit SignalDropEvent(pEvent);
    } else {
        return false;
    }
    pEvent->setDropAction(Qt::MoveAction);
    pEvent->accept();
    return true;
}
