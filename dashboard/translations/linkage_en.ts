<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB">
<context>
    <name>AlarmDetailView</name>
    <message>
        <source>AlarmDetails</source>
        <translation>Alarm details</translation>
    </message>
    <message>
        <source>DetailCamera</source>
        <translation>Camera</translation>
    </message>
    <message>
        <source>DetailTime</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>DetailLinkage</source>
        <translation>Linkage</translation>
    </message>
    <message>
        <source>DetailPrevious</source>
        <translation>&lt; Previous</translation>
    </message>
    <message>
        <source>DetailNext</source>
        <translation>Next &gt;</translation>
    </message>
    <message>
        <source>DetailOpenFolder</source>
        <translation>Open saved folder</translation>
    </message>
    <message>
        <source>DetailClose</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>ExportIncident</source>
        <extracomment>Export incident…</extracomment>
        <translation>Export incident…</translation>
    </message>
</context>
<context>
    <name>AlarmSim::CAlarmSimulatorPanel</name>
    <message>
        <source>Alarm simulator</source>
        <translation>Alarm simulator</translation>
    </message>
    <message>
        <source> /s</source>
        <translation> /s</translation>
    </message>
    <message>
        <source>Linkages</source>
        <translation>Linkages</translation>
    </message>
    <message>
        <source>Linkage alarms each</source>
        <translation>Linkage alarms each</translation>
    </message>
    <message>
        <source>Persons per alarm</source>
        <translation>Persons per alarm</translation>
    </message>
    <message>
        <source>Pictures</source>
        <translation>Pictures</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Go on</source>
        <translation>Go on</translation>
    </message>
    <message numerus="yes">
        <source>%n alarm(s) sent</source>
        <translation>
            <numerusform>%n alarm sent</numerusform>
            <numerusform>%n alarms sent</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CLiveViewMenuMgr</name>
    <message>
        <source>StopLiveView</source>
        <translation>Stop live view</translation>
    </message>
    <message>
        <source>Screenshot</source>
        <translation>Screenshot</translation>
    </message>
    <message>
        <source>StartRecording</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>OpenPTZControl</source>
        <translation>PTZ control</translation>
    </message>
    <message>
        <source>OpenDigitalZoom</source>
        <translation>Digital zoom</translation>
    </message>
    <message>
        <source>AudioOn</source>
        <translation>Sound</translation>
    </message>
    <message>
        <source>StopRecording</source>
        <translation>Stop recording</translation>
    </message>
    <message>
        <source>ClosePTZControl</source>
        <translation>Close PTZ control</translation>
    </message>
    <message>
        <source>CloseDigitalZoom</source>
        <translation>Close digital zoom</translation>
    </message>
    <message>
        <source>CloseVoice</source>
        <translation>Sound off</translation>
    </message>
    <message>
        <source>InstantPlayback</source>
        <translation>Instant Playback</translation>
    </message>
    <message>
        <source>BackToLive</source>
        <translation>Back to Live</translation>
    </message>
</context>
<context>
    <name>CLiveViewWndTitle</name>
    <message>
        <source>Tessel_Client.3f0fe9311dfe46ff9ea7f16dab6eef2a.name</source>
        <translation>Main Stream</translation>
    </message>
    <message>
        <source>Sub-stream</source>
        <translation>Sub-stream</translation>
    </message>
    <message>
        <source>ThirdStream</source>
        <translation>Third Stream</translation>
    </message>
    <message>
        <source>FourthStream</source>
        <translation>Fourth Stream</translation>
    </message>
    <message>
        <source>FifthStream</source>
        <translation>Fifth Stream</translation>
    </message>
    <message>
        <source>SixthStream</source>
        <translation>Sixth Stream</translation>
    </message>
    <message>
        <source>SeventhStream</source>
        <translation>Seventh Stream</translation>
    </message>
    <message>
        <source>EighthStream</source>
        <translation>Eighth Stream</translation>
    </message>
    <message>
        <source>NinthStream</source>
        <translation>Ninth Stream</translation>
    </message>
    <message>
        <source>TenthStream</source>
        <translation>Tenth Stream</translation>
    </message>
