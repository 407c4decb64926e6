#include "shared/speed.h"

#include "shared/prompts.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace {
std::optional<int> presetInterval(ScrollSpeed::Choice choice) {
    switch (choice) {
    case ScrollSpeed::Choice::Fast:
        return 1;
    case ScrollSpeed::Choice::Medium:
        return 100;
    case ScrollSpeed::Choice::Slow:
        return 500;
    case ScrollSpeed::Choice::Default:
        return 50;
    case ScrollSpeed::Choice::Custom:
        break;
    }
    return std::nullopt;
}

std::optional<double> readWhole(const QString& text) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    if (!digits.match(text).hasMatch()) return std::nullopt;
    return text.toDouble();
}

std::optional<double> readLocale(const QString& text) {
    if (text.isEmpty()) return std::nullopt;
    bool ok = false;
    double v = QLocale::system().toDouble(text, &ok);
    if (!ok) v = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return std::nearbyint(v);
}
} // namespace

std::optional<int> ScrollSpeed::choose(Choice choice, const std::function<QString()>& askCustom) {
    m_ticked = m_ticked == choice ? std::nullopt : std::optional(choice);
    if (choice != Choice::Custom) return presetInterval(choice);
    return readInterval(askCustom());
}

std::optional<int> ScrollSpeed::readInterval(const QString& answer) const {
    const QString text = answer.trimmed();
    const std::optional<double> value =
        m_reading == Reading::WholeNumber ? readWhole(text) : readLocale(text);
    // Cancelled, empty, no number, or one a timer cannot take.
    if (!value || *value < 0 || *value > kMaxInterval) return std::nullopt;
    return int(*value);
}

QString ScrollSpeed::ask(Prompts& prompts, QWidget* parent) {
    return prompts.InputBox(parent,
                            QCoreApplication::translate("zuz", "请输入时钟频率[1000为1秒！]："),
                            QCoreApplication::translate("zuz", "时钟设置"), QStringLiteral("200"));
}
