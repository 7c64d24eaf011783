#pragma once

#include <QPixmap>
#include <QWidget>

#include <memory>

namespace Ui {
class LinkageCardWidget;
} // namespace Ui

namespace LinkageSnapAlarm {

// One snapshot card: a person's face picture above the whole-body picture.
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

private:
    std::unique_ptr<Ui::LinkageCardWidget> ui;
};

} // namespace LinkageSnapAlarm
