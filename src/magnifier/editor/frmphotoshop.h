#pragma once

#include "magnifier/editor/clspotoshop.h"
#include "magnifier/editor/drawing.h"
#include "magnifier/editor/drawingframes.h"
#include "magnifier/editor/edithistory.h"
#include "magnifier/editor/editorboard.h"
#include "magnifier/editor/shapeselect.h"
#include "shared/platform/services.h"
#include "shared/wheelnotches.h"

#include <QWidget>

#include <array>
#include <memory>
#include <optional>
#include <utility>

class PictureArea;
class QAction;
class QActionGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QTimer;
class QToolBar;

// The annotation editor: a borderless window over one monitor that shows a
// frozen picture, on which the user marks a rectangle or a free-hand
// outline, drags the outline or the pixels under it, picks colours and
// undoes the last move, and draws over the picture with pens and shapes
// that stay objects of their own. It keeps nothing: closing it drops the
// edits.
class frmphotoshop : public QWidget {
    Q_OBJECT
  public:
    // The tool and what the mouse is doing with it.
    enum ToolModes : qint16 {
        RectWaiting = 1,   // rectangle tool, waiting or drawing a rectangle
        RectDragging = 2,  // rectangle tool, dragging a selection outline
        AnyWaiting = 3,    // free-hand tool, waiting or tracing
        AnyDragging = 4,   // free-hand tool, dragging a selection outline
        MoveWaiting = 5,   // move tool, waiting
        MoveDragging = 6,  // move tool, dragging the selected pixels
        ColourPicking = 7, // colour-pick tool
        Drawing = 8,       // a drawing tool (DrawTool), waiting or drawing
        Selecting = 9,     // select tool: holding, moving and resizing a drawn shape
    };
    // The pointers over the picture, by their place in Image1.
    enum PictureCursor : int {
        RectCursor = 0,   // rectangle tool
        AnyCursor = 1,    // free-hand tool
        MoveCursor = 2,   // move tool
        PickCursor = 3,   // colour-pick tool
        InClipCursor = 4, // over the selection, which a press drags
        DrawCursor = 5,   // the drawing tools: a cross, not one of Image1
        PointCursor = 6,  // the select tool: the usual arrow, not one of Image1
    };
    // The colours of the keys R, G, B, O, Y, P, W and K, in that order.
    static const std::array<std::pair<Qt::Key, QColor>, 8> ColourKeys;

    explicit frmphotoshop(const Services& services, QWidget* parent = nullptr);
    ~frmphotoshop() override;
    // A new editor, loaded, that takes over the screen with the picture:
    // shown above everything and active.
    static frmphotoshop* openOver(const Services& services, QImage picture, qreal devicePixelRatio);

    // Load and unload.
    void Form_Load();
    void Form_Unload();
    // The frozen picture to work on, in device pixels of the monitor the
    // editor covers.
    void setPicture(QImage picture, qreal devicePixelRatio);
    // True once the editor has been unloaded; handlers still on the stack
    // then stop where they are.
    bool isUnloaded() const { return !m_sel; }

    // Picture area, strip and timer.
    void Picture1_MouseDown(int button, int shift, int x, int y);
    void Picture1_MouseMove(int button, int shift, int x, int y);
    void Picture1_MouseUp(int button, int shift, int x, int y);
    void Picture1_DblClick();
    void Picture1_Paint();
    void Label3_MouseMove();
    void Timer1_Timer();

    // Rubber band and rectangle corners.
    void drawRect(qint32 x, qint32 y, bool draw);
    bool AddRectData(qint32 x, qint32 y);

    // Toolbar and menu.
    void Toolbar1_ButtonClick(const QString& key);
    // 撤消 and Ctrl+Z, 重做 and Ctrl+Y: one history of every edit, the
    // drawings' and the dragged pixels', in the order made.
    void Undo();
    void Redo();
    // The system-wide Ctrl+Z, pressed while this editor may be in front:
    // true when it was the editor's undo and must not freeze a new view.
    bool hotkeyPressed();
    void mnjieshufd_Click();
    void mnqufd_Click();
    void mnwanneng_Click();
    void mnabuot_Click();

    // How the selection object brings its frames to the picture; the
    // benchmarks compare both. Takes effect at the next load.
    void setComposition(Composition composition) { m_composition = composition; }
    // The selection object; null before load and after unload.
    clspotoshop* selection() const { return m_sel.get(); }
    QAction* button(const QString& key) const;

    // What is drawn over the picture, and the shape the mouse is drawing.
    const drawing::Drawing& drawings() const { return m_drawing; }
    const DrawingFrames& frames() const { return m_frames; }
    const std::optional<drawing::Shape>& stroke() const { return m_stroke; }
    // The text being typed, on the picture where it will stay; null when
    // there is none.
    QPlainTextEdit* textBox() const { return m_textBox; }
    // The kind a drag with the drawing tool draws, before the modifiers.
    drawing::Kind DrawTool = drawing::Kind::Pen;
    QColor DrawColour{230, 0, 0}; // the R key's red
    // Picture pixels; the highlighter draws four times as wide.
    qreal DrawWidth = 4;

