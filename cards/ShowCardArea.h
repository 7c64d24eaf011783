#pragma once

#include <QWidget>

#include <memory>

class QLabel;

namespace Ui {
class ShowCardArea;
} // namespace Ui

namespace LinkageSnapAlarm {

class CShowCardWidget;

// The scrolling strip of snapshot cards, with an empty page while it has none.
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

protected:
    void resizeEvent(QResizeEvent* pEvent) override;

private:
    std::unique_ptr<Ui::ShowCardArea> ui;
    QLabel* m_pLabelTriangle = nullptr;
    bool m_bHasCards = false;
};

} // namespace LinkageSnapAlarm
