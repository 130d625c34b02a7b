// The text of an edit-text field with its selection, and the edits a person makes to it.
#pragma once

#include <cstddef>
#include <string>

namespace hitoolbox {

class TextContent {
public:
    const std::u16string &text() const { return text_; }
    std::size_t selection_start() const { return selection_start_; }
    std::size_t selection_end() const { return selection_end_; }
    bool has_selection() const { return selection_start_ != selection_end_; }

    // Replaces the whole text and puts the caret at its end.
    void set_text(std::u16string text);
    // Selects from start to end, each clamped to the text; reversed ends are put in order.
    void select(long start, long end);

    // Puts characters in place of the selection, leaving the caret after them.
    void replace_selection(std::u16string_view characters);
    // Backspace: the selection, or else the character before the caret. False when nothing changed.
    bool delete_backward();
    // Forward delete: the selection, or else the character after the caret. False when nothing changed.
    bool delete_forward();
    // Arrow keys: a selection collapses to its near end, a caret moves by one character.
    void move_left();
    void move_right();

private:
    void erase(std::size_t start, std::size_t end);

    std::u16string text_;
    std::size_t selection_start_ = 0;
    std::size_t selection_end_ = 0;
};

}  // namespace hitoolbox
