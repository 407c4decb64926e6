// Opening the annotation editor from a view, and what becomes of the view.
#include "formrig.h"
#include "magnifier/editor/frmphotoshop.h"
#include "magnifier/editor/picturearea.h"
#include "magnifier/picturebox.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

class TstEditorHandoff : public QObject {
    Q_OBJECT
  private slots:
    void pencilOpensTheEditorOnTheViewAsShown();
    void closingTheEditorLeavesTheProgramWaiting();
    void quittingEndsAnOpenEditor();
    void theProgramEndsWithTheEditorItOutlived();
    void theKeyIsTheActiveEditorsUndo();
};

void TstEditorHandoff::pencilOpensTheEditorOnTheViewAsShown() {
    FormRig rig(QSize(320, 240));
    Frmpictd& f = *rig.form;
    f.mnshangxiagd_Click();
    QVERIFY(f.Timgund->Enabled());
    const QImage view = f.grab().toImage().convertToFormat(QImage::Format_RGB32);

    f.Command5->click();
    frmphotoshop* e = f.editor();
    QVERIFY(e);
    QVERIFY(e->isVisible());
    QVERIFY(e->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(e->geometry(), QRect(0, 0, 320, 240));
    // The enlarged view, both small buttons included, pixel for pixel.
    QCOMPARE(e->Picture1->hDC()->image(), view);

    QVERIFY(!f.isVisible());
    QVERIFY(f.Imadpic.picture.isNull());
    QVERIFY(f.P1->picture().isNull());
    // The view's animations are left as they were for the next view.
    QVERIFY(f.Timgund->Enabled());
    QVERIFY(f.mnshangxiagd->isChecked());

    // A second editor replaces the first rather than stacking on it.
    f.show();
    f.Command5_Click();
    QVERIFY(e->isUnloaded());
    QVERIFY(f.editor() != e);
}

void TstEditorHandoff::closingTheEditorLeavesTheProgramWaiting() {
    FormRig rig(QSize(320, 240));
    Frmpictd& f = *rig.form;
    bool quit = false;
    QObject listening; // ends with `quit`
    connect(qApp, &QCoreApplication::aboutToQuit, &listening, [&] { quit = true; });
    f.Command5_Click();
    QPointer<frmphotoshop> e = f.editor();
    e->mnjieshufd->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(e.isNull());
    QVERIFY(!f.isVisible());
    QVERIFY(!quit);
    // The next view comes up as before.
    f.TimKey_Timer();
    QVERIFY(f.isVisible());
    QVERIFY(!f.Imadpic.picture.isNull());
}

void TstEditorHandoff::quittingEndsAnOpenEditor() {
    FormRig rig(QSize(320, 240));
    Frmpictd& f = *rig.form;
    f.Command5_Click();
    frmphotoshop* e = f.editor();
    // Closing the window some other way leaves the editor at work.
    f.close();
    QVERIFY(!e->isUnloaded());
    QVERIFY(e->isVisible());
    f.mnexit2_Click();
    QVERIFY(e->isUnloaded());
    QVERIFY(!e->isVisible());
}

void TstEditorHandoff::theProgramEndsWithTheEditorItOutlived() {
    FormRig rig(QSize(320, 240));
    Frmpictd& f = *rig.form;
    f.Command5_Click();
    QPointer<frmphotoshop> e = f.editor();
    // As in the program, which waits in the tray with no window shown.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    f.close();
    // The program runs on while the editor is open, and ends with it.
    QTimer::singleShot(0, e, [e] { e->mnjieshufd->trigger(); });
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
    QCOMPARE(QCoreApplication::exec(), 0);
}

// zuz's global key, pressed while the editor is the active window, undoes
// there: a new view would freeze the editor into itself. Elsewhere it
// brings a view as ever.
void TstEditorHandoff::theKeyIsTheActiveEditorsUndo() {
    FormRig rig(QSize(320, 240));
    Frmpictd& f = *rig.form;
    f.Command5_Click();
    frmphotoshop* e = f.editor();
    e->activateWindow();
    if (!QTest::qWaitForWindowActive(e, 2000)) QSKIP("no window activation here");
    f.HotkeyWindowProc();
    QVERIFY(!f.TimKey->Enabled());
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other, 2000));
    f.HotkeyWindowProc();
    QVERIFY(f.TimKey->Enabled());
}

QTEST_MAIN(TstEditorHandoff)
#include "tst_editor_handoff.moc"
