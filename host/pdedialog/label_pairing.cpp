// Pairing captions with controls by their places, and the captions' names and mnemonics.
#include "label_pairing.h"

#include <glib.h>

#include <algorithm>

namespace pdedialog {
namespace {

bool sameRow(const LayoutItem &a, const LayoutItem &b) {
    int aMiddle = (a.top + a.bottom) / 2;
    int bMiddle = (b.top + b.bottom) / 2;
    return (aMiddle >= b.top && aMiddle <= b.bottom) || (bMiddle >= a.top && bMiddle <= a.bottom);
}

bool isA(const LayoutItem &item, LayoutItem::Role role) { return item.role == role; }

}  // namespace

std::vector<LabelTie> tieLabels(const std::vector<LayoutItem> &items) {
    const int count = static_cast<int>(items.size());
    std::vector<LabelTie> ties(items.size());
    std::vector<bool> used(items.size(), false);

    // 2. Each caption labels the nearest control right of it on its row.
    for (int caption = 0; caption < count; ++caption) {
        if (!isA(items[caption], LayoutItem::Role::Caption)) continue;
        int nearest = -1;
        for (int control = 0; control < count; ++control) {
            const LayoutItem &item = items[control];
            if (!isA(item, LayoutItem::Role::Control) || ties[control].caption != -1) continue;
            if (item.left < items[caption].right || !sameRow(item, items[caption])) continue;
            if (nearest == -1 || item.left < items[nearest].left) nearest = control;
        }
        if (nearest == -1) continue;
        ties[nearest].caption = caption;
        used[caption] = true;
    }

    // 3. A caption just above a control that has none.
    for (int control = 0; control < count; ++control) {
        const LayoutItem &item = items[control];
        if (!isA(item, LayoutItem::Role::Control) || ties[control].caption != -1) continue;
        int nearest = -1;
        for (int caption = 0; caption < count; ++caption) {
            const LayoutItem &above = items[caption];
            if (!isA(above, LayoutItem::Role::Caption) || used[caption]) continue;
            if (above.bottom > item.top || item.top - above.bottom > kAboveGap) continue;
            if (above.left < item.left || above.left >= item.right) continue;
            if (nearest == -1 || above.bottom > items[nearest].bottom) nearest = caption;
        }
        if (nearest == -1) continue;
        ties[control].caption = nearest;
        used[nearest] = true;
    }

    // 4. The nearest captioned control left of it on the row lends its caption.
    for (int control = 0; control < count; ++control) {
        const LayoutItem &item = items[control];
        if (!isA(item, LayoutItem::Role::Control) || ties[control].caption != -1) continue;
        int nearest = -1;
        for (int other = 0; other < count; ++other) {
            const LayoutItem &left = items[other];
            if (other == control || ties[other].caption == -1 || left.right > item.left || !sameRow(left, item)) continue;
            if (nearest == -1 || left.right > items[nearest].right) nearest = other;
        }
        if (nearest != -1) ties[control].neighbour = ties[nearest].caption;
    }
    return ties;
}

std::string nameOfCaption(const std::string &caption) {
    std::string name = caption;
    while (!name.empty() && (name.back() == ':' || name.back() == ' ')) name.pop_back();
    return name;
}

std::string withMnemonic(const std::string &caption, std::vector<std::string> &used) {
    std::string escaped;
    for (char character : caption) {
        escaped += character;
        if (character == '_') escaped += '_';
    }
    if (!g_utf8_validate(escaped.c_str(), -1, nullptr)) return escaped;

    auto keyOf = [](gunichar character) {
        char bytes[8] = {};
        g_unichar_to_utf8(g_unichar_tolower(character), bytes);
        return std::string(bytes);
    };
    auto isFree = [&](gunichar character) {
        return g_unichar_isalpha(character) && std::find(used.begin(), used.end(), keyOf(character)) == used.end();
    };
    // First pass: the first letters of words; second pass: any letter.
    const char *chosen = nullptr;
    for (int pass = 0; pass < 2 && chosen == nullptr; ++pass) {
        bool wordStart = true;
        for (const char *at = escaped.c_str(); *at != '\0'; at = g_utf8_next_char(at)) {
            gunichar character = g_utf8_get_char(at);
            if ((pass == 1 || wordStart) && isFree(character)) {
                chosen = at;
                break;
            }
            wordStart = !g_unichar_isalnum(character);
        }
    }
    if (chosen == nullptr) return escaped;
    used.push_back(keyOf(g_utf8_get_char(chosen)));
    size_t offset = static_cast<size_t>(chosen - escaped.c_str());
    return escaped.substr(0, offset) + "_" + escaped.substr(offset);
}

}  // namespace pdedialog
