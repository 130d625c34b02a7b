// Counts of live platform objects by kind, so tests can check that every
// window, control, handler and ticket made is also disposed of.
#pragma once

namespace platform::live {

void created(const char *kind);
void destroyed(const char *kind);

// Counts itself while alive; derive from it with the kind's name as a literal.
template <const char *Kind>
class Counted {
public:
    Counted() { created(Kind); }
    Counted(const Counted &) { created(Kind); }
    Counted &operator=(const Counted &) = default;
    ~Counted() { destroyed(Kind); }
};

}  // namespace platform::live
