// Property tables of the fonts, pens and brushes, as form files name them.

#include "platform/classes/ClassBuilder.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/PenBrush.h"

namespace {

const TEnumInfo kCharsetIdents{
    TEnumInfo::Entry{ANSI_CHARSET, "ANSI_CHARSET"},
    TEnumInfo::Entry{DEFAULT_CHARSET, "DEFAULT_CHARSET"},
    TEnumInfo::Entry{SYMBOL_CHARSET, "SYMBOL_CHARSET"},
    TEnumInfo::Entry{77, "MAC_CHARSET"},
    TEnumInfo::Entry{128, "SHIFTJIS_CHARSET"},
    TEnumInfo::Entry{129, "HANGEUL_CHARSET"},
    TEnumInfo::Entry{130, "JOHAB_CHARSET"},
    TEnumInfo::Entry{134, "GB2312_CHARSET"},
    TEnumInfo::Entry{136, "CHINESEBIG5_CHARSET"},
    TEnumInfo::Entry{GREEK_CHARSET, "GREEK_CHARSET"},
    TEnumInfo::Entry{TURKISH_CHARSET, "TURKISH_CHARSET"},
    TEnumInfo::Entry{163, "VIETNAMESE_CHARSET"},
    TEnumInfo::Entry{177, "HEBREW_CHARSET"},
    TEnumInfo::Entry{178, "ARABIC_CHARSET"},
    TEnumInfo::Entry{BALTIC_CHARSET, "BALTIC_CHARSET"},
    TEnumInfo::Entry{RUSSIAN_CHARSET, "RUSSIAN_CHARSET"},
    TEnumInfo::Entry{222, "THAI_CHARSET"},
    TEnumInfo::Entry{EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET"},
    TEnumInfo::Entry{255, "OEM_CHARSET"},
};
const TEnumInfo kPitchIdents{"fpDefault", "fpVariable", "fpFixed"};
const TEnumInfo kFontStyleIdents{"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
const TEnumInfo kPenStyleIdents{"psSolid", "psDash",  "psDot",        "psDashDot",
                                "psDashDotDot", "psClear", "psInsideFrame"};
const TEnumInfo kPenModeIdents{"pmBlack",   "pmWhite",      "pmNop",        "pmNot",
                               "pmCopy",    "pmNotCopy",    "pmMergePenNot", "pmMaskPenNot",
                               "pmMergeNotPen", "pmMaskNotPen", "pmMerge",  "pmNotMerge",
                               "pmMask",    "pmNotMask",    "pmXor",        "pmNotXor"};
const TEnumInfo kBrushStyleIdents{"bsSolid",     "bsClear", "bsHorizontal", "bsVertical",
                                  "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross"};

}  // namespace

void TFont::DeclareProperties(TClassBuilder<TFont, TGraphicsObject>& b) {
  b.Property("Charset", &TFont::Charset, &TFont::SetCharset, kCharsetIdents)
      .Default(DEFAULT_CHARSET);
  b.Property("Color", &TFont::Color, &TFont::SetColor, ColorIdents()).Default(clWindowText);
  b.Property("Height", &TFont::Height, &TFont::SetHeight);
  b.Property("Name", &TFont::Name, &TFont::SetName);
  b.Property("Pitch", &TFont::Pitch, &TFont::SetPitch, kPitchIdents).Default(fpDefault);
  b.Property("Size", &TFont::Size, &TFont::SetSize).Stored(false);
  b.Property("Style", &TFont::Style, &TFont::SetStyle, kFontStyleIdents).Default(TFontStyles{});
}

void TPen::DeclareProperties(TClassBuilder<TPen, TGraphicsObject>& b) {
  b.Property("Color", &TPen::Color, &TPen::SetColor, ColorIdents()).Default(clBlack);
  b.Property("Mode", &TPen::Mode, &TPen::SetMode, kPenModeIdents).Default(pmCopy);
  b.Property("Style", &TPen::Style, &TPen::SetStyle, kPenStyleIdents).Default(psSolid);
  b.Property("Width", &TPen::Width, &TPen::SetWidth).Default(1);
}

void TBrush::DeclareProperties(TClassBuilder<TBrush, TGraphicsObject>& b) {
  b.Property("Color", &TBrush::Color, &TBrush::SetColor, ColorIdents()).Default(clWhite);
  b.Property("Style", &TBrush::Style, &TBrush::SetStyle, kBrushStyleIdents).Default(bsSolid);
}
