#pragma once

#include "alarmview/AlarmDetailView.h"
#include "alarmview/AlarmDisplayQueue.h"
#include "history/HistorySource.h"
#include "settings/LinkageSetupInfo.h"

#include "quorra/IntelAlarmEventInfo.h"

#include <QHash>
#include <QImage>
#include <QObject>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <map>
#include <memory>

class QWidget;

namespace LinkageSnapAlarm {

class CLinkageCardWidget;
class CAlarmHistory;
class CLinkageSnapAlarmListener;
class CLiveWindows;
class CShowCardArea;
class CShowPicWidget;

// The linkage view's alarm handling: a panoramic alarm of a window camera
// shows its scene picture and opens a linkage; linkage alarms of that linkage
// add one card per person, pairing the face with the body. Every picture
// shown is also handed to the save manager when saving is on, and saving
// trouble is told to the operator once per run.
class CAlarmPresenter : public QObject
{
    Q_OBJECT
public:
    // pView parents the cards, the listener and the notices; the setup and the
    // window cameras are read as they are when an alarm comes.
    CAlarmPresenter(QWidget* pView, CShowPicWidget* pScenePic, CShowCardArea* pCardArea,
                    const LinkageSetupInfo& setupInfo, const CLiveWindows& liveWindows);

    CLinkageSnapAlarmListener* Listener() const { return m_pListener; }
    // Every alarm shown is also kept there; null keeps none.
    void SetHistory(CAlarmHistory* pHistory) { m_pHistory = pHistory; }
    void SetListening(bool bListen);
    void Present(const quorra::IntelAlarmEventInfo& info);
    // Stops intake and empties the scene, the cards and what waited.
    void Close();
    // A panoramic alarm and a linkage alarm under the next linkage, for trying the view.
    void PresentTestAlarms();

    const QString& LinkageUid() const { return m_strLinkageUid; }
    std::int64_t AlarmsAccepted() const { return m_nAlarmsAccepted; }
    std::int64_t AlarmsShown() const { return m_nAlarmsShown; }
    // The part of the picture a card shows for a target rectangle.
    static QImage CropPictureByRect(const QImage& image, const protocol::PictureRect& rect);

    // The open linkage as the strip shows it: its panoramic alarm and the
    // records of the cards, newest first.
    LinkageRecordSet StripRecords() const;
    // Where the card stands in StripRecords().vecCards, or -1.
    int StripIndexOf(const CLinkageCardWidget* pCard) const;
    // A picture of the manager's was written: the record it was asked for keeps its path.
    void OnPictureSaved(quint64 nRequestId, const QString& strFilePath);

    // Notices of the save manager and the alarm transfer.
    void NoticeSpaceNotEnough();
    void NoticeSaveFailed();
    void NoticePictureSaved();
    void NoticeAlarmsDropped(int nCount);
    void NoticePicturesNotSaved(int nCount);

signals:
    // A card of the strip was clicked or Enter pressed on it.
    void signalCardActivated(LinkageSnapAlarm::CLinkageCardWidget* pCard);
    // A right click or the Menu key on a card; at the global position given.
    void signalCardMenuRequested(LinkageSnapAlarm::CLinkageCardWidget* pCard, const QPoint& ptGlobal);
    // A record gained a saved file.
    void signalRecordChanged();

private:
    struct AlarmContext;
    // A record of what the alarm tells of itself, with the open linkage's scene.
    std::shared_ptr<CardRecord> NewRecord(const quorra::IntelAlarmEventInfo& info) const;
    void PresentPanoramic(const quorra::IntelAlarmEventInfo& info);
    void PresentLinkage(const quorra::IntelAlarmEventInfo& info);
    void QueueHuman(AlarmContext& ctx, const protocol::IntelAlarmHumanInfo& human);
    // Both return the path the picture is to be written to, or an empty text;
    // the path written reaches the record when the manager has written it.
    QString SaveIfOn(const AlarmContext& ctx, const std::shared_ptr<CardRecord>& spRecord, const char* pszKind,
                     const protocol::AlarmPictureInfo& pic, const protocol::PictureRect& rcCrop);
    QString RequestSave(const quorra::IntelAlarmEventInfo& info, const std::shared_ptr<CardRecord>& spRecord,
                        const QString& strStemHead, const protocol::AlarmPictureInfo& pic,
                        const protocol::PictureRect& rcCrop);
    void RecordHistory(const quorra::IntelAlarmEventInfo& info, HistoryPictureSource scene,
                       std::vector<HistoryCardSource> vecCards);
    // Shows what waits now when no alarm is behind this one; in a flood a few
    // cards a turn of the event loop, so that only what can still be seen is
    // decoded and the turns stay short.
    void PresentWhenIdle();
    void SchedulePresent();
    void PresentPending(int nMaxCards, qint64 nMaxPixels);
    // One notice per run of failures of a kind; a saved picture ends every run.
    void NoticeOncePerRun(int& nRunCount, const QString& strText);
    void Notice(const QString& strText);

    QWidget* m_pView = nullptr;
    CShowPicWidget* m_pScenePic = nullptr;
    CShowCardArea* m_pCardArea = nullptr;
    const LinkageSetupInfo& m_setupInfo;
    const CLiveWindows& m_liveWindows;
    CLinkageSnapAlarmListener* m_pListener = nullptr;
    CAlarmHistory* m_pHistory = nullptr;
    // Save names asked for within the current millisecond, for the numbered ones.
    QString m_strStemStamp;
    QHash<QString, int> m_hashStemsAsked;
    QString m_strLinkageUid = "None";
    // The panoramic alarm of the open linkage; null before the first one.
    std::shared_ptr<CardRecord> m_spSceneRecord;
    // Pictures asked to be saved, by request number, until written or their record goes.
    std::map<quint64, std::weak_ptr<CardRecord>> m_mapSaveRequests;
    quint64 m_nLastSaveRequest = 0;
    CAlarmDisplayQueue m_displayQueue;
    bool m_bPresentPosted = false;
    std::uint64_t m_nAlarmSerial = 0;
    std::int64_t m_nAlarmsAccepted = 0;
    std::int64_t m_nAlarmsShown = 0;
    int m_nSpaceFailRun = 0; // pictures refused for space since the last one saved
    int m_nSaveFailRun = 0;  // pictures not written since the last one saved
};

} // namespace LinkageSnapAlarm
