<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>About_Dialog</name>
    <message>
        <source>About Quillon</source>
        <translation>Quillon のバージョン情報</translation>
    </message>
    <message>
        <source>Copyright © 2019-2026 Halvern Display Solutions. All rights reserved.</source>
        <translation>Copyright © 2019-2026 Halvern Display Solutions. All rights reserved.</translation>
    </message>
    <message>
        <source>&lt;a href=&quot;https://www.halvern.example/displays&quot;&gt;Halvern displays&lt;/a&gt; | &lt;a href=&quot;https://support.halvern.example/&quot;&gt;Technical support&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;https://www.halvern.example/displays&quot;&gt;Halvern ディスプレイ&lt;/a&gt; | &lt;a href=&quot;https://support.halvern.example/&quot;&gt;テクニカル サポート&lt;/a&gt;</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Application version: %1 (Build %2)</source>
        <comment>software version and build number</comment>
        <translation>アプリケーション バージョン: %1 (ビルド %2)</translation>
    </message>
</context>
<context>
    <name>AdvancedIPSearchDialog</name>
    <message>
        <source>Configure Targeted network search</source>
        <translation>指定アドレスによるネットワーク検索の設定</translation>
    </message>
    <message>
        <source>Full IP address search list:</source>
        <translation>検索する IP アドレスの一覧:</translation>
    </message>
    <message>
        <source>Clear list</source>
        <translation>一覧をクリア</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Error: Address format error on item %1</source>
        <extracomment>1=item number</extracomment>
        <translation>エラー: 項目 %1 のアドレス形式が正しくありません</translation>
    </message>
    <message>
        <source>Error: Maximum number of addresses exceeded on line %1</source>
        <extracomment>1=item number</extracomment>
        <translation>エラー: %1 行目でアドレスの最大数を超えました</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;To scan for displays that may be located on another LAN segment or switch, and not normally accessible using the search function, enter a list of IPv4 addresses to specifically check below.&lt;/p&gt;&lt;ul style=&quot;margin-top: 0px; margin-bottom: 0px; margin-left: 0px; margin-right: 0px; -qt-list-indent: 1;&quot;&gt;&lt;li style=&quot; margin-top:12px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;Enter individual addresses in the format &amp;quot;&lt;span style=&quot; font-weight:700;&quot;&gt;x.x.x.x&lt;/span&gt;&amp;quot;. &lt;/li&gt;&lt;li style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;Add a range of IP addresses from .1 to .254 using a wildcard as the last octet in the format &amp;quot;&lt;span style=&quot; font-weight:700;&quot;&gt;x.x.x.*&lt;/span&gt;&amp;quot;. &lt;/li&gt;&lt;li style=&quot; margin-top:0px; margin-bottom:12px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;Add a range of IP addresses using the format &amp;quot;&lt;span style=&quot; font-weight:700;&quot;&gt;x.x.x.x - x.x.x.x&lt;/span&gt;&amp;quot; or &amp;quot;&lt;span style=&quot; font-weight:700;&quot;&gt;x.x.x.x - x&lt;/span&gt;&amp;quot;, or a block of addresses in the format &amp;quot;&lt;span style=&quot; font-weight:700;&quot;&gt;x.x.x.x/n&lt;/span&gt;&amp;quot; (for example 192.0.2.0/27). &lt;/li&gt;&lt;/ul&gt;&lt;p&gt;The maximum number of addresses allowed is 4096.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;別の LAN セグメントやスイッチの先にあり、通常の検索機能では見つからないディスプレイを検索するには、確認する IPv4 アドレスの一覧を下に入力してください。&lt;/p&gt;&lt;ul style=&quot;margin-top: 0px; margin-bottom: 0px; margin-left: 0px; margin-right: 0px; -qt-list-indent: 1;&quot;&gt;&lt;li style=&quot; margin-top:12px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;個々のアドレスは &amp;quot;&lt;span style=&quot; font-weight:700;&quot;&gt;x.x.x.x&lt;/span&gt;&amp;quot; の形式で入力します。 &lt;/li&gt;&lt;li style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;最後のオクテットにワイルドカードを使用して &amp;quot;&lt;span style=&quot; font-weight:700;&quot;&gt;x.x.x.*&lt;/span&gt;&amp;quot; の形式で入力すると、.1 から .254 までの IP アドレス範囲を追加できます。 &lt;/li&gt;&lt;li style=&quot; margin-top:0px; margin-bottom:12px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&amp;quot;&lt;span style=&quot; font-weight:700;&quot;&gt;x.x.x.x - x.x.x.x&lt;/span&gt;&amp;quot; または &amp;quot;&lt;span style=&quot; font-weight:700;&quot;&gt;x.x.x.x - x&lt;/span&gt;&amp;quot; の形式で IP アドレス範囲を、&amp;quot;&lt;span style=&quot; font-weight:700;&quot;&gt;x.x.x.x/n&lt;/span&gt;&amp;quot; の形式 (例: 192.0.2.0/27) でアドレスブロックを追加できます。 &lt;/li&gt;&lt;/ul&gt;&lt;p&gt;指定できるアドレスは最大 4096 個です。&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
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
        <translation>%1 件のファームウェア定義をダウンロードしました</translation>
    </message>
    <message>
        <source>%1 local file firmware definitions</source>
        <translation>ローカル ファイルのファームウェア定義: %1 件</translation>
    </message>
    <message>
        <source>Error %1 downloading firmware definitions. Check Internet connection and restart.</source>
        <translation>ファームウェア定義のダウンロード中にエラー %1 が発生しました。インターネット接続を確認して、再起動してください。</translation>
    </message>
</context>
<context>
    <name>CatalogueStartupFlow</name>
    <message>
        <source>Firmware database version: %1&lt;br&gt;</source>
        <translation>ファームウェア データベース バージョン: %1&lt;br&gt;</translation>
    </message>
</context>
<context>
    <name>CommandAvailability</name>
    <message>
        <source>%1: the address for firmware updates cannot be reached — untick it to update the others</source>
        <comment>1=display address</comment>
        <translation>%1: ファームウェア更新用のアドレスに接続できません — 他のディスプレイを更新するには、このディスプレイのチェックを外してください</translation>
    </message>
    <message>
        <source>%1: the display does not answer — untick it to update the others</source>
        <comment>1=display address</comment>
        <translation>%1: ディスプレイが応答しません — 他のディスプレイを更新するには、このディスプレイのチェックを外してください</translation>
    </message>
    <message>
        <source>%1: the display must be powered on to update its firmware — power it on or untick it to update the others</source>
        <comment>1=display address</comment>
        <translation>%1: ファームウェアを更新するにはディスプレイの電源をオンにする必要があります — 電源をオンにするか、他のディスプレイを更新するにはこのディスプレイのチェックを外してください</translation>
    </message>
    <message numerus="yes">
        <source>%1 (and %n more ticked display(s), listed in the button&apos;s tool tip)</source>
        <comment>1=first blocking display&apos;s text</comment>
        <translation>
            <numerusform>%1 (ほかに %n 台のチェック済みディスプレイ。ボタンのツールチップに一覧があります)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CommandLineOptions</name>
    <message>
        <source>Finds large-format displays on the local network and updates their firmware over the LAN or with a USB drive.</source>
        <translation>ローカル ネットワーク上の大型ディスプレイを検出し、LAN 経由または USB ドライブでファームウェアを更新します。</translation>
    </message>
</context>
<context>
    <name>CreateUSBDriveDialog</name>
    <message>
        <source>Create Firmware USB Drive</source>
        <translation>ファームウェア USB ドライブの作成</translation>
    </message>
    <message>
        <source>Firmware Information</source>
        <translation>ファームウェア情報</translation>
    </message>
    <message>
        <source>Firmware version:</source>
        <translation>ファームウェア バージョン:</translation>
    </message>
    <message>
        <source>Firmware revision:</source>
        <translation>ファームウェア リビジョン:</translation>
    </message>
    <message>
        <source>Date released:</source>
        <translation>リリース日:</translation>
    </message>
    <message>
        <source>Applicable display models:</source>
        <translation>対象ディスプレイ モデル:</translation>
    </message>
    <message>
        <source>Product documentation:</source>
        <translation>製品ドキュメント:</translation>
    </message>
    <message>
        <source>Supported USB drive formats:</source>
        <translation>USB ドライブの対応フォーマット:</translation>
    </message>
    <message>
        <source>Space needed on USB drive:</source>
        <translation>USB ドライブの必要空き容量:</translation>
    </message>
    <message>
        <source>Usage restrictions:</source>
        <translation>使用上の制限:</translation>
    </message>
    <message>
        <source>Revision History</source>
        <translation>リビジョン履歴</translation>
    </message>
    <message>
        <source>USB update instructions</source>
        <translation>USB 経由の更新手順</translation>
    </message>
    <message>
        <source>Removable USB drives:</source>
        <translation>リムーバブル USB ドライブ:</translation>
    </message>
    <message>
        <source>Refresh the list of USB drives</source>
        <translation>USB ドライブの一覧を最新の情報に更新します</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>最新の情報に更新</translation>
    </message>
    <message>
        <source>Existing firmware files on the selected drive are deleted before the new files are copied.</source>
        <translation>新しいファイルをコピーする前に、選択したドライブ上の既存のファームウェア ファイルは削除されます。</translation>
    </message>
    <message>
        <source>Copy files</source>
        <translation>ファイルをコピー</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>No suitably formatted USB drives found.</source>
        <translation>適切な形式でフォーマットされた USB ドライブが見つかりません。</translation>
    </message>
    <message>
        <source>Ready.</source>
        <translation>準備完了。</translation>
    </message>
    <message>
        <source>Select a suitably formatted USB drive.</source>
        <translation>適切な形式でフォーマットされた USB ドライブを選択してください。</translation>
    </message>
    <message>
        <source>Existing firmware files on drive %1 will be deleted. Proceed?</source>
        <comment>1=drive name</comment>
        <translation>ドライブ %1 上の既存のファームウェア ファイルは削除されます。続行しますか?</translation>
    </message>
    <message>
        <source>&lt;img src=&quot;:/resources/warning.svg&quot; width=&quot;16&quot; height=&quot;16&quot;&gt;&lt;font color=&quot;red&quot;&gt; </source>
        <comment>formatting for error message</comment>
        <translation>&lt;img src=&quot;:/resources/warning.svg&quot; width=&quot;16&quot; height=&quot;16&quot;&gt;&lt;font color=&quot;red&quot;&gt; </translation>
    </message>
    <message>
        <source>, </source>
        <comment>separator between models</comment>
        <translation>、</translation>
    </message>
    <message>
        <source>Unknown.</source>
        <comment>if can&apos;t determine file size</comment>
        <translation>不明</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <comment>1=file size 2=units</comment>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>bytes</source>
        <comment>file size unit</comment>
        <translation>バイト</translation>
    </message>
    <message>
        <source>None</source>
        <comment>no restrictions</comment>
        <translation>なし</translation>
    </message>
    <message>
        <source> </source>
        <comment>separator for region and description</comment>
        <translation> </translation>
    </message>
    <message>
        <source>&lt;b&gt;Revision %1&lt;/b&gt;</source>
        <translation>&lt;b&gt;リビジョン %1&lt;/b&gt;</translation>
    </message>
    <message>
        <source>&lt;b&gt; (version %1)&lt;/b&gt;</source>
        <translation>&lt;b&gt; (バージョン %1)&lt;/b&gt;</translation>
    </message>
    <message>
        <source>%1&lt;br&gt;&lt;br&gt;</source>
        <comment>separator for USB instruction steps</comment>
        <translation>%1&lt;br&gt;&lt;br&gt;</translation>
    </message>
    <message>
        <source>&lt;i&gt;&lt;b&gt;Step %1&lt;/b&gt;&lt;/i&gt;&lt;br&gt;%2&lt;br&gt;&lt;br&gt;</source>
        <comment>1=step count 2=instructions</comment>
        <translation>&lt;i&gt;&lt;b&gt;手順 %1&lt;/b&gt;&lt;/i&gt;&lt;br&gt;%2&lt;br&gt;&lt;br&gt;</translation>
    </message>
    <message>
        <source>No instructions available.</source>
        <translation>手順の情報はありません。</translation>
    </message>
    <message>
        <source>, </source>
        <comment>separator for file systems</comment>
        <translation>、</translation>
    </message>
    <message>
        <source>No USB drive found</source>
        <translation>USB ドライブが見つかりません</translation>
    </message>
</context>
<context>
    <name>CtlOptions</name>
    <message>
        <source>Exit codes:
  0  done: every display asked for was updated and its version read back, or there was nothing to do
  1  failed: a display was not updated, a search, download or copy failed, or the run was cut short
  2  usage error: nothing was done
  3  update without --yes: nothing was changed

Ctrl-C during an update:
  once   the queued updates are cancelled; the running ones finish and every result is printed
  twice  exits at once and names the displays left mid-update (check them before use); with
         --json, standard output still holds every display&apos;s state as far as it is known
