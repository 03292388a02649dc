#pragma once
// The game's splash and about-box pictures.

#include <QImage>

// The splash window is 410 x 311 and holds the picture in a lowered panel,
// so the picture leaves a margin on every side.
inline constexpr int SplashWidth = 380;
inline constexpr int SplashHeight = 280;
inline constexpr int AboutSize = 96;

QImage DrawSplashPicture();
QImage DrawAboutPicture();
