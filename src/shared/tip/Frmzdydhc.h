#pragma once

#include "shared/formlife.h"
#include "shared/mousereporting.h"
#include "shared/tip/tiplabels.h"
#include "shared/tip/tippicturebutton.h"
#include "shared/tip/tiptext.h"

#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>

class QCheckBox;

// The tip dialog with short operating hints, shown until the user asks
// never to see it again. Positions and sizes are in twips, so that the
// layout keeps its proportions at any resolution.
class Frmzdydhc : public MouseReporting<QWidget> {
    Q_OBJECT
  public:
    explicit Frmzdydhc(TipVariant variant, QWidget* parent = nullptr);
    Frmzdydhc(TipVariant variant, const TipMarkerFolders& folders, QWidget* parent = nullptr);
    ~Frmzdydhc() override;

    TipVariant variant() const { return m_variant; }
    const TipMarkerFolders& folders() const { return m_folders; }

    // The ways back to the view that the magnifier's hints name; a loaded
    // dialog shows the new hints at once.
    void setWayBack(const TipWayBack& wayBack);

    // The load steps: centre the check box, topmost (which shows the
    // window), the exclamation icon, the hint text.
    void Form_Load();
    // Closes the dialog for good; it is deleted once control returns to
    // the event loop, and the next ShowTipDialog loads a new one.
    void Unload();
    bool isUnloaded() const { return !m_life.isLoaded(); }

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
    TipPictureButton* Imyes = nullptr;
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
    void reportMouse(const MouseReport& report) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void build();
    void showHintText();
    QRect px(double left, double top, double width, double height) const;
    void pressEffect(bool down);
    void dragDown(int button, double x, double y);
    void dragMove(int button, double x, double y);

    TipVariant m_variant;
    TipMarkerFolders m_folders;
    TipWayBack m_wayBack;
    double m_tppX = 15;
    double m_tppY = 15;
    float m_mouseX = 0;
    float m_mouseY = 0;
    QString m_hintCaption;
    QString m_written;
    FormLife m_life;
};

// Shows the program's one tip dialog, loading it first if it is not loaded.
Frmzdydhc* ShowTipDialog(TipVariant variant);
// The same, with the dialog owned by `owner` when it is loaded: it then
// stays above its owner even where a window manager lifts a focused
// full-screen window above the always-on-top band (openbox does), and it
// goes with its owner.
Frmzdydhc* ShowTipDialog(TipVariant variant, QWidget* owner, const TipWayBack& wayBack = {});
// The loaded dialog, or null.
Frmzdydhc* LoadedTipDialog(TipVariant variant);
// Closes the program's tip dialog if it is loaded.
void UnloadTipDialog(TipVariant variant);
