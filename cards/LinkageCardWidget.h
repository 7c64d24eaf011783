#pragma once

#include "cards/CardRecord.h"

#include <QPixmap>
#include <QWidget>

#include <memory>

namespace Ui {
class LinkageCardWidget;
} // namespace Ui

namespace LinkageSnapAlarm {

// One snapshot card: a person's face picture above the whole-body picture.
// It knows the alarm behind it (its record, shown in its tool tip), takes the
// keyboard focus, and a click or Enter asks for its details.
class CLinkageCardWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CLinkageCardWidget(QWidget* parent = nullptr);
    ~CLinkageCardWidget() override;

    // Fixes the card's size; the two pictures take 33/95 and 56/95 of its height.
    void SetCardSize(int nWidth, int nHeight);
    // Each picture stretched to its label's current size (a null one empties it).
    void SetPictures(const QPixmap& pixFace, const QPixmap& pixBody);

    // The sizes the face and body labels take in a card of the given size, so
    // that pictures can be decoded right at that size.
    static QSize FaceLabelSize(const QSize& sizeCard);
    static QSize BodyLabelSize(const QSize& sizeCard);

    // The alarm the card shows; a card filled anew takes the new alarm's record.
    void SetRecord(std::shared_ptr<const CardRecord> spRecord);
    const std::shared_ptr<const CardRecord>& Record() const { return m_spRecord; }
    // Camera and alarm time, one a line.
    QString ToolTipText() const;

signals:
    // Clicked, or Enter pressed while the card has the focus: show its details.
    void signalCardActivated(LinkageSnapAlarm::CLinkageCardWidget* pCard);

protected:
    bool event(QEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    std::shared_ptr<const CardRecord> m_spRecord;
    std::unique_ptr<Ui::LinkageCardWidget> ui;
};

} // namespace LinkageSnapAlarm
