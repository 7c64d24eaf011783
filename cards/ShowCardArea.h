#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>

class QKeyEvent;
class QLabel;

namespace Ui {
class ShowCardArea;
} // namespace Ui

namespace LinkageSnapAlarm {

class CShowCardWidget;

// The scrolling strip of snapshot cards, with an empty page while it has none.
// For the keyboard the strip is one stop of the Tab chain: Tab enters it at the
// newest card (or at the card last focused while the focus stays inside), the
// arrow keys move between cards, and the focused card carries "bFocused".
class CShowCardArea : public QWidget
{
    Q_OBJECT
public:
    explicit CShowCardArea(QWidget* parent = nullptr);
    ~CShowCardArea() override;

    void InitCardLayout(bool bVertical);
    void SetCardSpacing(int nPixels);
    void AddCard(QWidget* pCard);
    void ClearCards();
    // The oldest card, taken out to be filled anew, when the strip is full.
    QWidget* TakeCardToReuse();

    bool HasCards() const { return m_bHasCards; }
    CShowCardWidget* CardWidget() const;

    // The card that Tab enters the strip at.
    QWidget* TabStopCard() const { return m_pTabStopCard; }

protected:
    void resizeEvent(QResizeEvent* pEvent) override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    bool HasFocusInside() const;
    void SetTabStop(QWidget* pCard);
    void OnCardFocused(QWidget* pCard);
    bool MoveFocusByKey(QWidget* pCard, const QKeyEvent* pEvent);

    std::unique_ptr<Ui::ShowCardArea> ui;
    QLabel* m_pLabelTriangle = nullptr;
    bool m_bHasCards = false;
    QPointer<QWidget> m_pTabStopCard;
};

} // namespace LinkageSnapAlarm
