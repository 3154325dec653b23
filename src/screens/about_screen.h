// The about picture, shown while a game is interrupted.
#pragma once

void AboutScreen();
