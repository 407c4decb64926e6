#include "magnifier/editor/edithistory.h"

#include <utility>

void EditHistory::record(Step step) {
    m_redo.clear();
    m_undo.push_back(std::move(step));
    if (m_undo.size() > Depth) m_undo.pop_front();
}

std::optional<EditHistory::Turn> EditHistory::undo() {
    if (m_undo.empty()) {
        if (m_redo.empty() || m_redo.back().kind != Kind::Pixels) return std::nullopt;
        return redo();
    }
    m_redo.push_back(std::move(m_undo.back()));
    m_undo.pop_back();
    return Turn{&m_redo.back(), false};
}

std::optional<EditHistory::Turn> EditHistory::redo() {
    if (m_redo.empty()) return std::nullopt;
    m_undo.push_back(std::move(m_redo.back()));
    m_redo.pop_back();
    return Turn{&m_undo.back(), true};
}
