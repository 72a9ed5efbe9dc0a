<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP" sourcelanguage="en_US">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>About Quavelorin</source>
        <translation>バージョン情報</translation>
    </message>
    <message>
        <source>Quavelorin Version 3.0.0.1</source>
        <translation>Quavelorin バージョン 3.0.0.1</translation>
    </message>
    <message>
        <source>Made by the Quavelorin developers at Pelorin</source>
        <translation>Pelorin の Quavelorin 開発チームが制作</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CCommandLine</name>
    <message>
        <source>Quavelorin, a tuner for musical instruments.</source>
        <translation>Quavelorin — 楽器のためのチューナー。</translation>
    </message>
    <message>
        <source>Displays this help and exits.</source>
        <translation>このヘルプを表示して終了します。</translation>
    </message>
    <message>
        <source>Displays the version and exits.</source>
        <translation>バージョンを表示して終了します。</translation>
    </message>
    <message>
        <source>Quavelorin takes no arguments, only options: %1</source>
        <translation>Quavelorin はオプションのみを受け付け、引数は受け付けません: %1</translation>
    </message>
    <message>
        <source>Run &quot;%1 --help&quot; to see the options.</source>
        <translation>オプションは「%1 --help」で確認できます。</translation>
    </message>
</context>
<context>
    <name>CDlgMetronom</name>
    <message>
        <source>Metronom</source>
        <translation>メトロノーム</translation>
    </message>
    <message>
        <source>Tempo</source>
        <translation>テンポ</translation>
    </message>
    <message>
        <source>Time(rhythm)</source>
        <translation>拍子（リズム）</translation>
    </message>
    <message>
        <source>Output Method</source>
        <translation>出力方法</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>サウンド</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>ライト</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>スタート</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>ストップ</translation>
    </message>
</context>
<context>
    <name>CDlgSet</name>
    <message>
        <source>Set Parameters</source>
        <translation>パラメーターの設定</translation>
    </message>
    <message>
        <source>Frequency of A4</source>
        <translation>A4 の周波数</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>入力</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>既定</translation>
    </message>
    <message>
        <source>Hz</source>
        <translation>Hz</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Please enter a number.</source>
        <translation>数値を入力してください。</translation>
    </message>
    <message>
        <source>Sensitivity</source>
        <translation>感度</translation>
    </message>
    <message>
        <source> dB</source>
        <translation> dB</translation>
    </message>
    <message>
        <source>Quieter sound than this is not measured</source>
        <translation>これより小さい音は測定しません</translation>
    </message>
</context>
<context>
    <name>CGraphView</name>
    <message>
        <source>1 = C</source>
        <translation>1 = C</translation>
    </message>
    <message>
        <source>1 = Db</source>
        <translation>1 = Db</translation>
    </message>
    <message>
        <source>1 = D</source>
        <translation>1 = D</translation>
    </message>
    <message>
        <source>1 = bE</source>
        <translation>1 = bE</translation>
    </message>
    <message>
        <source>1 = E</source>
        <translation>1 = E</translation>
    </message>
    <message>
        <source>1 = F</source>
        <translation>1 = F</translation>
    </message>
    <message>
        <source>1 = #F/bG</source>
        <translation>1 = #F/bG</translation>
    </message>
    <message>
        <source>1 = G</source>
        <translation>1 = G</translation>
    </message>
    <message>
        <source>1 = bA</source>
        <translation>1 = bA</translation>
    </message>
    <message>
        <source>1 = A</source>
        <translation>1 = A</translation>
    </message>
    <message>
        <source>1 = bB</source>
        <translation>1 = bB</translation>
    </message>
    <message>
        <source>1 = B</source>
        <translation>1 = B</translation>
    </message>
