#pragma once

#include <algorithm>

// Refreshing a panel sets its spin boxes and sliders, which report the new value as an edit. A
// value that is only what the control shows for the stored one is a refresh and must change
// nothing: storing it back would drop what the control cannot show (the fraction below a
// centimetre or a degree, a value beyond its range).
template <typename Control> bool showsStored(const Control* control, int stored, int value)
{
    return value == std::clamp(stored, control->minimum(), control->maximum());
}
