// A workbook is a zip of XML parts. The package's relationships name the workbook part, the
// workbook's relationships its sheets and shared strings, and its <sheets> list their order.
// The first worksheet is turned into CSV text, quoted, in the ANSI code page, and read by the
// CSV reader: the header, the column dialog and the records are the CSV import's own. Only
// the few elements the table needs are looked at, by their local names; nothing in a part is
// trusted: a reference, an index or a size out of range refuses the workbook.
#include "interchange/xlsx_format.h"

#include "common/file_io.h"
#include "common/memory.h"
#include "common/text.h"
#include "interchange/exchange_formats.h"
#include "interchange/text_encoding.h"
#include "interchange/zip_archive.h"
#include "store/contact_list.h"

#include <cstring>

namespace {

enum {
    MAX_ROW = 1048576,    // Excel's last row
    MAX_COLUMN = 16384,   // Excel's last column, XFD
    CELL_SIZE = 256,      // what a cell keeps in the ANSI code page; every field is far shorter
    PART_NAME_SIZE = 256,
    VALUE_SIZE = 64,      // what a number or boolean cell's value may take
    SHOWN_DIGITS = 15,    // the significant digits a spreadsheet shows
    SHOWN_DIGITS_WITH_EXPONENT = 12
};

struct Span {
    const char *text;
    size_t length;
};

template <size_t N> bool spanIs(Span span, const char (&word)[N])
{
    return span.length == N - 1 && memcmp(span.text, word, N - 1) == 0;
}

bool spanEndsWith(Span span, const char *tail)
{
    size_t length = strlen(tail);
    return span.length >= length && memcmp(span.text + span.length - length, tail, length) == 0;
}

// ---- A scanner of the XML the parts are written in ----

enum TokenKind { TOKEN_END, TOKEN_OPEN, TOKEN_CLOSE, TOKEN_TEXT, TOKEN_CDATA };

struct Token {
    TokenKind kind;
    Span name;       // OPEN, CLOSE: the local name, without its prefix
    Span attributes; // OPEN
    bool empty;      // OPEN: <name/>
    Span text;       // TEXT (entities undone later), CDATA (as it stands)
};

struct XmlScanner {
    const char *at;
    const char *end;
};

const char *findText(const char *from, const char *end, const char *what)
{
    size_t length = strlen(what);
    for (const char *at = from; at + length <= end; at++) {
        at = (const char *)memchr(at, what[0], end - at);
        if (at == nullptr || at + length > end)
            return nullptr;
        if (memcmp(at, what, length) == 0)
            return at;
    }
    return nullptr;
}

Span localName(const char *from, const char *to)
{
    for (const char *at = from; at < to; at++)
        if (*at == ':')
            from = at + 1;
    return Span{from, (size_t)(to - from)};
}

// Skips a comment, a processing instruction or a declaration at at; a CDATA section becomes
// the token. False when at starts none of them.
bool skipOrCdata(XmlScanner *scanner, Token *token)
{
    static const struct {
        const char *open, *close;
    } kinds[] = {{"<!--", "-->"}, {"<?", "?>"}, {"<![CDATA[", "]]>"}, {"<!", ">"}};
    const char *at = scanner->at, *end = scanner->end;
    for (const auto &kind : kinds) {
        size_t openLength = strlen(kind.open);
        if ((size_t)(end - at) < openLength || memcmp(at, kind.open, openLength) != 0)
            continue;
        const char *close = findText(at + openLength, end, kind.close);
        scanner->at = close != nullptr ? close + strlen(kind.close) : end;
        if (close != nullptr && kind.open[2] == '[') { // CDATA: text as it stands
            token->kind = TOKEN_CDATA;
            token->text = Span{at + openLength, (size_t)(close - at - openLength)};
        }
        return true;
    }
    return false;
}

// The next token; TOKEN_END at the end of the part, and at anything malformed there.
Token nextToken(XmlScanner *scanner)
{
    Token token = {};
    while (scanner->at + 1 < scanner->end && scanner->at[0] == '<' &&
           (scanner->at[1] == '!' || scanner->at[1] == '?') && skipOrCdata(scanner, &token))
        if (token.kind == TOKEN_CDATA)
            return token;
    const char *at = scanner->at, *end = scanner->end;
    if (at >= end)
        return token;
    if (*at != '<') {
        const char *tag = (const char *)memchr(at, '<', end - at);
        scanner->at = tag != nullptr ? tag : end;
        token.kind = TOKEN_TEXT;
        token.text = Span{at, (size_t)(scanner->at - at)};
        return token;
    }
    bool closing = at + 1 < end && at[1] == '/';
    const char *nameStart = at + (closing ? 2 : 1), *nameEnd = nameStart;
    while (nameEnd < end && *nameEnd != '>' && *nameEnd != '/' && *nameEnd != ' ' && *nameEnd != '\t' &&
           *nameEnd != '\r' && *nameEnd != '\n')
        nameEnd++;
    const char *close = nameEnd;
    char quote = 0;
    for (; close < end && (quote != 0 || *close != '>'); close++)
        quote = quote != 0 ? (*close == quote ? 0 : quote) : (*close == '"' || *close == '\'' ? *close : 0);
    if (close >= end) {
        scanner->at = end;
        return token;
    }
    scanner->at = close + 1;
    token.kind = closing ? TOKEN_CLOSE : TOKEN_OPEN;
    token.name = localName(nameStart, nameEnd);
    token.empty = !closing && close[-1] == '/';
    token.attributes = Span{nameEnd, (size_t)(close - nameEnd - (token.empty ? 1 : 0))};
    return token;
}

// The value of the attribute whose local name is name, as it stands (entities not undone).
template <size_t N> bool attribute(const Token *token, const char (&name)[N], Span *value)
{
    const char *at = token->attributes.text, *end = at + token->attributes.length;
    while (at < end) {
        while (at < end && (*at == ' ' || *at == '\t' || *at == '\r' || *at == '\n'))
            at++;
        const char *nameStart = at;
        while (at < end && *at != '=' && *at != ' ')
            at++;
        Span attributeName = localName(nameStart, at);
        while (at < end && *at != '"' && *at != '\'')
            at++;
        if (at >= end)
            return false;
        char quote = *at++;
        const char *valueStart = at;
        const char *valueEnd = (const char *)memchr(at, quote, end - at);
        if (valueEnd == nullptr)
            return false;
        at = valueEnd + 1;
        if (spanIs(attributeName, name)) {
            *value = Span{valueStart, (size_t)(valueEnd - valueStart)};
            return true;
        }
    }
    return false;
}

int hexDigit(char c)
{
    return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

// A character reference's code point (&#20013; or &#x4E2D;), '?' for one that names no
// character.
unsigned long characterReference(Span name)
{
    bool hex = name.length > 1 && (name.text[1] == 'x' || name.text[1] == 'X');
    unsigned long value = 0;
    size_t digits = 0;
    for (size_t i = hex ? 2 : 1; i < name.length; i++, digits++) {
        int digit = hex ? hexDigit(name.text[i]) : name.text[i] >= '0' && name.text[i] <= '9' ? name.text[i] - '0' : -1;
        if (digit < 0 || value > 0x10FFFF)
            return '?';
        value = value * (hex ? 16 : 10) + digit;
    }
    bool character = digits > 0 && value > 0 && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
    return character ? value : '?';
}

// A surrogate, half of no character on its own, becomes '?'.
bool appendCodePoint(TextBuffer *out, unsigned long cp)
{
    cp = cp >= 0xD800 && cp <= 0xDFFF ? '?' : cp;
    char utf8[8];
    size_t length = 0;
    appendUtf8(cp, utf8, sizeof utf8, &length);
    return appendBytes(out, utf8, length);
}

// Appends text with its entities, character references and Excel's _xHHHH_ escapes undone;
// anything that is none of them stays as it is, but a NUL, which XML never holds, is '?'.
// False without memory.
bool appendXmlText(TextBuffer *out, Span text, bool cdata)
{
    const char *at = text.text, *end = at + text.length;
    while (at < end) {
        const char *run = at;
        while (at < end && (cdata || *at != '&') && *at != '_' && *at != '\0')
            at++;
        if (!appendBytes(out, run, at - run))
            return false;
        if (at >= end)
            break;
        unsigned long cp = *at == '\0' ? '?' : 0;
        size_t used = 1;
        if (*at == '_' && end - at >= 7 && at[1] == 'x' && at[6] == '_' && hexDigit(at[2]) >= 0 &&
            hexDigit(at[3]) >= 0 && hexDigit(at[4]) >= 0 && hexDigit(at[5]) >= 0) {
            cp = (unsigned long)(hexDigit(at[2]) << 12 | hexDigit(at[3]) << 8 | hexDigit(at[4]) << 4 | hexDigit(at[5]));
            used = 7;
        } else if (*at == '&') {
            const char *semicolon = (const char *)memchr(at, ';', end - at < 40 ? end - at : 40);
            Span name = {at + 1, semicolon != nullptr ? (size_t)(semicolon - at - 1) : 0};
            static const struct {
                const char *name;
                char character;
            } entities[] = {{"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
            for (const auto &entity : entities)
                cp = name.length == strlen(entity.name) && memcmp(name.text, entity.name, name.length) == 0
                         ? (unsigned char)entity.character : cp;
            if (cp == 0 && name.length > 0 && name.text[0] == '#')
                cp = characterReference(name);
            used = cp != 0 ? name.length + 2 : 1;
        }
        bool appended = cp != 0 ? appendCodePoint(out, cp) : appendBytes(out, at, 1);
        if (!appended)
            return false;
        at += used;
    }
    return true;
}

// ---- The parts ----

struct Workbook {
    ZipArchive zip;
    TextBuffer part;          // the part read last
    TextBuffer strings;       // the shared strings, in UTF-8, each ended by a NUL
    size_t *stringStarts;     // where each shared string starts in strings
    size_t stringCount, stringRoom;
    TextBuffer value;         // a cell's value as the sheet writes it, in UTF-8
    TextBuffer csv;           // the table, as CSV text in the ANSI code page
    char cells[CSV_MAX_COLUMNS][CELL_SIZE];
    int lastCell;             // the row's last column with anything in it, or -1
    int failure;              // 0, or the ReadFailure that ends the reading
};

void fail(Workbook *book, int failure)
{
    if (book->failure == 0)
        book->failure = failure;
}

void failFor(Workbook *book, ZipResult result)
{
    fail(book, result == ZIP_NO_MEMORY ? READ_NO_MEMORY : result == ZIP_TOO_LARGE ? READ_TOO_LARGE
             : result == ZIP_ENCRYPTED ? READ_PASSWORD : READ_CANNOT_OPEN);
}

// Reads the part called name into book->part, in UTF-8 (a part with a byte-order mark may be
// UTF-16). A failure other than a missing part ends the reading.
ZipResult readPartIfThere(Workbook *book, const char *name)
{
    ZipResult result = readZipEntry(&book->zip, name, &book->part, XLSX_SIZE_LIMIT);
    if (result == ZIP_OK && !convertMarkedUtf16(&book->part))
        result = ZIP_NO_MEMORY;
    if (result != ZIP_OK && result != ZIP_MISSING)
        failFor(book, result);
    return result;
}

bool readPart(Workbook *book, const char *name)
{
    ZipResult result = readPartIfThere(book, name);
    if (result == ZIP_MISSING)
        failFor(book, result);
    return result == ZIP_OK;
}

XmlScanner scannerOf(const TextBuffer *part)
{
    return XmlScanner{bufferText(part), bufferText(part) + part->length};
}

// The part a relationship's target names, from the folder of the part it belongs to
// ("xl/"): "worksheets/sheet1.xml" is xl/worksheets/sheet1.xml, "/xl/x.xml" xl/x.xml; "."
// stays and ".." goes up a folder, wherever they stand.
bool resolveTarget(const char *folder, Span target, char *name, size_t size)
{
    char path[PART_NAME_SIZE] = "";
    if (target.length > 0 && target.text[0] == '/')
        target.text++, target.length--;
    else
        copyText(path, sizeof path, folder);
    size_t length = strlen(path);
    for (size_t at = 0; at < target.length;) {
        const char *slash = (const char *)memchr(target.text + at, '/', target.length - at);
        size_t end = slash != nullptr ? (size_t)(slash - target.text) : target.length;
        Span segment = {target.text + at, end - at};
        if (spanIs(segment, "..")) {
            while (length > 0 && path[length - 1] == '/')
                length--;
            while (length > 0 && path[length - 1] != '/')
                length--;
        } else if (segment.length > 0 && !spanIs(segment, ".")) {
            size_t taken = segment.length + (slash != nullptr); // with its slash
            if (length + taken >= sizeof path)
                return false;
            memcpy(path + length, segment.text, taken);
            length += taken;
        }
        at = end + 1;
    }
    path[length] = '\0';
    if (length >= size)
        return false;
    copyText(name, size, path);
    return true;
}

// In the relationships part read last: the target of the relationship whose Type ends with
// type and, unless id is null, whose Id is id.
bool findRelationship(Workbook *book, const char *folder, const char *type, Span *id, char *name, size_t size)
{
    XmlScanner scanner = scannerOf(&book->part);
    for (Token token; (token = nextToken(&scanner)).kind != TOKEN_END;) {
        Span typeValue, idValue, target;
        if (token.kind != TOKEN_OPEN || !spanIs(token.name, "Relationship") || !attribute(&token, "Type", &typeValue) ||
            !attribute(&token, "Target", &target) || !attribute(&token, "Id", &idValue) || !spanEndsWith(typeValue, type))
            continue;
        if (id == nullptr || (idValue.length == id->length && memcmp(idValue.text, id->text, id->length) == 0))
            return resolveTarget(folder, target, name, size);
    }
    return false;
}

// "xl/workbook.xml": its folder "xl/" and its relationships "xl/_rels/workbook.xml.rels".
void partPlaces(const char *part, char *folder, char *relationships)
{
    const char *slash = strrchr(part, '/');
    size_t folderLength = slash != nullptr ? (size_t)(slash - part + 1) : 0;
    memcpy(folder, part, folderLength);
    folder[folderLength] = '\0';
    formatText(relationships, PART_NAME_SIZE, "%s_rels/%s.rels", folder, part + folderLength);
}

// Appends the text of the <t> elements inside the element just opened (a <si> or an <is>),
// up to its end, leaving out those inside phonetic runs (<rPh>).
void readRichText(Workbook *book, XmlScanner *scanner, TextBuffer *out)
{
    int phonetic = 0, depth = 0;
    bool inText = false;
    for (Token token; (token = nextToken(scanner)).kind != TOKEN_END;) {
        if (token.kind == TOKEN_OPEN && !token.empty) {
            depth++;
            phonetic += spanIs(token.name, "rPh");
            inText = spanIs(token.name, "t") && phonetic == 0;
        } else if (token.kind == TOKEN_CLOSE) {
            if (depth-- == 0)
                return; // the element's own end
            phonetic -= spanIs(token.name, "rPh");
            inText = false;
        } else if ((token.kind == TOKEN_TEXT || token.kind == TOKEN_CDATA) && inText &&
                   !appendXmlText(out, token.text, token.kind == TOKEN_CDATA)) {
            fail(book, READ_NO_MEMORY);
            return;
        }
    }
}

// The workbook's shared strings; a workbook without them may still have every cell's text
// in the cell itself. A part cut short is refused.
void readSharedStrings(Workbook *book, const char *name)
{
    if (readPartIfThere(book, name) != ZIP_OK)
        return;
    XmlScanner scanner = scannerOf(&book->part);
    bool ended = false;
    for (Token token; book->failure == 0 && (token = nextToken(&scanner)).kind != TOKEN_END;) {
        ended = ended || (spanIs(token.name, "sst") && (token.kind == TOKEN_CLOSE || token.empty));
        if (token.kind != TOKEN_OPEN || !spanIs(token.name, "si"))
            continue;
        if (book->stringCount == book->stringRoom) {
            size_t room = book->stringRoom < 64 ? 64 : book->stringRoom * 2;
            size_t *grown = (size_t *)resizeMemory(book->stringStarts, room * sizeof *grown);
            if (grown == nullptr) {
                fail(book, READ_NO_MEMORY);
                return;
            }
            book->stringStarts = grown;
            book->stringRoom = room;
        }
        book->stringStarts[book->stringCount++] = book->strings.length;
        if (!token.empty)
            readRichText(book, &scanner, &book->strings);
        if (!appendBytes(&book->strings, "", 1))
            fail(book, READ_NO_MEMORY);
    }
    if (!ended)
        fail(book, READ_CANNOT_OPEN);
}

// ---- Cells ----

// "B12": column 1, and true; false for a reference that names no cell of a worksheet.
bool cellColumn(Span reference, int *column)
{
    size_t i = 0;
    long value = 0;
    for (; i < reference.length && upperAscii(reference.text[i]) >= 'A' && upperAscii(reference.text[i]) <= 'Z'; i++) {
        value = value * 26 + (upperAscii(reference.text[i]) - 'A' + 1);
        if (value > MAX_COLUMN)
            return false;
    }
    if (i == 0 || i == reference.length)
        return false;
    for (; i < reference.length; i++)
        if (reference.text[i] < '0' || reference.text[i] > '9')
            return false;
    *column = (int)value - 1;
    return true;
}

bool positiveNumber(Span text, long limit, long *number)
{
    long value = 0;
    for (size_t i = 0; i < text.length; i++) {
        if (text.text[i] < '0' || text.text[i] > '9')
            return false;
        value = value * 10 + (text.text[i] - '0');
        if (value > limit)
            return false;
    }
    *number = value;
    return text.length > 0 && value > 0;
}

// A number as its significant digits and the power of ten of the first of them.
struct Decimal {
    bool negative;
    char digits[VALUE_SIZE]; // without the zeros before the first
    size_t count;
    long exponent;
};

// Reads a number as a sheet writes one ("13800138000", "-2.5E-3"); false for anything else.
bool readDecimal(const char *value, Decimal *number)
{
    const char *at = value;
    *number = Decimal();
    number->negative = *at == '-';
    at += *at == '-' || *at == '+';
    number->exponent = -1;
    bool point = false, any = false;
    for (; (*at >= '0' && *at <= '9') || (*at == '.' && !point); at++) {
        if (*at == '.') {
            point = true;
            continue;
        }
        any = true;
        if (number->count == 0 && *at == '0') {
            number->exponent -= point;
            continue;
        }
        number->exponent += !point;
        if (number->count < sizeof number->digits)
            number->digits[number->count++] = *at;
    }
    if (*at == 'e' || *at == 'E') {
        at++;
        bool down = *at == '-';
        at += *at == '-' || *at == '+';
        long written = 0;
        any = any && *at >= '0' && *at <= '9';
        for (; *at >= '0' && *at <= '9' && written < 100000; at++)
            written = written * 10 + (*at - '0');
        number->exponent += down ? -written : written;
    }
    return any && *at == '\0';
}

// Rounds to at most keep significant digits, and drops the zeros after the last.
void roundDecimal(Decimal *number, size_t keep)
{
    if (number->count > keep) {
        bool up = number->digits[keep] >= '5';
        number->count = keep;
        for (size_t i = keep; up && i-- > 0;) {
            up = number->digits[i] == '9';
            number->digits[i] = up ? '0' : number->digits[i] + 1;
        }
        if (up) { // 9.99... became 10
            number->digits[0] = '1';
            number->exponent++;
        }
    }
    while (number->count > 0 && number->digits[number->count - 1] == '0')
        number->count--;
}

// How long the number is written out in full: "-0.0012", "13800138000".
size_t plainLength(const Decimal *number)
{
    long exponent = number->exponent;
    size_t whole = exponent >= 0 ? (size_t)exponent + 1 : 1, fraction = 0;
    if ((long)number->count > exponent + 1)
        fraction = exponent >= 0 ? number->count - whole : (size_t)-exponent - 1 + number->count;
    return number->negative + whole + (fraction > 0 ? 1 + fraction : 0);
}

} // namespace

void showNumber(const char *value, char *out, size_t size)
{
    Decimal number;
    if (!readDecimal(value, &number)) {
        copyText(out, size, value);
        return;
    }
    roundDecimal(&number, SHOWN_DIGITS);
    // In full while that fits the number field (phone and card numbers: whole numbers of up to
    // 19 digits), else the exponent form, which fits it with sign and a three-digit exponent.
    bool exponentForm = plainLength(&number) > NUMBER_SIZE - 1 || number.exponent < -9;
    if (exponentForm)
        roundDecimal(&number, SHOWN_DIGITS_WITH_EXPONENT);
    const long exponent = number.exponent;
    const char *digits = number.digits;
    char text[VALUE_SIZE + 32];
    size_t length = 0;
    if (number.negative && number.count > 0)
        text[length++] = '-';
    if (number.count == 0) {
        text[length++] = '0';
    } else if (exponentForm) {
        text[length++] = digits[0];
        if (number.count > 1)
            text[length++] = '.';
        for (size_t i = 1; i < number.count; i++)
            text[length++] = digits[i];
        length += formatText(text + length, sizeof text - length, "E%c%02ld", exponent < 0 ? '-' : '+',
                             exponent < 0 ? -exponent : exponent);
    } else if (exponent >= 0) {
        for (long i = 0; i <= exponent; i++)
            text[length++] = (size_t)i < number.count ? digits[i] : '0';
        if ((long)number.count > exponent + 1)
            text[length++] = '.';
        for (size_t i = (size_t)exponent + 1; i < number.count; i++)
            text[length++] = digits[i];
    } else {
        text[length++] = '0';
        text[length++] = '.';
        for (long i = -1; i > exponent; i--)
            text[length++] = '0';
        for (size_t i = 0; i < number.count; i++)
            text[length++] = digits[i];
    }
    text[length] = '\0';
    copyText(out, size, text);
}

namespace {

// What the spreadsheet shows in a cell of type type whose value (UTF-8) is in book->value,
// in the ANSI code page.
void showCell(Workbook *book, Span type, char *cell)
{
    const char *value = bufferText(&book->value);
    char shown[VALUE_SIZE];
    if (spanIs(type, "s")) {
        long index = 0;
        bool number = positiveNumber(Span{value, strlen(value)}, (long)book->stringCount, &index) ||
                      strcmp(value, "0") == 0;
        if (!number || (size_t)index >= book->stringCount) {
            fail(book, READ_CANNOT_OPEN); // a string the workbook does not have
            return;
        }
        value = bufferText(&book->strings) + book->stringStarts[index];
    } else if (spanIs(type, "b")) {
        value = strcmp(value, "1") == 0 ? "TRUE" : strcmp(value, "0") == 0 ? "FALSE" : value;
    } else if (type.length == 0 || spanIs(type, "n")) {
        showNumber(value, shown, sizeof shown);
        value = shown;
    }
    utf8ToAnsi(value, cell, CELL_SIZE);
}

// Appends the row's cells as a CSV line, each quoted; a row with nothing in it adds nothing.
void writeRow(Workbook *book)
{
    for (int column = 0; column <= book->lastCell && book->failure == 0; column++) {
        TextBuffer *csv = &book->csv;
        bool written = appendBytes(csv, column > 0 ? ",\"" : "\"", column > 0 ? 2 : 1);
        for (const char *at = book->cells[column]; written && *at != '\0';) {
            const char *quote = strchr(at, '"');
            size_t run = quote != nullptr ? (size_t)(quote - at) + 1 : strlen(at);
            written = appendBytes(csv, at, run) && (quote == nullptr || appendBytes(csv, "\"", 1));
            at += run;
        }
        if (!written || !appendBytes(csv, column == book->lastCell ? "\"\r\n" : "\"", column == book->lastCell ? 3 : 1))
            fail(book, READ_NO_MEMORY);
        else if (csv->length > XLSX_SIZE_LIMIT)
            fail(book, READ_TOO_LARGE);
    }
    for (int column = 0; column <= book->lastCell; column++)
        book->cells[column][0] = '\0';
    book->lastCell = -1;
}

// Reads a <c> just opened: its value (<v>, or the text of <is>), shown in its column.
void readCell(Workbook *book, XmlScanner *scanner, const Token *cell, int column)
{
    Span type = {"", 0};
    attribute(cell, "t", &type);
    clearBuffer(&book->value);
    bool inValue = false;
    for (Token token; !cell->empty && (token = nextToken(scanner)).kind != TOKEN_END;) {
        if (token.kind == TOKEN_OPEN && spanIs(token.name, "is") && !token.empty) {
            readRichText(book, scanner, &book->value);
        } else if (token.kind == TOKEN_OPEN) {
            inValue = spanIs(token.name, "v") && !token.empty;
        } else if (token.kind == TOKEN_CLOSE) {
            if (spanIs(token.name, "c"))
                break;
            inValue = false;
        } else if (inValue && !appendXmlText(&book->value, token.text, token.kind == TOKEN_CDATA)) {
            fail(book, READ_NO_MEMORY);
        }
    }
    if (book->failure != 0 || column >= CSV_MAX_COLUMNS || book->value.length == 0)
        return;
    showCell(book, type, book->cells[column]);
    char first[4]; // the cell's first character that is no blank, as a field would begin
    copyField(first, sizeof first, book->cells[column]);
    if (first[0] != '\0' && column > book->lastCell) // a row of blanks is as empty as it looks
        book->lastCell = column;
}

// The worksheet's rows, in the order the part holds them, as CSV lines.
void readSheet(Workbook *book, const char *name)
{
    if (!readPart(book, name))
        return;
    XmlScanner scanner = scannerOf(&book->part);
    long row = 0;
    int column = -1;
    bool inRow = false, ended = false;
    for (Token token; book->failure == 0 && (token = nextToken(&scanner)).kind != TOKEN_END;) {
        Span value;
        ended = ended || (spanIs(token.name, "sheetData") && (token.kind == TOKEN_CLOSE || token.empty));
        if (token.kind == TOKEN_OPEN && spanIs(token.name, "row")) {
            long number = row + 1;
            if (attribute(&token, "r", &value) && !positiveNumber(value, MAX_ROW, &number))
                fail(book, READ_CANNOT_OPEN); // no row of a worksheet
            row = number;
            column = -1;
            inRow = !token.empty;
        } else if (token.kind == TOKEN_CLOSE && spanIs(token.name, "row")) {
            writeRow(book);
            inRow = false;
        } else if (token.kind == TOKEN_OPEN && spanIs(token.name, "c") && inRow) {
            column++;
            if (attribute(&token, "r", &value) && !cellColumn(value, &column))
                fail(book, READ_CANNOT_OPEN); // no cell of a worksheet
            else
                readCell(book, &scanner, &token, column);
        }
    }
    if (inRow)
        writeRow(book);
    if (!ended)
        fail(book, READ_CANNOT_OPEN); // cut short
}

// The first <sheet> of the workbook, in its own order, that is a worksheet.
bool findFirstWorksheet(Workbook *book, const char *workbook, char *sheet)
{
    char folder[PART_NAME_SIZE], relationships[PART_NAME_SIZE];
    partPlaces(workbook, folder, relationships);
    TextBuffer workbookPart = {};
    bool read = readPart(book, workbook);
    if (read && !appendBytes(&workbookPart, bufferText(&book->part), book->part.length))
        fail(book, READ_NO_MEMORY);
    bool found = false;
    if (book->failure == 0 && readPart(book, relationships)) {
        XmlScanner scanner = scannerOf(&workbookPart);
        for (Token token; !found && (token = nextToken(&scanner)).kind != TOKEN_END;) {
            Span id;
            if (token.kind == TOKEN_OPEN && spanIs(token.name, "sheet") && attribute(&token, "id", &id))
                found = findRelationship(book, folder, "/worksheet", &id, sheet, PART_NAME_SIZE);
        }
        char strings[PART_NAME_SIZE];
        if (found && !findRelationship(book, folder, "/sharedStrings", nullptr, strings, sizeof strings))
            formatText(strings, sizeof strings, "%ssharedStrings.xml", folder); // where Excel puts them
        if (found)
            readSharedStrings(book, strings);
    }
    freeBuffer(&workbookPart);
    return found && book->failure == 0;
}

// Whether a compound file's directory lists a stream called name (UTF-16, ended by a NUL).
template <size_t N> bool holdsStream(const char *bytes, size_t length, const char (&name)[N])
{
    for (size_t at = 0; at + N <= length; at++)
        if (bytes[at] == name[0] && memcmp(bytes + at, name, N) == 0)
            return true;
    return false;
}

// An OLE compound file: an Excel 97-2003 workbook, or a workbook Excel encrypted with a
// password (its package then sits in a stream named EncryptedPackage); else some other
// document of Office's.
int compoundFileFailure(const char *bytes, size_t length)
{
    static const unsigned char signature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    if (length < sizeof signature || memcmp(bytes, signature, sizeof signature) != 0)
        return 0;
    if (holdsStream(bytes, length, "E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0"))
        return READ_PASSWORD;
    bool workbook = holdsStream(bytes, length, "W\0o\0r\0k\0b\0o\0o\0k\0") || holdsStream(bytes, length, "B\0o\0o\0k\0");
    return workbook ? READ_OLD_WORKBOOK : READ_CANNOT_OPEN;
}

void freeWorkbook(Workbook *book)
{
    freeBuffer(&book->part);
    freeBuffer(&book->strings);
    freeBuffer(&book->value);
    freeBuffer(&book->csv);
    freeMemory(book->stringStarts);
    freeMemory(book);
}

} // namespace

int openXlsxBytes(const char *bytes, size_t length, CsvFile *csv)
{
    *csv = CsvFile();
    int oldFormat = compoundFileFailure(bytes, length);
    if (oldFormat != 0)
        return oldFormat;
    Workbook *book = (Workbook *)allocateZeroed(1, sizeof(Workbook));
    if (book == nullptr)
        return READ_NO_MEMORY;
    book->lastCell = -1;
    ZipResult opened = openZip(bytes, length, &book->zip);
    char workbook[PART_NAME_SIZE] = "xl/workbook.xml", sheet[PART_NAME_SIZE];
    if (opened != ZIP_OK)
        failFor(book, opened);
    else if (readPartIfThere(book, "_rels/.rels") == ZIP_OK) // else the workbook is where Excel puts it
        findRelationship(book, "", "/officeDocument", nullptr, workbook, sizeof workbook);
    if (book->failure == 0 && findFirstWorksheet(book, workbook, sheet))
        readSheet(book, sheet);
    else
        fail(book, READ_CANNOT_OPEN);
    int result = book->failure;
    if (result == 0 && book->csv.length == 0)
        result = READ_NO_ROWS;
    if (result == 0)
        result = openCsvBytes(bufferText(&book->csv), book->csv.length, csv);
    freeWorkbook(book);
    return result;
}

int openXlsx(const char *path, CsvFile *csv)
{
    *csv = CsvFile();
    TextBuffer file = {};
    WholeFileRead read = readWholeFile(path, &file);
    int result = read == WHOLE_FILE_NO_MEMORY ? READ_NO_MEMORY
               : read == WHOLE_FILE_UNREADABLE ? READ_CANNOT_OPEN
                                               : openXlsxBytes(bufferText(&file), file.length, csv);
    freeBuffer(&file);
    return result;
}

int importXlsx(const char *path)
{
    return importTableFile(path, openXlsx);
}

const char *workbookRefusal(int failure)
{
    switch (failure) {
    case READ_NO_ROWS:
        return "Excel文件的第一个工作表中没有数据。";
    case READ_PASSWORD:
        return "这个Excel文件有密码保护，没有密码无法读取。\n请在Excel中去掉密码，另存一份后再导入。";
    case READ_OLD_WORKBOOK:
        return "这是Excel 97-2003工作簿（.xls），无法直接读取。\n请在Excel中另存为.xlsx或CSV文件后再导入。";
    case READ_TOO_LARGE:
        return "Excel文件中的工作表太大，无法读取。";
    default:
        return "无法读取Excel文件！\n文件可能已经损坏，或者不是Excel工作簿（.xlsx）。";
    }
}
