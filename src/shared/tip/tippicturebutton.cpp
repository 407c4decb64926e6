#include "shared/tip/tippicturebutton.h"

#include <QAccessibleWidget>

namespace {

class PictureButtonAccessible : public QAccessibleWidget {
  public:
    explicit PictureButtonAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Button) {}

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString& name) override {
        if (name != pressAction() || !widget()->isEnabled()) return;
        emit static_cast<TipPictureButton*>(widget())->clicked();
    }

    QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

QAccessibleInterface* pictureButtonFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("TipPictureButton") && object && object->isWidgetType())
        return new PictureButtonAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

TipPictureButton::TipPictureButton(QWidget* parent) : TipImage(parent) {
    // Once per program, before any interface for such a picture is asked for.
    static const bool installed = [] {
        QAccessible::installFactory(pictureButtonFactory);
        return true;
    }();
    Q_UNUSED(installed);
}
