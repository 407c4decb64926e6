#pragma once

#include <QLabel>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

class QCheckBox;

// Which program the tip dialog speaks for: the two copies differ in their
// hint text, marker file, size and a few controls.
enum class TipVariant { Magnifier, Region };

// Where the marker file is looked for and written. The program folder is
// first place, beside the program; when it cannot be written (an installed program's
// folder usually cannot), the marker goes to the program's folder under
// the user's configuration folder, and a marker in either place
// suppresses the dialog at start-up.
struct TipMarkerFolders {
    QString programFolder;
    QString configFolder;
};

// "Vivoduzivi.ini" or "Vorlane.ini".
QString TipMarkerFileName(TipVariant variant);
// The hint label's pieces and their caption (joined with CR LF CR LF).
// The hints as shown, or in the source language, as the marker file keeps them.
enum class TipLanguage { Shown, Source };
QStringList TipHintPieces(TipVariant variant, TipLanguage language = TipLanguage::Shown);
// Where the magnifier holds neither an icon in a notification area nor a
// key, its hint says how to get them rather than point at them.
void SetTipWithoutWayBack(bool without);
QString TipHintText(TipVariant variant);
// What the check box appends to the marker file (pieces parted by CR LF
// CR LF, one CR LF after the last piece, as Windows editors read it).
QByteArray TipMarkerContent(TipVariant variant);

// The folders of the running program: applicationDirPath() and
// <user settings folder>/zuz or /Zonara. SetTipMarkerFolders
// replaces them (tests); an empty struct restores them.
TipMarkerFolders DefaultTipMarkerFolders(TipVariant variant);
void SetTipMarkerFolders(TipVariant variant, const TipMarkerFolders& folders);

// Appends the marker text: to the program folder's file, or when that
// cannot be written to the configuration folder's. Returns the path
// written, or an empty string when neither could be.
QString AppendTipMarker(TipVariant variant, const TipMarkerFolders& folders);

// A label as the forms know it: windowless in spirit, it keeps its own
// mouse events (a press on it never reaches the window beneath) and
// reports them in twips relative to itself.
class TipLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;
  signals:
    void mouseDown(int button, int shift, double x, double y);
    void mouseMove(int button, int shift, double x, double y);
    void mouseUp(int button, int shift, double x, double y);
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// The hint label: word-wrapped text whose lines are one em apart, as the
// SimSun, the font the layout is made for, has them (its line height is its em). Substitute fonts
// usually ask for more, and the five pieces would then overflow the label.
class TipHintLabel : public TipLabel {
    Q_OBJECT
  public:
    using TipLabel::TipLabel;
    // The height the text needs at the label's width.
    int textHeight() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int layoutText(class QPainter* painter) const;
};

// An image control: draws its picture stretched over itself.
class TipImage : public TipLabel {
    Q_OBJECT
  public:
    explicit TipImage(QWidget* parent = nullptr);
    const QPixmap& picture() const { return m_picture; }
    void setPicture(const QPixmap& picture);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap m_picture;
};

// The tip dialog with short operating hints, shown until the user asks
// never to see it again. Positions and sizes are in twips, so that the
// layout keeps its proportions at any resolution.
class Frmzdydhc : public QWidget {
    Q_OBJECT
  public:
    explicit Frmzdydhc(TipVariant variant, QWidget* parent = nullptr);
    Frmzdydhc(TipVariant variant, const TipMarkerFolders& folders, QWidget* parent = nullptr);
    ~Frmzdydhc() override;

    TipVariant variant() const { return m_variant; }
    const TipMarkerFolders& folders() const { return m_folders; }

    // The load steps: centre the check box, topmost (which shows the
    // window), the exclamation icon, the hint text.
    void Form_Load();
    // Closes the dialog for good; it is deleted once control returns to
    // the event loop, and the next ShowTipDialog loads a new one.
    void Unload();
    bool isUnloaded() const { return m_unloaded; }

    // Event handlers.
    void Chezhidaole_Click();
    void Imyes_Click();
    void Labyes_Click();
    void Imyes_MouseDown(int button, int shift, double x, double y);
    void Imyes_MouseUp(int button, int shift, double x, double y);
    void Labyes_MouseDown(int button, int shift, double x, double y);
    void Labyes_MouseUp(int button, int shift, double x, double y);
    void Form_MouseDown(int button, int shift, double x, double y);
    void Form_MouseMove(int button, int shift, double x, double y);
    void Labdhkts_MouseDown(int button, int shift, double x, double y);
    void Labdhkts_MouseMove(int button, int shift, double x, double y);

    // Controls.
    QRect Shape1; // in pixels; drawn by the window
    TipLabel* Labdhkts = nullptr;
    TipHintLabel* Labzinr = nullptr;
    TipImage* imgtanhaoha = nullptr;
    QCheckBox* Chezhidaole = nullptr;
    TipImage* Imyes = nullptr;
    TipLabel* Labyes = nullptr;
    QPixmap Ima01;
    QPixmap Ima02;
    TipLabel* Labjntswz = nullptr; // region magnifier only
    TipImage* Imanwzts = nullptr;  // region magnifier only

    // The caption of the hint label as the program sets it (CR LF line
    // breaks); the label shows it with Qt's line breaks.
    QString hintCaption() const { return m_hintCaption; }
    // Where the last tick of the check box wrote the marker (empty if none).
    QString writtenMarker() const { return m_written; }

    // Twips of the screen the dialog lies on.
    double twipsPerPixelX() const { return m_tppX; }
    double twipsPerPixelY() const { return m_tppY; }

  signals:
    void unloaded();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void build();
    QRect px(double left, double top, double width, double height) const;
    void pressEffect(bool down);
    void dragDown(int button, double x, double y);
    void dragMove(int button, double x, double y);

    TipVariant m_variant;
    TipMarkerFolders m_folders;
    double m_tppX = 15;
    double m_tppY = 15;
    float m_mouseX = 0;
    float m_mouseY = 0;
    QString m_hintCaption;
    QString m_written;
    bool m_unloaded = false;
};

// Whether the user has asked not to see the dialog at start-up: the marker
// file exists in the program folder or in the configuration folder.
bool TipMarkerExists(TipVariant variant);
bool TipMarkerExists(TipVariant variant, const TipMarkerFolders& folders);
// Shows the program's one tip dialog, loading it first if it is not loaded.
Frmzdydhc* ShowTipDialog(TipVariant variant);
// The same, with the dialog owned by `owner` when it is loaded: it then
// stays above its owner even where a window manager lifts a focused
// full-screen window above the always-on-top band (openbox does), and it
// goes with its owner.
Frmzdydhc* ShowTipDialog(TipVariant variant, QWidget* owner);
// The loaded dialog, or null.
Frmzdydhc* LoadedTipDialog(TipVariant variant);
// Closes the program's tip dialog if it is loaded.
void UnloadTipDialog(TipVariant variant);
