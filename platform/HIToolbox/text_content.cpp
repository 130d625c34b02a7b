// Editing of a field's text: what typing, deleting and the arrow keys do to text and selection.
#include "text_content.h"

#include <algorithm>
#include <utility>

namespace hitoolbox {

void TextContent::set_text(std::u16string text) {
    text_ = std::move(text);
    selection_start_ = selection_end_ = text_.size();
}

void TextContent::select(long start, long end) {
    auto clamp = [this](long position) {
        return static_cast<std::size_t>(std::clamp(position, 0L, static_cast<long>(text_.size())));
    };
    selection_start_ = clamp(start);
    selection_end_ = clamp(end);
    if (selection_start_ > selection_end_) std::swap(selection_start_, selection_end_);
}

void TextContent::replace_selection(std::u16string_view characters) {
    text_.replace(selection_start_, selection_end_ - selection_start_, characters);
    selection_start_ += characters.size();
    selection_end_ = selection_start_;
}

bool TextContent::delete_backward() {
    if (has_selection()) {
        erase(selection_start_, selection_end_);
        return true;
    }
    if (selection_start_ == 0) return false;
    erase(selection_start_ - 1, selection_start_);
    return true;
}

bool TextContent::delete_forward() {
    if (has_selection()) {
        erase(selection_start_, selection_end_);
        return true;
    }
    if (selection_end_ == text_.size()) return false;
    erase(selection_end_, selection_end_ + 1);
    return true;
}

void TextContent::move_left() {
    if (!has_selection() && selection_start_ > 0) --selection_start_;
    selection_end_ = selection_start_;
}

void TextContent::move_right() {
    if (!has_selection() && selection_end_ < text_.size()) ++selection_end_;
    selection_start_ = selection_end_;
}

// Removes [start, end) and leaves the caret where the removed text began.
void TextContent::erase(std::size_t start, std::size_t end) {
    text_.erase(start, end - start);
    selection_start_ = selection_end_ = start;
}

}  // namespace hitoolbox