</context>
<context>
    <name>CPTZControlWnd</name>
    <message>
        <source>PTZNoCamera</source>
        <translation>No camera plays in the selected window.</translation>
    </message>
    <message>
        <source>PTZNotSupported</source>
        <translation>This camera cannot pan, tilt or zoom.</translation>
    </message>
    <message>
        <source>PTZNoPermission</source>
        <translation>You have no PTZ permission for this camera.</translation>
    </message>
    <message>
        <source>PTZFisheyeView</source>
        <translation>PTZ is not available in the fisheye view.</translation>
    </message>
    <message>
        <source>PTZReady</source>
        <translation>Hold a button or an arrow key to move the camera.</translation>
    </message>
    <message>
        <source>PTZSpeed</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>PTZHome</source>
        <translation>Home position</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>PTZControl</source>
        <extracomment>&quot;PTZ control&quot;</extracomment>
        <translation>PTZ control</translation>
    </message>
    <message>
        <source>PTZControlHelp</source>
        <extracomment>&quot;Arrow keys turn the camera while held, + and - zoom, Escape closes the panel.&quot;</extracomment>
        <translation>Arrow keys turn the camera while held, + and - zoom, Escape closes the panel.</translation>
    </message>
    <message>
        <source>PTZUp</source>
        <translation>Tilt up</translation>
    </message>
    <message>
        <source>PTZDown</source>
        <translation>Tilt down</translation>
    </message>
    <message>
        <source>PTZLeft</source>
        <translation>Pan left</translation>
    </message>
    <message>
        <source>PTZRight</source>
        <translation>Pan right</translation>
    </message>
    <message>
        <source>PTZUpLeft</source>
        <translation>Up and left</translation>
    </message>
    <message>
        <source>PTZUpRight</source>
        <translation>Up and right</translation>
    </message>
    <message>
        <source>PTZDownLeft</source>
        <translation>Down and left</translation>
    </message>
    <message>
        <source>PTZDownRight</source>
        <translation>Down and right</translation>
    </message>
    <message>
        <source>PTZZoomIn</source>
        <translation>Zoom in</translation>
    </message>
    <message>
        <source>PTZZoomOut</source>
        <translation>Zoom out</translation>
    </message>
</context>
<context>
    <name>CStreamPlayWindowWithTask</name>
    <message>
        <source>TheUserHasNoPermission</source>
        <translation>You have no permission for this camera.</translation>
    </message>
    <message>
        <source>Connecting</source>
        <translation>Connecting…</translation>
    </message>
    <message>
        <source>StreamLostReconnecting</source>
        <translation>Stream lost, reconnecting…</translation>
    </message>
    <message>
        <source>LiveViewFailed</source>
        <translation>Live view failed</translation>
    </message>
    <message>
        <source>NoEnoughHDDSpace</source>
        <translation>Not enough disk space for screenshots.</translation>
    </message>
    <message>
        <source>CaptureFailed</source>
        <translation>Screenshot failed</translation>
    </message>
    <message>
        <source>StartingRecordingFailed</source>
        <translation>Recording could not start</translation>
    </message>
    <message>
        <source>OpeningSoundFailed</source>
        <translation>Sound could not be opened</translation>
    </message>
    <message>
        <source>VoiceTalkNotAllowed</source>
        <translation>Voice talk is not allowed on this camera.</translation>
    </message>
    <message>
        <source>PTZNotSupported</source>
        <translation>This camera cannot pan, tilt or zoom.</translation>
    </message>
    <message>
        <source>Reconnected</source>
        <translation> is live again.</translation>
    </message>
    <message>
        <source>PausePlayback</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>ResumePlayback</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>BackToLive</source>
        <translation>Back to live</translation>
    </message>
    <message>
        <source>PlaybackPosition</source>
        <extracomment>&quot;Playback position&quot;</extracomment>
        <translation>Playback position</translation>
    </message>
    <message>
        <source>NothingBufferedYet</source>
        <translation>Nothing is buffered yet.</translation>
    </message>
    <message>
        <source>InstantPlaybackFailed</source>
        <translation>Instant playback failed.</translation>
    </message>
