<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB">
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
    <name>NoDataWidget</name>
    <message><source>NoData</source><translation>No data</translation></message>
</context>
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
</context>
<context>
    <name>LinkageSnapAlarm::CRightShrinkWid</name>
    <message>
        <source>ShrinkOrExpand</source>
        <translation>Show or hide the camera list</translation>
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
