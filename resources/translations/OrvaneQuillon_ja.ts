<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>AppBuild</name>
    <message>
        <source>Application version: %1 (Build %2)</source>
        <comment>software version and build number</comment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SV_Information_DialogClass</name>
    <message>
        <source>Log</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Tessel</name>
    <message>
        <source>Broadcast search LAN interface:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search network for displays </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update firmware via LAN</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create firmware USB drive for selected display...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Detected Display List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deselect all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Search network for displays</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refresh display information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Debug</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Broadcast search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Searches for displays on this network segment using UDP Broadcast</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Targeted search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Searches for displays at specific IP addresses</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Configure Targeted search...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create firmware &amp;USB drive by model...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download firmware for offline use...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Selected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel all queued updates via LAN</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Application settings...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Generate file hash info</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear downloaded firmware files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open firmware download folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Log</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Asset Tag column</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show MAC Address column</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check for updates</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>View README</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Open project...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Debug test</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear download cache</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search network for displays (targeted)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel downloads</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>None</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Broadcast search</source>
        <comment>search button menu text</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Targeted search</source>
        <comment>search button menu text</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware update is in progress.

Are you sure you want to quit?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
