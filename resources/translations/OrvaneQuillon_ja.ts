<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>About_Dialog</name>
    <message>
        <source>About Quillon</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copyright © 2019-2026 Halvern Display Solutions. All rights reserved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;a href=&quot;https://www.halvern.example/displays&quot;&gt;Halvern displays&lt;/a&gt; | &lt;a href=&quot;https://support.halvern.example/&quot;&gt;Technical support&lt;/a&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Application version: %1 (Build %2)</source>
        <comment>software version and build number</comment>
        <translation type="unfinished">アプリケーション バージョン: %1 (ビルド %2)</translation>
    </message>
</context>
<context>
    <name>AdvancedIPSearchDialog</name>
    <message>
        <source>Configure Targeted network search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;To scan for displays that may be located on another LAN segment or switch, and not normally accesible using the search function, enter a list of IPv4 addresess to specifically check below.&lt;/p&gt;&lt;ul style=&quot;margin-top: 0px; margin-bottom: 0px; margin-left: 0px; margin-right: 0px; -qt-list-indent: 1;&quot;&gt;&lt;li style=&quot; margin-top:12px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;Enter individual addresses in the format &amp;quot;&lt;span style=&quot; font-weight:700;&quot;&gt;x.x.x.x&lt;/span&gt;&amp;quot;. &lt;/li&gt;&lt;li style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;Add a range of IP addresses from .1 to .254 using a wildcard as the last octet in the format &amp;quot;&lt;span style=&quot; font-weight:700;&quot;&gt;x.x.x.*&lt;/span&gt;&amp;quot;. &lt;/li&gt;&lt;li style=&quot; margin-top:0px; margin-bottom:12px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;Add a range of IP addresses using the format &amp;quot;&lt;span style=&quot; font-weight:700;&quot;&gt;x.x.x.x - x.x.x.x&lt;/span&gt;&amp;quot; or &amp;quot;&lt;span style=&quot; font-weight:700;&quot;&gt;x.x.x.x - x&lt;/span&gt;&amp;quot;. &lt;/li&gt;&lt;/ul&gt;&lt;p&gt;The maximum number of addresses allowed is 4096.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Full IP address search list:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error: Address format error on item %1</source>
        <extracomment>1=item number</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error: Maximum number of addresses exceeded on line %1</source>
        <extracomment>1=item number</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AppBuild</name>
    <message>
        <source>Application version: %1 (Build %2)</source>
        <comment>software version and build number</comment>
        <translation>アプリケーション バージョン: %1 (ビルド %2)</translation>
    </message>
</context>
<context>
    <name>CatalogueMerge</name>
    <message>
        <source>Downloaded %1 firmware definitions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 local file firmware definitions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error %1 downloading firmware definitions. Check Internet connection and restart.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CatalogueStartupFlow</name>
    <message>
        <source>Firmware database version: %1&lt;br&gt;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DownloadExtractFirmware</name>
    <message>
        <source>No error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error: Download file is corrupted (checksum failed).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error: Unable to save the firmware file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error: Unable to delete existing firmware file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>An error occurred while downloading the firmware. Check Internet connectivity and try again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error: Unable to extract the firmware file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown error: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileDownloader</name>
    <message>
        <source>bytes/sec</source>
        <comment>download speed</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>kB/s</source>
        <comment>download speed</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MB/s</source>
        <comment>download speed</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %2</source>
        <comment>1=download speed 2=speed units</comment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MyTableView</name>
    <message>
        <source>Context menu</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refresh display information</source>
        <translation type="unfinished">ディスプレイ情報を更新</translation>
    </message>
    <message>
        <source>Power On</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Power Off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set &quot;Power Save Mode&quot; to &quot;Auto Power Save&quot;</source>
        <comment>right-click menu</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set &quot;Power Save Mode&quot; to &quot;Auto Standby&quot;</source>
        <comment>right-click menu</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Power On</source>
        <comment>right-click menu</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Power Off</source>
        <comment>right-click menu</comment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OptionSetting</name>
    <message>
        <source>Application settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Simultaneous update limit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Limits the number of active firmware updates. If the amount selected for update exceeds this number, the displays queue until others finish.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Single display only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Up to 5 displays (default)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Up to 20 displays</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Legacy display model support</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Applying firmware updates on older legacy models requires extra caution, and updates should only be performed when necessary to resolve a particular issue being experienced that is addressed in a newer firmware release. Please contact technical support for assistance with these models.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enable firmware updates on legacy display models</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SV_Information_DialogClass</name>
    <message>
        <source>Log</source>
        <translation>ログ</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>クリア</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>コピー</translation>
    </message>
