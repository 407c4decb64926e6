<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Derudovudi</name>
    <message>
        <source>截图未能保存到“%1”（%2）。图片仍在剪贴板上。</source>
        <translation>The screenshot could not be saved in “%1” (%2). The picture is still on the clipboard.</translation>
    </message>
    <message>
        <source>截图已保存</source>
        <translation>Screenshot saved</translation>
    </message>
</context>
<context>
    <name>picturefile</name>
    <message>
        <source>截图</source>
        <translation>Screenshot</translation>
    </message>
</context>
<context>
    <name>zuz</name>
    <message>
        <source>标记编辑器</source>
        <translation>Annotation editor</translation>
    </message>
    <message>
        <source>冻结的画面</source>
        <translation>Frozen picture</translation>
    </message>
    <message>
        <source>另一个程序一直占用着剪贴板，选取的图片未能放到剪贴板上。</source>
        <translation>Another program keeps the clipboard to itself: the picked picture could not be put on the clipboard.</translation>
    </message>
    <message>
        <source>透明</source>
        <translation>Transparent</translation>
    </message>
    <message>
        <source>矩型</source>
        <translation>Rectangle</translation>
    </message>
    <message>
        <source>任意型</source>
        <translation>Freehand</translation>
    </message>
    <message>
        <source>移动</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>取色</source>
        <translation>Pick colour</translation>
    </message>
    <message>
        <source>撤消</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>画笔（R G B O Y P W K 选颜色）</source>
        <translation>Pen (R G B O Y P W K pick the colour)</translation>
    </message>
    <message>
        <source>荧光笔（Shift+颜色键）</source>
        <translation>Highlighter (Shift+colour key)</translation>
    </message>
    <message>
        <source>直线（画笔时 Shift+拖动）</source>
        <translation>Line (with the pen: Shift+drag)</translation>
    </message>
    <message>
        <source>箭头（画笔时 Ctrl+Shift+拖动）</source>
        <translation>Arrow (with the pen: Ctrl+Shift+drag)</translation>
    </message>
    <message>
        <source>方框（画笔时 Ctrl+拖动）</source>
        <translation>Box (with the pen: Ctrl+drag)</translation>
    </message>
    <message>
        <source>椭圆（画笔时按住 Tab 拖动）</source>
        <translation>Ellipse (with the pen: hold Tab and drag)</translation>
    </message>
    <message>
        <source>步骤编号（N）</source>
        <translation>Step number (N)</translation>
    </message>
    <message>
        <source>马赛克（X）</source>
        <translation>Pixelate (X)</translation>
    </message>
    <message>
        <source>文字（T）</source>
        <translation>Text (T)</translation>
    </message>
    <message>
        <source>重做（Ctrl+Y）</source>
        <translation>Redo (Ctrl+Y)</translation>
    </message>
    <message>
        <source>选择（V）</source>
        <translation>Select (V)</translation>
    </message>
    <message>
        <source>颜色</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>红（R）</source>
        <translation>Red (R)</translation>
    </message>
    <message>
        <source>绿（G）</source>
        <translation>Green (G)</translation>
    </message>
    <message>
        <source>蓝（B）</source>
        <translation>Blue (B)</translation>
    </message>
    <message>
        <source>橙（O）</source>
        <translation>Orange (O)</translation>
    </message>
    <message>
        <source>黄（Y）</source>
        <translation>Yellow (Y)</translation>
    </message>
    <message>
        <source>粉（P）</source>
        <translation>Pink (P)</translation>
    </message>
    <message>
        <source>白（W）</source>
        <translation>White (W)</translation>
    </message>
    <message>
        <source>黑（K）</source>
        <translation>Black (K)</translation>
    </message>
    <message>
        <source>取色的颜色</source>
        <translation>The eyedropper&apos;s colour</translation>
    </message>
    <message>
        <source>%1 像素</source>
        <translation>%1 px</translation>
    </message>
    <message>
        <source>复制图片（Ctrl+C）</source>
        <translation>Copy the picture (Ctrl+C)</translation>
    </message>
    <message>
        <source>保存图片（Ctrl+S）</source>
        <translation>Save the picture (Ctrl+S)</translation>
    </message>
    <message>
        <source>粗细：%1</source>
        <translation>Width: %1</translation>
    </message>
    <message>
        <source>已保存：%1</source>
        <translation>Saved: %1</translation>
    </message>
    <message>
        <source>未能保存到“%1”（%2）</source>
        <translation>Could not save in “%1” (%2)</translation>
    </message>
    <message>
        <source>离开</source>
        <translation>Leave</translation>
    </message>
    <message>
        <source>控制</source>
        <translation>Control</translation>
    </message>
    <message>
        <source>结束本次放大</source>
        <translation>End this zoom</translation>
    </message>
    <message>
        <source>关于...</source>
        <translation>About...</translation>
    </message>
    <message>
        <source>手工画框标记</source>
        <translation>Mark by drawing a frame</translation>
    </message>
    <message>
        <source>取消本次放大[可按X键]</source>
        <translation>Cancel this zoom [or press X]</translation>
    </message>
    <message>
        <source>宽-</source>
        <translation>W-</translation>
    </message>
    <message>
        <source>单击减宽200</source>
        <translation>Click: 200 narrower</translation>
    </message>
    <message>
        <source>高-</source>
        <translation>H-</translation>
    </message>
    <message>
        <source>单击减高200</source>
        <translation>Click: 200 lower</translation>
    </message>
    <message>
        <source>宽+</source>
        <translation>W+</translation>
    </message>
    <message>
        <source>单击增宽200</source>
        <translation>Click: 200 wider</translation>
    </message>
    <message>
        <source>高+</source>
        <translation>H+</translation>
    </message>
    <message>
        <source>单击增高200</source>
        <translation>Click: 200 taller</translation>
    </message>
    <message>
        <source>取消本次放大[也可按X键或Esc键！]</source>
        <translation>Cancel this zoom [or press X or Esc!]</translation>
    </message>
    <message>
        <source>再次放大本屏(Ctrl+Z)</source>
        <translation>Zoom the screen again (Ctrl+Z)</translation>
    </message>
    <message>
        <source>退出！！！</source>
        <translation>Quit!!!</translation>
    </message>
    <message>
        <source>只纵向放大</source>
        <translation>Zoom vertically only</translation>
    </message>
    <message>
        <source>自定义zuz</source>
        <translation>Custom zuz size</translation>
    </message>
    <message>
        <source>恢复缺省大小[2倍]</source>
        <translation>Default size [2x]</translation>
    </message>
    <message>
        <source>扩大1点5倍</source>
        <translation>Enlarge 1.5x</translation>
    </message>
    <message>
        <source>上下自动滚动</source>
        <translation>Scroll up automatically</translation>
    </message>
    <message>
        <source>循环滚动</source>
        <translation>Scroll in a loop</translation>
    </message>
    <message>
        <source>推拉效果</source>
        <translation>Push-pull effect</translation>
    </message>
    <message>
        <source>速度</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>快=1</source>
        <translation>Fast=1</translation>
    </message>
    <message>
        <source>中=100</source>
        <translation>Medium=100</translation>
    </message>
    <message>
        <source>慢=500</source>
        <translation>Slow=500</translation>
    </message>
    <message>
        <source>缺省=50</source>
        <translation>Default=50</translation>
    </message>
    <message>
        <source>自定义</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>捕获</source>
        <translation>Capture</translation>
    </message>
    <message>
        <source>请输入时钟频率[1000为1秒！]：</source>
        <translation>Enter the timer interval [1000 = 1 second!]:</translation>
    </message>
    <message>
        <source>时钟设置</source>
        <translation>Timer setting</translation>
    </message>
    <message>
        <source>结束自定义zuz</source>
        <translation>End custom zuz size</translation>
    </message>
    <message>
        <source>在此“岚”字图标上按右键，放大本屏！</source>
        <translation>Right-click this icon to zoom the screen!</translation>
    </message>
    <message>
        <source>没有找到通知区域，Ctrl+Z 也已被别的程序占用，zuz 无法在后台等待，现在退出。