</source>
        <translation>終了コード:
  0  完了: 指定したすべてのディスプレイが更新され、バージョンを読み取って確認できた、または何もする必要がなかった
  1  失敗: 更新されなかったディスプレイがある、検索・ダウンロード・コピーに失敗した、または途中で中断された
  2  使い方の誤り: 何も行っていない
  3  --yes なしの update: 何も変更していない

更新中の Ctrl-C:
  1 回   待機中の更新を取り消します。実行中の更新は最後まで行い、すべての結果を表示します
  2 回   ただちに終了し、更新途中のディスプレイを表示します (使用前に確認してください)。
         --json 指定時も、標準出力には分かっている範囲で全ディスプレイの状態が出力されます
</translation>
    </message>
    <message>
        <source>Finds displays on the LAN and updates their firmware from a script.</source>
        <translation>LAN 上のディスプレイを検出し、スクリプトからファームウェアを更新します。</translation>
    </message>
    <message>
        <source>Shows this help.</source>
        <translation>このヘルプを表示します。</translation>
    </message>
    <message>
        <source>Shows the version.</source>
        <translation>バージョンを表示します。</translation>
    </message>
    <message>
        <source>TEXT</source>
        <translation>TEXT</translation>
    </message>
    <message>
        <source>Displays updated at once: 1, 5 or 20.</source>
        <translation>同時に更新するディスプレイの数: 1、5、20 のいずれか。</translation>
    </message>
    <message>
        <source>N</source>
        <translation>N</translation>
    </message>
    <message>
        <source>Updates the displays; without it update only shows what it would do.</source>
        <translation>ディスプレイを更新します。省略すると、update は実行内容を表示するだけです。</translation>
    </message>
    <message>
        <source>Results as JSON on standard output.</source>
        <translation>結果を JSON 形式で標準出力に出力します。</translation>
    </message>
    <message>
        <source>A model name.</source>
        <translation>モデル名。</translation>
    </message>
    <message>
        <source>NAME</source>
        <translation>NAME</translation>
    </message>
    <message>
        <source>The model variant text of the release.</source>
        <translation>リリースのモデル バリエーションのテキスト。</translation>
    </message>
    <message>
        <source>The region text of the release.</source>
        <translation>リリースの地域のテキスト。</translation>
    </message>
    <message>
        <source>The root folder of the mounted drive.</source>
        <translation>マウントされたドライブのルート フォルダー。</translation>
    </message>
    <message>
        <source>ROOT</source>
        <translation>ROOT</translation>
    </message>
    <message>
        <source>No command given.</source>
        <translation>コマンドが指定されていません。</translation>
    </message>
    <message>
        <source>Unexpected argument: %1</source>
        <translation>予期しない引数: %1</translation>
    </message>
    <message>
        <source>Unknown command: %1</source>
        <translation>不明なコマンド: %1</translation>
    </message>
    <message>
        <source>The %1 command takes no --%2.</source>
        <translation>%1 コマンドに --%2 は指定できません。</translation>
    </message>
    <message>
        <source>--targets: item %1 brings the list over %2 addresses.</source>
        <translation>--targets: 項目 %1 でアドレスの数が上限の %2 個を超えます。</translation>
    </message>
    <message>
        <source>--targets: the text names no address.</source>
        <translation>--targets: アドレスが 1 つも指定されていません。</translation>
    </message>
    <message>
        <source>--limit must be 1, 5 or 20, not %1.</source>
        <translation>--limit には 1、5、20 のいずれかを指定してください (指定値: %1)。</translation>
    </message>
    <message>
        <source>The %1 command needs --model.</source>
        <translation>%1 コマンドには --model が必要です。</translation>
    </message>
    <message>
        <source>The usb command takes one --model.</source>
        <translation>usb コマンドに指定できる --model は 1 つだけです。</translation>
    </message>
    <message>
        <source>The usb command needs --drive.</source>
        <translation>usb コマンドには --drive が必要です。</translation>
    </message>
    <message>
        <source>Updates one display of each model first; the others start once it is back on the new version.</source>
        <translation>各モデルのディスプレイ 1 台を先に更新し、新しいバージョンで戻ったことを確認してから残りを開始します。</translation>
    </message>
    <message>
        <source>Starts no more displays after N failures (0 = never, up to 99).</source>
        <translation>N 件の失敗の後はディスプレイの更新を開始しません (0 = 停止しない、最大 99)。</translation>
    </message>
    <message>
        <source>--max-failures must be a number from 0 to 99, not %1.</source>
        <translation>--max-failures には 0 から 99 の数を指定してください (指定値: %1)。</translation>
    </message>
    <message>
        <source>Updates started on or after this date (YYYY-MM-DD) or time.</source>
        <translation>この日付 (YYYY-MM-DD) または時刻以降に開始した更新。</translation>
    </message>
    <message>
        <source>DATE</source>
        <translation>DATE</translation>
    </message>
    <message>
        <source>Updates of the display with this serial number.</source>
        <translation>このシリアル番号のディスプレイの更新。</translation>
    </message>
    <message>
        <source>S</source>
        <translation>S</translation>
    </message>
    <message>
        <source>Updates of the display at this address.</source>
        <translation>このアドレスのディスプレイの更新。</translation>
    </message>
    <message>
        <source>A</source>
        <translation>A</translation>
    </message>
    <message>
        <source>The updates of one batch (its id in the JSON).</source>
        <translation>1 回の一括更新の更新 (JSON の batch の ID)。</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Only updates that were interrupted.</source>
        <translation>中断された更新のみ。</translation>
    </message>
    <message>
        <source>search, update, download, usb, report or history</source>
        <translation>search、update、download、usb、report、history のいずれか</translation>
    </message>
    <message>
        <source>--since must be a date (YYYY-MM-DD) or a time (YYYY-MM-DDTHH:MM), not %1.</source>
        <translation>--since には日付 (YYYY-MM-DD) または時刻 (YYYY-MM-DDTHH:MM) を指定してください。%1 は指定できません。</translation>
    </message>
    <message>
        <source>Usage:
  quillonctl search   [--targets TEXT] [--json] [--verbose]
  quillonctl update   [--targets TEXT] [--limit 1|5|20] [--first-per-model] [--max-failures N]
                      [--yes] [--json] [--verbose]
  quillonctl download --model NAME [--model NAME ...] [--json] [--verbose]
  quillonctl usb      --model NAME [--model-variant TEXT] [--region-variant TEXT] --drive ROOT [--verbose]
  quillonctl report merge [--json FILE] [--csv FILE] [SITE=]FILE...
  quillonctl history  [--since DATE] [--serial S] [--address A] [--batch ID] [--interrupted] [--json]
</source>
        <translation>使用法:
  quillonctl search   [--targets TEXT] [--json] [--verbose]
  quillonctl update   [--targets TEXT] [--limit 1|5|20] [--first-per-model] [--max-failures N]
                      [--yes] [--json] [--verbose]
  quillonctl download --model NAME [--model NAME ...] [--json] [--verbose]
  quillonctl usb      --model NAME [--model-variant TEXT] [--region-variant TEXT] --drive ROOT [--verbose]
  quillonctl report merge [--json FILE] [--csv FILE] [SITE=]FILE...
  quillonctl history  [--since DATE] [--serial S] [--address A] [--batch ID] [--interrupted] [--json]
</translation>
    </message>
    <message>
        <source>Targeted search of these addresses (e.g. &quot;10.0.4.1 - 40, 10.0.5.*, 10.0.6.0/27&quot;); without it, a broadcast search.</source>
        <translation>指定したアドレスを検索します (例: &quot;10.0.4.1 - 40, 10.0.5.*, 10.0.6.0/27&quot;)。省略するとブロードキャスト検索を行います。</translation>
    </message>
    <message>
        <source>Also the application&apos;s log lines on standard error.</source>
        <translation>アプリケーションのログ行も標準エラー出力に表示します。</translation>
    </message>
    <message>
        <source>--targets: item %1 is not an address, a wildcard, a range or a CIDR block.</source>
        <translation>--targets: 項目 %1 はアドレス、ワイルドカード、範囲、CIDR ブロックのいずれでもありません。</translation>
    </message>
</context>
<context>
    <name>DownloadCommand</name>
    <message>
        <source>No firmware catalogue: nothing can be downloaded.</source>
        <translation>ファームウェア定義がありません: ダウンロードできるものはありません。</translation>
    </message>
    <message>
        <source>No firmware for model %1 can be downloaded for offline use.</source>
        <translation>モデル %1 には、オフライン用にダウンロードできるファームウェアがありません。</translation>
    </message>
    <message>
        <source>Interrupted.</source>
        <translation>中断しました。</translation>
    </message>
    <message>
        <source>Download error</source>
        <translation>ダウンロード エラー</translation>
    </message>
    <message>
        <source>Downloaded</source>
        <translation>ダウンロード済み</translation>
    </message>
</context>
<context>
    <name>DownloadController</name>
    <message>
        <source>Download error</source>
        <translation>ダウンロード エラー</translation>
    </message>
    <message>
        <source>Downloading %1 files</source>
        <comment>1=number of downloads</comment>
        <translation>%1 個のファイルをダウンロードしています</translation>
    </message>
    <message>
        <source>Downloading %1% %2</source>
        <comment>1=progress percentage 2=message</comment>
        <translation>ダウンロード中 %1% %2</translation>
    </message>
    <message>
        <source>Download complete</source>
        <translation>ダウンロードが完了しました</translation>
    </message>
    <message>
        <source>Download canceled</source>
        <translation>ダウンロードをキャンセルしました</translation>
    </message>
</context>
<context>
    <name>DownloadExtractFirmware</name>
    <message>
        <source>No error</source>
        <translation>エラーなし</translation>
    </message>
    <message>
        <source>Error: Download file is corrupted (checksum failed).</source>
        <translation>エラー: ダウンロードしたファイルが破損しています (チェックサムが一致しません)。</translation>
    </message>
    <message>
        <source>Error: Unable to save the firmware file.</source>
        <translation>エラー: ファームウェア ファイルを保存できません。</translation>
    </message>
    <message>
        <source>Error: Unable to delete existing firmware file.</source>
        <translation>エラー: 既存のファームウェア ファイルを削除できません。</translation>
    </message>
    <message>
        <source>An error occurred while downloading the firmware. Check Internet connectivity and try again.</source>
        <translation>ファームウェアのダウンロード中にエラーが発生しました。インターネット接続を確認して、もう一度お試しください。</translation>
    </message>
    <message>
        <source>Error: Unable to extract the firmware file.</source>
        <translation>エラー: ファームウェア ファイルを展開できません。</translation>
    </message>
    <message>
        <source>Unknown error: %1</source>
        <translation>不明なエラー: %1</translation>
    </message>
</context>
<context>
    <name>DownloadFirmwareForOfflineDialog</name>
    <message>
        <source>Download firmware for offline use</source>
        <translation>オフライン用にファームウェアをダウンロード</translation>
    </message>
    <message>
        <source>Download firmware for later use with displays on a LAN that does not have an Internet connection. &lt;br&gt;Select which display models firmware to download. Other models that share the same firmware file will be automatically selected. &lt;br&gt;Disabled items already have the latest firmware version downloaded.</source>
        <translation>インターネットに接続されていない LAN 上のディスプレイで後から使用するために、ファームウェアをダウンロードします。&lt;br&gt;ファームウェアをダウンロードするディスプレイ モデルを選択してください。同じファームウェア ファイルを使用する他のモデルも自動的に選択されます。&lt;br&gt;無効になっている項目は、最新バージョンのファームウェアがダウンロード済みです。</translation>
    </message>
    <message>
        <source>Status:</source>
        <translation>ステータス:</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>ダウンロード</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Checking downloaded firmware...</source>
        <translation>ダウンロード済みのファームウェアを確認しています...</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>準備完了</translation>
    </message>
    <message>
        <source>Ready</source>
        <comment>fw download is complete</comment>
        <translation>準備完了</translation>
    </message>
    <message>
        <source>Firmware download</source>
        <translation>ファームウェアのダウンロード</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Downloading...</source>
        <comment>fw is downloading</comment>
        <translation>ダウンロードしています...</translation>
    </message>
    <message>
        <source>Download error</source>
        <translation>ダウンロード エラー</translation>
    </message>
    <message>
        <source>Download complete</source>
        <translation>ダウンロードが完了しました</translation>
    </message>
    <message>
        <source>Downloaded %1 of %2 files (%3 %4)</source>
        <comment>1=files remaining, 2=total files to download 3=download speed 4=speed units</comment>
        <translation>ダウンロード済み: %1 / %2 ファイル (%3 %4)</translation>
    </message>
    <message>
        <source> (%1)</source>
        <comment>1=info about serial number restriction</comment>
        <translation> (%1)</translation>
    </message>
</context>
<context>
    <name>DurationText</name>
    <message>
        <source>less than a minute</source>
        <translation>1 分未満</translation>
    </message>
    <message numerus="yes">
        <source>%n minute</source>
        <comment>update time</comment>
        <translation>
            <numerusform>%n 分</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n minutes</source>
        <comment>update time</comment>
        <translation>
            <numerusform>%n 分</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FileDownloader</name>
    <message>
        <source>bytes/sec</source>
        <comment>download speed</comment>
        <translation>バイト/秒</translation>
    </message>
    <message>
        <source>kB/s</source>
        <comment>download speed</comment>
        <translation>kB/s</translation>
    </message>
    <message>
        <source>MB/s</source>
        <comment>download speed</comment>
        <translation>MB/s</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <comment>1=download speed 2=speed units</comment>
        <translation>%1 %2</translation>
    </message>
