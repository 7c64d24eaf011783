#pragma once

#include <QPixmap>
#include <QWidget>

#include <memory>

class QLabel;

namespace Ui {
class ShowPicWidget;
} // namespace Ui

namespace LinkageSnapAlarm {

// The scene picture panel: the picture as given, or an empty page. A click on
// the picture, or Enter while the panel has the focus, asks for its details.
class CShowPicWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CShowPicWidget(QWidget* parent = nullptr);
    ~CShowPicWidget() override;

    void SetPicture(const QPixmap& pixPicture);
    void ClearPicture();

    bool HasPicture() const { return m_bHasPicture; }

signals:
    void signalPictureActivated();

protected:
    void resizeEvent(QResizeEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    std::unique_ptr<Ui::ShowPicWidget> ui;
    QLabel* m_pLabelTriangle = nullptr;
    bool m_bHasPicture = false;
};

} // namespace LinkageSnapAlarm
