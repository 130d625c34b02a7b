// QuickDraw's rectangle arithmetic, in 16-bit coordinates that wrap as QuickDraw's did.
#include <QD/Quickdraw.h>

namespace {

short wrapped_sum(short coordinate, short delta) {
    return static_cast<short>(static_cast<unsigned short>(coordinate) + static_cast<unsigned short>(delta));
}

}  // namespace

extern "C" {

void OffsetRect(Rect *r, short dh, short dv) {
    if (r == nullptr) return;
    r->left = wrapped_sum(r->left, dh);
    r->right = wrapped_sum(r->right, dh);
    r->top = wrapped_sum(r->top, dv);
    r->bottom = wrapped_sum(r->bottom, dv);
}

void SetRect(Rect *r, short left, short top, short right, short bottom) {
    if (r == nullptr) return;
    *r = Rect{top, left, bottom, right};
}

// Two NULL rectangles are not equal: there is nothing to compare.
Boolean EqualRect(const Rect *rect1, const Rect *rect2) {
    if (rect1 == nullptr || rect2 == nullptr) return false;
    return rect1->top == rect2->top && rect1->left == rect2->left && rect1->bottom == rect2->bottom &&
           rect1->right == rect2->right;
}

}  // extern "C"