要再次放大，请重新启动 zuz。</source>
        <translation>No notification area was found and Ctrl+Z is taken by another program, so zuz cannot wait in the background and quits now.

To zoom again, start zuz again.</translation>
    </message>
    <message>
        <source>zuz 提示</source>
        <translation>zuz tip</translation>
    </message>
    <message>
        <source>扩大2倍</source>
        <translation>Enlarge 2x</translation>
    </message>
    <message>
        <source>横向纵向都放大</source>
        <translation>Zoom both ways</translation>
    </message>
    <message>
        <source>双击暂离</source>
        <translation>Double-click to leave</translation>
    </message>
    <message>
        <source>自定义区域（单击后拖动鼠标！）</source>
        <translation>Custom area (click, then drag the mouse!)</translation>
    </message>
    <message>
        <source>捕获选择[&amp;C]</source>
        <translation>Capture options [&amp;C]</translation>
    </message>
    <message>
        <source>放大区域</source>
        <translation>Zoom an area</translation>
    </message>
    <message>
        <source>放大比例</source>
        <translation>Enlargement</translation>
    </message>
    <message>
        <source>是否滚动</source>
        <translation>Scroll</translation>
    </message>
    <message>
        <source>全屏放大</source>
        <translation>Zoom the whole screen</translation>
    </message>
    <message>
        <source>结束放大</source>
        <translation>End zooming</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>放大本屏</source>
        <translation>Zoom the screen</translation>
    </message>
    <message>
        <source>没有会话总线 (D-Bus)。</source>
        <translation>There is no session bus (D-Bus).</translation>
    </message>
    <message>
        <source>桌面门户没有给出画面。</source>
        <translation>The desktop portal gave no picture.</translation>
    </message>
    <message>
        <source>截屏的许可被拒绝。</source>
        <translation>Permission to take a screenshot was refused.</translation>
    </message>
    <message>
        <source>桌面门户截屏失败。</source>
        <translation>The desktop portal failed to take a screenshot.</translation>
    </message>
    <message>
        <source>桌面门户给出的画面无法读取。</source>
        <translation>The picture from the desktop portal cannot be read.</translation>
    </message>
    <message>
        <source>无法读取屏幕画面：%1

