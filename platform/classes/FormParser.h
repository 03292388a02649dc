#pragma once
// The text form format and its parser.
//
// A form file is UTF-8 text (an optional byte-order mark is skipped) holding
// one object:
//
//   object Form1: TForm1            `object TClass` for an unnamed object
//     Caption = 'Hello'             Prop = value; Prop may be a dotted path
//     object Button1: TButton       nested objects, any depth up to the limit
//       OnClick = Button1Click
//     end
//   end
//
// Values:
//   integer    decimal, optionally negative; `$` and hex digits; int64 range
//   float      digits with '.' and/or an exponent ("1.5", "2e-3")
//   string     'text' with '' for a quote, #nnn for the character with Unicode
//              code point nnn (decimal, 0..1114111; 55296..57343 stand for a
//              lone UTF-16 unit), parts written without space between them
//              ('a'#13#10'b'); `+` joins strings, also across lines
//   identifier letters, digits, '_' and '.' (enumerations, True/False,
//              component names, method names)
//   set        [a, b]
//   list       ( value value ... ), values of any kind
//   collection < item Prop = value ... end item ... end >
//   binary     { hex digits }, pairs of digits, whitespace and lines between
// Keywords (object, end, item) are matched without regard to case.
//
// Errors raise EReadError "<file>(<line>): <message>", for instance
// "Unterminated string", "Invalid character code", "Number too large",
// "'end' expected", "Nesting deeper than 200 levels".

#include "platform/classes/FormTree.h"

#include <QByteArray>
#include <QString>

// Deepest nesting of objects, lists and collections the parser accepts.
inline constexpr int kMaxFormNesting = 200;

// Parses a whole form file; fileName only names the file in errors.
TFormObject ParseFormText(const QByteArray& utf8, const QString& fileName);

// Raises EReadError "<file>(<line>): <message>".
[[noreturn]] void RaiseFormError(const QString& fileName, int line, const QString& message);
