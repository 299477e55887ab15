#pragma once

// The screen-wide mouse pointer: the busy shape (arrow with hourglass) while an
// operation on the whole picture runs, the default shape again afterwards.
class BusyPointer {
public:
    virtual ~BusyPointer() = default;
    virtual void ShowBusy() = 0;
    virtual void ShowDefault() = 0;
};

// Shows the busy pointer for its lifetime; the default pointer comes back on every way
// out of the scope, a failure included.
class BusyScope {
public:
    explicit BusyScope(BusyPointer& pointer) : pointer_(pointer) { pointer_.ShowBusy(); }
    ~BusyScope() { pointer_.ShowDefault(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    BusyPointer& pointer_;
};