</context>
<context>
    <name>Dashboard</name>
    <message>
        <source>AIDashboard</source>
        <translation>AI Dashboard</translation>
    </message>
    <message>
        <source>Configure</source>
        <translation>Configure</translation>
    </message>
    <message>
        <source>Minimise</source>
        <translation>Minimise</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>PluginLoadFailed</source>
        <translation>The dashboard app %1 could not be loaded: %2</translation>
    </message>
    <message>
        <source>BrokerConnecting</source>
        <translation>Alarm broker %1: connecting</translation>
    </message>
    <message>
        <source>BrokerConnected</source>
        <translation>Alarm broker %1: receiving %2</translation>
    </message>
    <message>
        <source>BrokerRetrying</source>
        <translation>Alarm broker %1: %2; retrying</translation>
    </message>
    <message>
        <source>BrokerFailed</source>
        <translation>Alarm broker %1: %2</translation>
    </message>
    <message>
        <source>BrokerStopped</source>
        <translation>Alarm broker %1: stopped</translation>
    </message>
    <message>
        <source>BrokerAlarmsDropped</source>
        <translation>Alarms arrive faster than they can be shown: the oldest waiting alarms are being dropped.</translation>
    </message>
</context>
<context>
    <name>HistoryPanel</name>
    <message>
        <source>AlarmHistory</source>
        <translation>Alarm history</translation>
    </message>
    <message>
        <source>SearchCamera</source>
        <translation>Camera</translation>
    </message>
    <message>
        <source>SearchLinkageId</source>
        <translation>Linkage id</translation>
    </message>
    <message>
        <source>From</source>
        <translation>From</translation>
    </message>
    <message>
        <source>AnyTime</source>
        <translation>Any time</translation>
    </message>
    <message>
        <source>To</source>
        <translation>To</translation>
    </message>
    <message>
        <source>KeepDays</source>
        <translation>Keep days</translation>
    </message>
    <message>
        <source>MaxAlarms</source>
        <translation>Keep alarms</translation>
    </message>
    <message>
        <source>ShowLinkage</source>
        <translation>Show linkage</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>ExportIncident</source>
        <extracomment>Export incident…</extracomment>
        <translation>Export incident…</translation>
    </message>
</context>
<context>
    <name>LinkageCardWidget</name>
    <message>
        <source>LinkageCardWidget</source>
        <translation>LinkageCardWidget</translation>
    </message>
</context>
<context>
    <name>LinkageSetupDlg</name>
    <message>
        <source>Set</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>CammeraLiveViewMode</source>
        <translation>Live view mode</translation>
    </message>
    <message>
        <source>DualChannels</source>
        <translation>Two channels</translation>
    </message>
    <message>
        <source>Three-channel</source>
        <translation>Three channels</translation>
    </message>
    <message>
        <source>DisplayContent</source>
        <translation>Layout</translation>
    </message>
    <message>
        <source>LiveView</source>
        <translation>Live View</translation>
    </message>
    <message>
        <source>PanoramicChannelAlarm</source>
        <translation>Panoramic Channel Alarm</translation>
    </message>
    <message>
        <source>LinkageChannelAlarm</source>
        <translation>Linkage Channel Alarm</translation>
    </message>
    <message>
        <source>SavePicture</source>
        <translation>Save pictures</translation>
    </message>
    <message>
        <source>CapturePath</source>
        <translation>Picture folder</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>UndoMerge</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>LinkageSnapAlarm::CAlarmHistory</name>
    <message>
        <source>HistoryDatabaseDamaged</source>
        <translation>The alarm history was damaged and was set aside; a new one has been started.</translation>
    </message>
    <message>
        <source>HistoryDatabaseLocked</source>
        <translation>The alarm history is in use by another program; alarms are kept once it is free.</translation>
    </message>
    <message>
        <source>HistoryDiskFull</source>
        <translation>The disk is full: the alarm history keeps no more alarms until there is space.</translation>
    </message>
    <message>
        <source>HistoryAlarmsNotKept</source>
        <translation>Alarms came faster than the history could keep them; some were not kept.</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Cameras</source>
        <translation>Cameras</translation>
    </message>
    <message>
        <source>LinkageId</source>
        <translation>Linkage id</translation>
    </message>
    <message>
        <source>Alarms</source>
        <translation>Alarms</translation>
    </message>
    <message>
        <source>Cards</source>
        <translation>Cards</translation>
    </message>
    <message>
        <source>LinkagesListed</source>
        <translation>Linkages: %1</translation>
    </message>
    <message>
        <source>AlarmHistory</source>
        <translation>Alarm history</translation>
    </message>
