#pragma once
// The loader's reading of a whole setup program image (trailer, archive
// headers, member data), for the fuzz target and the tests that replay its
// inputs: a hostile image may only end in the loader's own error, and what
// it extracts is exactly the sizes the headers announce, inside the folder.

#include <QByteArray>
#include <QString>

namespace loadercheck {

// Empty when the image was read soundly (refused or extracted).
QString CheckSetupImage(const QByteArray& image);

}  // namespace loadercheck
