// The picture types the browser knows: the entries of the type filter with their pattern lists,
// and the test that decides from a name alone whether a file is handed to the viewer.
#pragma once

#include <QLatin1String>
#include <QString>
#include <QStringList>

namespace mv::browser {

// The pattern list of "All Supported Files". It has no pattern for ".jpe" and ".tiff", although
// IsViewableName accepts both.
inline constexpr QLatin1String AllSupportedPattern {
    "*.art;*.bmp;*.cut;*.dib;*.emf;*.gem;*.gif;*.hrz;*.iff;*.img;*.jpg;*.jpeg;*.lbm;*.mac;*.msp;"
    "*.pcx;*.pic;*.png;*.ras;*.rle;*.tga;*.tif;*.wmf;*.wpg"};

// The four-character extensions the viewer accepts; ".jpeg" and ".tiff" are tested apart.
inline constexpr QLatin1String ViewableExtensions {
    ".art.bmp.cut.dib.emf.gem.gif.hrz.iff.img.jpg.jpe.lbm.mac.msp.pcx.pic.png.ras.rle.tga.tif.wmf.wpg"};

// Number of type filter entries: 0 "All Files (*.*)" to 24 "ZSoft (*.PCX)".
inline constexpr int kTypeCount = 25;

// The entry texts in filter order, translated, for filling the type filter box.
QStringList typeTexts();

// The pattern list of entry `index`; "*.*" for an index outside 0..24.
QString typePatterns(int index);

// What choosing an entry of the type filter sets: the current pattern list, and the tag that is
// stored as the "Spec" setting (the index as decimal text).
struct TypeSpec {
    QString patterns;
    QString tag;
};

// Entries 1..24 by the table; any other index (0, -1 for none chosen, 25) gives "*.*" and "0".
TypeSpec specForIndex(int index);

// True when the last four characters of the name, lower-cased, occur anywhere in
// ViewableExtensions, or its last five occur anywhere in ".jpeg.tiff". A shorter name is
// tested whole, so the test is deliberately loose: it looks for the text, not for an extension.
bool IsViewableName(const QString& name);

} // namespace mv::browser
