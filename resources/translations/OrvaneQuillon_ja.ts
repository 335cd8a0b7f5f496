<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>AppBuild</name>
    <message>
        <source>Application version: %1 (Build %2)</source>
        <comment>software version and build number</comment>
        <translation>アプリケーション バージョン: %1 (ビルド %2)</translation>
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
</context>
</TS>
