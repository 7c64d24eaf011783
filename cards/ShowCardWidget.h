#pragma once

#include <QWidget>

class QBoxLayout;
class QHBoxLayout;
class QVBoxLayout;

namespace LinkageSnapAlarm {

// The row (or column) of snapshot cards: newest first, at most kMaxCards.
class CShowCardWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kMaxCards = 50;

    explicit CShowCardWidget(QWidget* parent = nullptr);

    // Chooses the direction once; until then every card operation does nothing.
    void InitCardLayout(bool bVertical);
    void SetCardSpacing(int nPixels);
    // Takes ownership of the card; the oldest card beyond the limit is destroyed.
    void AddCard(QWidget* pCard);
    void ClearCards();
    int CardCount() const;
    // The cards from the newest (the start of the row) to the oldest.
    QList<QWidget*> Cards() const;
    // The cards by their place from the newest (0) to the oldest; null or -1
    // outside the strip.
    QWidget* CardAt(int nFromNewest) const;
    int PositionOf(QWidget* pCard) const;
    bool IsVertical() const { return m_bVertical; }
    // With the strip full, takes the oldest card out (still this widget's child)
    // for the caller to fill anew and add again; null otherwise.
    QWidget* TakeCardToReuse();

signals:
    void signalResizeEvent();

protected:
    void resizeEvent(QResizeEvent* pEvent) override;

private:
    QBoxLayout* ActiveLayout() const;
    void RemoveOldest();

    bool m_bVertical = true;
    bool m_bInitialised = false;
    QVBoxLayout* m_pColumnLayout = nullptr;
    QHBoxLayout* m_pRowLayout = nullptr;
};

} // namespace LinkageSnapAlarm
