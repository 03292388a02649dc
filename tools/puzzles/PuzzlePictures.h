#pragma once
// Simple drawings of the bundled puzzles' themes, PictureWidth x
// PictureHeight, opaque.

#include <QImage>

QImage DrawDalmatiansPicture();
