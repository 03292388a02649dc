#include "game/rekisteri.h"

#include "components/Aligrid.h"
#include "components/RegistryEnhanced.h"

namespace {

const QString kBold = QStringLiteral("fsBold");
const QString kItalic = QStringLiteral("fsItalic");
const QString kNormal = QStringLiteral("fsNorm");

const QString kSize = QStringLiteral("Ruudukko\\fon_koko");
const QString kName = QStringLiteral("Ruudukko\\fon_nimi");
const QString kColor = QStringLiteral("Ruudukko\\fon_vari");
const QString kBoldPath = QStringLiteral("Ruudukko\\fon_Bold");
const QString kItalicPath = QStringLiteral("Ruudukko\\fon_Italic");
const QString kFound = QStringLiteral("Ruudukko\\loydetty_vari");
const QString kHahmo = QStringLiteral("Animaatio\\hahmo");

void PointRegistry(TRegistryEnhanced& reg, TAccess access) {
  reg.SetAccess(access);
  reg.SetRootKey(hkCurrentUser);
  reg.SetKey(QStringLiteral("\\Software"));
}

// Each value is read into a fresh Variant, so a key that cannot be opened
// reads as missing rather than as the previous value.
Variant Read(TGameBoard& board, const QString& path) {
  Variant value;
  ReadSetting(board, path, value);
  return value;
}

int ReadInteger(TGameBoard& board, const QString& path, int missing) {
  const Variant v = Read(board, path);
  return v.IsEmpty() ? missing : v.AsInteger();
}

QString ReadText(TGameBoard& board, const QString& path, const QString& missing) {
  const Variant v = Read(board, path);
  return v.IsEmpty() ? missing : v.AsString();
}

// A style flag: present exactly when stored as `on` (case matters).
bool ReadStyle(TGameBoard& board, const QString& path, const QString& on, bool missing) {
  const Variant v = Read(board, path);
  return v.IsEmpty() ? missing : v.AsString() == on;
}

void SetStyle(TFont& font, TFontStyle style, bool on) {
  TFontStyles styles = font.Style();
  if (on)
    styles.Include(style);
  else
    styles.Exclude(style);
  font.SetStyle(styles);
}

void ApplyAnimationChoice(TGameState& state, const QString& hahmo) {
  if (hahmo != QLatin1String("a") && hahmo != QLatin1String("j") && hahmo != QLatin1String("e"))
    return;
  state.AnimCow = hahmo == QLatin1String("a");
  state.AnimJester = hahmo == QLatin1String("j");
  state.AnimNone = hahmo == QLatin1String("e");
}

// "j" before "a" before "e"; empty when no choice is set.
QString AnimationChoice(const TGameState& state) {
  if (state.AnimJester) return QStringLiteral("j");
  if (state.AnimCow) return QStringLiteral("a");
  if (state.AnimNone) return QStringLiteral("e");
  return {};
}

}  // namespace

void ReadSetting(TGameBoard& board, const QString& path, Variant& value) {
  TRegistryEnhanced& reg = board.Rekisteri();
  PointRegistry(reg, kRead);
  reg.ReadValue(QStringLiteral("QXTrovaly\\") + path, value);
}

void WriteSetting(TGameBoard& board, const QString& path, const Variant& value) {
  TRegistryEnhanced& reg = board.Rekisteri();
  PointRegistry(reg, kWrite);
  reg.WriteValue(QStringLiteral("QXTrovaly\\") + path, value);
}

void ReadSettings(TGameBoard& board) {
  TFont& font = *board.Grid().Font();
  // A size of 0 would leave the grid without letters.
  const int size = ReadInteger(board, kSize, TSettingDefaults::FontSize);
  font.SetSize(size != 0 ? size : TSettingDefaults::FontSize);
  font.SetName(ReadText(board, kName, TSettingDefaults::FontName()));
  font.SetColor(ReadInteger(board, kColor, TSettingDefaults::FontColor));
  SetStyle(font, fsBold, ReadStyle(board, kBoldPath, kBold, TSettingDefaults::Bold));
  SetStyle(font, fsItalic, ReadStyle(board, kItalicPath, kItalic, TSettingDefaults::Italic));
  board.State().FoundColor = ReadInteger(board, kFound, TSettingDefaults::FoundColor);
  ApplyAnimationChoice(board.State(), ReadText(board, kHahmo, QString()));
  board.ShowAnimationChoice();
}

void WriteSettings(TGameBoard& board) {
  const TFont& font = *board.Grid().Font();
  const TGameState& state = board.State();
  WriteSetting(board, kSize, Variant(font.Size()));
  WriteSetting(board, kName, Variant(font.Name()));
  WriteSetting(board, kColor, Variant(font.Color()));
  WriteSetting(board, kBoldPath, Variant(font.Style().Contains(fsBold) ? kBold : kNormal));
  WriteSetting(board, kItalicPath, Variant(font.Style().Contains(fsItalic) ? kItalic : kNormal));
  WriteSetting(board, kFound, Variant(state.FoundColor));
  const QString hahmo = AnimationChoice(state);
  if (!hahmo.isEmpty()) WriteSetting(board, kHahmo, Variant(hahmo));
}
