// The vCard reader. A file is taken whole, its encoding decided once (prepareTextFile), split
// into lines, unfolded, and read property by property in one pass. Every BEGIN:VCARD ...
// END:VCARD is a contact. A BEGIN:VCARD inside an open card, an AGENT's card among them,
// opens a nested card, which is a contact of its own; when it ends, the outer card goes on.
// The contacts come in the order their cards begin, and a card still open at the end of the
// file is kept. A card keeps its values as they stood in the file and decodes them once, when
// it ends.
#include "interchange/vcard_format.h"

#include "common/charsets.h"
#include "common/file_io.h"
#include "common/memory.h"
#include "common/platform.h"
#include "common/text.h"
#include "common/text_buffer.h"
#include "interchange/exchange_formats.h"

#include <cstdlib>
#include <cstring>

namespace {

enum Charset { CHARSET_AUTO, CHARSET_UTF8, CHARSET_ANSI, CHARSET_OTHER };
enum Encoding { ENCODING_NONE, ENCODING_QUOTED, ENCODING_BASE64 };
enum {
    CHARSET_NAME_SIZE = 32,
    COMPONENT_SIZE = 512, // what a component keeps of its bytes; every field is far shorter
    NAME_PARTS = 3,       // family, given and middle name
    MAX_DEPTH = 32        // a card nested deeper ends the innermost one instead
};

struct Span {
    const char *text;
    size_t length;
};

// The properties a card is read from; every other one is passed over.
enum PropertyKind {
    OTHER_PROPERTY,
    BEGIN_PROPERTY,
    END_PROPERTY,
    VERSION_PROPERTY,
    N_PROPERTY,
    FN_PROPERTY,
    ORG_PROPERTY,
    NOTE_PROPERTY,
    TEL_PROPERTY,
    AGENT_PROPERTY
};

// One property line taken apart; the spans point into the line.
struct Property {
    Span name; // without group, e.g. "TEL"
    PropertyKind kind;
    Span value;
    Encoding encoding;
    Charset charset;
    Span charsetName;
    bool cell, voice, fax; // fax stands for the numbers nobody answers: fax, pager, modem
    int pref;              // 0 not preferred; otherwise its rank, 1 the most preferred
};

// A value a card keeps, as it stood in the file.
struct KeptValue {
    TextBuffer text;
    Encoding encoding;
    Charset charset;
    char charsetName[CHARSET_NAME_SIZE];
    bool present;
};

struct Card {
    KeptValue n, fn, org, note, tel;
    int telRank;         // 0 none; a voice number always above a fax
    int telPref;         // the kept number's PREF rank, 0 none
    bool utf8ByDefault;  // VERSION 3.0 or 4.0
    size_t slot;         // its contact's place among those of its outermost card
};

// Scratch space for decoding values, kept for a whole file so that no value allocates.
struct DecodeScratch {
    TextBuffer bytes, literal;
    char parts[NAME_PARTS][COMPONENT_SIZE];
    unsigned long points[COMPONENT_SIZE];
};

struct Reader {
    KeptValue candidate; // a number, decoded to see that it holds something
    const char *text;
    size_t length;
    size_t position;
    TextKind kind;
    TextBuffer joined; // a logical line that goes on over several lines
    Card *cards;       // the open cards, outermost first
    size_t depth, cardRoom;
    Contact *pending;  // the contacts of the outermost card and its nested ones, in order
    size_t pendingCount, pendingRoom;
    DecodeScratch scratch;
    bool outOfMemory;
};

enum ValueShape {
    WHOLE,      // FN, TEL, NOTE: one text
    FIRST_PART, // ORG: the organisation's name, before its units
    NAME,       // N: family, given and middle name
    NAME_LISTS  // N of 3.0 and 4.0, where each part is a list: its first value
};

void valueToField(Reader *reader, const KeptValue *value, ValueShape shape, bool utf8ByDefault,
                  char *field, size_t size);

// word is in upper case.
bool sameLetters(const char *text, const char *word, size_t length)
{
    for (size_t i = 0; i < length; i++)
        if (upperAscii(text[i]) != word[i])
            return false;
    return true;
}

// True when the span is word (in upper case), without regard to case.
template <size_t N> bool spanIs(Span span, const char (&word)[N])
{
    return span.length == N - 1 && sameLetters(span.text, word, N - 1);
}

template <size_t N> bool spanStarts(Span span, const char (&prefix)[N])
{
    return span.length >= N - 1 && sameLetters(span.text, prefix, N - 1);
}

bool isOneOf(char c, const char *what)
{
    for (; *what != '\0'; what++)
        if (c == *what)
            return true;
    return false;
}

Span trimmed(Span span, const char *what)
{
    while (span.length > 0 && isOneOf(span.text[0], what))
        span.text++, span.length--;
    while (span.length > 0 && isOneOf(span.text[span.length - 1], what))
        span.length--;
    return span;
}

// True when the span, spaces and tabs around it ignored, is word (without regard to case).
template <size_t N> bool isWord(Span span, const char (&word)[N])
{
    return spanIs(trimmed(span, " \t"), word);
}

bool headIsQuotedPrintable(const char *line, size_t length)
{
    for (size_t i = 0; i + 16 <= length && line[i] != ':'; i++)
        if (upperAscii(line[i]) == 'Q' && spanIs(Span{line + i, 16}, "QUOTED-PRINTABLE"))
            return true;
    return false;
}

// The property name at the start of a line, without its group.
Span nameOf(const char *line, size_t length)
{
    size_t end = 0;
    while (end < length && line[end] != ':' && line[end] != ';')
        end++;
    size_t start = end;
    while (start > 0 && line[start - 1] != '.')
        start--;
    return Span{line + start, end - start};
}

PropertyKind kindOf(Span name)
{
    static const struct {
        Span name;
        PropertyKind kind;
    } kept[] = {{{"BEGIN", 5}, BEGIN_PROPERTY}, {{"END", 3}, END_PROPERTY}, {{"VERSION", 7}, VERSION_PROPERTY},
                {{"N", 1}, N_PROPERTY},         {{"FN", 2}, FN_PROPERTY},   {{"ORG", 3}, ORG_PROPERTY},
                {{"NOTE", 4}, NOTE_PROPERTY},   {{"TEL", 3}, TEL_PROPERTY}, {{"AGENT", 5}, AGENT_PROPERTY}};
    for (const auto &word : kept)
        if (name.length == word.name.length && sameLetters(name.text, word.name.text, name.length))
            return word.kind;
    return OTHER_PROPERTY;
}

void append(Reader *reader, TextBuffer *buffer, const char *bytes, size_t count)
{
    if (!appendBytes(buffer, bytes, count))
        reader->outOfMemory = true;
}

// True for a line that starts a property the reader keeps, a card's first and last line
// among them: a soft break before it, which some phones leave at a value's end, joins nothing.
bool startsKeptProperty(const char *line, size_t length)
{
    size_t end = 0;
    while (end < length && line[end] != ':' && line[end] != ';' && line[end] != ' ')
        end++;
    return end < length && line[end] != ' ' && kindOf(nameOf(line, end)) != OTHER_PROPERTY;
}

// Reads one logical line: folded lines and quoted-printable soft breaks are joined (a soft
// break at the very end of the file, or before a card's first or last line, is dropped). The
// lines of a property the reader does not keep (a photo, say) are passed over without being
// joined.
bool nextLogicalLine(Reader *reader, Span *logical)
{
    const char *line;
    size_t length;
    if (!nextLine(reader->text, reader->length, &reader->position, &line, &length))
        return false;
    size_t next = reader->position;
    bool mayGoOn = (length > 0 && line[length - 1] == '=') ||
                   (next < reader->length && (reader->text[next] == ' ' || reader->text[next] == '\t'));
    if (!mayGoOn) { // most lines: a whole property
        *logical = Span{line, length};
        return true;
    }
    bool quoted = headIsQuotedPrintable(line, length);
    const Span first = {line, length};
    bool keep = kindOf(nameOf(line, length)) != OTHER_PROPERTY;
    TextBuffer *joined = &reader->joined;
    clearBuffer(joined);
    bool joining = false;
    for (;;) {
        bool softBreak = quoted && length > 0 && line[length - 1] == '=';
        next = reader->position;
        bool folded = next < reader->length && (reader->text[next] == ' ' || reader->text[next] == '\t');
        if (!softBreak && !folded && !joining) {
            *logical = Span{line, length};
            return true;
        }
        if (keep)
            append(reader, joined, line, length - (softBreak ? 1 : 0));
        joining = true;
        if (!softBreak && !folded)
            break;
        size_t before = reader->position;
        if (!nextLine(reader->text, reader->length, &reader->position, &line, &length))
            break;
        if (softBreak && length == 0)
            break; // an empty line ends the value
        if (softBreak && startsKeptProperty(line, length)) {
            reader->position = before;
            break;
        }
        size_t skip = 0;
        while (skip < length && (line[skip] == ' ' || line[skip] == '\t') && (softBreak || skip == 0))
            skip++;
        line += skip, length -= skip;
    }
    *logical = keep ? Span{bufferText(joined), joined->length} : first;
    return true;
}

int prefRank(Span value)
{
    int rank = 0;
    for (size_t i = 0; i < value.length && value.text[i] >= '0' && value.text[i] <= '9' && rank < 1000; i++)
        rank = rank * 10 + (value.text[i] - '0');
    return rank > 0 ? rank : 1;
}

// TYPE=cell,pref or TYPE="cell, pref": each item trimmed.
void readTypeList(Span list, Property *property)
{
    while (list.length > 0) {
        const char *comma = (const char *)memchr(list.text, ',', list.length);
        size_t itemLength = comma != nullptr ? (size_t)(comma - list.text) : list.length;
        Span item = trimmed(Span{list.text, itemLength}, " \t\"");
        property->cell |= spanIs(item, "CELL");
        property->voice |= spanIs(item, "VOICE");
        property->fax |= spanIs(item, "FAX") || spanIs(item, "PAGER") || spanIs(item, "MODEM");
        if (spanIs(item, "PREF") && property->pref == 0)
            property->pref = 1;
        size_t used = comma != nullptr ? itemLength + 1 : itemLength;
        list.text += used, list.length -= used;
    }
}

void readCharset(Span name, Property *property)
{
    name = trimmed(name, "\"");
    property->charsetName = name;
    if (spanIs(name, "UTF-8") || spanIs(name, "UTF8"))
        property->charset = CHARSET_UTF8;
    else if (spanStarts(name, "GB"))
        property->charset = CHARSET_ANSI; // GB2312, GBK, GB18030: the program's own code page
    else
        property->charset = CHARSET_OTHER;
}

Encoding encodingNamed(Span name)
{
    if (spanIs(name, "QUOTED-PRINTABLE"))
        return ENCODING_QUOTED;
    if (spanIs(name, "BASE64") || spanIs(name, "B"))
        return ENCODING_BASE64;
    return ENCODING_NONE;
}

void readParameter(Span parameter, Property *property)
{
    const char *equals = (const char *)memchr(parameter.text, '=', parameter.length);
    if (equals == nullptr) {
        Encoding encoding = encodingNamed(parameter);
        if (encoding != ENCODING_NONE)
            property->encoding = encoding;
        else
            readTypeList(parameter, property);
        return;
    }
    Span name = {parameter.text, (size_t)(equals - parameter.text)};
    Span value = {equals + 1, parameter.length - name.length - 1};
    if (spanIs(name, "ENCODING"))
        property->encoding = encodingNamed(value);
    else if (spanIs(name, "CHARSET"))
        readCharset(value, property);
    else if (spanIs(name, "TYPE"))
        readTypeList(value, property);
    else if (spanIs(name, "PREF"))
        property->pref = prefRank(value);
}

// Takes a line apart, its parameters only where the reader keeps the property; false for a
// line without a value separator (the first colon outside double quotes).
bool readProperty(Span line, Property *property)
{
    *property = Property();
    const char *firstColon = (const char *)memchr(line.text, ':', line.length);
    if (firstColon == nullptr)
        return false;
    size_t colon = (size_t)(firstColon - line.text);
    if (memchr(line.text, '"', colon) != nullptr) { // the first colon may stand in quotes
        bool quoted = false;
        for (colon = 0; colon < line.length && (line.text[colon] != ':' || quoted); colon++)
            quoted ^= line.text[colon] == '"';
        if (colon == line.length)
            return false;
    }
    property->value = Span{line.text + colon + 1, line.length - colon - 1};
    property->name = nameOf(line.text, colon);
    property->kind = kindOf(property->name);
    if (property->kind == OTHER_PROPERTY)
        return true; // nothing in its parameters is wanted
    // After the name, each ';' outside quotes starts a parameter.
    bool quotes = memchr(line.text, '"', colon) != nullptr;
    for (size_t at = property->name.text + property->name.length - line.text; at < colon;) {
        size_t end = at + 1;
        if (!quotes) {
            const char *semicolon = (const char *)memchr(line.text + end, ';', colon - end);
            end = semicolon != nullptr ? (size_t)(semicolon - line.text) : colon;
        }
        for (bool quoted = false; quotes && end < colon && (line.text[end] != ';' || quoted); end++)
            quoted ^= line.text[end] == '"';
        readParameter(Span{line.text + at + 1, end - at - 1}, property);
        at = end;
    }
    return true;
}

void keepValue(Reader *reader, KeptValue *kept, const Property *property, Span value)
{
    clearBuffer(&kept->text);
    append(reader, &kept->text, value.text, value.length);
    kept->encoding = property->encoding;
    kept->charset = property->charset;
    size_t nameLength = property->charsetName.length < CHARSET_NAME_SIZE - 1 ? property->charsetName.length
                                                                           : CHARSET_NAME_SIZE - 1;
    if (nameLength > 0)
        memcpy(kept->charsetName, property->charsetName.text, nameLength);
    kept->charsetName[nameLength] = '\0';
    kept->present = true;
}

// A tel: URI's number: its parameters are no part of it, but an extension is kept in the
// form phones dial it, after a comma (a pause), when the field has room for both.
Span telUriNumber(Span uri, char *number, size_t size)
{
    const char *semicolon = (const char *)memchr(uri.text, ';', uri.length);
    Span digits = {uri.text, semicolon != nullptr ? (size_t)(semicolon - uri.text) : uri.length};
    Span extension = {};
    for (Span rest = {semicolon, semicolon != nullptr ? uri.length - digits.length : 0}; rest.length > 0;) {
        rest.text++, rest.length--;
        const char *next = (const char *)memchr(rest.text, ';', rest.length);
        Span parameter = {rest.text, next != nullptr ? (size_t)(next - rest.text) : rest.length};
        if (spanStarts(parameter, "EXT="))
            extension = Span{parameter.text + 4, parameter.length - 4};
        rest.text += parameter.length, rest.length -= parameter.length;
    }
    if (extension.length == 0 || digits.length + 1 + extension.length >= NUMBER_SIZE)
        return digits;
    formatText(number, size, "%.*s,%.*s", (int)digits.length, digits.text, (int)extension.length,
               extension.text);
    return Span{number, strlen(number)};
}

// Keeps the number when it is better than the one kept: a voice or untyped number above a
// fax, pager or modem; then a mobile over any other, a preferred one over one that is not,
// and among equals the lowest PREF rank. An empty number counts for nothing.
void keepBetterNumber(Reader *reader, Card *card, const Property *property)
{
    char uriNumber[NUMBER_SIZE];
    Span number = trimmed(property->value, " \t");
    if (spanStarts(number, "TEL:"))
        number = telUriNumber(trimmed(Span{number.text + 4, number.length - 4}, " \t"), uriNumber,
                              sizeof uriNumber);
    bool answered = !property->fax || property->voice; // a mobile's fax is still a fax
    int rank = (answered ? 4 : 0) + (property->cell ? 2 : 0) + (property->pref ? 1 : 0) + 1;
    bool better = rank > card->telRank ||
                  (rank == card->telRank && property->pref != 0 && property->pref < card->telPref);
    if (!better)
        return;
    // A number blank once decoded ("=20", "\n", an ideographic space) counts for nothing.
    keepValue(reader, &reader->candidate, property, number);
    char decoded[NUMBER_SIZE] = "";
    valueToField(reader, &reader->candidate, WHOLE, card->utf8ByDefault, decoded, sizeof decoded);
    if (decoded[0] == '\0')
        return;
    TextBuffer kept = card->tel.text;
    card->tel = reader->candidate;
    reader->candidate.text = kept;
    card->telRank = rank;
    card->telPref = property->pref;
}

void readCardProperty(Reader *reader, Card *card, const Property *property)
{
    PropertyKind kind = property->kind;
    if (kind == VERSION_PROPERTY)
        card->utf8ByDefault = property->value.length > 0 &&
                              (property->value.text[0] == '3' || property->value.text[0] == '4');
    else if (kind == TEL_PROPERTY)
        keepBetterNumber(reader, card, property);
    KeptValue *kept = kind == N_PROPERTY ? &card->n : kind == FN_PROPERTY ? &card->fn
                    : kind == ORG_PROPERTY ? &card->org : kind == NOTE_PROPERTY ? &card->note : nullptr;
    if (kept != nullptr && !kept->present)
        keepValue(reader, kept, property, property->value);
}

constexpr int hexDigitValue(int c)
{
    return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// The value of every byte as a hexadecimal digit, -1 for the others: worked out by the compiler.
constexpr struct HexDigits {
    signed char of[256];
    constexpr HexDigits() : of()
    {
        for (int c = 0; c < 256; c++)
            of[c] = (signed char)hexDigitValue(c);
    }
} hexDigits;

int hexValue(char c)
{
    return hexDigits.of[(unsigned char)c];
}

int base64Value(char c)
{
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const char *found = c != '\0' ? strchr(digits, c) : nullptr;
    return found != nullptr ? (int)(found - digits) : -1;
}

// Undoes the transfer encoding into scratch bytes. literal gets one flag per byte: 1 where
// the byte stood in the file as itself, so it may separate components or start an escape;
// an encoded "=3B" stays inside its component, as this program's earlier versions wrote it.
void decodeTransfer(Reader *reader, const KeptValue *value)
{
    TextBuffer *bytes = &reader->scratch.bytes, *literal = &reader->scratch.literal;
    clearBuffer(bytes);
    clearBuffer(literal);
    const char *text = bufferText(&value->text);
    size_t length = value->text.length;
    if (value->encoding == ENCODING_NONE) {
        append(reader, bytes, text, length);
        return;
    }
    enum { CHUNK = 256 };
    char decoded[CHUNK], literals[CHUNK];
    size_t count = 0;
    unsigned bits = 0;
    int bitCount = 0;
    for (size_t i = 0; i < length; i++) {
        char byte = text[i];
        char isLiteral = 1;
        if (value->encoding == ENCODING_BASE64) {
            int digit = base64Value(byte);
            if (digit < 0)
                continue;
            bits = bits << 6 | (unsigned)digit;
            bitCount += 6;
            if (bitCount < 8)
                continue;
            bitCount -= 8;
            byte = (char)(bits >> bitCount);
        } else if (byte == '=' && i + 2 < length && hexValue(text[i + 1]) >= 0 &&
                   hexValue(text[i + 2]) >= 0) {
            byte = (char)(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            isLiteral = 0;
            i += 2;
        }
        decoded[count] = byte;
        literals[count++] = isLiteral;
        if (count == CHUNK) {
            append(reader, bytes, decoded, count);
            append(reader, literal, literals, count);
            count = 0;
        }
    }
    append(reader, bytes, decoded, count);
    append(reader, literal, literals, count);
}

// The charset of a value's bytes: the one it declares, when the program knows it. Otherwise
// UTF-8 in a file that says it is Unicode, as it stood there; UTF-8 when the value proves it,
// the ANSI code page when it has nothing of UTF-8 (quoted-printable GBK in a UTF-8 file);
// and else the file's own rule: what its evidence says, and where it says nothing, UTF-8 in
// 3.0 and 4.0 cards and the ANSI code page in 2.1 cards.
Charset valueCharset(const Reader *reader, const KeptValue *value, bool utf8ByDefault)
{
    if (value->charset == CHARSET_OTHER) {
        if (findCharset(value->charsetName) != nullptr)
            return CHARSET_OTHER;
    } else if (value->charset != CHARSET_AUTO) {
        return value->charset;
    }
    if (reader->kind == TEXT_UNICODE && value->encoding == ENCODING_NONE)
        return CHARSET_UTF8;
    const TextBuffer *bytes = &reader->scratch.bytes;
    Utf8Evidence evidence = utf8Evidence(bufferText(bytes), bytes->length);
    if (evidence == UTF8 && isUtf8(bufferText(bytes), bytes->length))
        return CHARSET_UTF8;
    if (evidence == NOT_UTF8)
        return CHARSET_ANSI;
    if (reader->kind == TEXT_MAYBE_UTF8)
        return utf8ByDefault ? CHARSET_UTF8 : CHARSET_ANSI;
    return reader->kind == TEXT_UTF8 || reader->kind == TEXT_UNICODE ? CHARSET_UTF8 : CHARSET_ANSI;
}

// The width of the character at at in the value's charset, so that a trail byte is never
// taken for a backslash or a separator. No byte of a UTF-8 sequence is ASCII.
size_t charsetWidth(Charset charset, CharsetLeads leads, const char *at, size_t left)
{
    unsigned char lead = (unsigned char)at[0];
    if (charset == CHARSET_ANSI)
        return left >= 2 ? characterWidth(at) : 1;
    if (charset != CHARSET_OTHER || left < 2)
        return 1;
    bool isLead = leads == SHIFT_JIS_LEADS ? (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)
                                           : leads == HIGH_LEADS && lead >= 0x81;
    return isLead ? 2 : 1;
}

// Converts a component's bytes, in place, to the ANSI code page.
void componentToAnsi(Reader *reader, char *part, Charset charset, const char *charsetName)
{
    if (charset == CHARSET_UTF8) {
        utf8ToAnsi(part, part, COMPONENT_SIZE);
    } else if (charset == CHARSET_OTHER) {
        size_t count = 0;
        unsigned long *points = reader->scratch.points;
        platformDecodeCharset(charsetName, part, strlen(part), points, COMPONENT_SIZE, &count);
        size_t length = 0;
        for (size_t i = 0; i < count; i++) {
            char bytes[MB_LEN_MAX];
            int width = encodeAnsi(points[i] == 0 ? ' ' : points[i], bytes);
            if (length + width >= COMPONENT_SIZE)
                break;
            memcpy(part + length, bytes, width);
            length += width;
        }
        part[length] = '\0';
    }
}


// Decodes a kept value into scratch.parts, in the ANSI code page: the escapes \n \\ \, \; \:
// decoded, a compound value split at ';'. Both are done on whole characters of the value's
// charset, never on a trail byte. Returns how many parts it has.
int decodeParts(Reader *reader, const KeptValue *value, ValueShape shape, bool utf8ByDefault)
{
    decodeTransfer(reader, value);
    int parts = shape == WHOLE || shape == FIRST_PART ? 1 : NAME_PARTS;
    if (reader->outOfMemory) { // the import fails, and nothing half decoded is read
        for (char *part : reader->scratch.parts)
            part[0] = '\0';
        return parts;
    }
    Charset charset = valueCharset(reader, value, utf8ByDefault);
    const NamedCharset *named = charset == CHARSET_OTHER ? findCharset(value->charsetName) : nullptr;
    CharsetLeads leads = named != nullptr ? named->leads : SINGLE_BYTES;
    const TextBuffer *bytes = &reader->scratch.bytes;
    const char *text = bufferText(bytes);
    const char *isLiteral = value->encoding == ENCODING_NONE ? nullptr : bufferText(&reader->scratch.literal);
    int index = 0;
    size_t length = 0;
    bool listEnded = false; // the rest of this part's list is dropped
    char *part = reader->scratch.parts[0];
    for (size_t i = 0; i <= bytes->length && index < parts; i++) {
        unsigned char plain = i < bytes->length ? (unsigned char)text[i] : 0;
        if (plain >= ' ' && plain < 0x80 && plain != '\\' && plain != ';' && plain != ',') {
            if (!listEnded && length + 1 < COMPONENT_SIZE)
                part[length++] = (char)plain; // a character with no meaning here, as it is
            continue;
        }
        bool literal = i < bytes->length && (isLiteral == nullptr || isLiteral[i]);
        if (i == bytes->length || (shape != WHOLE && literal && text[i] == ';')) {
            part[length] = '\0';
            componentToAnsi(reader, part, charset, value->charsetName);
            if (++index < parts)
                part = reader->scratch.parts[index];
            length = 0;
            listEnded = false;
            continue;
        }
        size_t width = charsetWidth(charset, leads, text + i, bytes->length - i);
        char next = i + 1 < bytes->length ? text[i + 1] : '\0';
        const char *character = text + i;
        if (width == 1 && literal && text[i] == '\\' && next != '\0' && strchr("nN\\,;:", next) != nullptr) {
            character = next == 'n' || next == 'N' ? "\n" : text + i + 1;
            i++;
        } else if (width == 1 && literal && text[i] == ',' && shape == NAME_LISTS) {
            listEnded = true;
        }
        if (!listEnded && length + width < COMPONENT_SIZE) {
            for (size_t b = 0; b < width; b++)
                part[length++] = character[b] == '\0' ? ' ' : character[b];
        }
        i += width - 1;
    }
    for (; index < parts; index++)
        reader->scratch.parts[index][0] = '\0';
    return parts;
}

bool isCjk(unsigned long cp)
{
    return (cp >= 0x1100 && cp <= 0x11FF) || (cp >= 0x3040 && cp <= 0x30FF) ||
           (cp >= 0x3130 && cp <= 0x318F) || (cp >= 0x3400 && cp <= 0x4DBF) ||
           (cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0xAC00 && cp <= 0xD7AF) ||
           (cp >= 0xF900 && cp <= 0xFAFF);
}

bool holdsCjk(const char *ansi)
{
    for (const char *at = ansi; *at != '\0';) {
        unsigned long cp;
        at += decodeAnsi(at, &cp);
        if (isCjk(cp))
            return true;
    }
    return false;
}

// Joins family, given and middle name into field: run together for CJK names, otherwise
// given, middle and family name separated by single spaces.
void joinName(char parts[NAME_PARTS][COMPONENT_SIZE], char *field, size_t size)
{
    bool cjk = holdsCjk(parts[0]) || holdsCjk(parts[1]) || holdsCjk(parts[2]);
    static const int cjkOrder[NAME_PARTS] = {0, 1, 2}, westernOrder[NAME_PARTS] = {1, 2, 0};
    const int *order = cjk ? cjkOrder : westernOrder;
    char name[NAME_SIZE * 4] = "";
    size_t length = 0;
    for (int i = 0; i < NAME_PARTS; i++) {
        char part[NAME_SIZE * 2];
        copyField(part, sizeof part, parts[order[i]]);
        if (part[0] == '\0')
            continue;
        if (length > 0 && !cjk && length + 1 < sizeof name)
            name[length++] = ' ';
        length += copyText(name + length, sizeof name - length, part);
    }
    copyField(field, size, name);
}

void valueToField(Reader *reader, const KeptValue *value, ValueShape shape, bool utf8ByDefault,
                  char *field, size_t size)
{
    if (!value->present)
        return;
    decodeParts(reader, value, shape, utf8ByDefault);
    if (shape == NAME || shape == NAME_LISTS)
        joinName(reader->scratch.parts, field, size);
    else
        copyField(field, size, reader->scratch.parts[0]);
}

// The card's contact: named by N, else FN, else ORG (a company's card); its best number; its
// first note as the remark.
void finishCard(Reader *reader, const Card *card)
{
    Contact *contact = &reader->pending[card->slot];
    bool modern = card->utf8ByDefault;
    valueToField(reader, &card->n, modern ? NAME_LISTS : NAME, modern, contact->name, sizeof contact->name);
    if (contact->name[0] == '\0')
        valueToField(reader, &card->fn, WHOLE, modern, contact->name, sizeof contact->name);
    if (contact->name[0] == '\0')
        valueToField(reader, &card->org, FIRST_PART, modern, contact->name, sizeof contact->name);
    valueToField(reader, &card->tel, WHOLE, modern, contact->number, sizeof contact->number);
    valueToField(reader, &card->note, WHOLE, modern, contact->remark, sizeof contact->remark);
}

void clearCard(Card *card)
{
    KeptValue *values[] = {&card->n, &card->fn, &card->org, &card->note, &card->tel};
    for (KeptValue *value : values) {
        TextBuffer text = value->text;
        clearBuffer(&text);
        *value = KeptValue();
        value->text = text;
    }
    card->telRank = card->telPref = 0;
}

void freeCard(Card *card)
{
    KeptValue *values[] = {&card->n, &card->fn, &card->org, &card->note, &card->tel};
    for (KeptValue *value : values)
        freeBuffer(&value->text);
}

// Room for one more of size bytes in *items; false without memory.
bool reserve(void **items, size_t *room, size_t count, size_t size)
{
    if (count < *room)
        return true;
    size_t larger = *room < 8 ? 8 : *room * 2;
    void *grown = resizeMemory(*items, larger * size);
    if (grown == nullptr)
        return false;
    memset((char *)grown + *room * size, 0, (larger - *room) * size);
    *items = grown;
    *room = larger;
    return true;
}

void beginCard(Reader *reader)
{
    if (reader->depth == MAX_DEPTH) {
        finishCard(reader, &reader->cards[--reader->depth]);
    }
    if (!reserve((void **)&reader->cards, &reader->cardRoom, reader->depth, sizeof(Card)) ||
        !reserve((void **)&reader->pending, &reader->pendingRoom, reader->pendingCount, sizeof(Contact))) {
        reader->outOfMemory = true;
        return;
    }
    Card *card = &reader->cards[reader->depth];
    clearCard(card);
    card->utf8ByDefault = reader->depth > 0 && reader->cards[reader->depth - 1].utf8ByDefault;
    card->slot = reader->pendingCount;
    reader->pending[reader->pendingCount++] = Contact();
    reader->depth++;
}

// Appends the contacts of a finished outermost card that have a name or a number.
int appendPending(Reader *reader)
{
    int appended = 0;
    for (size_t i = 0; i < reader->pendingCount && !reader->outOfMemory; i++) {
        const Contact &contact = reader->pending[i];
        if (contact.name[0] == '\0' && contact.number[0] == '\0')
            continue;
        if (appendContact(contact))
            appended++;
        else
            reader->outOfMemory = true;
    }
    reader->pendingCount = 0;
    return appended;
}

int endCard(Reader *reader)
{
    finishCard(reader, &reader->cards[--reader->depth]);
    return reader->depth == 0 ? appendPending(reader) : 0;
}

void freeReader(Reader *reader)
{
    for (size_t i = 0; i < reader->cardRoom; i++)
        freeCard(&reader->cards[i]);
    freeMemory(reader->cards);
    freeMemory(reader->pending);
    freeBuffer(&reader->joined);
    freeBuffer(&reader->candidate.text);
    freeBuffer(&reader->scratch.bytes);
    freeBuffer(&reader->scratch.literal);
}

} // namespace

int importVCardBytes(const char *text, size_t length, TextKind kind)
{
    Reader *reader = (Reader *)allocateZeroed(1, sizeof(Reader));
    if (reader == nullptr)
        return READ_NO_MEMORY;
    reader->text = text;
    reader->length = length;
    reader->kind = kind;
    int appended = 0;
    Span line;
    while (!reader->outOfMemory && nextLogicalLine(reader, &line)) {
        Property property;
        if (!readProperty(line, &property))
            continue;
        bool begin = (property.kind == BEGIN_PROPERTY && isWord(property.value, "VCARD")) ||
                     (property.kind == AGENT_PROPERTY && reader->depth > 0 &&
                      isWord(property.value, "BEGIN:VCARD"));
        if (begin)
            beginCard(reader);
        else if (property.kind == END_PROPERTY && isWord(property.value, "VCARD") && reader->depth > 0)
            appended += endCard(reader);
        else if (reader->depth > 0)
            readCardProperty(reader, &reader->cards[reader->depth - 1], &property);
    }
    while (reader->depth > 0 && !reader->outOfMemory)
        appended += endCard(reader);
    bool outOfMemory = reader->outOfMemory;
    freeReader(reader);
    freeMemory(reader);
    return outOfMemory ? READ_NO_MEMORY : appended;
}

int importVCard(const char *path)
{
    TextBuffer file = {};
    TextKind kind;
    int result = readTextFile(path, &file, &kind);
    if (result == 0)
        result = importVCardBytes(bufferText(&file), file.length, kind);
    freeBuffer(&file);
    return result;
}