</context>
<context>
    <name>LinkageSnapAlarm::CGroupTreeWidget</name>
    <message>
        <source>CameraPanel</source>
        <extracomment>Accessible name of the panel: &quot;Camera panel&quot;</extracomment>
        <translation>Camera panel</translation>
    </message>
    <message>
        <source>CameraTree</source>
        <extracomment>Accessible name of the tree: &quot;Cameras&quot;</extracomment>
        <translation>Cameras</translation>
    </message>
    <message>
        <source>CameraTreeHelp</source>
        <extracomment>&quot;Enter starts the camera in the selected live window. Right and Left open and close a group.&quot;</extracomment>
        <translation>Enter starts the camera in the selected live window. Right and Left open and close a group.</translation>
    </message>
    <message>
        <source>CameraSearch</source>
        <extracomment>Accessible name of the search box: &quot;Search cameras&quot;</extracomment>
        <translation>Search cameras</translation>
    </message>
    <message>
        <source>CameraSearchHelp</source>
        <extracomment>&quot;Ctrl+F comes here. Type to filter the cameras; Down moves into the list, Escape clears the search.&quot;</extracomment>
        <translation>Ctrl+F comes here. Type to filter the cameras; Down moves into the list, Escape clears the search.</translation>
    </message>
</context>
<context>
    <name>LinkageSnapAlarm::CLinkageCameraModel</name>
    <message>
        <source>All</source>
        <translation>All</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Live view</translation>
    </message>
    <message>
        <source>ViewAllCamerasInGroup</source>
        <translation>Live view</translation>
    </message>
</context>
<context>
    <name>LinkageSnapAlarm::CLinkageSetupDlg</name>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>ExportPicture</source>
        <translation>Choose the picture folder</translation>
    </message>
    <message>
        <source>NoEnoughFreeSpace</source>
        <translation>Not enough free disk space in this folder (at least 2 GB needed).</translation>
    </message>
    <message>
        <source>NoAccessToThisFolder</source>
        <translation>Pictures cannot be written to this folder.</translation>
    </message>
    <message>
        <source>SaveFailed</source>
        <translation>The settings could not be saved.</translation>
    </message>
    <message>
        <source>Saved</source>
        <translation>Settings saved.</translation>
    </message>
    <message>
        <source>SettingsDatabaseDamaged</source>
        <translation>The settings file was damaged. It has been kept aside and default settings are in use.</translation>
    </message>
    <message>
        <source>SettingsNotAvailableYet</source>
        <translation>The settings cannot be read yet (another program holds them). They are applied as soon as they can be read.</translation>
    </message>
    <message>
        <source>AlarmHistory</source>
        <translation>Alarm history</translation>
    </message>
    <message>
        <source>SetupDialog</source>
        <extracomment>&quot;Linkage view settings&quot;</extracomment>
        <translation>Linkage view settings</translation>
    </message>
    <message>
        <source>SavePictureSwitch</source>
        <extracomment>&quot;Save pictures&quot;</extracomment>
        <translation>Save pictures</translation>
    </message>
    <message>
        <source>SaveFolderField</source>
        <extracomment>&quot;Picture folder&quot;</extracomment>
        <translation>Picture folder</translation>
    </message>
    <message>
        <source>SaveFolderFieldHelp</source>
        <extracomment>&quot;Enter, Space or a click chooses another folder.&quot;</extracomment>
        <translation>Enter, Space or a click chooses another folder.</translation>
    </message>