</context>
<context>
    <name>HistoryCommand</name>
    <message>
        <source>No updates in the history.</source>
        <translation>更新履歴はありません。</translation>
    </message>
    <message>
        <source>Started</source>
        <translation>開始</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>アドレス</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>モデル</translation>
    </message>
    <message>
        <source>Serial</source>
        <translation>シリアル</translation>
    </message>
    <message>
        <source>Before</source>
        <translation>更新前</translation>
    </message>
    <message>
        <source>After</source>
        <translation>更新後</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>結果</translation>
    </message>
</context>
<context>
    <name>HistoryReport</name>
    <message>
        <source>Running</source>
        <translation>実行中</translation>
    </message>
    <message>
        <source>Interrupted</source>
        <translation>中断</translation>
    </message>
</context>
<context>
    <name>HistoryTableModel</name>
    <message>
        <source>Started</source>
        <translation>開始</translation>
    </message>
    <message>
        <source>Ended</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>IP Address</source>
        <translation>IP アドレス</translation>
    </message>
    <message>
        <source>Model Name</source>
        <translation>モデル名</translation>
    </message>
    <message>
        <source>Serial Number</source>
        <translation>シリアル番号</translation>
    </message>
    <message>
        <source>Version Before</source>
        <translation>更新前のバージョン</translation>
    </message>
    <message>
        <source>Target Version</source>
        <translation>目標バージョン</translation>
    </message>
    <message>
        <source>Version After</source>
        <translation>更新後のバージョン</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>結果</translation>
    </message>
    <message>
        <source>Package</source>
        <translation>パッケージ</translation>
    </message>
    <message>
        <source>Started From</source>
        <translation>開始元</translation>
    </message>
    <message>
        <source>User</source>
        <translation>ユーザー</translation>
    </message>
</context>
<context>
    <name>InterruptedUpdatesNotice</name>
    <message>
        <source>%1 (%2, serial %3, started %4)</source>
        <translation>%1 (%2、シリアル %3、開始 %4)</translation>
    </message>
    <message>
        <source>An update was interrupted on 1 display on %1 at %2 — check it before switching it off: %3</source>
        <translation>%1 %2 に 1 台のディスプレイの更新が中断されました — 電源を切る前に確認してください: %3</translation>
    </message>
    <message numerus="yes">
        <source>An update was interrupted on %n displays on %1 at %2 — check them before switching them off: %3</source>
        <translation>
            <numerusform>%1 %2 に %n 台のディスプレイの更新が中断されました — 電源を切る前に確認してください: %3</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>LaneEstimate</name>
    <message>
        <source>%1:%2</source>
        <comment>1=minutes 2=seconds</comment>
        <translation>%1:%2</translation>
    </message>
</context>
<context>
    <name>MyTableView</name>
    <message>
        <source>Context menu</source>
        <translation>コンテキスト メニュー</translation>
    </message>
    <message>
        <source>Refresh display information</source>
        <translation>ディスプレイ情報を更新</translation>
    </message>
    <message>
        <source>Power On</source>
        <translation>電源オン</translation>
    </message>
    <message>
        <source>Power Off</source>
        <translation>電源オフ</translation>
    </message>
    <message>
        <source>Set &quot;Power Save Mode&quot; to &quot;Auto Power Save&quot;</source>
        <comment>right-click menu</comment>
        <translation>&quot;省電力モード&quot; を &quot;自動省電力&quot; に設定</translation>
    </message>
    <message>
        <source>Set &quot;Power Save Mode&quot; to &quot;Auto Standby&quot;</source>
        <comment>right-click menu</comment>
        <translation>&quot;省電力モード&quot; を &quot;自動スタンバイ&quot; に設定</translation>
    </message>
    <message>
        <source>Power On</source>
        <comment>right-click menu</comment>
        <translation>電源オン</translation>
    </message>
    <message>
        <source>Power Off</source>
        <comment>right-click menu</comment>
        <translation>電源オフ</translation>
    </message>
</context>
<context>
    <name>OptionSetting</name>
    <message>
        <source>Application settings</source>
        <translation>アプリケーション設定</translation>
    </message>
    <message>
        <source>Simultaneous update limit</source>
        <translation>同時更新数の上限</translation>
    </message>
    <message>
        <source>Limits the number of active firmware updates. If the amount selected for update exceeds this number, the displays queue until others finish.</source>
        <translation>同時に実行するファームウェア更新の数を制限します。更新対象に選択したディスプレイの数がこの値を超える場合、超えた分のディスプレイは他の更新が終わるまで待機します。</translation>
    </message>
    <message>
        <source>Single display only</source>
        <translation>1 台のみ</translation>
    </message>
    <message>
        <source>Up to 5 displays (default)</source>
        <translation>最大 5 台 (既定)</translation>
    </message>
    <message>
        <source>Up to 20 displays</source>
        <translation>最大 20 台</translation>
    </message>
    <message>
        <source>Legacy display model support</source>
        <translation>旧モデルのサポート</translation>
    </message>
    <message>
        <source>Applying firmware updates on older legacy models requires extra caution, and updates should only be performed when necessary to resolve a particular issue being experienced that is addressed in a newer firmware release. Please contact technical support for assistance with these models.</source>
        <translation>旧モデルのファームウェア更新には特に注意が必要です。更新は、新しいファームウェアで解決済みの特定の問題が実際に発生していて、その解決に必要な場合にのみ実行してください。これらのモデルについては、テクニカル サポートにお問い合わせください。</translation>
    </message>
    <message>
        <source>Enable firmware updates on legacy display models</source>
        <translation>旧モデルのファームウェア更新を有効にする</translation>
    </message>
    <message>
        <source>Rollout</source>
        <translation>段階的更新</translation>
    </message>
    <message>
        <source>Keeps a firmware that fails on a model from reaching all of its displays. Displays that were not started stay ticked: Update starts them again.</source>
        <translation>あるモデルで失敗するファームウェアが、そのモデルのすべてのディスプレイに適用されるのを防ぎます。開始されなかったディスプレイはチェックされたまま残り、再度更新すると開始されます。</translation>
    </message>
    <message>
        <source>Update one display of each model first</source>
        <translation>各モデルのディスプレイ 1 台を先に更新する</translation>
    </message>
    <message>
        <source>Stop the batch after this many failures:</source>
        <translation>この件数の失敗で一括更新を停止:</translation>
    </message>
    <message>
        <source>Never</source>
        <translation>停止しない</translation>
    </message>
    <message>
        <source>Firmware server</source>
        <translation>ファームウェア サーバー</translation>
    </message>
    <message>
        <source>The address of the firmware catalogue, for a mirror or an offline server. Leave it empty for the maker&apos;s server. A new address is used from the next start.</source>
        <translation>ファームウェア カタログのアドレスです (ミラーやオフライン サーバー用)。メーカーのサーバーを使う場合は空欄にしてください。新しいアドレスは次回の起動から使われます。</translation>
    </message>
    <message>
        <source>%1 is set and is used instead: %2</source>
        <comment>1=name of the environment variable 2=its address</comment>
        <translation>%1 が設定されているため、こちらが使われます: %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be used as the firmware server. Enter an address that starts with http:// or https:// and names a host, such as https://mirror.example/firmwareupdates/, or leave it empty.</source>
        <translation>「%1」はファームウェア サーバーとして使用できません。http:// または https:// で始まりホスト名を含むアドレス (例: https://mirror.example/firmwareupdates/) を入力するか、空欄にしてください。</translation>
    </message>
</context>
<context>
    <name>QueueRefusal</name>
    <message>
        <source>Not queued: this model cannot be updated via LAN. Use a USB drive.</source>
        <translation>待機リストに追加できません: このモデルは LAN 経由で更新できません。USB ドライブを使用してください。</translation>
    </message>
    <message>
        <source>Not queued: the firmware has %1 files, more than the %2 a LAN update can send.</source>
        <comment>1=number of files 2=maximum</comment>
        <translation>待機リストに追加できません: ファームウェアのファイル数 (%1 個) が、LAN 経由の更新で送信できる数 (%2 個) を超えています。</translation>
    </message>
    <message>
        <source>This model cannot be updated via LAN. Use a USB drive.</source>
        <translation>このモデルは LAN 経由で更新できません。USB ドライブを使用してください。</translation>
    </message>
    <message>
        <source>The firmware has %1 files, more than the %2 a LAN update can send.</source>
        <comment>1=number of files 2=maximum</comment>
        <translation>ファームウェアのファイル数 (%1 個) が、LAN 経由の更新で送信できる数 (%2 個) を超えています。</translation>
    </message>
</context>
<context>
    <name>QuillonEngine</name>
    <message>
        <source>Display list written to %1</source>
        <comment>1=file</comment>
        <translation>ディスプレイ一覧を %1 に書き出しました</translation>
    </message>
    <message>
        <source>Update report written to %1</source>
        <comment>1=file</comment>
        <translation>更新レポートを %1 に書き出しました</translation>
    </message>
</context>
<context>
    <name>ReportFile</name>
    <message>
        <source>Unable to write %1: %2</source>
        <comment>1=file 2=reason</comment>
        <translation>%1 に書き込めません: %2</translation>
    </message>
</context>
<context>
    <name>ReportMerge</name>
    <message>
        <source>an update report</source>
        <translation>更新レポート</translation>
    </message>
    <message>
        <source>a search report</source>
        <translation>検索レポート</translation>
    </message>
    <message>
        <source>a text</source>
        <translation>文字列</translation>
    </message>
    <message>
        <source>a text or null</source>
        <translation>文字列または null</translation>
    </message>
    <message>
        <source>true or false</source>
        <translation>true または false</translation>
    </message>
    <message>
        <source>a whole number</source>
        <translation>整数</translation>
    </message>
    <message>
        <source>the file is empty: the site&apos;s quillonctl ended before it had results (see its log)</source>
        <translation>ファイルが空です: サイトの quillonctl は結果を出す前に終了しました (そのログを参照してください)</translation>
    </message>
    <message>
        <source>not a JSON document (%1 at byte %2)</source>
        <comment>1=parser message 2=offset</comment>
        <translation>JSON ドキュメントではありません (%2 バイト目で %1)</translation>
    </message>
    <message>
        <source>not a list of displays</source>
        <translation>ディスプレイの一覧ではありません</translation>
    </message>
    <message>
        <source>row %1 is not an object</source>
        <translation>%1 行目がオブジェクトではありません</translation>
    </message>
    <message>
        <source>row %1 is neither an update nor a search result</source>
        <translation>%1 行目は更新結果でも検索結果でもありません</translation>
    </message>
    <message>
        <source>row %1 belongs to %2, the rows before it to %3</source>
        <comment>2, 3=kind of report</comment>
        <translation>%1 行目は%2のもので、それより前の行は%3のものです</translation>
    </message>
    <message>
        <source>row %1: &quot;%2&quot; is missing or not %3</source>
        <comment>3=a type, e.g. a text</comment>
        <translation>%1 行目: &quot;%2&quot; がないか、%3ではありません</translation>
    </message>
</context>
<context>
    <name>ReportMergeCommand</name>
    <message>
        <source>cannot be read: %1</source>
        <translation>読み取れません: %1</translation>
    </message>
    <message>
        <source>larger than %1 MiB: not a report</source>
        <translation>%1 MiB を超えています: レポートではありません</translation>
    </message>
    <message>
        <source>Merges the JSON reports of several sites (quillonctl update --json or search --json) into one fleet report whose rows name their site.</source>
        <translation>複数サイトの JSON レポート (quillonctl update --json または search --json) を、各行にサイト名を持つ 1 つのフリートレポートにまとめます。</translation>
    </message>
    <message>
        <source>Shows this help.</source>
        <translation>このヘルプを表示します。</translation>
    </message>
    <message>
        <source>Writes the fleet report as JSON to FILE.</source>
        <translation>フリートレポートを JSON として FILE に書き込みます。</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>FILE</translation>
    </message>
    <message>
        <source>Writes the fleet report as CSV to FILE.</source>
        <translation>フリートレポートを CSV として FILE に書き込みます。</translation>
    </message>
    <message>
        <source>The report command: merge.</source>
        <translation>report のコマンド: merge。</translation>
    </message>
    <message>
        <source>A site&apos;s report. Without SITE= the file&apos;s name without &quot;.json&quot; names the site. Without --json and --csv the fleet report goes to standard output as JSON.</source>
        <translation>サイトのレポート。SITE= がない場合は、ファイル名から &quot;.json&quot; を除いたものがサイト名になります。--json も --csv もない場合、フリートレポートは JSON として標準出力に出力されます。</translation>
    </message>
    <message>
        <source>Usage: </source>
        <translation>使用法: </translation>
    </message>
    <message>
        <source>No report command given.</source>
        <translation>report のコマンドが指定されていません。</translation>
    </message>
    <message>
        <source>Unknown report command: %1</source>
        <translation>不明な report のコマンド: %1</translation>
    </message>
    <message>
        <source>No report file given.</source>
        <translation>レポートファイルが指定されていません。</translation>
    </message>
    <message>
        <source>%1: no site name.</source>
        <translation>%1: サイト名がありません。</translation>
    </message>
    <message>
        <source>%1: no file name.</source>
        <translation>%1: ファイル名がありません。</translation>
    </message>
    <message>
        <source>The site %1 is named twice: %2 and %3.</source>
        <comment>1=site 2, 3=files</comment>
        <translation>サイト %1 が 2 回指定されています: %2 と %3。</translation>
    </message>
    <message>
        <source>No fleet report was written.</source>
        <translation>フリートレポートは書き込まれませんでした。</translation>
    </message>
    <message>
        <source>Merged %1 row(s) of %2 site(s).</source>
        <comment>1=rows 2=sites</comment>
        <translation>%2 サイトの %1 行をまとめました。</translation>
    </message>
