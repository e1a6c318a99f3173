#pragma once
// Smoothing of block powers over successive blocks, so the meter does not
// jitter with every 100 ms block.

// The last shown power an analyser starts with, before any block (1e-8).
constexpr float InitialLastPower = 1e-8f;

// The power to show for a block: the block's own power for the first block
// after an open or of a file (FirstBlock true), otherwise three quarters of
// the last shown power plus one quarter of the new one, (Last x 3 + New) / 4,
// worked in extended precision (x87's 64-bit significand, whatever the
// processor's long double) and rounded to single. Powers as in TStereoPower
// (a full-scale sine is 0.5).
float SmoothPower(float LastPower, float BlockPower, bool FirstBlock);
