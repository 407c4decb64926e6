// A clipboard owner that offers a picture and never hands it over: asked
// for it, it stops for good, with the asker's end of the transfer open.
// It takes the clipboard at a key press in its window, since on Wayland
// only a program given input may. Its offer carries a type of its own, by
// which a test tells that it holds the clipboard.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QThread>
#include <QWidget>

namespace {
class SilentPicture : public QMimeData {
  public:
    QStringList formats() const override {
        return {QStringLiteral("image/png"), QStringLiteral("application/x-silent-owner")};
    }
    bool hasFormat(const QString& type) const override { return formats().contains(type); }

  protected:
    QVariant retrieveData(const QString&, QMetaType) const override {
        for (;;)
            QThread::sleep(3600);
    }
};

class Window : public QWidget {
  protected:
    void keyPressEvent(QKeyEvent*) override {
        QGuiApplication::clipboard()->setMimeData(new SilentPicture);
    }
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Window window;
    window.resize(120, 80);
    window.show();
    return app.exec();
}
