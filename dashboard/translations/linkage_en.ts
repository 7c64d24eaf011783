<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB">
<context>
    <name>QObject</name>
    <message><source>LinkageSnapshotAlarm</source><translation>Linkage Snapshot Alarm</translation></message>
    <message><source>NoPermission</source><translation>You have no permission for this operation.</translation></message>
</context>
<context>
    <name>LinkageSnapAlarmDlg</name>
    <message><source>LiveView</source><translation>Live View</translation></message>
    <message><source>PanoramicChannelAlarm</source><translation>Panoramic Channel Alarm</translation></message>
    <message><source>LinkageChannelAlarm</source><translation>Linkage Channel Alarm</translation></message>
</context>
<context>
    <name>LinkageSnapAlarm::CLinkageSnapAlarmDlg</name>
    <message><source>Close</source><translation>Close</translation></message>
    <message><source>NoEnoughFreeSpace</source><translation>Not enough free disk space to save alarm pictures (at least 2 GB needed).</translation></message>
</context>
<context>
    <name>Dashboard</name>
    <message><source>AIDashboard</source><translation>AI Dashboard</translation></message>
    <message><source>Configure</source><translation>Configure</translation></message>
    <message><source>Minimise</source><translation>Minimise</translation></message>
    <message><source>Close</source><translation>Close</translation></message>
    <message><source>PluginLoadFailed</source><translation>The dashboard app %1 could not be loaded: %2</translation></message>
</context>
</TS>
