#pragma once

#include "magnifier/editor/drawing.h"
#include "magnifier/editor/edithistory.h"

#include <QColor>

#include <array>

// What the editor shows: the picture, or a plain white or black board laid
// over it, each with drawings of its own.
enum class Board : quint8 { Picture, White, Black };

// The drawings of the picture and of each board, of which the editor holds
// the shown one as its own.
class Boards {
  public:
    Board shown() const { return m_shown; }
    // A board's key shows that board, and again the picture.
    static Board afterKey(Board shown, Board key) { return shown == key ? Board::Picture : key; }
    // The board's colour; invalid for the picture.
    static QColor colour(Board board);

    // Makes `next` the shown one: `current` and `history` (the shown one's
    // drawings and its edits in order) are kept for it and become those of
    // `next`.
    void show(Board next, drawing::Drawing& current, EditHistory& history);

  private:
    struct Kept {
        drawing::Drawing drawing;
        EditHistory history;
    };
    Board m_shown = Board::Picture;
    std::array<Kept, 3> m_kept;
};