</context>
<context>
    <name>RolloutGate</name>
    <message>
        <source>Waiting for the first display of this model</source>
        <translation>このモデルの最初のディスプレイの完了を待っています</translation>
    </message>
    <message>
        <source>Not started: the first display of this model failed</source>
        <translation>未開始: このモデルの最初のディスプレイの更新に失敗しました</translation>
    </message>
    <message>
        <source>Not started: the batch stopped after 1 failure</source>
        <translation>未開始: 1 件の失敗により一括更新を停止しました</translation>
    </message>
    <message>
        <source>Not started: the batch stopped after %1 failures</source>
        <translation>未開始: %1 件の失敗により一括更新を停止しました</translation>
    </message>
</context>
<context>
    <name>SV_Information_Dialog</name>
    <message>
        <source>Save log</source>
        <translation>ログの保存</translation>
    </message>
    <message>
        <source>Text files (*.txt);;All files (*)</source>
        <translation>テキスト ファイル (*.txt);;すべてのファイル (*)</translation>
    </message>
    <message>
        <source>The log could not be saved to %1.</source>
        <comment>1=file path</comment>
        <translation>ログを %1 に保存できませんでした。</translation>
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
    <message>
        <source>Save...</source>
        <translation>保存...</translation>
    </message>
</context>
<context>
    <name>SearchCommand</name>
    <message>
        <source>Interrupted.</source>
        <translation>中断しました。</translation>
    </message>
    <message>
        <source>Search error</source>
        <translation>検索エラー</translation>
    </message>
</context>
<context>
    <name>SearchListing</name>
    <message>
        <source>Address</source>
        <translation>アドレス</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>モデル</translation>
    </message>
    <message>
        <source>Serial</source>
        <translation>シリアル</translation>
    </message>
    <message>
        <source>Power</source>
        <translation>電源</translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation>ファームウェア</translation>
    </message>
    <message>
        <source>Availability</source>
        <translation>提供状況</translation>
    </message>