在 Wayland 桌面上，屏幕画面只能通过桌面门户（xdg-desktop-portal 及其桌面后端）读取，请安装并允许截屏。在此之前不会显示放大画面。</source>
        <translation>Cannot read the screen: %1

On a Wayland desktop the screen can only be read through the desktop portal (xdg-desktop-portal and its desktop back end); please install it and allow screenshots. Until then no zoomed view is shown.</translation>
    </message>
    <message>
        <source>   zuz已经在运行中！按“Ctrl+Z”试试！操作要领如下：</source>
        <translation>   zuz is already running! Try Ctrl+Z! How to use it:</translation>
    </message>
    <message>
        <source>按下“左键”拖动屏幕！按“右键”选择菜单！</source>
        <translation>Drag the screen with the left button! Right-click for the menu!</translation>
    </message>
    <message>
        <source>按“Ctrl+Z”键再次放大！</source>
        <translation>Ctrl+Z zooms again!</translation>
    </message>
    <message>
        <source>或在屏幕右下角“岚”字图标上按右键！</source>
        <translation>Or right-click the zuz icon in the tray!</translation>
    </message>
    <message>
        <source>您现在可试一下！</source>
        <translation>Try it now!</translation>
    </message>
    <message>
        <source> 双击滚动/再双击停止！按X或Esc键取消本次放大[或按屏幕下中撤消小按钮]！！</source>
        <translation> Double-click: scroll/stop! X, Esc or the small bottom button cancels!</translation>
    </message>
    <message>
        <source>按下“左键”拖动屏幕！按右键选菜单！按右上角小按钮画框！画框窗口右键或双击取消，鼠标移到屏幕上边工具按钮！</source>
        <translation>Drag with the left button; right-click for the menu! The top-right button draws frames (tools at the top edge).</translation>
    </message>
    <message>
        <source>您现在可试一下Ctrl+Z键！</source>
        <translation>Try Ctrl+Z now!</translation>
    </message>
    <message>
        <source>Wayland：把“zuz --view”设为桌面快捷键！</source>
        <translation>Wayland: bind “zuz --view” to a desktop shortcut!</translation>
    </message>
    <message>
        <source>   单击屏幕右下角的zuz按钮后，鼠标指向要放大的区域后。</source>
        <translation>   Click the zuz button at the bottom right, point at the area to zoom,</translation>
    </message>
    <message>
        <source>   按下鼠标左键拖动定义所要放大的区域，松开鼠标即完成！！</source>
        <translation>   drag with the left button to mark it and release: done!</translation>
    </message>
    <message>
        <source>按右键选菜单操作！！双击放大区域，可结束本次放大！</source>
        <translation>Right-click for the menu! Double-click the zoomed area to end the zoom!</translation>
    </message>
    <message>
        <source>菜单操作，可在当前放大的区域上，按右键，！</source>
        <translation>For the menu, right-click on the zoomed area!</translation>
    </message>
    <message>
        <source>单击“放大区域”即可放大下一区域！反复单击“是否滚动”可在超出屏幕时自动滚动！</source>
        <translation>Click “Zoom an area” for the next area! Tick “Scroll” to scroll areas larger than the screen!</translation>
    </message>
    <message>
        <source>zuz提示！</source>
        <translation>zuz tips!</translation>
    </message>
    <message>
        <source>知道了。以后别再烦我了！！</source>
        <translation>Got it. Don&apos;t show this again!</translation>
    </message>
    <message>
        <source>以后不再出现此对话框了！！不过右键菜单中按“关于”仍可显示！</source>
        <translation>This dialog won&apos;t appear again! “About” in the right-click menu still shows it!</translation>
    </message>
    <message>
        <source>以后不再出现此对话框了！！不过右键中按“关于”仍能显示！</source>
        <translation>This dialog won&apos;t appear again! “About” in the right-click menu still shows it!</translation>
    </message>
    <message>
        <source>离开，下次仍出现此对话框！</source>
        <translation>Close; show this dialog next time too!</translation>
    </message>
    <message>
        <source>是</source>
        <translation>✓</translation>
    </message>
    <message>
        <source>按钮的位置：</source>
        <translation>Button at:</translation>
    </message>
    <message>
        <source>桌面门户给出的不是本机文件。</source>
        <translation>The desktop portal gave no file on this computer.</translation>
    </message>
    <message>
        <source>桌面门户给出的画面文件不存在。</source>
        <translation>The picture file the desktop portal gave does not exist.</translation>
    </message>
    <message>
        <source>桌面门户给出的画面文件是一个链接。</source>
        <translation>The picture file the desktop portal gave is a link.</translation>
    </message>
    <message>
        <source>桌面门户给出的画面文件无法打开。</source>
        <translation>The picture file the desktop portal gave cannot be opened.</translation>
    </message>
    <message>
        <source>桌面门户给出的不是普通文件。</source>
        <translation>The desktop portal gave no regular file.</translation>
    </message>
    <message>
        <source>桌面门户给出的画面文件属于另一个帐户。</source>
        <translation>The picture file the desktop portal gave belongs to another account.</translation>
    </message>
    <message>
        <source>桌面门户给出的画面文件另有链接。</source>
        <translation>The picture file the desktop portal gave has other links.</translation>
    </message>
    <message>
        <source>桌面门户给出的画面文件早于这次截屏。</source>
        <translation>The picture file the desktop portal gave is older than this capture.</translation>
    </message>
    <message>
        <source>为安全起见不予读取。</source>
        <translation>so it is not read, for safety.</translation>
    </message>
    <message>
        <source>grim 没有给出画面。</source>
        <translation>grim gave no picture.</translation>
    </message>
    <message>
        <source>grim 截屏失败：%1</source>
        <translation>grim could not take the picture: %1</translation>
    </message>
    <message>
        <source>桌面门户把画面存放在其他帐户也能写入的位置（%1），</source>
        <translation>The desktop portal keeps the picture where other accounts can write too (%1), </translation>
    </message>
    <message>
        <source>画面太大（%1x%2），内存不足。</source>
        <translation>The picture is too large (%1x%2) for the memory available.</translation>
    </message>
    <message>
        <source>%1：屏幕每像素只有 %2 位，窗口无法显示；请把颜色深度设为 16 位或更高。</source>
        <translation>%1: the screen has only %2 bits a pixel, so windows cannot show; set the colour depth to 16 bits or more.</translation>
    </message>
    <message>
        <source>%1 无法启动：无法建立单实例锁文件。

