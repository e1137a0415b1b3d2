#include "app/ui/text.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QVariant>

#include "inventory/gamerecord.h"

namespace vorlisk {

namespace {

const char* const kBytesProperty = "vorliskBytes";
const char* const kShownProperty = "vorliskShown";

std::string Bytes(const QByteArray& array) { return std::string(array.constData(), array.size()); }

// A lone CR or lone LF inside a description is no line break: the box shows each as a
// visible mark (the control pictures of CR and LF), which is stored as the character again.
// Only CR LF, as which a stored TAB is shown, and the user's own Enter break a line there.
constexpr QChar kLoneCrMark(0x240D);
constexpr QChar kLoneLfMark(0x240A);

QString WithLoneBreaksMarked(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool cr = text[i] == QLatin1Char('\r');
        const bool lf = text[i] == QLatin1Char('\n');
        const bool crlf = cr ? i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')
                             : lf && i > 0 && text[i - 1] == QLatin1Char('\r');
        shown += crlf || (!cr && !lf) ? text[i] : cr ? kLoneCrMark : kLoneLfMark;
    }
    return shown;
}

// The paragraphs of a text document joined by CR LF, the marks of lone CRs and LFs turned
// back. The raw text keeps what the plain text would turn into blanks and line breaks
// (no-break spaces, line separators).
QString EditorText(const QPlainTextEdit* field) {
    return field->document()
        ->toRawText()
        .replace(QChar::ParagraphSeparator, QLatin1String("\r\n"))
        .replace(kLoneCrMark, QLatin1Char('\r'))
        .replace(kLoneLfMark, QLatin1Char('\n'));
}

}  // namespace

// Windows shows and stores text by the same rule: its ANSI code page is Windows-1252 wherever
// the catalogues of the older program were written.
QString ToQt(const std::string& bytes) {
    std::string shown = ShownUtf8(bytes);
    return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

std::string FromQt(const QString& text, TextEncoding encoding) {
    return EncodeText(Bytes(text.toUtf8()), encoding);
}

std::string PathBytes(const QString& path) {
    // Windows: its own separators, and a name of any script as UTF-8 for the wide calls.
#ifdef _WIN32
    return Bytes(QDir::toNativeSeparators(path).toUtf8());
#else
    return Bytes(QFile::encodeName(path));
#endif
}

QString WithoutAccessKeys(const QString& caption) {
    QString shown;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) ++i;
        shown += caption[i];
    }
    return shown;
}

void RememberBytes(QObject* control, const std::string& bytes, const QString& shown) {
    control->setProperty(kBytesProperty,
                         QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    control->setProperty(kShownProperty, shown.isNull() ? QVariant() : QVariant(shown));
}

std::string GivenBytes(const QObject* control) {
    return Bytes(control->property(kBytesProperty).toByteArray());
}

bool DiffersFromShown(const QObject* control, const QString& current) {
    QVariant shown = control->property(kShownProperty);
    return !shown.isValid() || shown.toString() != current;
}

void ShowBytes(QLineEdit* field, const std::string& bytes) {
    field->setText(ToQt(bytes));
    // What the field holds now (it may have cut a very long text) stands for the bytes.
    RememberBytes(field, bytes, field->text());
}

void SetBytes(QLineEdit* field, const std::string& bytes) {
    field->setText(ToQt(bytes));
    RememberBytes(field, bytes, QString());
}

bool IsEdited(const QLineEdit* field) { return DiffersFromShown(field, field->text()); }

std::string FieldBytes(const QLineEdit* field, TextEncoding plainAscii) {
    std::string given = GivenBytes(field);
    if (!IsEdited(field)) return given;
    return FromQt(field->text(), EncodingOf(given, plainAscii));
}

void ShowDescription(QPlainTextEdit* field, const std::string& stored) {
    field->setPlainText(WithLoneBreaksMarked(ToQt(ShownDescription(stored))));
    RememberBytes(field, stored, EditorText(field));
}

bool IsEdited(const QPlainTextEdit* field) { return DiffersFromShown(field, EditorText(field)); }

std::string EditedDescription(const QPlainTextEdit* field, TextEncoding plainAscii) {
    return FromQt(EditorText(field), EncodingOf(GivenBytes(field), plainAscii));
}

std::string EntryBytes(const QComboBox* box, int index) {
    QVariant bytes = box->itemData(index);
    return bytes.isValid() ? Bytes(bytes.toByteArray()) : FromQt(box->itemText(index));
}

}  // namespace vorlisk