</context>
<context>
    <name>SearchOrchestrator</name>
    <message>
        <source>Searching...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Searching... Found %1 display(s) on LAN</source>
        <comment>1=number of displays found</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Found %1 display(s) on LAN</source>
        <comment>1=number of displays</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refreshing display information from %1 display(s)...</source>
        <comment>1=number of displays</comment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Tessel</name>
    <message>
        <source>Broadcast search LAN interface:</source>
        <translation>ブロードキャスト検索 LAN インターフェース:</translation>
    </message>
    <message>
        <source>Search network for displays </source>
        <translation>ネットワーク上のディスプレイを検索 </translation>
    </message>
    <message>
        <source>Update firmware via LAN</source>
        <translation>LAN 経由でファームウェアを更新</translation>
    </message>
    <message>
        <source>Create firmware USB drive for selected display...</source>
        <translation>選択したディスプレイのファームウェア USB ドライブを作成...</translation>
    </message>
    <message>
        <source>Detected Display List</source>
        <translation>検出されたディスプレイ一覧</translation>
    </message>
    <message>
        <source>Deselect all</source>
        <translation>すべて選択解除</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>ツール(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Search network for displays</source>
        <translation>ネットワーク上のディスプレイを検索(&amp;S)</translation>
    </message>
    <message>
        <source>Refresh display information</source>
        <translation>ディスプレイ情報を更新</translation>
    </message>
    <message>
        <source>Debug</source>
        <translation>デバッグ</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>表示(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>終了(&amp;X)</translation>
    </message>
    <message>
        <source>Broadcast search</source>
        <translation>ブロードキャスト検索</translation>
    </message>
    <message>
        <source>Searches for displays on this network segment using UDP Broadcast</source>
        <translation>UDP ブロードキャストでこのネットワーク セグメント上のディスプレイを検索します</translation>
    </message>
    <message>
        <source>Targeted search</source>
        <translation>指定アドレス検索</translation>
    </message>
    <message>
        <source>Searches for displays at specific IP addresses</source>
        <translation>指定した IP アドレスのディスプレイを検索します</translation>
    </message>
    <message>
        <source>&amp;Configure Targeted search...</source>
        <translation>指定アドレス検索の設定(&amp;C)...</translation>
    </message>
    <message>
        <source>Create firmware &amp;USB drive by model...</source>
        <translation>モデルを指定してファームウェア USB ドライブを作成(&amp;U)...</translation>
    </message>
    <message>
        <source>Download firmware for offline use...</source>
        <translation>オフライン用にファームウェアをダウンロード...</translation>
    </message>
    <message>
        <source>Selected</source>
        <translation>選択したディスプレイ</translation>
    </message>
    <message>
        <source>All</source>
        <translation>すべて</translation>
    </message>
    <message>
        <source>Cancel all queued updates via LAN</source>
        <translation>LAN 経由の待機中の更新をすべてキャンセル</translation>
    </message>
    <message>
        <source>Application settings...</source>
        <translation>アプリケーション設定...</translation>
    </message>
    <message>
        <source>Generate file hash info</source>
        <translation>ファイルのハッシュ情報を生成</translation>
    </message>
    <message>
        <source>Clear downloaded firmware files</source>
        <translation>ダウンロード済みファームウェア ファイルを削除</translation>
    </message>
    <message>
        <source>Open firmware download folder</source>
        <translation>ファームウェアのダウンロード フォルダーを開く</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>ログ</translation>
    </message>
    <message>
        <source>Show Asset Tag column</source>
        <translation>資産タグ列を表示</translation>
    </message>
    <message>
        <source>Show MAC Address column</source>
        <translation>MAC アドレス列を表示</translation>
    </message>
    <message>
        <source>About...</source>
        <translation>バージョン情報...</translation>
    </message>
    <message>
        <source>Check for updates</source>
        <translation>更新を確認</translation>
    </message>
    <message>
        <source>View README</source>
        <translation>README を表示</translation>
    </message>
    <message>
        <source>&amp;Open project...</source>
        <translation>プロジェクトを開く(&amp;O)...</translation>
    </message>
    <message>
        <source>&amp;Update</source>
        <translation>更新(&amp;U)</translation>
    </message>
    <message>
        <source>Debug test</source>
        <translation>デバッグ テスト</translation>
    </message>
    <message>
        <source>Clear download cache</source>
        <translation>ダウンロード キャッシュを削除</translation>
    </message>
    <message>
        <source>Search network for displays (targeted)</source>
        <translation>ネットワーク上のディスプレイを検索 (指定アドレス)</translation>
    </message>
    <message>
        <source>Cancel downloads</source>
        <translation>ダウンロードをキャンセル</translation>
    </message>
    <message>
        <source>None</source>
        <translation>なし</translation>
    </message>
    <message>
        <source>Broadcast search</source>
        <comment>search button menu text</comment>
        <translation>ブロードキャスト検索</translation>
    </message>
    <message>
        <source>Targeted search</source>
        <comment>search button menu text</comment>
        <translation>指定アドレス検索</translation>
    </message>
    <message>
        <source>Firmware update is in progress.

Are you sure you want to quit?</source>
        <translation>ファームウェアの更新中です。

終了してもよろしいですか?</translation>
    </message>
    <message>
        <source>%1. %2&lt;br&gt;</source>
        <comment>1=counter for fw change list 2=text for change information</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No newer updates are available. You are using the latest version.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;br&gt;The following changes have been made in this version:&lt;br&gt;%1&lt;br&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;html&gt;A newer version %1 is &lt;a href=&quot;%2&quot;&gt;available for download&lt;/a&gt;.%3&lt;/html&gt;</source>
        <comment>1=latest version 2=URL link 3=changes list</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error: Unable to retrieve latest version information.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Files to clear</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Files cleared</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ReadMe.html</source>
        <comment>name of localized README file</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to open README file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Newer application needed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Application build %1 is required to update this display via LAN. Please update this application to the latest version.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Updating...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; The firmware update is in progress.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Queued...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; The firmware update is queued and is waiting for other displays to finish.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Success</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; The firmware has been successfully updated.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; An error occurred during the firmware update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;%1&apos; See the &lt;img src=&quot;%2&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Log output for details. Check network connection and display power status, then attempt the firmware update again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Error: The display is currently locked</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please login to the display here &lt;a href=&quot;http://%1/&quot;&gt;%1&lt;/a&gt; to unlock it and allow firmware updates, then search the network again or refresh the display information (&lt;img src=&quot;%3&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; right-click the table row, or select from the &lt;b&gt;&apos;Tools&apos;&lt;/b&gt; menu). The USER NAME is the MONITOR NAME (default is &lt;b&gt;&apos;%2&apos;&lt;/b&gt; unless changed).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Error: The IP address for the Firmware update is unreachable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This can be because:&lt;br&gt;1. The display is currently powered off or is in the process of initializing. Power on the display (click the power icon in the table above and select &lt;b&gt;&apos;Power On&apos;&lt;/b&gt;) and allow a few seconds to initialize, then search the network again.&lt;br&gt;2. The display was powered off when the network was searched. Search the network again.&lt;br&gt;3. The IP address of the &apos;Media Player&apos; (used by the firmware update) is not correctly configured on the display. Please configure the IP address here &lt;a href=&quot;http://%1/&quot;&gt;%1&lt;/a&gt;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Info: Display information not available while Power is Off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This display model requires to be powered on to report all display information. Change the Power State to &lt;b&gt;&apos;On&apos;&lt;/b&gt; and refresh the display information (&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; right-click the table row, or select from the &lt;b&gt;&apos;Tools&apos;&lt;/b&gt; menu).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Info: Display information not available when using the S-Format command setting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This display model requires the &lt;b&gt;&apos;Command Format&apos;&lt;/b&gt; setting on the display to be set to &lt;b&gt;&apos;N-Format&apos;&lt;/b&gt; to use this software. Please make sure the correct &lt;b&gt;&apos;Command Format&apos;&lt;/b&gt; setting is selected on the display.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Info: Manual AC power cycle required to complete the firmware update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please manually cycle the display&apos;s AC power to complete the update process.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Error: Power State is Off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>To update the firmware, this display must be powered on. Click the &apos;Power State entry in the table to change it to &lt;b&gt;&apos;On&apos;&lt;/b&gt;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Info: Manual setting of &lt;b&gt;&apos;Power Save Mode&apos;&lt;/b&gt; required after update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The display&apos;s Power Save Mode is &lt;b&gt;&apos;%1&apos;&lt;/b&gt; and will be automatically changed to &lt;b&gt;&apos;Off&apos;&lt;/b&gt; as the firmware update is applied. Please manually change this setting back once the firmware update is complete (&lt;img src=&quot;%2&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; right-click the table row and select the Power Save Mode).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto Power Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto Standby</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Info: Manual AC power cycle required after update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The display will require a manual AC power cycle after the firmware update is complete.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>✅Firmware is up to date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Currently installed firmware version %1 is the latest available. It is not necessary to update the firmware.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No firmware available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is currently no firmware available for this display model.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to compare firmware versions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The current firmware version cannot be determined.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Error: Unable to communicate with display</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The display may be powered off or is in the process of initializing. Power on the display (click the power icon in the table above and select &lt;b&gt;&apos;Power On&apos;&lt;/b&gt;) and allow a few seconds to initialize, then search the network again or refresh the display information (&lt;img src=&quot;%2&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; right-click the table row and select &lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; &lt;b&gt;&apos;Refresh display information&apos;&lt;/b&gt;, or select from the &lt;b&gt;&apos;Tools&apos;&lt;/b&gt; menu)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>🆕New firmware %1 available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New firmware version %1 is available for this display. Currently installed firmware is version %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>⚠️Unable to download firmware definitions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check the Internet connection and restart this application.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select a row in the table above to see details of a detected display</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Right-click a row for additional operations and settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Didn&apos;t find a display?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>If the display is located on another subnet, or across a VPN, managed switch, or router, use the &lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; &lt;b&gt;&apos;Configure Targeted network search&apos;&lt;/b&gt; function on the &lt;b&gt;&apos;Tools&apos;&lt;/b&gt; menu and enter the IP addresses to search, then use &lt;img src=&quot;%2&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; &lt;b&gt;&apos;Targeted search&apos;&lt;/b&gt;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create a firmware USB drive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create a USB drive with the latest firmware for a supported display model and update it via the display&apos;s USB port. Use &lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt;&lt;b&gt;&apos;Create firmware USB drive by model&apos;&lt;/b&gt; on the &lt;b&gt;&apos;Tools&apos;&lt;/b&gt; menu.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>📋Firmware Change List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All changes from the installed version %1 to the latest version %2:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Approximate time to update firmware</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update via LAN</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <comment>1=update time in minutes</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Supported</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not supported</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Requires manual AC power cycle after LAN update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No</source>
        <comment>ManualPowerCycleRequired</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Yes</source>
        <comment>ManualPowerCycleRequired</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>N/A</source>
        <comment>ManualPowerCycleRequired unknown</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update via USB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware Update Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware Update Power LED sequence</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>In progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Finished (waiting for restart)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Normal operation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Other</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Model</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MAC Address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Main IP address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware update IP address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>N/A</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Component</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Main</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Current</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware Version Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>📖Product Documentation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create firmware USB drive for %1 display...</source>
        <comment>1=model name</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open File Location</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File does not exist</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UpdateStatusText</name>
    <message>
        <source>Status: %1</source>
        <comment>1=number (for unknown status type)</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Upload failed. Retrying...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error: Upload retry failed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error: Timeout.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error: Unable to upload file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error: Unable to communicate via HTTP.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Idle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Queued</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Running</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Complete.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error: Update failed.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UpdateWarningMessageDialog</name>
    <message>
        <source>Firmware Update Cautions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please carefully read the following caution items before perfoming a firmware update:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;body&gt;&lt;p&gt;1. Only update the firmware when the new version brings functions, fixes or security updates that you need.&lt;/p&gt;&lt;p&gt;2. Make sure you have physical access to the displays, in case a display needs to be recovered by hand.&lt;/p&gt;&lt;p&gt;3. Prepare contingency plans for displays that are used for critical applications or schedules.&lt;/p&gt;&lt;p&gt;4. Do not switch off or disconnect the power of a display while its firmware is being updated.&lt;/p&gt;&lt;p&gt;5. Do not close this application while a firmware update is in progress.&lt;/p&gt;&lt;p&gt;6. Do not disconnect the network while a firmware update is in progress.&lt;/p&gt;&lt;p&gt;7. When updating many displays, test the update first on one or a few of them.&lt;/p&gt;&lt;p&gt;8. Displays connected in a daisy chain through the built-in LAN hub: do not switch off a display that has finished while displays further along the chain are still updating.&lt;/p&gt;&lt;p&gt;9. Reduce other heavy network traffic while updating.&lt;/p&gt;&lt;p&gt;10. Take extra care when updating over a VPN or a remote network.&lt;/p&gt;&lt;p&gt;11. On some models the progress may stay at 0% for several minutes. This is normal.&lt;/p&gt;&lt;p&gt;12. Some displays may briefly flash the &amp;quot;Finished&amp;quot; power LED sequence during the update. Check the Status column to see when the update has really finished.&lt;/p&gt;&lt;p&gt;13. A negative time estimate does not mean that the update failed. A failed update eventually times out and is reported in the Status column.&lt;/p&gt;&lt;p&gt;14. Temporarily disable the display&apos;s SECURITY PASSWORD function if a lock password would otherwise be needed.&lt;/p&gt;&lt;p&gt;15. Keep the PC from restarting, sleeping or installing operating-system updates while a firmware update is in progress.&lt;/p&gt;&lt;p&gt;16. On some models the &amp;quot;HTTP SERVER&amp;quot; is enabled temporarily during the update and may stay enabled after a failed update. Check the log for details.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I have read and understood these caution items</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>displayListModel</name>
    <message>
        <source>Right-click to refresh Display Information or change Power State</source>
        <comment>tool tip</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Power On</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Standby</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Suspend</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Row%1, Column%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update</source>
        <comment>action column - update</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Overwrite</source>
        <comment>action column - if fw is same</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New version %1 available</source>
        <comment>1=new version number</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1% Downloading</source>
        <comment>1=download percentage</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version info not available from the display</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>None available for this model</source>
        <comment>no FW available</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to compare versions</source>
        <comment>fw version comparison failed</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Up-to-date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downloaded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New version %1 downloaded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown</source>
        <comment>unable to check fw version</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Need newer application build %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error: Display is currently locked.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error: Firmware update IP address is unreachable.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Power On required to report display information.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to communicate with display.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Power state must be &quot;On&quot; to update firmware.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Power Save Mode will be changed to &quot;Off&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware updates on legacy models is disabled. See Application settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update via USB only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Success. Please manually cycle the display&apos;s AC power.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Success</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Uploading</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Updating</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Completed: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Estimated time remaining: %1:%2</source>
        <comment>1=min 2=sec</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Updating %1% %2%3</source>
        <comment>1=update percent complete 2=FW name 3=remaining time</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Uploading %1% %2%3</source>
        <comment>1=upload percent complete 2=FW name 3=remaining time</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Uploading %1% %2</source>
        <comment>1=upload percent complete 2=remaining time</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Action</source>
        <comment>column title</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Model Name</source>
        <comment>column title</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Serial Number</source>
        <comment>column title</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Asset Tag</source>
        <comment>column title</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP Address</source>
        <comment>column title</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MAC Address</source>
        <comment>column title</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Power State</source>
        <comment>column title</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Current Firmware</source>
        <comment>column title</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware Availability</source>
        <comment>column title</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <comment>column title</comment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>powerLEDBlinkCodeToString</name>
    <message>
        <source>Flashing &lt;font color=&quot;#00ff00&quot;&gt;&lt;b&gt;GREEN&lt;/b&gt;&lt;/font&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Flashing &lt;font color=&quot;green&quot;&gt;&lt;b&gt;GREEN&lt;/b&gt;&lt;/font&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Alternating &lt;font color=&quot;red&quot;&gt;&lt;b&gt;RED&lt;/b&gt;&lt;/font&gt; / &lt;font color=&quot;#00ff00&quot;&gt;&lt;b&gt;GREEN&lt;/b&gt;&lt;/font&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Alternating &lt;font color=&quot;red&quot;&gt;&lt;b&gt;RED&lt;/b&gt;&lt;/font&gt; / &lt;font color=&quot;green&quot;&gt;&lt;b&gt;GREEN&lt;/b&gt;&lt;/font&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Flashing &lt;font color=&quot;red&quot;&gt;&lt;b&gt;&lt;b&gt;RED&lt;/b&gt;&lt;/font&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Flashing &lt;font color=&quot;blue&quot;&gt;&lt;b&gt;BLUE&lt;/b&gt;&lt;/font&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Flashing &lt;font color=&quot;orange&quot;&gt;&lt;b&gt;ORANGE&lt;/b&gt;&lt;/font&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Continuous &lt;font color=&quot;blue&quot;&gt;&lt;b&gt;BLUE&lt;/b&gt;&lt;/font&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