%2</source>
        <translation>%1 cannot start: its single-instance lock file cannot be made.

%2</translation>
    </message>
    <message>
        <source>快捷键：为命令“zuz --view”设一个（GNOME：设置→键盘→自定义快捷键）！</source>
        <translation>Key: bind one to “zuz --view” (GNOME: Settings → Keyboard → Custom Shortcuts)!</translation>
    </message>
    <message>
        <source>“岚”字图标：GNOME 需启用 AppIndicator 扩展！再次启动 zuz 也可放大！</source>
        <translation>Tray icon: on GNOME, enable the AppIndicator extension! Starting zuz again also zooms!</translation>
    </message>
    <message>
        <source>移动画面八分之一屏</source>
        <translation>Move the picture an eighth of the screen</translation>
    </message>
    <message>
        <source>移动画面一整屏</source>
        <translation>Move the picture a whole screen</translation>
    </message>
    <message>
        <source>以屏幕中心放大</source>
        <translation>Zoom in about the screen&apos;s middle</translation>
    </message>
    <message>
        <source>以屏幕中心缩小</source>
        <translation>Zoom out about the screen&apos;s middle</translation>
    </message>
    <message>
        <source>恢复当前放大方式的大小</source>
        <translation>Back to the zoom mode&apos;s size</translation>
    </message>
    <message>
        <source>反色</source>
        <translation>Invert colours</translation>
    </message>
    <message>
        <source>C, Shift+C</source>
        <translation>C, Shift+C</translation>
    </message>
    <message>
        <source>提高、降低对比度</source>
        <translation>More, less contrast</translation>
    </message>
    <message>
        <source>灰度</source>
        <translation>Greyscale</translation>
    </message>
    <message>
        <source>平滑或清晰的放大</source>
        <translation>Smooth or sharp enlargement</translation>
    </message>
    <message>
        <source>十字线</source>
        <translation>Crosshairs</translation>
    </message>
    <message>
        <source>阅读条</source>
        <translation>Reading band</translation>
    </message>
    <message>
        <source>Shift+滚轮</source>
        <translation>Shift+wheel</translation>
    </message>
    <message>
        <source>阅读条的高度</source>
        <translation>Height of the reading band</translation>
    </message>
    <message>
        <source>辅助</source>
        <translation>Aids</translation>
    </message>
    <message>
        <source>反色(I)</source>
        <translation>Invert colours (I)</translation>
    </message>
    <message>
        <source>正常对比度</source>
        <translation>Normal contrast</translation>
    </message>
    <message>
        <source>高对比度(C)</source>
        <translation>High contrast (C)</translation>
    </message>
    <message>
        <source>更高对比度</source>
        <translation>Higher contrast</translation>
    </message>
    <message>
        <source>灰度(G)</source>
        <translation>Greyscale (G)</translation>
    </message>
    <message>
        <source>平滑放大(S)</source>
        <translation>Smooth enlargement (S)</translation>
    </message>
    <message>
        <source>十字线(H)</source>
        <translation>Crosshairs (H)</translation>
    </message>
    <message>
        <source>阅读条(L)</source>
        <translation>Reading band (L)</translation>
    </message>
    <message>
        <source>按键一览</source>
        <translation>Keys</translation>
    </message>
    <message>
        <source>按任意键关闭</source>
        <translation>Press any key to close</translation>
    </message>
    <message>
        <source>Shift+F10, 菜单键</source>
        <translation>Shift+F10, Menu key</translation>
    </message>
    <message>
        <source>打开菜单</source>
        <translation>Open the menu</translation>
    </message>
    <message>
        <source>取消本次放大</source>
        <translation>Cancel this zoom</translation>
    </message>
    <message>
        <source>再次放大本屏</source>
        <translation>Zoom this screen again</translation>
    </message>
    <message>
        <source>放大的屏幕</source>
        <translation>Zoomed screen</translation>
    </message>
    <message>
        <source>按F1查看按键</source>
        <translation>Press F1 for the keys</translation>
    </message>
    <message>
        <source>放大的区域</source>
        <translation>Zoomed region</translation>
    </message>
    <message>
        <source>右键</source>
        <translation>Right-click</translation>
    </message>
    <message>
        <source>左键拖动</source>
        <translation>Left-drag</translation>
    </message>
    <message>
        <source>移动窗口或画面</source>
        <translation>Move the window or the picture</translation>
    </message>
    <message>
        <source>双击</source>
        <translation>Double-click</translation>
    </message>
    <message>
        <source>暂离</source>
        <translation>Leave</translation>
    </message>
    <message>
        <source>视觉辅助</source>
        <translation>Visual aids</translation>
    </message>
    <message>
        <source>反色	I</source>
        <translation>Invert colours	I</translation>
    </message>
    <message>
        <source>正常对比度</source>
        <translation>Normal contrast</translation>
    </message>
    <message>
        <source>高对比度	C</source>
        <translation>High contrast	C</translation>
    </message>
    <message>
        <source>更高对比度	Shift+C</source>
        <translation>Higher contrast	Shift+C</translation>
    </message>
    <message>
        <source>灰度	G</source>
        <translation>Greyscale	G</translation>
    </message>
    <message>
        <source>平滑放大	S</source>
        <translation>Smooth enlargement	S</translation>
    </message>
    <message>
        <source>十字线	H</source>
        <translation>Crosshairs	H</translation>
    </message>
    <message>
        <source>反色</source>
        <translation>Invert colours</translation>
    </message>
    <message>
        <source>增强或减弱对比度</source>
        <translation>Contrast up or down</translation>
    </message>
    <message>
        <source>灰度</source>
        <translation>Greyscale</translation>
    </message>
    <message>
        <source>清晰或平滑放大</source>
        <translation>Sharp or smooth enlargement</translation>
    </message>
    <message>
        <source>红色十字线</source>
        <translation>Red crosshairs</translation>
    </message>
    <message>
        <source>自定义区域</source>
        <translation>Custom area</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Tip</translation>
    </message>
</context>
</TS>