</context>
<context>
    <name>LinkageSnapAlarm::CLinkageSnapAlarmDlg</name>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>NoEnoughFreeSpace</source>
        <translation>Not enough free disk space to save alarm pictures (at least 2 GB needed).</translation>
    </message>
    <message>
        <source>SavePictureFailed</source>
        <translation>An alarm picture could not be saved. Check the picture folder.</translation>
    </message>
    <message>
        <source>AlarmsNotShown</source>
        <translation>%1 alarms could not be shown: they came faster than the view could take them.</translation>
    </message>
    <message>
        <source>PicturesNotSaved</source>
        <translation>%1 pictures could not be saved: the disk is too slow.</translation>
    </message>
    <message>
        <source>DetailScene</source>
        <translation>Scene</translation>
    </message>
    <message>
        <source>DetailNoPicture</source>
        <translation>No picture</translation>
    </message>
    <message>
        <source>LinkageView</source>
        <extracomment>&quot;Linkage snapshot alarm view&quot;</extracomment>
        <translation>Linkage snapshot alarm view</translation>
    </message>
    <message>
        <source>LiveWindowNumber</source>
        <extracomment>%1: the window&apos;s number from the left. &quot;Live window %1&quot;</extracomment>
        <translation>Live window %1</translation>
    </message>
    <message>
        <source>LiveWindowHelp</source>
        <extracomment>&quot;Left and Right select the next window. Ctrl+Shift+S screenshot, Ctrl+Shift+R recording, Ctrl+Shift+A sound, Ctrl+Shift+P PTZ, Ctrl+Shift+D digital zoom; Escape leaves PTZ or digital zoom; Shift+F10 opens the menu.&quot;</extracomment>
        <translation>Left and Right select the next window. Ctrl+Shift+S screenshot, Ctrl+Shift+R recording, Ctrl+Shift+A sound, Ctrl+Shift+P PTZ, Ctrl+Shift+D digital zoom; Escape leaves PTZ or digital zoom; Shift+F10 opens the menu.</translation>
    </message>
    <message>
        <source>ScenePicture</source>
        <extracomment>&quot;Scene picture of the panoramic alarm&quot;</extracomment>
        <translation>Scene picture of the panoramic alarm</translation>
    </message>
    <message>
        <source>ExportIncident</source>
        <extracomment>&quot;Export incident…&quot;</extracomment>
        <translation>Export incident…</translation>
    </message>
    <message>
        <source>ExportTitle</source>
        <extracomment>&quot;Export incident&quot;</extracomment>
        <translation>Export incident</translation>
    </message>
    <message>
        <source>ExportFolder</source>
        <extracomment>&quot;Folder&quot;</extracomment>
        <translation>Folder</translation>
    </message>
    <message>
        <source>ExportBrowse</source>
        <extracomment>&quot;Browse…&quot;</extracomment>
        <translation>Browse…</translation>
    </message>
    <message>
        <source>ExportSeconds</source>
        <extracomment>&quot;Seconds of video before and after&quot;</extracomment>
        <translation>Seconds of video before and after</translation>
    </message>
    <message>
        <source>ExportNote</source>
        <extracomment>&quot;Note&quot;</extracomment>
        <translation>Note</translation>
    </message>
    <message>
        <source>ExportStart</source>
        <extracomment>&quot;Export&quot;</extracomment>
        <translation>Export</translation>
    </message>
    <message>
        <source>ExportCancel</source>
        <extracomment>&quot;Cancel&quot;</extracomment>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>ExportNoAlarm</source>
        <extracomment>&quot;There is no alarm to export.&quot;</extracomment>
        <translation>There is no alarm to export.</translation>
    </message>
    <message>
        <source>ExportFolderFailed</source>
        <extracomment>&quot;The export cannot be written to %1.&quot;</extracomment>
        <translation>The export cannot be written to %1.</translation>
    </message>
    <message>
        <source>ExportNotEnoughSpace</source>
        <extracomment>&quot;Not enough free space for the export: %1 MiB needed, %2 MiB free.&quot;</extracomment>
        <translation>Not enough free space for the export: %1 MiB needed, %2 MiB free.</translation>
    </message>
    <message>
        <source>ExportPictures</source>
        <extracomment>&quot;Writing the pictures&quot;</extracomment>
        <translation>Writing the pictures</translation>
    </message>
    <message>
        <source>ExportWaiting</source>
        <extracomment>&quot;Waiting for the video after the last alarm (%1 s)&quot;</extracomment>
        <translation>Waiting for the video after the last alarm (%1 s)</translation>
    </message>
    <message>
        <source>ExportClip</source>
        <extracomment>&quot;Writing the clip of %1&quot;</extracomment>
        <translation>Writing the clip of %1</translation>
    </message>
    <message>
        <source>ExportHashing</source>
        <extracomment>&quot;Computing the checksums&quot;</extracomment>
        <translation>Computing the checksums</translation>
    </message>
    <message>
        <source>ExportDone</source>
        <extracomment>&quot;Exported to %1&quot;</extracomment>
        <translation>Exported to %1</translation>
    </message>
    <message>
        <source>ExportCancelled</source>
        <extracomment>&quot;The export was cancelled; nothing was written.&quot;</extracomment>
        <translation>The export was cancelled; nothing was written.</translation>
    </message>
    <message>
        <source>ExportMissing</source>
        <extracomment>&quot;Without video: %1&quot;</extracomment>
        <translation>Without video: %1</translation>
    </message>
    <message>
        <source>ExportBusy</source>
        <extracomment>&quot;An export is running already.&quot;</extracomment>
        <translation>An export is running already.</translation>
    </message>
