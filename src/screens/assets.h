// Every picture, read once at start-up and kept for the whole run.
#pragma once

#include <cstdint>

constexpr int32_t CardPictureCount = 41;  // slot 0: the back; 1..40: faces

extern uint16_t* CardPictures[CardPictureCount];  // 30 x 30 each
extern uint16_t* PlayPanelPicture;                // 240 x 80
extern uint16_t* BackdropPicture;                 // 240 x 240
extern uint16_t* SelectPicture;                   // 240 x 320
extern uint16_t* TitlePanelPicture;               // 240 x 80
extern uint16_t* FrontPicture;                    // 240 x 240
extern uint16_t* RecordPicture;                   // 240 x 120
extern uint16_t* AboutPicture;                    // 240 x 320

// The colour of overlay pixels that let what lies beneath show through.
constexpr uint16_t KeyColour = 0xF800;

void LoadAssets();
void FreeAssets();
