#pragma once
// The core keeps texts as the bytes of the user's files; the windows show QStrings. Nothing
// is lost on the way: the text shown for some bytes turns back into exactly those bytes, and
// a control that shows bytes remembers them, so that what the user leaves alone is stored
// again byte for byte and what the user edits is stored in the encoding it was shown from.

#include <QString>
#include <string>

#include "system/textencoding.h"

class QObject;
class QLineEdit;
class QPlainTextEdit;
class QComboBox;

namespace vorlisk {

// The text shown for bytes of the user's files: UTF-8 when they are UTF-8, else Windows-1252.
QString ToQt(const std::string& bytes);
// Typed text as bytes: UTF-8, or `encoding` when every character fits it and reads back the
// same.
std::string FromQt(const QString& text, TextEncoding encoding = TextEncoding::Utf8);
// A file path that Qt gave (a chooser's answer) as the bytes the file system knows it by
// (on Windows UTF-8, with backslashes).
std::string PathBytes(const QString& path);

// A caption without its access-key marks: "&x" shows x, "&&" shows one "&".
QString WithoutAccessKeys(const QString& caption);

// ---- controls that show bytes ----
// Each control keeps the bytes it was last given. Shown bytes count as unchanged until the
// text differs from what they showed; bytes set as an edit of the program (the Get button, a
// chooser) count as an edit at once, yet their encoding is kept.

// Shows `bytes` in the field as they were read.
void ShowBytes(QLineEdit* field, const std::string& bytes);
// Puts `bytes` into the field as an edit.
void SetBytes(QLineEdit* field, const std::string& bytes);
// The bytes the field was last given.
std::string GivenBytes(const QObject* control);
// True when the field's text is no longer what its bytes were shown as.
bool IsEdited(const QLineEdit* field);
// The field's bytes: those it was given while it is not edited, otherwise its text in the
// encoding of those bytes (plain ASCII ones: `plainAscii`).
std::string FieldBytes(const QLineEdit* field, TextEncoding plainAscii);

// A description field shows stored descriptions (line breaks as TABs) with real line breaks;
// a lone CR or LF in them shows as a mark of its own and is stored as it was.
void ShowDescription(QPlainTextEdit* field, const std::string& stored);
bool IsEdited(const QPlainTextEdit* field);
// The edited text with CR LF between its lines, written as FieldBytes writes.
std::string EditedDescription(const QPlainTextEdit* field, TextEncoding plainAscii);

// Remembers that `control` now shows `shown` for `bytes` (`shown` null: an edit).
void RememberBytes(QObject* control, const std::string& bytes, const QString& shown);
// True unless `current` is what the control showed for its bytes.
bool DiffersFromShown(const QObject* control, const QString& current);

// A combo box entry's bytes: those it was added with, else its text.
std::string EntryBytes(const QComboBox* box, int index);

}  // namespace vorlisk
