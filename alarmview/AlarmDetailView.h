#pragma once

#include "cards/CardRecord.h"

#include <QDialog>
#include <QMetaType>

#include <deque>
#include <memory>
#include <vector>

class QLabel;

namespace Ui {
class AlarmDetailView;
} // namespace Ui

namespace LinkageSnapAlarm {

// A linkage as the detail view shows it: the panoramic alarm that opened it
// (its Scene is the scene picture; null when unknown) and its cards, newest
// first as the strip shows them. A card without a Scene of its own shows the
// linkage's.
struct LinkageRecordSet
{
    std::shared_ptr<const CardRecord> spScene;
    std::vector<std::shared_ptr<const CardRecord>> vecCards;
};

// The details of one alarm at a readable size: the face and body of a card
// beside the scene of its linkage with that person's rectangle drawn on it,
// or the scene alone with every person's rectangle; the camera, the time and
// the linkage id. Previous / next (and the Left / Right keys) step through the
// scene and the cards, Esc closes.
//
// Pictures are decoded at their shown size, one picture per turn of the event
// loop, so the GUI thread never waits on more than one decode.
//
// Records that are not on the live strip (an alarm history, say) are shown by
// building a LinkageRecordSet (WholePicture() turns read-back bytes into a
// CardPicture) and calling Open on the dialog's view
// (CLinkageSnapAlarmDlg::DetailView()) or on a view of one's own.
class CAlarmDetailView : public QDialog
{
    Q_OBJECT
public:
    // Open's card index for the scene with every person's rectangle.
    static constexpr int kScene = -1;

    explicit CAlarmDetailView(QWidget* parent = nullptr);
    ~CAlarmDetailView() override;

    // Shows the view on card nCard of the set, or on its scene (kScene). An
    // index out of range opens the first thing the set has; null cards are
    // left out, and a set with nothing to show leaves the view as it is.
    void Open(LinkageRecordSet set, int nCard);

    // The card shown (kScene for the scene), and its record; null when closed.
    int CurrentCard() const;
    const CardRecord* CurrentRecord() const;
    bool IsDecoding() const { return !m_deqJobs.empty(); }
    // Decodes at once whatever still waits (benchmarks, tests).
    void FinishDecoding();

public slots:
    void onBtnPrevClicked();
    void onBtnNextClicked();
    void onBtnOpenFolderClicked();
    // Shows the current record again as it is now (its saved files may have come since).
    void RefreshRecord();

signals:
    // The view moved to another card (kScene: the scene).
    void signalCurrentChanged(int nCard);
    // "Export incident…": the linkage the view shows.
    void signalExportRequested(const LinkageSnapAlarm::LinkageRecordSet& set);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void hideEvent(QHideEvent* pEvent) override;

private:
    struct DecodeJob
    {
        CardPicture picture;
        QLabel* pLabel = nullptr;
        std::vector<protocol::PictureRect> vecRects; // drawn on the decoded picture
    };

    int PositionCount() const;
    int SceneOffset() const { return m_set.spScene ? 1 : 0; }
    // True when a left or right arrow stepped the view.
    bool StepByKey(int nKey);
    void ShowPosition(int nPosition);
    void ShowTexts(const CardRecord& record);
    void QueuePictures();
    void ScheduleDecode();
    void DecodeNext();
    void SizeToScreen();

    std::unique_ptr<Ui::AlarmDetailView> ui;
    LinkageRecordSet m_set;
    int m_nPosition = 0; // the scene (when the set has one) first, then the cards
    std::deque<DecodeJob> m_deqJobs;
    bool m_bDecodePosted = false;
};

} // namespace LinkageSnapAlarm

Q_DECLARE_METATYPE(LinkageSnapAlarm::LinkageRecordSet)
