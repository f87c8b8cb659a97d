#pragma once

namespace zonara {

// While it lives, the pointer is the busy pointer (an arrow with a sign of work) over every window
// and control of the program, text boxes and links included, which set pointers of their own;
// the windows stay usable. Several may live at once.
class BusyPointer final
{
public:
    BusyPointer();
    ~BusyPointer();
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;
};

} // namespace zonara
