#include "magnifier/editor/editorboard.h"

#include <utility>

QColor Boards::colour(Board board) {
    switch (board) {
    case Board::White:
        return Qt::white;
    case Board::Black:
        return Qt::black;
    case Board::Picture:
        break;
    }
    return {};
}

void Boards::show(Board next, drawing::Drawing& current, EditHistory& history) {
    if (next == m_shown) return;
    Kept& was = m_kept[std::size_t(m_shown)];
    Kept& now = m_kept[std::size_t(next)];
    was.drawing = std::exchange(current, std::move(now.drawing));
    now.drawing = drawing::Drawing();
    was.history = std::exchange(history, std::move(now.history));
    now.history = EditHistory();
    m_shown = next;
}
