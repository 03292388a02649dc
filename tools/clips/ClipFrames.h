#pragma once
// Frames of the game's two end-of-game clips, drawn with QPainter.
//
// Each clip holds ClipFrameCount frames. Frames 1..8 make one complete loop
// and frames 9..16 another, each ending where frame 1 begins, so the clip
// loops smoothly whether it is played whole or stopped after frame 8.

#include <QImage>

inline constexpr int ClipWidth = 177;
inline constexpr int ClipHeight = 240;
inline constexpr int ClipFrameCount = 16;
inline constexpr int ClipFrameMs = 120;

// A dancing cow on white; frame from 1.
QImage DrawCowFrame(int frame);
// A jack-in-the-box jester jumping out of its box, on black; frame from 1.
QImage DrawJesterFrame(int frame);
