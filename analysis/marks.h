#pragma once
// The three reference marks beside the meter: one table that the main
// window's mark lines, the Recording level dialog's choices, the level
// setting and the measuring library's advice all read.

#include <cstddef>

struct TMark {
    const char* Name;        // the signal type, as beside the meter and in the dialog
    double BelowFullScaledB; // how far below 0 dB (a full-scale sine) the mark is, dB, > 0
    double TolerancedB;      // how far below the mark a level may lie and still be right, dB

    // The mark as a level, dB against a full-scale sine (< 0).
    constexpr double LeveldB() const { return -BelowFullScaledB; }
};

// A level this little below a mark needs no change; any level above it does,
// since the level should equal the mark but not exceed it.
inline constexpr double MarkTolerancedB = 0.5;

inline constexpr TMark Marks[] = {
    {"Resurs/Meteor", 2.5, MarkTolerancedB},
    {"NOAA", 3.0, MarkTolerancedB},
    {"Okean/SICH", 12.0, MarkTolerancedB},
};

// The rows of Marks by name, for the places that show one mark each.
inline constexpr size_t MeteorMark = 0;
inline constexpr size_t NOAAMark = 1;
inline constexpr size_t SICHMark = 2;
