#pragma once

#include "magnifier/editor/clspotoshop.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <vector>

// Every edit of the editor in the order made: the drawings' steps, which
// the drawings keep themselves, and the selected pixels' drags, which are
// kept here. An undo or a redo says which step to take back or make again.
class EditHistory {
  public:
    static constexpr std::size_t Depth = 200;
    // Pixel steps of a whole 4K screen take 66 MB each: past this many
    // bytes of them the oldest steps are forgotten, whatever the depth.
    static constexpr qsizetype DefaultBudget = qsizetype(512) << 20;
    explicit EditHistory(qsizetype pixelBudget = DefaultBudget) : m_budget(pixelBudget) {}
    enum class Kind : quint8 { Drawing, Pixels };
    struct Step {
        Kind kind = Kind::Drawing;
        PixelStep pixels; // Pixels only
    };
    // What to do: `step` taken back (`forward` false) or made again.
    struct Turn {
        const Step* step;
        bool forward;
    };

    // A new edit drops what could be redone.
    void drawn() { record(Step{Kind::Drawing, {}}); }
    void pixels(PixelStep step) { record(Step{Kind::Pixels, std::move(step)}); }

    bool canUndo() const { return !m_undo.empty(); }
    std::size_t undoDepth() const { return m_undo.size(); }
    qsizetype pixelBytes() const { return m_bytes; }
    bool canRedo() const { return !m_redo.empty(); }
    // With nothing left to undo, an undo makes the pixel drag taken back
    // last again: undo twice is back where the first began, as a one-step
    // undo of the pixel tools always was.
    std::optional<Turn> undo();
    std::optional<Turn> redo();

  private:
    void record(Step step);
    static qsizetype bytesOf(const Step& step);
    qsizetype m_budget;
    qsizetype m_bytes = 0; // of the pixel steps kept, both ways
    std::deque<Step> m_undo;
    std::vector<Step> m_redo;
};