    // The select tool, and the toolbar's colour and width buttons with
    // their menus; setting the colour recolours a held shape.
    const drawing::ShapeSelect& held() const { return m_held; }
    void setDrawColour(const QColor& colour);
    void setDrawWidth(qreal width);
    QAction* ColourButton = nullptr;
    QAction* WidthButton = nullptr;
    QActionGroup* WidthGroup = nullptr;
    static const std::array<qreal, 6> Widths;
    // The picture with the drawings on it, at its full size in device
    // pixels, as a copy or a file gets it.
    QImage annotatedPicture() const;
    // Ctrl+C: that picture on the clipboard. Ctrl+S: that picture as a PNG
    // in PicturesFolder, named as the capture program names its captures,
    // and a notice over the picture that names the file.
    void copyPicture();
    void savePicture();
    QString PicturesFolder;
    QLabel* Notice = nullptr;

    // Controls.
    PictureArea* Picture1 = nullptr;
    QLabel* Label3 = nullptr;
    QToolBar* Toolbar1 = nullptr;
    QActionGroup* ToolGroup = nullptr;
    std::array<QCursor, 5> Image1;
    QTimer* Timer1 = nullptr;
    QFrame* Frame1 = nullptr;
    std::array<QLabel*, 2> Label1{};
    QCheckBox* Check1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QMenu* mnkz = nullptr;
    QAction* mnjieshufd = nullptr;
    QAction* mnqufd = nullptr;
    QAction* mnwanneng = nullptr;
    QAction* mnwnbhxx = nullptr;
    QAction* mnabuot = nullptr;
    QAction* mnfuzhi = nullptr;  // copy the picture
    QAction* mnbaocun = nullptr; // save the picture

    // Fields.
    qint16 ToolMode = RectWaiting;
    qint32 RectStartX = 0;
    qint32 RectStartY = 0;
    qint32 LastCornerX = 0;
    qint32 LastCornerY = 0;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void buildControls();
    void buildToolbar();
    void buildMenu();
    void setPictureCursor(PictureCursor image);
    // Takes a not-xor band that is still on the picture off it again.
    void eraseBand();
    // Shows on screen what the selection object wrote into the picture.
    void showWritten();
    QColor swatch(int index) const;
    void setSwatch(int index, quint32 colour);
    // Drawing with the mouse; `shift` as the handlers take it.
    void startStroke(int shift, QPointF at);
    void extendStroke(QPointF at);
    void endStroke();
    void cancelStroke();
    void placeNumber(QPointF at);
    // Text: typed into a box over the picture, an object once it ends;
    // `keep` false drops what was typed.
    void startText(QPointF at);
    void finishText(bool keep = true);
    void fitTextBox();
    QPoint pointer() const;
    void chooseDrawTool(drawing::Kind kind, const QString& key);
    void changeWidth(int steps);
    void drawingChanged(const QRectF& pictureArea);
    void paintDrawings(QPainter& painter, const QRect& area) const;
    void showNotice(const QString& text);
    void buildColourAndWidth();
    void showColourAndWidth();
    QRectF heldArea() const;
    void selectPress(QPoint at);
    void selectDrag(QPoint at);
    void selectRelease();
    bool selectKey(int key);
    void letGo();
    void paintHeld(QPainter& painter) const;
    void turn(const EditHistory::Turn& turn);
    bool pixelsInHand() const;

    // Zoom, pan and boards (frmphotoshop_zoom.cpp).
  public:
    // Wheel notches about a logical position on the picture area.
    void zoomAt(int notches, QPointF at);
    // Ctrl+W and Ctrl+K: the board of that key, or back to the picture.
    void showBoard(Board key);
    bool onBoard() const { return m_boards.shown() != Board::Picture; }
    // The pixel tools work on the picture, which a board hides; drawn
    // shapes are the board's own.
    bool pixelToolOnBoard() const {
        return onBoard() && ToolMode != Drawing && ToolMode != Selecting;
    }
    // What is shown beneath the drawings: the picture, or the board at the
    // picture's size.
    QImage shownPicture() const;

  private:
    bool zoomKey(const QKeyEvent& e);
    // Where the drawing tools put the picture pixel (x, y) the pointer
    // reported: zoomed in, the point between pixels under it.
    QPointF drawingPoint(int x, int y) const;
    bool panEvent(QEvent* event);
    void viewMoved();
    QFont textBoxFont() const;
    wheelnotches::Notches m_wheel;
    Boards m_boards;
    // Where the middle button's drag was last, in logical positions.
    std::optional<QPointF> m_panFrom;

    Services m_services;
    std::unique_ptr<clspotoshop> m_sel;
    Composition m_composition = Composition::ChangedArea;
    // Whether a not-xor band from RectStart to LastCorner is on the picture.
    bool m_bandShown = false;
    std::optional<PictureCursor> m_cursor;
    drawing::Drawing m_drawing;
    // Painting keeps the frames of busy drawings up to date.
    mutable DrawingFrames m_frames;
    std::optional<drawing::Shape> m_stroke;
    // Whether the stroke goes straight from the press to the pointer.
    bool m_straight = false;
    // Tab turns a drag into an ellipse while it is held.
    bool m_tabHeld = false;
    EditHistory m_history;
    drawing::ShapeSelect m_held;
    // Where the selected pixels were at the press that drags them.
    Placement m_pressed;
    QTimer* m_noticeTimer = nullptr;
    QPlainTextEdit* m_textBox = nullptr;
    // What the text will be, all but its letters.
    drawing::Shape m_text;
    // Where the pointer was last seen over the picture: T starts text there.
    std::optional<QPoint> m_pointer;
};