</context>
<context>
    <name>SearchOrchestrator</name>
    <message>
        <source>Searching...</source>
        <translation>検索しています...</translation>
    </message>
    <message>
        <source>Search error</source>
        <translation>検索エラー</translation>
    </message>
    <message>
        <source>Searching... Found %1 display(s) on LAN</source>
        <comment>1=number of displays found</comment>
        <translation>検索しています... LAN 上で %1 台のディスプレイが見つかりました</translation>
    </message>
    <message>
        <source>Found %1 display(s) on LAN</source>
        <comment>1=number of displays</comment>
        <translation>LAN 上で %1 台のディスプレイが見つかりました</translation>
    </message>
    <message>
        <source>Refreshing display information from %1 display(s)...</source>
        <comment>1=number of displays</comment>
        <translation>%1 台のディスプレイの情報を更新しています...</translation>
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
        <translation>%1. %2&lt;br&gt;</translation>
    </message>
    <message>
        <source>No newer updates are available. You are using the latest version.</source>
        <translation>新しい更新はありません。最新バージョンを使用しています。</translation>
    </message>
    <message>
        <source>&lt;br&gt;The following changes have been made in this version:&lt;br&gt;%1&lt;br&gt;</source>
        <translation>&lt;br&gt;このバージョンでの変更点は次のとおりです:&lt;br&gt;%1&lt;br&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;A newer version %1 is &lt;a href=&quot;%2&quot;&gt;available for download&lt;/a&gt;.%3&lt;/html&gt;</source>
        <comment>1=latest version 2=URL link 3=changes list</comment>
        <translation>&lt;html&gt;新しいバージョン %1 を&lt;a href=&quot;%2&quot;&gt;ダウンロードできます&lt;/a&gt;。%3&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Error: Unable to retrieve latest version information.</source>
        <translation>エラー: 最新バージョンの情報を取得できません。</translation>
    </message>
    <message>
        <source>No Files to clear</source>
        <translation>削除するファイルはありません</translation>
    </message>
    <message>
        <source>Files cleared</source>
        <translation>ファイルを削除しました</translation>
    </message>
    <message>
        <source>ReadMe.html</source>
        <comment>name of localized README file</comment>
        <translation>ReadMe.html</translation>
    </message>
    <message>
        <source>Unable to open README file.</source>
        <translation>README ファイルを開けません。</translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Newer application needed</source>
        <translation>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; 新しいバージョンのアプリケーションが必要です</translation>
    </message>
    <message>
        <source>Application build %1 is required to update this display via LAN. Please update this application to the latest version.</source>
        <translation>LAN 経由でこのディスプレイを更新するには、アプリケーションのビルド %1 が必要です。このアプリケーションを最新バージョンに更新してください。</translation>
    </message>
    <message>
        <source>Checking the version…</source>
        <translation>バージョンを確認しています…</translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; The display has received the firmware and restarts. Its firmware version is being read back; do not switch it off.</source>
        <translation>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; ディスプレイはファームウェアを受け取り、再起動しています。ファームウェアのバージョンを読み取っていますので、電源を切らないでください。</translation>
    </message>
    <message>
        <source>Updating...</source>
        <translation>更新しています...</translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; The firmware update is in progress.</source>
        <translation>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; ファームウェアを更新しています。</translation>
    </message>
    <message>
        <source>Queued...</source>
        <translation>待機中...</translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; The firmware update is queued and is waiting for other displays to finish.</source>
        <translation>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; ファームウェアの更新は待機中です。他のディスプレイの更新が終わるのを待っています。</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>成功</translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; The firmware has been successfully updated.</source>
        <translation>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; ファームウェアは正常に更新されました。</translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; An error occurred during the firmware update</source>
        <translation>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; ファームウェアの更新中にエラーが発生しました</translation>
    </message>
    <message>
        <source>&apos;%1&apos; See the &lt;img src=&quot;%2&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Log output for details. Check network connection and display power status, then attempt the firmware update again.</source>
        <translation>&apos;%1&apos; 詳細は &lt;img src=&quot;%2&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; ログ出力を参照してください。ネットワーク接続とディスプレイの電源状態を確認してから、もう一度ファームウェアを更新してください。</translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Error: The display is currently locked</source>
        <translation>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; エラー: ディスプレイは現在ロックされています</translation>
    </message>
    <message>
        <source>Please login to the display here &lt;a href=&quot;http://%1/&quot;&gt;%1&lt;/a&gt; to unlock it and allow firmware updates, then search the network again or refresh the display information (&lt;img src=&quot;%3&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; right-click the table row, or select from the &lt;b&gt;&apos;Tools&apos;&lt;/b&gt; menu). The USER NAME is the MONITOR NAME (default is &lt;b&gt;&apos;%2&apos;&lt;/b&gt; unless changed).</source>
        <translation>ロックを解除してファームウェアの更新を許可するには、こちら &lt;a href=&quot;http://%1/&quot;&gt;%1&lt;/a&gt; からディスプレイにログインしてください。その後、ネットワークを再検索するか、ディスプレイ情報を更新してください (&lt;img src=&quot;%3&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; 表の行を右クリックするか、&lt;b&gt;&apos;ツール&apos;&lt;/b&gt; メニューから選択します)。USER NAME は MONITOR NAME です (変更していない場合の既定値は &lt;b&gt;&apos;%2&apos;&lt;/b&gt; です)。</translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Error: The IP address for the Firmware update is unreachable</source>
        <translation>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; エラー: ファームウェア更新用の IP アドレスに到達できません</translation>
    </message>
    <message>
        <source>This can be because:&lt;br&gt;1. The display is currently powered off or is in the process of initializing. Power on the display (click the power icon in the table above and select &lt;b&gt;&apos;Power On&apos;&lt;/b&gt;) and allow a few seconds to initialize, then search the network again.&lt;br&gt;2. The display was powered off when the network was searched. Search the network again.&lt;br&gt;3. The IP address of the &apos;Media Player&apos; (used by the firmware update) is not correctly configured on the display. Please configure the IP address here &lt;a href=&quot;http://%1/&quot;&gt;%1&lt;/a&gt;.</source>
        <translation>次の原因が考えられます:&lt;br&gt;1. ディスプレイの電源がオフになっているか、初期化中です。ディスプレイの電源をオンにし (上の表の電源アイコンをクリックして &lt;b&gt;&apos;電源オン&apos;&lt;/b&gt; を選択)、初期化が終わるまで数秒待ってから、ネットワークを再検索してください。&lt;br&gt;2. ネットワークの検索時にディスプレイの電源がオフになっていました。ネットワークを再検索してください。&lt;br&gt;3. ディスプレイで &apos;Media Player&apos; の IP アドレス (ファームウェアの更新に使用) が正しく設定されていません。こちら &lt;a href=&quot;http://%1/&quot;&gt;%1&lt;/a&gt; で IP アドレスを設定してください。</translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Info: Display information not available while Power is Off</source>
        <translation>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; 情報: 電源オフの間はディスプレイ情報を取得できません</translation>
    </message>
    <message>
        <source>This display model requires to be powered on to report all display information. Change the Power State to &lt;b&gt;&apos;On&apos;&lt;/b&gt; and refresh the display information (&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; right-click the table row, or select from the &lt;b&gt;&apos;Tools&apos;&lt;/b&gt; menu).</source>
        <translation>このディスプレイ モデルでは、すべてのディスプレイ情報を取得するには電源がオンになっている必要があります。電源状態を &lt;b&gt;&apos;オン&apos;&lt;/b&gt; に変更して、ディスプレイ情報を更新してください (&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; 表の行を右クリックするか、&lt;b&gt;&apos;ツール&apos;&lt;/b&gt; メニューから選択します)。</translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Info: Display information not available when using the S-Format command setting</source>
        <translation>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; 情報: S-Format のコマンド設定を使用している場合、ディスプレイ情報を取得できません</translation>
    </message>
    <message>
        <source>This display model requires the &lt;b&gt;&apos;Command Format&apos;&lt;/b&gt; setting on the display to be set to &lt;b&gt;&apos;N-Format&apos;&lt;/b&gt; to use this software. Please make sure the correct &lt;b&gt;&apos;Command Format&apos;&lt;/b&gt; setting is selected on the display.</source>
        <translation>このソフトウェアを使用するには、ディスプレイの &lt;b&gt;&apos;Command Format&apos;&lt;/b&gt; 設定を &lt;b&gt;&apos;N-Format&apos;&lt;/b&gt; にする必要があります。ディスプレイで正しい &lt;b&gt;&apos;Command Format&apos;&lt;/b&gt; 設定が選択されていることを確認してください。</translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Info: Manual AC power cycle required to complete the firmware update</source>
        <translation>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; 情報: ファームウェアの更新を完了するには、AC 電源を手動で再投入する必要があります</translation>
    </message>
    <message>
        <source>Please manually cycle the display&apos;s AC power to complete the update process.</source>
        <translation>更新処理を完了するには、ディスプレイの AC 電源を手動で再投入してください。</translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Error: Power State is Off</source>
        <translation>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; エラー: 電源状態がオフです</translation>
    </message>
    <message>
        <source>To update the firmware, this display must be powered on. Click the &apos;Power State entry in the table to change it to &lt;b&gt;&apos;On&apos;&lt;/b&gt;.</source>
        <translation>ファームウェアを更新するには、このディスプレイの電源がオンになっている必要があります。表の &apos;電源状態&apos; の項目をクリックして &lt;b&gt;&apos;オン&apos;&lt;/b&gt; に変更してください。</translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Info: Manual setting of &lt;b&gt;&apos;Power Save Mode&apos;&lt;/b&gt; required after update</source>
        <translation>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; 情報: 更新後に &lt;b&gt;&apos;省電力モード&apos;&lt;/b&gt; の手動設定が必要です</translation>
    </message>
    <message>
        <source>The display&apos;s Power Save Mode is &lt;b&gt;&apos;%1&apos;&lt;/b&gt; and will be automatically changed to &lt;b&gt;&apos;Off&apos;&lt;/b&gt; as the firmware update is applied. Please manually change this setting back once the firmware update is complete (&lt;img src=&quot;%2&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; right-click the table row and select the Power Save Mode).</source>
        <translation>ディスプレイの省電力モードは &lt;b&gt;&apos;%1&apos;&lt;/b&gt; に設定されており、ファームウェアの更新を適用する際に自動的に &lt;b&gt;&apos;オフ&apos;&lt;/b&gt; に変更されます。ファームウェアの更新が完了したら、この設定を手動で元に戻してください (&lt;img src=&quot;%2&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; 表の行を右クリックして省電力モードを選択します)。</translation>
    </message>
    <message>
        <source>Auto Power Save</source>
        <translation>自動省電力</translation>
    </message>
    <message>
        <source>Auto Standby</source>
        <translation>自動スタンバイ</translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Info: Manual AC power cycle required after update</source>
        <translation>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; 情報: 更新後に AC 電源の手動での再投入が必要です</translation>
    </message>
    <message>
        <source>The display will require a manual AC power cycle after the firmware update is complete.</source>
        <translation>ファームウェアの更新が完了した後、ディスプレイの AC 電源を手動で再投入する必要があります。</translation>
    </message>
    <message>
        <source>✅Firmware is up to date</source>
        <translation>✅ファームウェアは最新です</translation>
    </message>
    <message>
        <source>Currently installed firmware version %1 is the latest available. It is not necessary to update the firmware.</source>
        <translation>インストールされているファームウェアのバージョン %1 は、入手可能な最新バージョンです。ファームウェアを更新する必要はありません。</translation>
    </message>
    <message>
        <source>No firmware available</source>
        <translation>利用可能なファームウェアはありません</translation>
    </message>
    <message>
        <source>There is currently no firmware available for this display model.</source>
        <translation>現在、このディスプレイ モデルで利用可能なファームウェアはありません。</translation>
    </message>
    <message>
        <source>Unable to compare firmware versions</source>
        <translation>ファームウェアのバージョンを比較できません</translation>
    </message>
    <message>
        <source>The current firmware version cannot be determined.</source>
        <translation>現在のファームウェアのバージョンを特定できません。</translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Error: Unable to communicate with display</source>
        <translation>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; エラー: ディスプレイと通信できません</translation>
    </message>
    <message>
        <source>The display may be powered off or is in the process of initializing. Power on the display (click the power icon in the table above and select &lt;b&gt;&apos;Power On&apos;&lt;/b&gt;) and allow a few seconds to initialize, then search the network again or refresh the display information (&lt;img src=&quot;%2&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; right-click the table row and select &lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; &lt;b&gt;&apos;Refresh display information&apos;&lt;/b&gt;, or select from the &lt;b&gt;&apos;Tools&apos;&lt;/b&gt; menu)</source>
        <translation>ディスプレイの電源がオフになっているか、初期化中の可能性があります。ディスプレイの電源をオンにし (上の表の電源アイコンをクリックして &lt;b&gt;&apos;電源オン&apos;&lt;/b&gt; を選択)、初期化が終わるまで数秒待ってから、ネットワークを再検索するか、ディスプレイ情報を更新してください (&lt;img src=&quot;%2&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; 表の行を右クリックして &lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; &lt;b&gt;&apos;ディスプレイ情報を更新&apos;&lt;/b&gt; を選択するか、&lt;b&gt;&apos;ツール&apos;&lt;/b&gt; メニューから選択します)</translation>
    </message>
    <message>
        <source>🆕New firmware %1 available</source>
        <translation>🆕新しいファームウェア %1 を利用できます</translation>
    </message>
    <message>
        <source>New firmware version %1 is available for this display. Currently installed firmware is version %2.</source>
        <translation>このディスプレイでは新しいファームウェア バージョン %1 を利用できます。現在インストールされているファームウェアのバージョンは %2 です。</translation>
    </message>
    <message>
        <source>⚠️Unable to download firmware definitions</source>
        <translation>⚠️ファームウェア定義をダウンロードできません</translation>
    </message>
    <message>
        <source>Check the Internet connection and restart this application.</source>
        <translation>インターネット接続を確認して、このアプリケーションを再起動してください。</translation>
    </message>
    <message>
        <source>Select a row in the table above to see details of a detected display</source>
        <translation>検出されたディスプレイの詳細を表示するには、上の表で行を選択してください</translation>
    </message>
    <message>
        <source>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Right-click a row for additional operations and settings.</source>
        <translation>&lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; 行を右クリックすると、その他の操作や設定を行えます。</translation>
    </message>
    <message>
        <source>Didn&apos;t find a display?</source>
        <translation>ディスプレイが見つからない場合</translation>
    </message>
    <message>
        <source>If the display is located on another subnet, or across a VPN, managed switch, or router, use the &lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; &lt;b&gt;&apos;Configure Targeted network search&apos;&lt;/b&gt; function on the &lt;b&gt;&apos;Tools&apos;&lt;/b&gt; menu and enter the IP addresses to search, then use &lt;img src=&quot;%2&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; &lt;b&gt;&apos;Targeted search&apos;&lt;/b&gt;.</source>
        <translation>ディスプレイが別のサブネット上にある場合や、VPN、マネージド スイッチ、ルーターを経由している場合は、&lt;b&gt;&apos;ツール&apos;&lt;/b&gt; メニューの &lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; &lt;b&gt;&apos;指定アドレス検索の設定&apos;&lt;/b&gt; で検索する IP アドレスを入力してから、&lt;img src=&quot;%2&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; &lt;b&gt;&apos;指定アドレス検索&apos;&lt;/b&gt; を使用してください。</translation>
    </message>
    <message>
        <source>Create a firmware USB drive</source>
        <translation>ファームウェア USB ドライブの作成</translation>
    </message>
    <message>
        <source>Create a USB drive with the latest firmware for a supported display model and update it via the display&apos;s USB port. Use &lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt;&lt;b&gt;&apos;Create firmware USB drive by model&apos;&lt;/b&gt; on the &lt;b&gt;&apos;Tools&apos;&lt;/b&gt; menu.</source>
        <translation>対応するディスプレイ モデルの最新ファームウェアを入れた USB ドライブを作成し、ディスプレイの USB ポートから更新します。&lt;b&gt;&apos;ツール&apos;&lt;/b&gt; メニューの &lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt;&lt;b&gt;&apos;モデルを指定してファームウェア USB ドライブを作成&apos;&lt;/b&gt; を使用してください。</translation>
    </message>
    <message>
        <source>📋Firmware Change List</source>
        <translation>📋ファームウェアの変更履歴</translation>
    </message>
    <message>
        <source>All changes from the installed version %1 to the latest version %2:</source>
        <translation>インストール済みのバージョン %1 から最新バージョン %2 までのすべての変更点:</translation>
    </message>
    <message>
        <source>Approximate time to update firmware</source>
        <translation>ファームウェア更新の所要時間 (目安)</translation>
    </message>
    <message>
        <source>Update via LAN</source>
        <translation>LAN 経由の更新</translation>
    </message>
    <message>
        <source>Supported</source>
        <translation>対応</translation>
    </message>
    <message>
        <source>Not supported</source>
        <translation>非対応</translation>
    </message>
    <message>
        <source>Requires manual AC power cycle after LAN update</source>
        <translation>LAN 経由の更新後に AC 電源の手動再投入が必要</translation>
    </message>
    <message>
        <source>No</source>
        <comment>ManualPowerCycleRequired</comment>
        <translation>いいえ</translation>
    </message>
    <message>
        <source>Yes</source>
        <comment>ManualPowerCycleRequired</comment>
        <translation>はい</translation>
    </message>
    <message>
        <source>N/A</source>
        <comment>ManualPowerCycleRequired unknown</comment>
        <translation>該当なし</translation>
    </message>
    <message>
        <source>Update via USB</source>
        <translation>USB 経由の更新</translation>
    </message>
    <message>
        <source>Firmware Update Information</source>
        <translation>ファームウェア更新情報</translation>
    </message>
    <message>
        <source>Firmware Update Power LED sequence</source>
        <translation>ファームウェア更新時の電源 LED 表示</translation>
    </message>
    <message>
        <source>In progress</source>
        <translation>更新中</translation>
    </message>
    <message>
        <source>Finished (waiting for restart)</source>
        <translation>完了 (再起動待ち)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>エラー</translation>
    </message>
    <message>
        <source>Normal operation</source>
        <translation>通常動作</translation>
    </message>
    <message>
        <source>Display Information</source>
        <translation>ディスプレイ情報</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>モデル</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>シリアル番号</translation>
    </message>
    <message>
        <source>MAC Address</source>
        <translation>MAC アドレス</translation>
    </message>
    <message>
        <source>Main IP address</source>
        <translation>メイン IP アドレス</translation>
    </message>
    <message>
        <source>Firmware update IP address</source>
        <translation>ファームウェア更新用 IP アドレス</translation>
    </message>
    <message>
        <source>N/A</source>
        <translation>該当なし</translation>
    </message>
    <message>
        <source>Component</source>
        <translation>コンポーネント</translation>
    </message>
    <message>
        <source>Main</source>
        <translation>メイン</translation>
    </message>
    <message>
        <source>Current</source>
        <translation>現在</translation>
    </message>
    <message>
        <source>Available</source>
        <translation>利用可能</translation>
    </message>
    <message>
        <source>Firmware %1</source>
        <translation>ファームウェア %1</translation>
    </message>
    <message>
        <source>Firmware Version Information</source>
        <translation>ファームウェア バージョン情報</translation>
    </message>
    <message>
        <source>📖Product Documentation</source>
        <translation>📖製品ドキュメント</translation>
    </message>
    <message>
        <source>Create firmware USB drive for %1 display...</source>
        <comment>1=model name</comment>
        <translation>%1 ディスプレイのファームウェア USB ドライブを作成...</translation>
    </message>
    <message>
        <source>Open File Location</source>
        <translation>ファイルの場所を開く</translation>
    </message>
    <message>
        <source>File does not exist</source>
        <translation>ファイルが存在しません</translation>
    </message>
    <message>
        <source>Waiting for %1 display(s)</source>
        <comment>1=number of displays whose reply is awaited</comment>
        <translation>%1 台のディスプレイの応答を待っています</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <comment>1=number of further displays</comment>
        <translation>ほか %1 台</translation>
    </message>
    <message>
        <source>No file manager could be started. The firmware download folder is:
%1</source>
        <comment>1=folder path</comment>
        <translation>ファイル マネージャーを起動できませんでした。ファームウェアのダウンロード フォルダー:
%1</translation>
    </message>
    <message>
        <source>Export display list…</source>
        <translation>ディスプレイ一覧のエクスポート…</translation>
    </message>
    <message>
        <source>Export update report…</source>
        <translation>更新レポートのエクスポート…</translation>
    </message>
    <message>
        <source>Export display list</source>
        <translation>ディスプレイ一覧のエクスポート</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV ファイル (*.csv)</translation>
    </message>
    <message>
        <source>Export update report</source>
        <translation>更新レポートのエクスポート</translation>
    </message>
    <message>
        <source>CSV files (*.csv);;JSON files (*.json)</source>
        <translation>CSV ファイル (*.csv);;JSON ファイル (*.json)</translation>
    </message>
    <message>
        <source>Not stated</source>
        <comment>update time missing from the catalogue</comment>
        <translation>記載なし</translation>
    </message>
    <message>
        <source>Usual power indication (none of the patterns above)</source>
        <comment>power LED outside an update</comment>
        <translation>通常の電源表示 (上記のいずれのパターンでもない)</translation>
    </message>
    <message>
        <source>Update history…</source>
        <translation>更新履歴…</translation>
    </message>
    <message>
        <source>There is no program to open the README file (a web browser). Open it on another computer, or install one. It is here:
%1</source>
        <comment>1=file path</comment>
        <translation>README ファイルを開くプログラム (Web ブラウザー) がありません。別のコンピューターで開くか、ブラウザーをインストールしてください。ファイルの場所:
%1</translation>
    </message>
</context>
<context>
    <name>UpdateCommand</name>
    <message>
        <source>Interrupted: queued updates cancelled. Waiting for %1 running update(s) to settle; press Ctrl-C again to exit at once.</source>
        <translation>中断しました: 待機中の更新はキャンセルされました。実行中の %1 件の更新が終わるのを待っています。すぐに終了するには、もう一度 Ctrl-C を押してください。</translation>
    </message>
    <message>
        <source>No firmware catalogue: no display can be updated.</source>
        <translation>ファームウェア定義がありません: 更新できるディスプレイはありません。</translation>
    </message>
    <message>
        <source>Search error</source>
        <translation>検索エラー</translation>
    </message>
    <message>
        <source>No display has new firmware to install via LAN.</source>
        <translation>LAN 経由でインストールできる新しいファームウェアがあるディスプレイはありません。</translation>
    </message>
    <message>
        <source>Download error</source>
        <translation>ダウンロード エラー</translation>
    </message>
    <message>
        <source>Nothing was changed. Run again with --yes to update these displays.</source>
        <translation>何も変更されていません。これらのディスプレイを更新するには、--yes を付けてもう一度実行してください。</translation>
    </message>
    <message>
        <source>Not updated: cancelled before it started.</source>
        <translation>更新されていません: 開始前にキャンセルされました。</translation>
    </message>
    <message>
        <source>Not updated.</source>
        <translation>更新されていません。</translation>
    </message>
    <message>
        <source>Interrupted before any display was changed.</source>
        <translation>ディスプレイが変更される前に中断しました。</translation>
    </message>
    <message>
        <source>Exiting at once; no display was mid-update.</source>
        <translation>すぐに終了します。更新途中のディスプレイはありません。</translation>
    </message>
    <message>
        <source>Exiting at once. These displays were left mid-update; check them before use:</source>
        <translation>すぐに終了します。次のディスプレイは更新途中のままです。使用する前に確認してください:</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>アドレス</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>モデル</translation>
    </message>
    <message>
        <source>Serial</source>
        <translation>シリアル</translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation>ファームウェア</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>結果</translation>
    </message>
