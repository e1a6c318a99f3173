#pragma once
// Conversion of a power to decibels on the meter's scale.

// 10 x log10((P + 1e-20) / 0.5), worked in extended precision and rounded to
// single. P is a power on the scale where a full-scale sine has 0.5, so that
// sine reads 0 dB; 1e-20 keeps a power of 0 finite (about -197 dB).
float PowerTodB(float P);
