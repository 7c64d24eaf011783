#include "cards/ShowCardWidget.h"

#include "common/LsaCheck.h"

#include <QBoxLayout>
#include <QSpacerItem>

namespace LinkageSnapAlarm {

namespace {
// The spacer that pushes the cards to the start is the layout's first item.
constexpr int kFirstCardIndex = 1;
} // namespace

CShowCardWidget::CShowCardWidget(QWidget* parent)
    : QWidget(parent)
{
    if (objectName().isEmpty())
        setObjectName("ShowCardWidget");
    resize(669, 658);
    setWindowTitle("ShowCardWidget");
    QMetaObject::connectSlotsByName(this);
}

void CShowCardWidget::InitCardLayout(bool bVertical)
{
    if (m_bInitialised)
        return;
    m_bInitialised = true;
    m_bVertical = bVertical;
    // Reversed direction with the spacer first: the spacer takes the far end,
    // and each new card lands before the earlier ones.
    if (bVertical) {
        if (!m_pColumnLayout)
            m_pColumnLayout = new QVBoxLayout(this);
        m_pColumnLayout->setDirection(QBoxLayout::BottomToTop);
        m_pColumnLayout->setContentsMargins(0, 0, 0, 0);
        m_pColumnLayout->addItem(new QSpacerItem(1, 1, QSizePolicy::Minimum, QSizePolicy::Expanding));
    } else {
        if (!m_pRowLayout)
            m_pRowLayout = new QHBoxLayout(this);
        m_pRowLayout->setDirection(QBoxLayout::RightToLeft);
        m_pRowLayout->setContentsMargins(0, 0, 0, 0);
        m_pRowLayout->addItem(new QSpacerItem(1, 1, QSizePolicy::Expanding, QSizePolicy::Minimum));
    }
}

QBoxLayout* CShowCardWidget::ActiveLayout() const
{
    if (!m_bInitialised)
        return nullptr;
    return m_bVertical ? static_cast<QBoxLayout*>(m_pColumnLayout) : static_cast<QBoxLayout*>(m_pRowLayout);
}

void CShowCardWidget::SetCardSpacing(int nPixels)
{
    if (QBoxLayout* pLayout = ActiveLayout())
        pLayout->setSpacing(nPixels);
}

void CShowCardWidget::AddCard(QWidget* pCard)
{
    QBoxLayout* pLayout = ActiveLayout();
    LSA_CHECK(pLayout && pCard) return;
    pLayout->addWidget(pCard);
    if (pLayout->count() > kMaxCards + kFirstCardIndex)
        RemoveOldest();
}

void CShowCardWidget::RemoveOldest()
{
    QLayoutItem* pItem = ActiveLayout()->takeAt(kFirstCardIndex);
    if (!pItem)
        return;
    delete pItem->widget();
    delete pItem;
}

QWidget* CShowCardWidget::TakeCardToReuse()
{
    if (CardCount() < kMaxCards)
        return nullptr;
    QLayoutItem* pItem = ActiveLayout()->takeAt(kFirstCardIndex);
    if (!pItem)
        return nullptr;
    QWidget* pCard = pItem->widget();
    delete pItem;
    return pCard;
}

void CShowCardWidget::ClearCards()
{
    QBoxLayout* pLayout = ActiveLayout();
    if (!pLayout)
        return;
    for (int n = pLayout->count(); n > kFirstCardIndex; --n)
        RemoveOldest();
}

int CShowCardWidget::CardCount() const
{
    QBoxLayout* pLayout = ActiveLayout();
    return pLayout ? pLayout->count() - kFirstCardIndex : 0;
}

QList<QWidget*> CShowCardWidget::Cards() const
{
    QList<QWidget*> lstCards;
    for (int i = 0; i < CardCount(); ++i) {
        if (QWidget* pCard = CardAt(i))
            lstCards.append(pCard);
    }
    return lstCards;
}

QWidget* CShowCardWidget::CardAt(int nFromNewest) const
{
    QBoxLayout* pLayout = ActiveLayout();
    const int nCount = CardCount();
    if (!pLayout || nFromNewest < 0 || nFromNewest >= nCount)
        return nullptr;
    return pLayout->itemAt(kFirstCardIndex + nCount - 1 - nFromNewest)->widget();
}

int CShowCardWidget::PositionOf(QWidget* pCard) const
{
    QBoxLayout* pLayout = ActiveLayout();
    const int nIndex = pLayout && pCard ? pLayout->indexOf(pCard) : -1;
    return nIndex < kFirstCardIndex ? -1 : CardCount() - 1 - (nIndex - kFirstCardIndex);
}

void CShowCardWidget::resizeEvent(QResizeEvent* pEvent)
{
    QWidget::resizeEvent(pEvent);
    emit signalResizeEvent();
}

} // namespace LinkageSnapAlarm