</context>
<context>
    <name>UpdateHistory</name>
    <message>
        <source>The update history %1 could not be read and was moved aside as %2. A new history was started.</source>
        <translation>更新履歴 %1 を読み取れなかったため、%2 として退避しました。新しい履歴を開始しました。</translation>
    </message>
    <message>
        <source>The update history cannot be kept in %1 (%2). Updates go on without it.</source>
        <translation>更新履歴を %1 に保存できません (%2)。更新は履歴なしで続行します。</translation>
    </message>
</context>
<context>
    <name>UpdateHistoryDialog</name>
    <message>
        <source>Update History</source>
        <translation>更新履歴</translation>
    </message>
    <message>
        <source>Filter:</source>
        <translation>フィルター:</translation>
    </message>
    <message>
        <source>Address, serial number or model</source>
        <translation>アドレス、シリアル番号またはモデル</translation>
    </message>
    <message>
        <source>Started from</source>
        <translation>開始日</translation>
    </message>
    <message>
        <source>to</source>
        <translation>から</translation>
    </message>
    <message>
        <source>Result:</source>
        <translation>結果:</translation>
    </message>
    <message>
        <source>Export CSV…</source>
        <translation>CSV をエクスポート…</translation>
    </message>
    <message>
        <source>Export update report of batch…</source>
        <translation>一括更新の更新レポートをエクスポート…</translation>
    </message>
    <message>
        <source>Clear history…</source>
        <translation>履歴を消去…</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>All results</source>
        <translation>すべての結果</translation>
    </message>
    <message>
        <source>Succeeded</source>
        <translation>成功</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>失敗</translation>
    </message>
    <message>
        <source>Interrupted</source>
        <translation>中断</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>実行中</translation>
    </message>
    <message numerus="yes">
        <source>%n update(s) shown, the older ones are being read…</source>
        <translation>
            <numerusform>%n 件の更新を表示中。古い記録を読み込んでいます…</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of %1 update(s) shown</source>
        <translation>
            <numerusform>%1 件中 %n 件の更新を表示</numerusform>
        </translation>
    </message>
    <message>
        <source>Export update history</source>
        <translation>更新履歴のエクスポート</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV ファイル (*.csv)</translation>
    </message>
    <message>
        <source>Export update report</source>
        <translation>更新レポートのエクスポート</translation>
    </message>
    <message>
        <source>CSV files (*.csv);;JSON files (*.json)</source>
        <translation>CSV ファイル (*.csv);;JSON ファイル (*.json)</translation>
    </message>
    <message>
        <source>Clear the update history? Every finished update and USB drive record is removed; updates still running keep their rows. This cannot be undone.</source>
        <translation>更新履歴を消去しますか? 終了したすべての更新と USB ドライブの記録が削除されます。実行中の更新の記録は残ります。この操作は元に戻せません。</translation>
    </message>
    <message>
        <source>The update history could not be cleared (%1).</source>
        <translation>更新履歴を消去できませんでした (%1)。</translation>
    </message>
</context>
<context>
    <name>UpdateHistoryRecorder</name>
    <message>
        <source>The update history could not be written (%1). The update goes on.</source>
        <translation>更新履歴を書き込めませんでした (%1)。更新は続行します。</translation>
    </message>
</context>
<context>
    <name>UpdateQueue</name>
    <message>
        <source>Not queued: a firmware file name in the catalogue is not usable.</source>
        <translation>待機リストに追加できません: ファームウェア定義に使用できないファームウェア ファイル名が含まれています。</translation>
    </message>
    <message>
        <source>Update finished</source>
        <translation>更新が終了しました</translation>
    </message>
    <message>
        <source>Updating firmware on %1 display(s) via LAN. %2 display(s) are queued.</source>
        <translation>LAN 経由で %1 台のディスプレイのファームウェアを更新しています。%2 台が待機中です。</translation>
    </message>
    <message>
        <source> Total estimated time remaining: %1:%2</source>
        <comment>1=minutes 2=seconds</comment>
        <translation> 全体の残り時間 (推定): %1:%2</translation>
    </message>
    <message>
        <source>The display was still answering when the update was given up: it may still be writing its firmware. Do not switch it off; search again later to read its version.</source>
        <translation>更新を打ち切った時点でも、ディスプレイは応答していました。まだファームウェアを書き込んでいる可能性があります。電源を切らないでください。しばらくしてから再度検索し、バージョンを確認してください。</translation>
    </message>
</context>
<context>
    <name>UpdateStatusText</name>
    <message>
        <source>Status: %1</source>
        <comment>1=number (for unknown status type)</comment>
        <translation>ステータス: %1</translation>
    </message>
    <message>
        <source>Upload failed. Retrying...</source>
        <translation>アップロードに失敗しました。再試行しています...</translation>
    </message>
    <message>
        <source>Error: Upload retry failed.</source>
        <translation>エラー: アップロードの再試行に失敗しました。</translation>
    </message>
    <message>
        <source>Error: Timeout.</source>
        <translation>エラー: タイムアウトしました。</translation>
    </message>
    <message>
        <source>Error: Unable to upload file.</source>
        <translation>エラー: ファイルをアップロードできません。</translation>
    </message>
    <message>
        <source>Error: Unable to communicate via HTTP.</source>
        <translation>エラー: HTTP で通信できません。</translation>
    </message>
    <message>
        <source>Idle</source>
        <translation>アイドル</translation>
    </message>
    <message>
        <source>Queued</source>
        <translation>待機中</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>実行中</translation>
    </message>
    <message>
        <source>Complete.</source>
        <translation>完了。</translation>
    </message>
    <message>
        <source>Error: Update failed.</source>
        <translation>エラー: 更新に失敗しました。</translation>
    </message>
</context>
<context>
    <name>UpdateSummary</name>
    <message>
        <source>See note 1. </source>
        <translation>注 1 を参照。</translation>
    </message>
    <message>
        <source>Auto Standby</source>
        <translation>自動スタンバイ</translation>
    </message>
    <message>
        <source>Auto Power Save</source>
        <translation>自動省電力</translation>
    </message>
    <message>
        <source>See note 2. </source>
        <translation>注 2 を参照。</translation>
    </message>
    <message>
        <source>Current setting is &amp;quot;%1&amp;quot;.</source>
        <comment>1=text of power save mode</comment>
        <translation>現在の設定は &amp;quot;%1&amp;quot; です。</translation>
    </message>
    <message>
        <source>See note 3. </source>
        <translation>注 3 を参照。</translation>
    </message>
    <message>
        <source>The firmware on the following %1 display(s) is about to be updated.&lt;br&gt;</source>
        <comment>1=number of displays</comment>
        <translation>次の %1 台のディスプレイのファームウェアを更新します。&lt;br&gt;</translation>
    </message>
    <message>
        <source>&lt;b&gt;Note 1: &lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; Display will require a manual AC power cycle after the firmware update is completed.&lt;/b&gt;&lt;br&gt;</source>
        <translation>&lt;b&gt;注 1: &lt;img src=&quot;%1&quot; width=&quot;16&quot; height=&quot;16&quot;&gt; ファームウェアの更新が完了した後、ディスプレイの AC 電源を手動で再投入する必要があります。&lt;/b&gt;&lt;br&gt;</translation>
    </message>
    <message>
        <source>&lt;b&gt;Note 2: The display&apos;s &amp;quot;Power Save Mode&amp;quot; will be automatically changed to &amp;quot;Off&amp;quot; while the firmware update is applied. Please manually change this setting back once the firmware update is completed.&lt;/b&gt;&lt;br&gt;</source>
        <translation>&lt;b&gt;注 2: ファームウェアの更新を適用する間、ディスプレイの &amp;quot;省電力モード&amp;quot; は自動的に &amp;quot;オフ&amp;quot; に変更されます。ファームウェアの更新が完了したら、この設定を手動で元に戻してください。&lt;/b&gt;&lt;br&gt;</translation>
    </message>
    <message>
        <source>&lt;b&gt;Note 3: The display’s &amp;quot;Power Save Mode&amp;quot; will automatically switch to &amp;quot;Normal&amp;quot; prior to applying the firmware update. This change enables the display to communicate fully while in standby. Consequently, the power consumption in standby mode will increase slightly.&lt;/b&gt;&lt;br&gt;</source>
        <translation>&lt;b&gt;注 3: ファームウェアの更新を適用する前に、ディスプレイの &amp;quot;省電力モード&amp;quot; は自動的に &amp;quot;標準&amp;quot; に切り替わります。これにより、スタンバイ中もディスプレイがすべての通信を行えるようになります。そのため、スタンバイ時の消費電力がわずかに増加します。&lt;/b&gt;&lt;br&gt;</translation>
    </message>
    <message>
        <source>&lt;br&gt;&lt;b&gt;Are you sure you want to proceed?&lt;/b&gt;</source>
        <translation>&lt;br&gt;&lt;b&gt;続行してもよろしいですか?&lt;/b&gt;</translation>
    </message>
    <message>
        <source>&lt;br&gt;The update process will take at least %1, during which time the screens will go blank and the displays will be inoperable.&lt;br&gt;</source>
        <comment>1=duration, such as &quot;5 minutes&quot;</comment>
        <translation>&lt;br&gt;更新には少なくとも %1かかります。その間、画面には何も表示されず、ディスプレイを操作することはできません。&lt;br&gt;</translation>
    </message>
    <message>
        <source>&lt;br&gt;The update process will take less than a minute, during which time the screens will go blank and the displays will be inoperable.&lt;br&gt;</source>
        <translation>&lt;br&gt;更新にかかる時間は 1 分未満です。その間、画面には何も表示されず、ディスプレイを操作することはできません。&lt;br&gt;</translation>
    </message>
    <message>
        <source>&lt;tr&gt;&lt;td&gt;%1&lt;/td&gt;&lt;td&gt;%2&lt;/td&gt;&lt;td&gt;%3&lt;/td&gt;&lt;td&gt;%4&lt;/td&gt;&lt;td&gt;%5&lt;/td&gt;&lt;td&gt;%6&lt;/td&gt;&lt;td&gt;%7&lt;/td&gt;&lt;td&gt;%8&lt;/td&gt;&lt;/tr&gt;</source>
        <translation>&lt;tr&gt;&lt;td&gt;%1&lt;/td&gt;&lt;td&gt;%2&lt;/td&gt;&lt;td&gt;%3&lt;/td&gt;&lt;td&gt;%4&lt;/td&gt;&lt;td&gt;%5&lt;/td&gt;&lt;td&gt;%6&lt;/td&gt;&lt;td&gt;%7&lt;/td&gt;&lt;td&gt;%8&lt;/td&gt;&lt;/tr&gt;</translation>
    </message>
    <message>
        <source>&lt;tr&gt;&lt;td&gt;%1&lt;/td&gt;&lt;td&gt;%2&lt;/td&gt;&lt;td&gt;%3&lt;/td&gt;&lt;td&gt;%4&lt;/td&gt;&lt;td&gt;%5&lt;/td&gt;&lt;td&gt;%6&lt;/td&gt;&lt;td&gt;%7&lt;/td&gt;&lt;/tr&gt;</source>
        <translation>&lt;tr&gt;&lt;td&gt;%1&lt;/td&gt;&lt;td&gt;%2&lt;/td&gt;&lt;td&gt;%3&lt;/td&gt;&lt;td&gt;%4&lt;/td&gt;&lt;td&gt;%5&lt;/td&gt;&lt;td&gt;%6&lt;/td&gt;&lt;td&gt;%7&lt;/td&gt;&lt;/tr&gt;</translation>
    </message>
    <message>
        <source>&lt;table table border=&quot;1&quot; cellpadding=&quot;5&quot; cellspacing=&quot;0&quot;&gt;&lt;thead&gt;&lt;tr&gt;&lt;td bgcolor=&quot;%1&quot;&gt;#&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;Model&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;Serial Number&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;Asset Tag&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;IP Address&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;Current&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;New&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;Notes&lt;/td&gt;&lt;/tr&gt;&lt;/thead&gt;</source>
        <translation>&lt;table table border=&quot;1&quot; cellpadding=&quot;5&quot; cellspacing=&quot;0&quot;&gt;&lt;thead&gt;&lt;tr&gt;&lt;td bgcolor=&quot;%1&quot;&gt;#&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;モデル&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;シリアル番号&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;資産タグ&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;IP アドレス&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;現在&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;更新後&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;注記&lt;/td&gt;&lt;/tr&gt;&lt;/thead&gt;</translation>
    </message>
    <message>
        <source>&lt;table table border=&quot;1&quot; cellpadding=&quot;5&quot; cellspacing=&quot;0&quot;&gt;&lt;thead&gt;&lt;tr&gt;&lt;td bgcolor=&quot;%1&quot;&gt;#&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;Model&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;Serial Number&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;IP Address&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;Current&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;New&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;Notes&lt;/td&gt;&lt;/tr&gt;&lt;/thead&gt;</source>
        <translation>&lt;table table border=&quot;1&quot; cellpadding=&quot;5&quot; cellspacing=&quot;0&quot;&gt;&lt;thead&gt;&lt;tr&gt;&lt;td bgcolor=&quot;%1&quot;&gt;#&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;モデル&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;シリアル番号&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;IP アドレス&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;現在&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;更新後&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;注記&lt;/td&gt;&lt;/tr&gt;&lt;/thead&gt;</translation>
    </message>
    <message>
        <source>&lt;tr&gt;&lt;td&gt;%1&lt;/td&gt;&lt;td&gt;%2&lt;/td&gt;&lt;td&gt;%3&lt;/td&gt;&lt;td&gt;%4&lt;/td&gt;&lt;td&gt;%5&lt;/td&gt;&lt;td&gt;%6&lt;/td&gt;&lt;/tr&gt;</source>
        <comment>refused row</comment>
        <translation>&lt;tr&gt;&lt;td&gt;%1&lt;/td&gt;&lt;td&gt;%2&lt;/td&gt;&lt;td&gt;%3&lt;/td&gt;&lt;td&gt;%4&lt;/td&gt;&lt;td&gt;%5&lt;/td&gt;&lt;td&gt;%6&lt;/td&gt;&lt;/tr&gt;</translation>
    </message>
    <message>
        <source>&lt;tr&gt;&lt;td&gt;%1&lt;/td&gt;&lt;td&gt;%2&lt;/td&gt;&lt;td&gt;%3&lt;/td&gt;&lt;td&gt;%4&lt;/td&gt;&lt;td&gt;%5&lt;/td&gt;&lt;/tr&gt;</source>
        <comment>refused row</comment>
        <translation>&lt;tr&gt;&lt;td&gt;%1&lt;/td&gt;&lt;td&gt;%2&lt;/td&gt;&lt;td&gt;%3&lt;/td&gt;&lt;td&gt;%4&lt;/td&gt;&lt;td&gt;%5&lt;/td&gt;&lt;/tr&gt;</translation>
    </message>
    <message>
        <source>&lt;table border=&quot;1&quot; cellpadding=&quot;5&quot; cellspacing=&quot;0&quot;&gt;&lt;thead&gt;&lt;tr&gt;&lt;td bgcolor=&quot;%1&quot;&gt;Model&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;Serial Number&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;Asset Tag&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;IP Address&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;Current&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;Reason&lt;/td&gt;&lt;/tr&gt;&lt;/thead&gt;</source>
        <translation>&lt;table border=&quot;1&quot; cellpadding=&quot;5&quot; cellspacing=&quot;0&quot;&gt;&lt;thead&gt;&lt;tr&gt;&lt;td bgcolor=&quot;%1&quot;&gt;モデル&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;シリアル番号&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;資産タグ&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;IP アドレス&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;現在&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;理由&lt;/td&gt;&lt;/tr&gt;&lt;/thead&gt;</translation>
    </message>
    <message>
        <source>&lt;table border=&quot;1&quot; cellpadding=&quot;5&quot; cellspacing=&quot;0&quot;&gt;&lt;thead&gt;&lt;tr&gt;&lt;td bgcolor=&quot;%1&quot;&gt;Model&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;Serial Number&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;IP Address&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;Current&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;Reason&lt;/td&gt;&lt;/tr&gt;&lt;/thead&gt;</source>
        <translation>&lt;table border=&quot;1&quot; cellpadding=&quot;5&quot; cellspacing=&quot;0&quot;&gt;&lt;thead&gt;&lt;tr&gt;&lt;td bgcolor=&quot;%1&quot;&gt;モデル&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;シリアル番号&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;IP アドレス&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;現在&lt;/td&gt;&lt;td bgcolor=&quot;%1&quot;&gt;理由&lt;/td&gt;&lt;/tr&gt;&lt;/thead&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;The following %1 display(s) will not be updated:&lt;/b&gt;&lt;/p&gt;</source>
        <comment>1=number of displays</comment>
        <translation>&lt;p&gt;&lt;b&gt;次の %1 台のディスプレイは更新されません:&lt;/b&gt;&lt;/p&gt;</translation>
    </message>
    <message>
        <source>one display of each model first</source>
        <translation>各モデル 1 台を先に更新</translation>
    </message>
    <message>
        <source>stop after 1 failure</source>
        <translation>1 件失敗したら停止</translation>
    </message>
    <message>
        <source>stop after %1 failures</source>
        <translation>%1 件失敗したら停止</translation>
    </message>
    <message>
        <source>Rollout: %1</source>
        <comment>1=the rollout rules in force, separated by semicolons</comment>
        <translation>段階的更新: %1</translation>
    </message>
    <message>
        <source>; </source>
        <comment>between two rollout rules</comment>
        <translation>、</translation>
    </message>
