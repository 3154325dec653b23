// The title: the front picture with a rotating, zooming texture showing
// through its key-coloured pixels.
#pragma once

#include <cstdint>

extern int32_t TitleAngle;   // degrees, +2 a frame
extern int32_t TitlePhaseU;  // degrees, +2 a frame: horizontal drift
extern int32_t TitlePhaseV;  // degrees, +3 a frame: vertical drift

// The per-frame values, fixed-point with 8 fraction bits.
extern float TitleZoom;
extern int32_t TitleUx, TitleUy, TitleVx, TitleVy;
extern int32_t TitleDriftP, TitleDriftS;

// Computes this frame's values from the angles and advances the two phases.
void ComputeTitleFrame();
// Rows 0..239: the front picture, with the texture sampled through its
// key-coloured pixels using the values of ComputeTitleFrame.
void DrawTitleUpperArea();
void TitleScreen();
