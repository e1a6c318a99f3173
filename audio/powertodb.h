#pragma once
// Conversion of a power to decibels on the meter's scale.

// 10 x log10((P + 1e-20) / 0.5), worked in extended precision and rounded to
// single. P is a power on the scale where a full-scale sine has 0.5, so that
// sine reads 0 dB, exactly, whatever the width of a long double; 1e-20 keeps a
// power of 0 finite (about -197 dB), and is left off from a quarter up, where
// it is below the last place of x87's extended precision.
float PowerTodB(float P);