</context>
<context>
    <name>UpdateVerifier</name>
    <message>
        <source>Verified: version %1</source>
        <comment>1=firmware version</comment>
        <translation>確認済み: バージョン %1</translation>
    </message>
    <message>
        <source>Version after update is %1, expected %2</source>
        <comment>1=version read 2=version of the release</comment>
        <translation>更新後のバージョンは %1 です (想定: %2)</translation>
    </message>
    <message>
        <source>Another display answers at this address (serial %1, expected %2)</source>
        <comment>1=serial number read 2=serial number of the updated display</comment>
        <translation>このアドレスでは別のディスプレイが応答しています (シリアル番号 %1、想定: %2)</translation>
    </message>
    <message>
        <source>The display did not answer after the update — check it before switching it off</source>
        <translation>更新後、ディスプレイから応答がありません — 電源を切る前にディスプレイを確認してください</translation>
    </message>
</context>
<context>
    <name>UpdateWarningMessageDialog</name>
    <message>
        <source>Firmware Update Cautions</source>
        <translation>ファームウェア更新の注意事項</translation>
    </message>
    <message>
        <source>Please carefully read the following caution items before performing a firmware update:</source>
        <translation>ファームウェアを更新する前に、次の注意事項をよくお読みください:</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;body&gt;&lt;p&gt;1. Only update the firmware when the new version brings functions, fixes or security updates that you need.&lt;/p&gt;&lt;p&gt;2. Make sure you have physical access to the displays, in case a display needs to be recovered by hand.&lt;/p&gt;&lt;p&gt;3. Prepare contingency plans for displays that are used for critical applications or schedules.&lt;/p&gt;&lt;p&gt;4. Do not switch off or disconnect the power of a display while its firmware is being updated.&lt;/p&gt;&lt;p&gt;5. Do not close this application while a firmware update is in progress.&lt;/p&gt;&lt;p&gt;6. Do not disconnect the network while a firmware update is in progress.&lt;/p&gt;&lt;p&gt;7. When updating many displays, test the update first on one or a few of them.&lt;/p&gt;&lt;p&gt;8. Displays connected in a daisy chain through the built-in LAN hub: do not switch off a display that has finished while displays further along the chain are still updating.&lt;/p&gt;&lt;p&gt;9. Reduce other heavy network traffic while updating.&lt;/p&gt;&lt;p&gt;10. Take extra care when updating over a VPN or a remote network.&lt;/p&gt;&lt;p&gt;11. On some models the progress may stay at 0% for several minutes. This is normal.&lt;/p&gt;&lt;p&gt;12. Some displays may briefly flash the &amp;quot;Finished&amp;quot; power LED sequence during the update. Check the Status column to see when the update has really finished.&lt;/p&gt;&lt;p&gt;13. A negative time estimate does not mean that the update failed. A failed update eventually times out and is reported in the Status column.&lt;/p&gt;&lt;p&gt;14. Temporarily disable the display&apos;s SECURITY PASSWORD function if a lock password would otherwise be needed.&lt;/p&gt;&lt;p&gt;15. Keep the PC from restarting, sleeping or installing operating-system updates while a firmware update is in progress.&lt;/p&gt;&lt;p&gt;16. On some models the &amp;quot;HTTP SERVER&amp;quot; is enabled temporarily during the update and may stay enabled after a failed update. Check the log for details.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;body&gt;&lt;p&gt;1. 新しいバージョンに必要な機能、修正、またはセキュリティ更新が含まれている場合にのみ、ファームウェアを更新してください。&lt;/p&gt;&lt;p&gt;2. ディスプレイを手作業で復旧する必要が生じた場合に備えて、ディスプレイに直接アクセスできるようにしておいてください。&lt;/p&gt;&lt;p&gt;3. 重要な用途やスケジュールで使用しているディスプレイについては、万一の場合の対応策を準備してください。&lt;/p&gt;&lt;p&gt;4. ファームウェアの更新中は、ディスプレイの電源を切ったり、電源ケーブルを抜いたりしないでください。&lt;/p&gt;&lt;p&gt;5. ファームウェアの更新中は、このアプリケーションを閉じないでください。&lt;/p&gt;&lt;p&gt;6. ファームウェアの更新中は、ネットワークを切断しないでください。&lt;/p&gt;&lt;p&gt;7. 多数のディスプレイを更新する場合は、まず 1 台または数台で更新をテストしてください。&lt;/p&gt;&lt;p&gt;8. 内蔵 LAN ハブを使用してデイジー チェーン接続されたディスプレイ: チェーンの先にあるディスプレイの更新中は、更新が完了したディスプレイの電源を切らないでください。&lt;/p&gt;&lt;p&gt;9. 更新中は、ネットワークに大きな負荷がかかる他の通信を減らしてください。&lt;/p&gt;&lt;p&gt;10. VPN やリモート ネットワーク経由で更新する場合は、特に注意してください。&lt;/p&gt;&lt;p&gt;11. 一部のモデルでは、進行状況が数分間 0% のままになることがあります。これは正常な動作です。&lt;/p&gt;&lt;p&gt;12. 一部のディスプレイでは、更新中に電源 LED が一時的に &amp;quot;完了&amp;quot; のパターンで点滅することがあります。更新が実際に完了したかどうかは、ステータス列で確認してください。&lt;/p&gt;&lt;p&gt;13. 残り時間の推定値が負の値になっても、更新に失敗したわけではありません。失敗した更新は最終的にタイムアウトし、ステータス列に表示されます。&lt;/p&gt;&lt;p&gt;14. ロック パスワードが必要になる場合は、ディスプレイの SECURITY PASSWORD 機能を一時的に無効にしてください。&lt;/p&gt;&lt;p&gt;15. ファームウェアの更新中は、PC が再起動、スリープ、またはオペレーティング システムの更新のインストールを行わないようにしてください。&lt;/p&gt;&lt;p&gt;16. 一部のモデルでは、更新中に &amp;quot;HTTP SERVER&amp;quot; が一時的に有効になり、更新に失敗した場合は有効のままになることがあります。詳細はログを確認してください。&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>I have read and understood these caution items</source>
        <translation>上記の注意事項を読み、理解しました</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>UsbCommand</name>
    <message>
        <source>No firmware catalogue: no drive can be made.</source>
        <translation>ファームウェア定義がありません: ドライブを作成できません。</translation>
    </message>
    <message>
        <source>No single USB release for model %1 with these variants.</source>
        <translation>モデル %1 には、これらのバリエーションに 1 つだけ該当する USB 用リリースがありません。</translation>
    </message>
    <message>
        <source>Model variants: %1</source>
        <translation>モデル バリエーション: %1</translation>
    </message>
    <message>
        <source>Region variants: %1</source>
        <translation>地域バリエーション: %1</translation>
    </message>
    <message>
        <source>The drive&apos;s file system %1 is not one this firmware can be installed from: %2</source>
        <translation>ドライブのファイル システム %1 からは、このファームウェアをインストールできません: %2</translation>
    </message>
    <message>
        <source>Interrupted.</source>
        <translation>中断しました。</translation>
    </message>
    <message>
        <source>Download error</source>
        <translation>ダウンロード エラー</translation>
    </message>