</context>
<context>
    <name>LinkageSnapAlarm::CRightShrinkWid</name>
    <message>
        <source>ShrinkOrExpand</source>
        <translation>Show or hide the camera list</translation>
    </message>
</context>
<context>
    <name>LinkageSnapAlarm::CShowCardArea</name>
    <message>
        <source>SnapshotCards</source>
        <extracomment>Accessible name of the strip: &quot;Snapshot cards&quot;</extracomment>
        <translation>Snapshot cards</translation>
    </message>
    <message>
        <source>SnapshotCardsHelp</source>
        <extracomment>&quot;Newest card first. Left and Right (Up and Down in a column) move between cards, Home and End go to the newest and the oldest.&quot;</extracomment>
        <translation>Newest card first. Left and Right (Up and Down in a column) move between cards, Home and End go to the newest and the oldest.</translation>
    </message>
    <message>
        <source>SnapshotCard</source>
        <extracomment>Accessible name of one card: &quot;Snapshot card&quot;</extracomment>
        <translation>Snapshot card</translation>
    </message>
</context>
<context>
    <name>LinkageSnapAlarmDlg</name>
    <message>
        <source>LiveView</source>
        <translation>Live View</translation>
    </message>
    <message>
        <source>PanoramicChannelAlarm</source>
        <translation>Panoramic Channel Alarm</translation>
    </message>
    <message>
        <source>LinkageChannelAlarm</source>
        <translation>Linkage Channel Alarm</translation>
    </message>
</context>
<context>
    <name>Miravel::CErrorInfoMgr</name>
    <message>
        <source>UnknownError</source>
        <translation>Unknown error</translation>
    </message>
    <message>
        <source>InvalidStreamAddress</source>
        <translation>The stream address is not valid</translation>
    </message>
    <message>
        <source>StreamFailed</source>
        <translation>The stream failed</translation>
    </message>
    <message>
        <source>ConnectionTimedOut</source>
        <translation>The camera did not answer in time</translation>
    </message>
    <message>
        <source>NoCamera</source>
        <translation>No camera</translation>
    </message>
    <message>
        <source>StreamHasNoAudio</source>
        <translation>The stream has no sound</translation>
    </message>
    <message>
        <source>NoLiveStream</source>
        <translation>No live stream</translation>
    </message>
    <message>
        <source>CannotWriteFile</source>
        <translation>The file could not be written</translation>
    </message>
</context>
<context>
    <name>NoDataWidget</name>
    <message>
        <source>NoData</source>
        <translation>No data</translation>
    </message>
    <message>
        <source>NoDataWidget</source>
        <translation>NoDataWidget</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>LinkageSnapshotAlarm</source>
        <translation>Linkage Snapshot Alarm</translation>
    </message>
    <message>
        <source>NoPermission</source>
        <translation>You have no permission for this operation.</translation>
    </message>
</context>
<context>
    <name>ShowCardArea</name>
    <message>
        <source>ShowCardArea</source>
        <translation>ShowCardArea</translation>
    </message>
</context>
<context>
    <name>ShowPicWidget</name>
    <message>
        <source>ShowPicWidget</source>
        <translation>ShowPicWidget</translation>
    </message>
</context>
<context>
    <name>TesselGUIToolkit::CLocationViewWidget</name>
    <message>
        <source>Search</source>
        <translation>Search cameras (Ctrl+F)</translation>
    </message>
    <message>
        <source>ClearSearch</source>
        <translation>Clear the search</translation>
    </message>
</context>
<context>
    <name>Vantrel::CBasePreview</name>
    <message>
        <source>UnknownTestPattern</source>
        <translation>Unknown test pattern</translation>
    </message>
    <message>
        <source>FileNotFound</source>
        <translation>File not found</translation>
    </message>
    <message>
        <source>MissingMediaComponent</source>
        <translation>A media component is missing</translation>
    </message>
</context>
<context>
    <name>tovaris::CAIExpandTreeView</name>
    <message>
        <source>ExpandAll</source>
        <translation>Expand all</translation>
    </message>
    <message>
        <source>CollapseAll</source>
        <translation>Collapse all</translation>
    </message>
</context>
</TS>