</context>
<context>
    <name>CLanguage</name>
    <message>
        <source>The file is damaged or is not a translation.</source>
        <translation>ファイルが壊れているか、翻訳ファイルではありません。</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>Decrement half tone (F1)</source>
        <translation>半音下げる (F1)</translation>
    </message>
    <message>
        <source>Decrement a half tone</source>
        <translation>目標の音を半音下げます</translation>
    </message>
    <message>
        <source>b</source>
        <translation>半音下げる (b)</translation>
    </message>
    <message>
        <source>Increment half tone (F2)</source>
        <translation>半音上げる (F2)</translation>
    </message>
    <message>
        <source>Increment a half tone</source>
        <translation>目標の音を半音上げます</translation>
    </message>
    <message>
        <source>#</source>
        <translation>半音上げる (#)</translation>
    </message>
    <message>
        <source>Automatic tone (F3)</source>
        <translation>音の自動選択 (F3)</translation>
    </message>
    <message>
        <source>Automaticly select tone</source>
        <translation>目標の音を自動で選択します</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>自動</translation>
    </message>
    <message>
        <source>Play standard tone (F5)</source>
        <translation>基準音を鳴らす (F5)</translation>
    </message>
    <message>
        <source>Play the standard tone</source>
        <translation>目標の音の基準音を鳴らします</translation>
    </message>
    <message>
        <source>standard tone</source>
        <translation>基準音</translation>
    </message>
    <message>
        <source>Set Parameter Dialog</source>
        <translation>パラメーターの設定...</translation>
    </message>
    <message>
        <source>Show Set Parameters Dialog</source>
        <translation>[パラメーターの設定] ダイアログを表示します</translation>
    </message>
    <message>
        <source>Set Parameters Dialog</source>
        <translation>パラメーターの設定</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>ヘルプ</translation>
    </message>
    <message>
        <source>See the help</source>
        <translation>ヘルプを表示します</translation>
    </message>
    <message>
        <source>&amp;About Quavelorin...</source>
        <translation>Quavelorin のバージョン情報(&amp;A)...</translation>
    </message>
    <message>
        <source>Display version number and copyright</source>
        <translation>バージョン番号と著作権情報を表示します</translation>
    </message>
    <message>
        <source>About Quavelorin</source>
        <translation>バージョン情報</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>終了(&amp;X)</translation>
    </message>
    <message>
        <source>Quit the application; prompts to save documents</source>
        <translation>アプリケーションを終了します</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>ツール バー(&amp;T)</translation>
    </message>
    <message>
        <source>Show or hide the toolbar</source>
        <translation>ツール バーの表示/非表示を切り替えます</translation>
    </message>
    <message>
        <source>Toggle ToolBar</source>
        <translation>ツール バーの表示切り替え</translation>
    </message>
    <message>
        <source>&amp;Status Bar</source>
        <translation>ステータス バー(&amp;S)</translation>
    </message>
    <message>
        <source>Show or hide the status bar</source>
        <translation>ステータス バーの表示/非表示を切り替えます</translation>
    </message>
    <message>
        <source>Toggle StatusBar</source>
        <translation>ステータス バーの表示切り替え</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Function</source>
        <translation>機能(&amp;N)</translation>
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
        <source>Toolbar</source>
        <translation>ツール バー</translation>
    </message>
    <message>
        <source>CAP</source>
        <translation>CAP</translation>
    </message>
    <message>
        <source>NUM</source>
        <translation>NUM</translation>
    </message>
    <message>
        <source>SCRL</source>
        <translation>SCRL</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>レディ</translation>
    </message>
    <message>
        <source>Metronom (F8)</source>
        <translation>メトロノーム (F8)</translation>
    </message>
    <message>
        <source>Play the metronom</source>
        <translation>メトロノームを鳴らす</translation>
    </message>
    <message>
        <source>Metronom</source>
        <translation>メトロノーム</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>拡大</translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation>縮小</translation>
    </message>
    <message>
        <source>Spectrum</source>
        <translation>スペクトル</translation>
    </message>
    <message>
        <source>Precise automatic mode</source>
        <translation>精密自動モード</translation>
    </message>
    <message>
        <source>In automatic mode, measure the note found as finely as a chosen string</source>
        <translation>自動モードで、見つけた音を弦を選んだときと同じ精度で測定します</translation>
    </message>
    <message>
        <source>Strobe</source>
        <translation>ストロボ</translation>
    </message>
    <message>
        <source>Show or hide the strobe</source>
        <translation>ストロボの表示切り替え</translation>
    </message>
</context>
<context>
    <name>CPageOpener</name>
    <message>
        <source>This page cannot be found:

%1</source>
        <translation>このページが見つかりません:

%1</translation>
    </message>
    <message>
        <source>The desktop could not open this page:

%1

You can open it by hand in your web browser.</source>
        <translation>このページを開けませんでした:

%1

Web ブラウザーで手動で開いてください。</translation>
    </message>
</context>
<context>
    <name>CSettingsStore</name>
    <message>
        <source>Quavelorin cannot write its settings to %1.
It will run, but its settings will not be kept.</source>
        <translation>Quavelorin は設定を %1 に書き込めません。
動作は続けますが、設定は保存されません。</translation>
    </message>
</context>
<context>
    <name>CTemperamentBox</name>
    <message>
        <source>Temperament</source>
        <translation>音律</translation>
    </message>
    <message>
        <source>Load a Scala file</source>
        <translation>Scala ファイルを読み込む</translation>
    </message>
    <message>
        <source>Scala files (*.scl);;All files (*)</source>
        <translation>Scala ファイル (*.scl);;すべてのファイル (*)</translation>
    </message>
    <message>
        <source>Load a Scala file...</source>
        <translation>Scala ファイルを読み込む...</translation>
    </message>
    <message>
        <source>Semitones the instrument sounds from the written note: -2 for a B-flat clarinet, -9 for an E-flat alto saxophone</source>
        <translation>楽器の実音と記譜音との半音差：B♭クラリネットは -2、E♭アルトサクソフォーンは -9</translation>
    </message>
    <message>
        <source>Root</source>
        <translation>主音</translation>
    </message>
    <message>
        <source>Transpose</source>
        <translation>移調</translation>
    </message>
    <message>
        <source>This file cannot be used as a temperament:
%1</source>
        <translation>このファイルは音律として使えません：
%1</translation>
    </message>
    <message>
        <source>Equal temperament</source>
        <translation>平均律</translation>
    </message>
    <message>
        <source>Pythagorean</source>
        <translation>ピタゴラス音律</translation>
    </message>
    <message>
        <source>Just intonation</source>
        <translation>純正律</translation>
    </message>
    <message>
        <source>Quarter-comma meantone</source>
        <translation>1/4 コンマ・ミーントーン</translation>
    </message>
    <message>
        <source>Werckmeister III</source>
        <translation>ヴェルクマイスター III</translation>
    </message>
    <message>
        <source>Kirnberger III</source>
        <translation>キルンベルガー III</translation>
    </message>
    <message>
        <source>Vallotti</source>
        <translation>ヴァロッティ</translation>
    </message>
    <message>
        <source>Young II</source>
        <translation>ヤング II</translation>
    </message>
    <message>
        <source>%1 on %2</source>
        <translation>%1（主音 %2）</translation>
    </message>
    <message>
        <source>transposed %1</source>
        <translation>移調 %1</translation>
    </message>
</context>
<context>
    <name>CTunerView</name>
    <message>
        <source>Pitch Meter</source>
        <translation>ピッチ メーター</translation>
    </message>
    <message>
        <source>Instrument Selection</source>
        <translation>楽器の選択</translation>
    </message>
    <message>
        <source>too high</source>
        <translation>高すぎます</translation>
    </message>
    <message>
        <source>too low</source>
        <translation>低すぎます</translation>
    </message>
    <message>
        <source>Input level</source>
        <translation>入力レベル</translation>
    </message>
</context>
<context>
    <name>Wave</name>
    <message>
        <source>No error.</source>
        <translation>エラーはありません。</translation>
    </message>
    <message>
        <source>No sound device is available.</source>
        <translation>使用できるサウンド デバイスがありません。</translation>
    </message>
    <message>
        <source>The sound device could not be opened or is in use.</source>
        <translation>サウンド デバイスを開けないか、使用中です。</translation>
    </message>
    <message>
        <source>The sound device does not support 16-bit mono sound at 44100 Hz.</source>
        <translation>このサウンド デバイスは 44100 Hz の 16 ビット モノラル サウンドに対応していません。</translation>
    </message>
    <message>
        <source>Unknown sound device error.</source>
        <translation>不明なサウンド デバイス エラーです。</translation>
    </message>
    <message>
        <source>The sound device stopped or was removed.</source>
        <translation>サウンド デバイスが停止したか、取り外されました。</translation>
    </message>
</context>
</TS>