</context>
<context>
    <name>UsbDriveWriter</name>
    <message>
        <source>Error: The firmware folder on the USB drive is a link to a place outside the drive. Nothing was deleted or copied.</source>
        <translation>エラー: USB ドライブ上のファームウェア フォルダーは、ドライブの外を指すリンクです。何も削除・コピーしていません。</translation>
    </message>
    <message>
        <source>Copied firmware file(s) to USB drive.</source>
        <translation>ファームウェア ファイルを USB ドライブにコピーしました。</translation>
    </message>
    <message>
        <source>Error: Unable to create the firmware folder on the USB drive.</source>
        <translation>エラー: USB ドライブにファームウェア フォルダーを作成できません。</translation>
    </message>
    <message>
        <source>Error: Invalid drive selected.</source>
        <translation>エラー: 選択したドライブは無効です。</translation>
    </message>
    <message>
        <source>Error: The firmware release names a folder or file that is not a plain name on the USB drive. Nothing was copied.</source>
        <translation>エラー: このファームウェア リリースには、USB ドライブ上で単純な名前として扱えないフォルダー名またはファイル名が含まれています。何もコピーされませんでした。</translation>
    </message>
    <message>
        <source>Error: Unable to copy file(s).</source>
        <translation>エラー: ファイルをコピーできません。</translation>
    </message>
    <message>
        <source>Error: Copied file(s) failed verification.</source>
        <translation>エラー: コピーしたファイルの検証に失敗しました。</translation>
    </message>
    <message>
        <source>Error: Source file(s) missing.</source>
        <translation>エラー: コピー元のファイルが見つかりません。</translation>
    </message>
    <message>
        <source>Error: Unable to delete existing files.</source>
        <translation>エラー: 既存のファイルを削除できません。</translation>
    </message>
    <message>
        <source>Error: Not enough free space on USB drive.</source>
        <translation>エラー: USB ドライブの空き容量が不足しています。</translation>
    </message>
    <message>
        <source>Error: The firmware release would copy several files to the same name on the USB drive. Nothing was copied.</source>
        <translation>エラー: このファームウェア リリースでは、複数のファイルが USB ドライブ上の同じ名前にコピーされてしまいます。何もコピーされませんでした。</translation>
    </message>
    <message>
        <source>Copying &apos;%1&apos;</source>
        <comment>1=file name</comment>
        <translation>&apos;%1&apos; をコピーしています</translation>
    </message>
    <message>
        <source>Verifying &apos;%1&apos;</source>
        <comment>1=file name</comment>
        <translation>&apos;%1&apos; を検証しています</translation>
    </message>
</context>
<context>
    <name>displayListModel</name>
    <message>
        <source>Checking the version…</source>
        <comment>after an update, while the display&apos;s firmware version is read back</comment>
        <translation>バージョンを確認しています…</translation>
    </message>
    <message>
        <source>Right-click to refresh Display Information or change Power State</source>
        <comment>tool tip</comment>
        <translation>右クリックすると、ディスプレイ情報の更新や電源状態の変更ができます</translation>
    </message>
    <message>
        <source>Power On</source>
        <translation>電源オン</translation>
    </message>
    <message>
        <source>Standby</source>
        <translation>スタンバイ</translation>
    </message>
    <message>
        <source>Suspend</source>
        <translation>サスペンド</translation>
    </message>
    <message>
        <source>Row%1, Column%2</source>
        <translation>行 %1、列 %2</translation>
    </message>
    <message>
        <source>Update</source>
        <comment>action column - update</comment>
        <translation>更新</translation>
    </message>
    <message>
        <source>Overwrite</source>
        <comment>action column - if fw is same</comment>
        <translation>上書き</translation>
    </message>
    <message>
        <source>New version %1 available</source>
        <comment>1=new version number</comment>
        <translation>新バージョン %1 あり</translation>
    </message>
    <message>
        <source>%1% Downloading</source>
        <comment>1=download percentage</comment>
        <translation>%1% ダウンロード中</translation>
    </message>
    <message>
        <source>Version info not available from the display</source>
        <translation>ディスプレイからバージョン情報を取得できません</translation>
    </message>
    <message>
        <source>None available for this model</source>
        <comment>no FW available</comment>
        <translation>このモデル用のファームウェアはありません</translation>
    </message>
    <message>
        <source>Unable to compare versions</source>
        <comment>fw version comparison failed</comment>
        <translation>バージョンを比較できません</translation>
    </message>
    <message>
        <source>Up-to-date</source>
        <translation>最新</translation>
    </message>
    <message>
        <source>Available</source>
        <translation>利用可能</translation>
    </message>
    <message>
        <source>Download error</source>
        <translation>ダウンロード エラー</translation>
    </message>
    <message>
        <source>Downloaded</source>
        <translation>ダウンロード済み</translation>
    </message>
    <message>
        <source>New version %1 downloaded</source>
        <translation>新バージョン %1 ダウンロード済み</translation>
    </message>
    <message>
        <source>Unknown</source>
        <comment>unable to check fw version</comment>
        <translation>不明</translation>
    </message>
    <message>
        <source>Need newer application build %1.</source>
        <translation>アプリケーションのビルド %1 以降が必要です。</translation>
    </message>
    <message>
        <source>Error: Display is currently locked.</source>
        <translation>エラー: ディスプレイは現在ロックされています。</translation>
    </message>
    <message>
        <source>Error: Firmware update IP address is unreachable.</source>
        <translation>エラー: ファームウェア更新用の IP アドレスに到達できません。</translation>
    </message>
    <message>
        <source>Power On required to report display information.</source>
        <translation>ディスプレイ情報を取得するには電源オンが必要です。</translation>
    </message>
    <message>
        <source>Unable to communicate with display.</source>
        <translation>ディスプレイと通信できません。</translation>
    </message>
    <message>
        <source>Power state must be &quot;On&quot; to update firmware.</source>
        <translation>ファームウェアを更新するには、電源状態を &quot;オン&quot; にする必要があります。</translation>
    </message>
    <message>
        <source>Power Save Mode will be changed to &quot;Off&quot;</source>
        <translation>省電力モードは &quot;オフ&quot; に変更されます</translation>
    </message>
    <message>
        <source>Firmware updates on legacy models is disabled. See Application settings.</source>
        <translation>旧モデルのファームウェア更新は無効になっています。アプリケーション設定を参照してください。</translation>
    </message>
    <message>
        <source>Update via USB only</source>
        <translation>USB 経由の更新のみ</translation>
    </message>
    <message>
        <source>Success. Please manually cycle the display&apos;s AC power.</source>
        <translation>成功。ディスプレイの AC 電源を手動で再投入してください。</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>成功</translation>
    </message>
    <message>
        <source>Uploading</source>
        <translation>アップロード中</translation>
    </message>
    <message>
        <source>Updating</source>
        <translation>更新中</translation>
    </message>
    <message>
        <source>Action</source>
        <comment>column title</comment>
        <translation>操作</translation>
    </message>
    <message>
        <source>Model Name</source>
        <comment>column title</comment>
        <translation>モデル名</translation>
    </message>
    <message>
        <source>Serial Number</source>
        <comment>column title</comment>
        <translation>シリアル番号</translation>
    </message>
    <message>
        <source>Asset Tag</source>
        <comment>column title</comment>
        <translation>資産タグ</translation>
    </message>
    <message>
        <source>IP Address</source>
        <comment>column title</comment>
        <translation>IP アドレス</translation>
    </message>
    <message>
        <source>MAC Address</source>
        <comment>column title</comment>
        <translation>MAC アドレス</translation>
    </message>
    <message>
        <source>Power State</source>
        <comment>column title</comment>
        <translation>電源状態</translation>
    </message>
    <message>
        <source>Current Firmware</source>
        <comment>column title</comment>
        <translation>現在のファームウェア</translation>
    </message>
    <message>
        <source>Firmware Availability</source>
        <comment>column title</comment>
        <translation>ファームウェアの提供状況</translation>
    </message>
    <message>
        <source>Status</source>
        <comment>column title</comment>
        <translation>ステータス</translation>
    </message>
    <message>
        <source>Unknown</source>
        <comment>power state</comment>
        <translation>不明</translation>
    </message>
    <message>
        <source>Estimated time remaining: %1:%2</source>
        <comment>1=min 2=sec</comment>
        <translation>残り時間 (推定): %1:%2</translation>
    </message>
    <message>
        <source>Uploading %1%</source>
        <comment>1=upload percent complete</comment>
        <translation>アップロード中 %1%</translation>
    </message>
    <message>
        <source>Updating %1%</source>
        <comment>1=update percent complete</comment>
        <translation>更新中 %1%</translation>
    </message>
    <message>
        <source>Completed: %1</source>
        <comment>1=finished firmware files, such as &quot;FW1 FW2&quot;</comment>
        <translation>完了: %1</translation>
    </message>
    <message>
        <source>Power Save Mode will be changed to &quot;Normal&quot;</source>
        <translation>省電力モードは &quot;標準&quot; に変更されます</translation>
    </message>
    <message>
        <source>%1. %2</source>
        <comment>1=update result such as &quot;Success&quot; 2=what the version check found</comment>
        <translation>%1。%2</translation>
    </message>
</context>
<context>
    <name>powerLEDBlinkCodeToString</name>
    <message>
        <source>Flashing &lt;font color=&quot;#00ff00&quot;&gt;&lt;b&gt;GREEN&lt;/b&gt;&lt;/font&gt;</source>
        <translation>&lt;font color=&quot;#00ff00&quot;&gt;&lt;b&gt;緑&lt;/b&gt;&lt;/font&gt;で点滅</translation>
    </message>
    <message>
        <source>Flashing &lt;font color=&quot;green&quot;&gt;&lt;b&gt;GREEN&lt;/b&gt;&lt;/font&gt;</source>
        <translation>&lt;font color=&quot;green&quot;&gt;&lt;b&gt;緑&lt;/b&gt;&lt;/font&gt;で点滅</translation>
    </message>
    <message>
        <source>Alternating &lt;font color=&quot;red&quot;&gt;&lt;b&gt;RED&lt;/b&gt;&lt;/font&gt; / &lt;font color=&quot;#00ff00&quot;&gt;&lt;b&gt;GREEN&lt;/b&gt;&lt;/font&gt;</source>
        <translation>&lt;font color=&quot;red&quot;&gt;&lt;b&gt;赤&lt;/b&gt;&lt;/font&gt; / &lt;font color=&quot;#00ff00&quot;&gt;&lt;b&gt;緑&lt;/b&gt;&lt;/font&gt;の交互点滅</translation>
    </message>
    <message>
        <source>Alternating &lt;font color=&quot;red&quot;&gt;&lt;b&gt;RED&lt;/b&gt;&lt;/font&gt; / &lt;font color=&quot;green&quot;&gt;&lt;b&gt;GREEN&lt;/b&gt;&lt;/font&gt;</source>
        <translation>&lt;font color=&quot;red&quot;&gt;&lt;b&gt;赤&lt;/b&gt;&lt;/font&gt; / &lt;font color=&quot;green&quot;&gt;&lt;b&gt;緑&lt;/b&gt;&lt;/font&gt;の交互点滅</translation>
    </message>
    <message>
        <source>Flashing &lt;font color=&quot;red&quot;&gt;&lt;b&gt;&lt;b&gt;RED&lt;/b&gt;&lt;/font&gt;</source>
        <translation>&lt;font color=&quot;red&quot;&gt;&lt;b&gt;&lt;b&gt;赤&lt;/b&gt;&lt;/font&gt;で点滅</translation>
    </message>
    <message>
        <source>Flashing &lt;font color=&quot;blue&quot;&gt;&lt;b&gt;BLUE&lt;/b&gt;&lt;/font&gt;</source>
        <translation>&lt;font color=&quot;blue&quot;&gt;&lt;b&gt;青&lt;/b&gt;&lt;/font&gt;で点滅</translation>
    </message>
    <message>
        <source>Flashing &lt;font color=&quot;orange&quot;&gt;&lt;b&gt;ORANGE&lt;/b&gt;&lt;/font&gt;</source>
        <translation>&lt;font color=&quot;orange&quot;&gt;&lt;b&gt;オレンジ&lt;/b&gt;&lt;/font&gt;で点滅</translation>
    </message>
    <message>
        <source>Continuous &lt;font color=&quot;blue&quot;&gt;&lt;b&gt;BLUE&lt;/b&gt;&lt;/font&gt;</source>
        <translation>&lt;font color=&quot;blue&quot;&gt;&lt;b&gt;青&lt;/b&gt;&lt;/font&gt;で点灯</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>不明</translation>
    </message>
</context>
<context>
    <name>search_model_dialog</name>
    <message>
        <source>Search display model</source>
        <translation>ディスプレイ モデルの検索</translation>
    </message>
    <message>
        <source>Start inputting the display model name, select a model from the list, then click OK to download the latest firmware to a USB drive.</source>
        <translation>ディスプレイのモデル名を入力して一覧からモデルを選択し、OK をクリックすると、USB ドライブ用に最新のファームウェアをダウンロードします。</translation>
    </message>
    <message>
        <source>Search model name:</source>
        <translation>モデル名で検索:</translation>
    </message>
    <message>
        <source>Region variant:</source>
        <translation>地域バリエーション:</translation>
    </message>
    <message>
        <source>Model variant:</source>
        <translation>モデル バリエーション:</translation>
    </message>
    <message>
        <source>Select the model variant.</source>
        <translation>モデル バリエーションを選択してください。</translation>
    </message>
    <message>
        <source>Select the region variant.</source>
        <translation>地域バリエーションを選択してください。</translation>
    </message>
</context>
</TS>
