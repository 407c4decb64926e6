#include "magnifier/editor/edithistory.h"

#include <utility>

qsizetype EditHistory::bytesOf(const Step& step) {
    return step.pixels.BeforePixels.sizeInBytes() + step.pixels.AfterPixels.sizeInBytes();
}

void EditHistory::record(Step step) {
    for (const Step& s : m_redo)
        m_bytes -= bytesOf(s);
    m_redo.clear();
    m_bytes += bytesOf(step);
    m_undo.push_back(std::move(step));
    while (m_undo.size() > Depth || (m_bytes > m_budget && m_undo.size() > 1)) {
        m_bytes -= bytesOf(m_undo.front());
        m_undo.pop_front();
    }
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
