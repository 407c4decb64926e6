#pragma once

#include "magnifier/editor/frmphotoshop.h"
#include "shared/capture.h"

#include <QCoreApplication>
#include <QPointer>

// The one annotation editor the view opens: a new one replaces the one
// open, and the view's window and the editor keep the program between them.
class EditorSlot {
  public:
    EditorSlot() = default;
    EditorSlot(const EditorSlot&) = delete;
    EditorSlot& operator=(const EditorSlot&) = delete;
    ~EditorSlot() { delete m_editor; }

    frmphotoshop* editor() const { return m_editor.data(); }
    bool isOpen() const { return !m_editor.isNull(); }
    void open(const Services& services, const Picture& picture, qreal devicePixelRatio) {
        close();
        m_editor = frmphotoshop::openOver(services, picture, devicePixelRatio);
    }
    // The global key, while the editor is the active window, is its undo.
    bool takesHotkey() { return m_editor && m_editor->hotkeyPressed(); }
    void close() {
        if (m_editor) m_editor->close();
    }
    // Ends the program once the open editor is gone, or now without one.
    void quitWhenClosed() {
        if (!m_editor)
            QCoreApplication::quit();
        else // Connected once per close; a second quit on the way out is harmless.
            QObject::connect(m_editor, &QObject::destroyed, qApp, &QCoreApplication::quit);
    }

  private:
    QPointer<frmphotoshop> m_editor;
};
