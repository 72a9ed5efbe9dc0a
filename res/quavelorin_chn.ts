<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en_US">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>About Quavelorin</source>
        <translation>关于 Quavelorin</translation>
    </message>
    <message>
        <source>Quavelorin Version 3.0.0.1</source>
        <translation>Quavelorin 版本 3.0.0.1</translation>
    </message>
    <message>
        <source>Made by the Quavelorin developers at Pelorin</source>
        <translation>由 Pelorin 的 Quavelorin 开发团队制作</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>CCommandLine</name>
    <message>
        <source>Quavelorin, a tuner for musical instruments.</source>
        <translation>Quavelorin，乐器调音器。</translation>
    </message>
    <message>
        <source>Displays this help and exits.</source>
        <translation>显示本帮助并退出。</translation>
    </message>
    <message>
        <source>Displays the version and exits.</source>
        <translation>显示版本并退出。</translation>
    </message>
    <message>
        <source>Quavelorin takes no arguments, only options: %1</source>
        <translation>Quavelorin 只接受选项，不接受参数：%1</translation>
    </message>
    <message>
        <source>Run &quot;%1 --help&quot; to see the options.</source>
        <translation>运行“%1 --help”查看选项。</translation>
    </message>
</context>
<context>
    <name>CDlgMetronom</name>
    <message>
        <source>Metronom</source>
        <translation>节拍器</translation>
    </message>
    <message>
        <source>Tempo</source>
        <translation>速度</translation>
    </message>
    <message>
        <source>Time(rhythm)</source>
        <translation>拍子（节奏）</translation>
    </message>
    <message>
        <source>Output Method</source>
        <translation>输出方式</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>声音</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>灯光</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>开始</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
