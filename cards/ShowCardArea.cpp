#include "cards/ShowCardArea.h"

#include "cards/CardsTexts.h"
#include "cards/CornerMark.h"
#include "cards/FocusMark.h"
#include "cards/ShowCardWidget.h"
#include "ui_ShowCardArea.h"

#include <QApplication>
#include <QKeyEvent>

namespace LinkageSnapAlarm {

namespace {
// How far a key moves the focus, in cards towards the oldest.
constexpr int kToNewest = -CShowCardWidget::kMaxCards;
constexpr int kToOldest = CShowCardWidget::kMaxCards;

int StepOfKey(int nKey, bool bVertical)
{
    // The newest card is at the left of a row and at the top of a column.
    const int nKeyNewer = bVertical ? Qt::Key_Up : Qt::Key_Left;
    const int nKeyOlder = bVertical ? Qt::Key_Down : Qt::Key_Right;
    if (nKey == nKeyNewer)
        return -1;
    if (nKey == nKeyOlder)
        return 1;
    if (nKey == Qt::Key_Home)
        return kToNewest;
    if (nKey == Qt::Key_End)
        return kToOldest;
    return 0;
}
} // namespace

CShowCardArea::CShowCardArea(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::ShowCardArea>())
{
    ui->setupUi(this);
    ui->m_pStackShow->setCurrentWidget(ui->m_pPageNoData);
    m_pLabelTriangle = CCornerMark::Create(this);
    // The cards take the focus, not the scroll area around them. The strip is
    // no Tab stop itself but stands in the Tab chain (only widgets that take
    // some focus can), with its tab-stop card right behind it.
    ui->m_pAreaShow->setFocusPolicy(Qt::NoFocus);
    setFocusPolicy(Qt::ClickFocus);
    setAccessibleName(CardsTexts::Text(CardsTexts::SnapshotCards));
    setAccessibleDescription(CardsTexts::Text(CardsTexts::SnapshotCardsHelp));
    CFocusMark::Install(this);
}

CShowCardArea::~CShowCardArea() = default;

CShowCardWidget* CShowCardArea::CardWidget() const
{
    return ui->m_pScrollWidgetShow;
}

void CShowCardArea::InitCardLayout(bool bVertical)
{
    ui->m_pScrollWidgetShow->InitCardLayout(bVertical);
}

void CShowCardArea::SetCardSpacing(int nPixels)
{
    ui->m_pScrollWidgetShow->SetCardSpacing(nPixels);
}

void CShowCardArea::AddCard(QWidget* pCard)
{
    if (!m_bHasCards) {
        m_pLabelTriangle->hide();
        ui->m_pStackShow->setCurrentWidget(ui->m_pPageShow);
        m_bHasCards = true;
    }
    const bool bFocusInside = HasFocusInside();
    if (pCard) {
        pCard->installEventFilter(this);
        if (pCard->accessibleName().isEmpty())
            pCard->setAccessibleName(CardsTexts::Text(CardsTexts::SnapshotCard));
        if (pCard != m_pTabStopCard)
            pCard->setFocusPolicy(Qt::ClickFocus);
    }
    ui->m_pScrollWidgetShow->AddCard(pCard);
    if (!pCard || ui->m_pScrollWidgetShow->PositionOf(pCard) < 0)
        return;
    if (!bFocusInside || !m_pTabStopCard)
        SetTabStop(pCard); // Tab comes in at the newest card
    if (!bFocusInside)
        return;
    if (hasFocus()) {
        // The strip was emptied under the focus. The layout shows the card
        // only later, and a hidden widget takes no focus.
        pCard->show();
        pCard->setFocus(Qt::OtherFocusReason);
    } else if (!HasFocusInside()) {
        // The focused card was the oldest and made room: its neighbour takes over.
        CShowCardWidget* pCards = ui->m_pScrollWidgetShow;
        pCards->CardAt(pCards->CardCount() - 1)->setFocus(Qt::OtherFocusReason);
    }
}

QWidget* CShowCardArea::TakeCardToReuse()
{
    return ui->m_pScrollWidgetShow->TakeCardToReuse();
}

void CShowCardArea::ClearCards()
{
    // A focus on a card stays in the strip while its cards go.
    if (HasFocusInside() && !hasFocus())
        setFocus(Qt::OtherFocusReason);
    if (m_bHasCards) {
        m_pLabelTriangle->show();
        ui->m_pStackShow->setCurrentWidget(ui->m_pPageNoData);
        m_bHasCards = false;
    }
    ui->m_pScrollWidgetShow->ClearCards();
}

void CShowCardArea::resizeEvent(QResizeEvent* pEvent)
{
    CCornerMark::Place(m_pLabelTriangle, size());
    QWidget::resizeEvent(pEvent);
}

bool CShowCardArea::HasFocusInside() const
{
    QWidget* pFocus = QApplication::focusWidget();
    return pFocus && (pFocus == this || isAncestorOf(pFocus));
}

void CShowCardArea::SetTabStop(QWidget* pCard)
{
    if (m_pTabStopCard && m_pTabStopCard != pCard)
        m_pTabStopCard->setFocusPolicy(Qt::ClickFocus);
    m_pTabStopCard = pCard;
    pCard->setFocusPolicy(Qt::StrongFocus);
    // The one card Tab reaches comes right after the strip in the focus chain.
    setTabOrder(this, pCard);
}

void CShowCardArea::OnCardFocused(QWidget* pCard)
{
    SetTabStop(pCard);
    CFocusMark::SetMarked(pCard, true);
    ui->m_pAreaShow->ensureWidgetVisible(pCard, 0, 0);
}

bool CShowCardArea::MoveFocusByKey(QWidget* pCard, const QKeyEvent* pEvent)
{
    if (pEvent->modifiers() & ~Qt::KeypadModifier)
        return false;
    CShowCardWidget* pCards = ui->m_pScrollWidgetShow;
    const int nStep = StepOfKey(pEvent->key(), pCards->IsVertical());
    const int nFrom = pCards->PositionOf(pCard);
    if (nStep == 0 || nFrom < 0)
        return false;
    const int nTo = qBound(0, nFrom + nStep, pCards->CardCount() - 1);
    if (nTo != nFrom)
        pCards->CardAt(nTo)->setFocus(Qt::OtherFocusReason);
    // Taken even at the end of the strip, or the scroll area would scroll away.
    return true;
}

bool CShowCardArea::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    auto* pCard = qobject_cast<QWidget*>(pWatched);
    if (pCard && pCard->parentWidget() == ui->m_pScrollWidgetShow) {
        switch (pEvent->type()) {
        case QEvent::FocusIn:
            OnCardFocused(pCard);
            break;
        case QEvent::FocusOut:
            CFocusMark::SetMarked(pCard, false);
            break;
        case QEvent::KeyPress:
            if (MoveFocusByKey(pCard, static_cast<QKeyEvent*>(pEvent)))
                return true;
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(pWatched, pEvent);
}

} // namespace LinkageSnapAlarm