</context>
<context>
    <name>CDlgSet</name>
    <message>
        <source>Set Parameters</source>
        <translation>设置参数</translation>
    </message>
    <message>
        <source>Frequency of A4</source>
        <translation>A4 的频率</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>输入</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>默认</translation>
    </message>
    <message>
        <source>Hz</source>
        <translation>Hz</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Please enter a number.</source>
        <translation>请输入一个数字。</translation>
    </message>
    <message>
        <source>Sensitivity</source>
        <translation>灵敏度</translation>
    </message>
    <message>
        <source> dB</source>
        <translation> dB</translation>
    </message>
    <message>
        <source>Quieter sound than this is not measured</source>
        <translation>低于此音量的声音不予测量</translation>
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
        <translation>该文件已损坏，或不是翻译文件。</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>Decrement half tone (F1)</source>
        <translation>降低半音 (F1)</translation>
    </message>
    <message>
        <source>Decrement a half tone</source>
        <translation>将目标音降低一个半音</translation>
    </message>
    <message>
        <source>b</source>
        <translation>降半音 (b)</translation>
    </message>
    <message>
        <source>Increment half tone (F2)</source>
        <translation>升高半音 (F2)</translation>
    </message>
    <message>
        <source>Increment a half tone</source>
        <translation>将目标音升高一个半音</translation>
    </message>
    <message>
        <source>#</source>
        <translation>升半音 (#)</translation>
    </message>
    <message>
        <source>Automatic tone (F3)</source>
        <translation>自动选音 (F3)</translation>
    </message>
    <message>
        <source>Automaticly select tone</source>
        <translation>自动选择目标音</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>自动</translation>
    </message>
    <message>
        <source>Play standard tone (F5)</source>
        <translation>播放标准音 (F5)</translation>
    </message>
    <message>
        <source>Play the standard tone</source>
        <translation>播放目标音的标准音</translation>
    </message>
    <message>
        <source>standard tone</source>
        <translation>标准音</translation>
    </message>
    <message>
        <source>Set Parameter Dialog</source>
        <translation>设置参数...</translation>
    </message>
    <message>
        <source>Show Set Parameters Dialog</source>
        <translation>打开“设置参数”对话框</translation>
    </message>
    <message>
        <source>Set Parameters Dialog</source>
        <translation>设置参数</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>See the help</source>
        <translation>查看帮助</translation>
    </message>
    <message>
        <source>&amp;About Quavelorin...</source>
        <translation>关于 Quavelorin(&amp;A)...</translation>
    </message>
    <message>
        <source>Display version number and copyright</source>
        <translation>显示版本号和版权信息</translation>
    </message>
    <message>
        <source>About Quavelorin</source>
        <translation>关于 Quavelorin</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>退出(&amp;X)</translation>
    </message>
    <message>
        <source>Quit the application; prompts to save documents</source>
        <translation>退出应用程序</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>工具栏(&amp;T)</translation>
    </message>
    <message>
        <source>Show or hide the toolbar</source>
        <translation>显示或隐藏工具栏</translation>
    </message>
    <message>
        <source>Toggle ToolBar</source>
        <translation>显示/隐藏工具栏</translation>
    </message>
    <message>
        <source>&amp;Status Bar</source>
        <translation>状态栏(&amp;S)</translation>
    </message>
    <message>
        <source>Show or hide the status bar</source>
        <translation>显示或隐藏状态栏</translation>
    </message>
    <message>
        <source>Toggle StatusBar</source>
        <translation>显示/隐藏状态栏</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>文件(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Function</source>
        <translation>功能(&amp;N)</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>查看(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>工具栏</translation>
    </message>
    <message>
        <source>CAP</source>
        <translation>大写</translation>
    </message>
    <message>
        <source>NUM</source>
        <translation>数字</translation>
    </message>
    <message>
        <source>SCRL</source>
        <translation>滚动</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>就绪</translation>
    </message>
    <message>
        <source>Metronom (F8)</source>
        <translation>节拍器 (F8)</translation>
    </message>
    <message>
        <source>Play the metronom</source>
        <translation>打开节拍器</translation>
    </message>
    <message>
        <source>Metronom</source>
        <translation>节拍器</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>放大</translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation>缩小</translation>
    </message>
    <message>
        <source>Spectrum</source>
        <translation>频谱</translation>
    </message>
    <message>
        <source>Precise automatic mode</source>
        <translation>精确自动模式</translation>
    </message>
    <message>
        <source>In automatic mode, measure the note found as finely as a chosen string</source>
        <translation>自动模式下，像选定琴弦时一样精细地测量找到的音</translation>
    </message>
    <message>
        <source>Strobe</source>
        <translation>频闪</translation>
    </message>
    <message>
        <source>Show or hide the strobe</source>
        <translation>显示或隐藏频闪</translation>
    </message>
</context>
<context>
    <name>CPageOpener</name>
    <message>
        <source>This page cannot be found:

%1</source>
        <translation>找不到此页面：

%1</translation>
    </message>
    <message>
        <source>The desktop could not open this page:

%1

You can open it by hand in your web browser.</source>
        <translation>系统无法打开此页面：

%1

您可以在网页浏览器中手动打开它。</translation>
    </message>
</context>
<context>
    <name>CSettingsStore</name>
    <message>
        <source>Quavelorin cannot write its settings to %1.
It will run, but its settings will not be kept.</source>
        <translation>Quavelorin 无法将设置写入 %1。
程序会继续运行，但设置将不会被保存。</translation>
    </message>
</context>
<context>
    <name>CTemperamentBox</name>
    <message>
        <source>Temperament</source>
        <translation>律制</translation>
    </message>
    <message>
        <source>Load a Scala file</source>
        <translation>载入 Scala 文件</translation>
    </message>
    <message>
        <source>Scala files (*.scl);;All files (*)</source>
        <translation>Scala 文件 (*.scl);;所有文件 (*)</translation>
    </message>
    <message>
        <source>Load a Scala file...</source>
        <translation>载入 Scala 文件...</translation>
    </message>
    <message>
        <source>Semitones the instrument sounds from the written note: -2 for a B-flat clarinet, -9 for an E-flat alto saxophone</source>
        <translation>乐器实际发音与记谱音相差的半音数：降B调单簧管为 -2，降E调中音萨克斯管为 -9</translation>
    </message>
    <message>
        <source>Root</source>
        <translation>主音</translation>
    </message>
    <message>
        <source>Transpose</source>
        <translation>移调</translation>
    </message>
    <message>
        <source>This file cannot be used as a temperament:
%1</source>
        <translation>此文件不能用作律制：
%1</translation>
    </message>
    <message>
        <source>Equal temperament</source>
        <translation>十二平均律</translation>
    </message>
    <message>
        <source>Pythagorean</source>
        <translation>毕达哥拉斯律</translation>
    </message>
    <message>
        <source>Just intonation</source>
        <translation>纯律</translation>
    </message>
    <message>
        <source>Quarter-comma meantone</source>
        <translation>四分之一音差中全音律</translation>
    </message>
    <message>
        <source>Werckmeister III</source>
        <translation>韦克迈斯特 III</translation>
    </message>
    <message>
        <source>Kirnberger III</source>
        <translation>基恩伯格 III</translation>
    </message>
    <message>
        <source>Vallotti</source>
        <translation>瓦洛蒂律</translation>
    </message>
    <message>
        <source>Young II</source>
        <translation>杨氏 II</translation>
    </message>
    <message>
        <source>%1 on %2</source>
        <translation>%1（%2 为主音）</translation>
    </message>
    <message>
        <source>transposed %1</source>
        <translation>移调 %1</translation>
    </message>
</context>
<context>
    <name>CTunerView</name>
    <message>
        <source>Pitch Meter</source>
        <translation>音准表</translation>
    </message>
    <message>
        <source>Instrument Selection</source>
        <translation>乐器选择</translation>
    </message>
    <message>
        <source>too high</source>
        <translation>太高</translation>
    </message>
    <message>
        <source>too low</source>
        <translation>太低</translation>
    </message>
    <message>
        <source>Input level</source>
        <translation>输入音量</translation>
    </message>
</context>
<context>
    <name>Wave</name>
    <message>
        <source>No error.</source>
        <translation>没有错误。</translation>
    </message>
    <message>
        <source>No sound device is available.</source>
        <translation>没有可用的声音设备。</translation>
    </message>
    <message>
        <source>The sound device could not be opened or is in use.</source>
        <translation>无法打开声音设备，或者该设备正被占用。</translation>
    </message>
    <message>
        <source>The sound device does not support 16-bit mono sound at 44100 Hz.</source>
        <translation>声音设备不支持 44100 Hz 的 16 位单声道声音。</translation>
    </message>
    <message>
        <source>Unknown sound device error.</source>
        <translation>未知的声音设备错误。</translation>
    </message>
    <message>
        <source>The sound device stopped or was removed.</source>
        <translation>声音设备已停止或已被移除。</translation>
    </message>
</context>
</TS>
