// The vCard reader. A file is taken whole, normalised to bytes with UTF-8 or ANSI text,
// split into lines (CR LF, LF, CR and CR CR LF), unfolded, and read property by property.
// Every BEGIN:VCARD ... END:VCARD is one contact; a BEGIN:VCARD inside an open card ends it,
// and only a card an AGENT property opens is nested (and belongs to no one).
#include "interchange/vcard_format.h"

#include "common/file_io.h"
#include "common/platform.h"
#include "common/text.h"
#include "common/text_buffer.h"
#include "interchange/text_encoding.h"

#include <cstdlib>
#include <cstring>

namespace {

enum Charset { CHARSET_AUTO, CHARSET_UTF8, CHARSET_ANSI, CHARSET_OTHER };
enum Encoding { ENCODING_NONE, ENCODING_QUOTED, ENCODING_BASE64 };
enum { CHARSET_NAME_SIZE = 32, VALUE_POINTS = 512, COMPONENTS = 3 };

// One property line taken apart; the pointers point into the line.
struct Property {
    char *name; // without group, e.g. "TEL"
    char *value;
    Encoding encoding;
    Charset charset;
    const char *charsetName; // the declared name, for CHARSET_OTHER
    int cell;
    int pref; // 0 not preferred; otherwise its rank, 1 the most preferred
};

// A value a card keeps (N, FN or TEL), as it stood in the file.
struct KeptValue {
    TextBuffer text;
    Encoding encoding;
    Charset charset;
    char charsetName[CHARSET_NAME_SIZE];
    bool present;
};

// What one card has given so far.
struct Card {
    KeptValue n, fn, tel;
    int telRank; // 0 none, 1 any, 2 PREF, 3 CELL, 4 CELL and PREF
    int telPref; // the kept number's PREF rank, 0 none
    int modern;  // VERSION 3.0 or 4.0: values are UTF-8
};

// A value decoded to code points, one component after another.
struct Components {
    unsigned long points[COMPONENTS][VALUE_POINTS];
    size_t counts[COMPONENTS];
};

// What decoding a value needs, kept for a whole file so that no value allocates.
struct Decoder {
    TextBuffer bytes, literal, component;
    Components parts;
};

bool startsIgnoringCase(const char *text, const char *prefix)
{
    size_t length = strlen(prefix);
    for (size_t i = 0; i < length; i++) {
        char x = text[i] >= 'a' && text[i] <= 'z' ? (char)(text[i] - 32) : text[i];
        if (x != prefix[i])
            return false;
    }
    return true;
}

// True when text, spaces and tabs around it ignored, is word (without regard to case).
bool isWord(const char *text, const char *word)
{
    while (*text == ' ' || *text == '\t')
        text++;
    size_t length = strlen(word);
    if (!startsIgnoringCase(text, word))
        return false;
    for (text += length; *text == ' ' || *text == '\t'; text++)
        ;
    return *text == '\0';
}

// The next physical line; false at the end of the text.
bool nextLine(const char *text, size_t length, size_t *position, const char **line,
              size_t *lineLength)
{
    if (*position >= length)
        return false;
    size_t start = *position, end = start;
    while (end < length && text[end] != '\r' && text[end] != '\n')
        end++;
    size_t next = end;
    if (next < length && text[next] == '\r' && next + 1 < length && text[next + 1] == '\r' &&
        next + 2 < length && text[next + 2] == '\n')
        next += 3;
    else if (next < length && text[next] == '\r' && next + 1 < length && text[next + 1] == '\n')
        next += 2;
    else if (next < length)
        next += 1;
    *line = text + start;
    *lineLength = end - start;
    *position = next;
    return true;
}

// The value separator: the first colon outside double quotes, or null.
char *findValueColon(char *line)
{
    bool quoted = false;
    for (char *c = line; *c != '\0'; c++) {
        if (*c == '"')
            quoted = !quoted;
        else if (*c == ':' && !quoted)
            return c;
    }
    return nullptr;
}

bool headIsQuotedPrintable(const char *line, size_t length)
{
    for (size_t i = 0; i < length && line[i] != ':'; i++)
        if (startsIgnoringCase(line + i, "QUOTED-PRINTABLE"))
            return true;
    return false;
}

// Reads one logical line: folded lines and quoted-printable soft breaks are joined; a soft
// break at the very end of the file is dropped.
bool nextLogicalLine(const char *text, size_t length, size_t *position, TextBuffer *logical)
{
    const char *line;
    size_t lineLength;
    clearBuffer(logical);
    if (!nextLine(text, length, position, &line, &lineLength))
        return false;
    appendBytes(logical, line, lineLength);
    appendBytes(logical, "", 0);
    bool quoted = headIsQuotedPrintable(line, lineLength);
    for (;;) {
        size_t saved = *position;
        bool softBreak = quoted && logical->length > 0 && logical->data[logical->length - 1] == '=';
        if (softBreak)
            logical->data[--logical->length] = '\0';
        if (!nextLine(text, length, position, &line, &lineLength))
            break;
        if (softBreak) {
            if (lineLength == 0)
                break; // an empty line ends the value
            while (lineLength > 0 && (*line == ' ' || *line == '\t'))
                line++, lineLength--;
            appendBytes(logical, line, lineLength);
        } else if (lineLength > 0 && (*line == ' ' || *line == '\t')) {
            appendBytes(logical, line + 1, lineLength - 1);
        } else {
            *position = saved;
            break;
        }
    }
    return true;
}

// A PREF parameter's rank: its number, or 1 when it has none.
int prefRank(const char *value)
{
    int rank = atoi(value);
    return rank > 0 ? rank : 1;
}

// TYPE=cell,pref or TYPE="cell, pref": each item trimmed.
void readTypeList(char *list, Property *property)
{
    char *item = list;
    while (item != nullptr) {
        char *comma = strchr(item, ',');
        if (comma != nullptr)
            *comma = '\0';
        while (*item == ' ' || *item == '\t' || *item == '"')
            item++;
        size_t length = strlen(item);
        while (length > 0 && (item[length - 1] == ' ' || item[length - 1] == '\t' ||
                              item[length - 1] == '"'))
            item[--length] = '\0';
        if (equalsIgnoringCase(item, "CELL"))
            property->cell = 1;
        if (equalsIgnoringCase(item, "PREF") && property->pref == 0)
            property->pref = 1;
        item = comma != nullptr ? comma + 1 : nullptr;
    }
}

void readCharset(char *name, Property *property)
{
    if (*name == '"')
        name++;
    size_t length = strlen(name);
    if (length > 0 && name[length - 1] == '"')
        name[length - 1] = '\0';
    property->charsetName = name;
    if (equalsIgnoringCase(name, "UTF-8") || equalsIgnoringCase(name, "UTF8"))
        property->charset = CHARSET_UTF8;
    else if (startsIgnoringCase(name, "GB"))
        property->charset = CHARSET_ANSI; // GB2312, GBK, GB18030: the program's own code page
    else
        property->charset = CHARSET_OTHER;
}

Encoding encodingNamed(const char *name)
{
    if (equalsIgnoringCase(name, "QUOTED-PRINTABLE"))
        return ENCODING_QUOTED;
    if (equalsIgnoringCase(name, "BASE64") || equalsIgnoringCase(name, "B"))
        return ENCODING_BASE64;
    return ENCODING_NONE;
}

void readParameter(char *parameter, Property *property)
{
    char *equals = strchr(parameter, '=');
    if (equals == nullptr) {
        Encoding encoding = encodingNamed(parameter);
        if (encoding != ENCODING_NONE)
            property->encoding = encoding;
        else
            readTypeList(parameter, property);
        return;
    }
    *equals = '\0';
    char *value = equals + 1;
    if (equalsIgnoringCase(parameter, "ENCODING"))
        property->encoding = encodingNamed(value);
    else if (equalsIgnoringCase(parameter, "CHARSET"))
        readCharset(value, property);
    else if (equalsIgnoringCase(parameter, "TYPE"))
        readTypeList(value, property);
    else if (equalsIgnoringCase(parameter, "PREF"))
        property->pref = prefRank(value);
}

// Takes a line apart in place; false for a line without a value separator.
bool readProperty(char *line, Property *property)
{
    *property = Property();
    char *colon = findValueColon(line);
    if (colon == nullptr)
        return false;
    *colon = '\0';
    property->value = colon + 1;
    bool quoted = false;
    char *segment = line;
    for (char *c = line;; c++) {
        if (*c == '"')
            quoted = !quoted;
        if ((*c == ';' && !quoted) || *c == '\0') {
            bool last = *c == '\0';
            *c = '\0';
            if (segment == line) {
                char *dot = strrchr(segment, '.');
                property->name = dot != nullptr ? dot + 1 : segment;
            } else {
                readParameter(segment, property);
            }
            if (last)
                break;
            segment = c + 1;
        }
    }
    return true;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

int base64Value(char c)
{
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const char *found = c != '\0' ? strchr(digits, c) : nullptr;
    return found != nullptr ? (int)(found - digits) : -1;
}

// Undoes the transfer encoding into bytes. literal gets one flag per byte: 1 where the byte
// stood in the file as itself, so it may separate components or start an escape; an encoded
// "=3B" stays inside its component, as this program's earlier versions wrote it.
void decodeTransfer(const KeptValue *value, TextBuffer *bytes, TextBuffer *literal)
{
    clearBuffer(bytes);
    clearBuffer(literal);
    appendBytes(bytes, "", 0);
    appendBytes(literal, "", 0);
    const char *text = bufferText(&value->text);
    size_t length = value->text.length;
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
        } else if (value->encoding == ENCODING_QUOTED && byte == '=' && i + 2 < length &&
                   hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            byte = (char)(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            isLiteral = 0;
            i += 2;
        }
        appendBytes(bytes, &byte, 1);
        appendBytes(literal, &isLiteral, 1);
    }
}

Charset resolvedCharset(const KeptValue *value, int modern, const TextBuffer *bytes)
{
    if (value->charset == CHARSET_OTHER) {
        size_t count;
        if (platformDecodeCharset(value->charsetName, "", 0, nullptr, 0, &count))
            return CHARSET_OTHER;
    } else if (value->charset != CHARSET_AUTO) {
        return value->charset;
    }
    if (modern)
        return CHARSET_UTF8;
    return looksLikeUtf8(bufferText(bytes), bytes->length) ? CHARSET_UTF8 : CHARSET_ANSI;
}

// The width of the character at at in a declared charset, so that a trail byte is never
// taken for a backslash: Shift_JIS leads 0x81-0x9F and 0xE0-0xFC, the other double-byte
// charsets any byte from 0x81, the single-byte charsets none.
size_t otherCharsetWidth(const char *charset, const unsigned char *at, size_t left)
{
    bool shiftJis = startsIgnoringCase(charset, "SHIFT") || startsIgnoringCase(charset, "SJIS") ||
                    startsIgnoringCase(charset, "MS_KANJI") || equalsIgnoringCase(charset, "CP932") ||
                    equalsIgnoringCase(charset, "WINDOWS-31J");
    bool doubleByte = shiftJis || startsIgnoringCase(charset, "BIG") ||
                      startsIgnoringCase(charset, "EUC") || startsIgnoringCase(charset, "KS_C") ||
                      equalsIgnoringCase(charset, "CP949") || equalsIgnoringCase(charset, "CP950");
    bool lead = shiftJis ? (at[0] >= 0x81 && at[0] <= 0x9F) || (at[0] >= 0xE0 && at[0] <= 0xFC)
                         : doubleByte && at[0] >= 0x81;
    return lead && left >= 2 ? 2 : 1;
}

size_t charsetWidth(Charset charset, const char *charsetName, const char *at, size_t left)
{
    if (charset == CHARSET_ANSI)
        return left >= 2 ? characterWidth(at) : 1;
    if (charset == CHARSET_OTHER)
        return otherCharsetWidth(charsetName, (const unsigned char *)at, left);
    return 1; // no byte of a UTF-8 sequence is ASCII
}

// Decodes the bytes of one component into code points (at most room), by its charset.
size_t componentPoints(const TextBuffer *bytes, Charset charset, const char *charsetName,
                       unsigned long *points, size_t room)
{
    const char *text = bufferText(bytes);
    size_t count = 0;
    if (charset == CHARSET_OTHER) {
        platformDecodeCharset(charsetName, text, bytes->length, points, room, &count);
        return count;
    }
    for (size_t i = 0; i < bytes->length && count < room;) {
        if (charset == CHARSET_UTF8)
            i += decodeUtf8((const unsigned char *)text + i, &points[count++]);
        else
            i += decodeAnsi(text + i, &points[count++]);
    }
    return count;
}

// Decodes a kept value, with the escapes \n \\ \, \; \: decoded: a compound value (N) into
// its first three components, split at ';', any other value whole into the first. Both are
// done on whole characters of the value's charset, never on a trail byte.
void decodeComponents(const KeptValue *value, int modern, bool compound, Decoder *decoder)
{
    TextBuffer &bytes = decoder->bytes, &literal = decoder->literal, &component = decoder->component;
    Components *out = &decoder->parts;
    decodeTransfer(value, &bytes, &literal);
    Charset charset = resolvedCharset(value, modern, &bytes);
    const char *text = bufferText(&bytes);
    const char *isLiteral = bufferText(&literal);
    int index = 0;
    memset(out->counts, 0, sizeof out->counts);
    clearBuffer(&component);
    appendBytes(&component, "", 0);
    for (size_t i = 0; i <= bytes.length && index < COMPONENTS; i++) {
        bool separator = compound && i < bytes.length && text[i] == ';' && isLiteral[i];
        if (i == bytes.length || separator) {
            out->counts[index] = componentPoints(&component, charset, value->charsetName,
                                                 out->points[index], VALUE_POINTS);
            clearBuffer(&component);
            index++;
            continue;
        }
        size_t width = charsetWidth(charset, value->charsetName, text + i, bytes.length - i);
        char next = i + 1 < bytes.length ? text[i + 1] : '\0';
        if (width == 1 && text[i] == '\\' && isLiteral[i] && next != '\0' &&
            strchr("nN\\,;:", next) != nullptr) {
            appendBytes(&component, next == 'n' || next == 'N' ? "\n" : &next, 1);
            i++;
            continue;
        }
        appendBytes(&component, text + i, width);
        i += width - 1;
    }
}

bool isCjk(unsigned long cp)
{
    return (cp >= 0x1100 && cp <= 0x11FF) || (cp >= 0x3040 && cp <= 0x30FF) ||
           (cp >= 0x3130 && cp <= 0x318F) || (cp >= 0x3400 && cp <= 0x4DBF) ||
           (cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0xAC00 && cp <= 0xD7AF) ||
           (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0x20000 && cp <= 0x3FFFF);
}

// Converts code points to ANSI into a field (see copyField); a NUL becomes a space.
void pointsToField(const unsigned long *points, size_t count, char *field, size_t size)
{
    char ansi[VALUE_POINTS * 2 + 1];
    size_t length = 0;
    for (size_t i = 0; i < count; i++) {
        char bytes[16];
        int width = ansiCharacter(points[i] == 0 ? ' ' : points[i], bytes);
        if (length + width >= sizeof ansi)
            break;
        memcpy(ansi + length, bytes, width);
        length += width;
    }
    ansi[length] = '\0';
    copyField(field, size, ansi);
}

// Joins family, given and middle name: run together for CJK names, otherwise given,
// middle and family name separated by single spaces.
void joinName(const Components *parts, char *field, size_t size)
{
    bool cjk = false;
    for (int component = 0; component < COMPONENTS; component++)
        for (size_t i = 0; i < parts->counts[component]; i++)
            cjk = cjk || isCjk(parts->points[component][i]);
    static const int cjkOrder[COMPONENTS] = {0, 1, 2}, westernOrder[COMPONENTS] = {1, 2, 0};
    const int *order = cjk ? cjkOrder : westernOrder;
    unsigned long name[VALUE_POINTS * COMPONENTS + COMPONENTS];
    size_t length = 0;
    for (int i = 0; i < COMPONENTS; i++) {
        const unsigned long *part = parts->points[order[i]];
        size_t count = parts->counts[order[i]];
        size_t first = 0;
        while (first < count && (part[first] == ' ' || part[first] == '\t'))
            first++;
        while (count > first && (part[count - 1] == ' ' || part[count - 1] == '\t'))
            count--;
        if (count == first)
            continue;
        if (length > 0 && !cjk)
            name[length++] = ' ';
        for (size_t j = first; j < count; j++)
            name[length++] = part[j];
    }
    pointsToField(name, length, field, size);
}

// A value into a field: N (compound) as a joined name, FN and TEL whole.
void valueToField(const KeptValue *value, int modern, bool compound, Decoder *decoder,
                  char *field, size_t size)
{
    decodeComponents(value, modern, compound, decoder);
    const Components *parts = &decoder->parts;
    if (compound)
        joinName(parts, field, size);
    else
        pointsToField(parts->points[0], parts->counts[0], field, size);
}

void keepValue(KeptValue *kept, const Property *property, const char *value)
{
    clearBuffer(&kept->text);
    appendBytes(&kept->text, value, strlen(value));
    kept->encoding = property->encoding;
    kept->charset = property->charset;
    copyText(kept->charsetName, sizeof kept->charsetName,
             property->charsetName != nullptr ? property->charsetName : "");
    kept->present = true;
}

// A better number replaces the kept one: a mobile over any other, a preferred one over one
// that is not, and among equals the lowest PREF rank.
void readNumber(Card *card, const Property *property)
{
    int rank = property->cell && property->pref ? 4 : property->cell ? 3 : property->pref ? 2 : 1;
    bool better = rank > card->telRank ||
                  (rank == card->telRank && property->pref != 0 && property->pref < card->telPref);
    if (!better)
        return;
    const char *number = property->value;
    if (startsIgnoringCase(number, "TEL:"))
        number += 4;
    keepValue(&card->tel, property, number);
    card->telRank = rank;
    card->telPref = property->pref;
}

void readCardProperty(Card *card, const Property *property)
{
    if (equalsIgnoringCase(property->name, "VERSION"))
        card->modern = property->value[0] == '3' || property->value[0] == '4';
    else if (equalsIgnoringCase(property->name, "N") && !card->n.present)
        keepValue(&card->n, property, property->value);
    else if (equalsIgnoringCase(property->name, "FN") && !card->fn.present)
        keepValue(&card->fn, property, property->value);
    else if (equalsIgnoringCase(property->name, "TEL"))
        readNumber(card, property);
}

void clearCard(Card *card)
{
    KeptValue *values[] = {&card->n, &card->fn, &card->tel};
    for (KeptValue *value : values) {
        TextBuffer text = value->text;
        clearBuffer(&text);
        *value = KeptValue();
        value->text = text;
    }
    card->telRank = card->telPref = card->modern = 0;
}

void freeCard(Card *card)
{
    freeBuffer(&card->n.text);
    freeBuffer(&card->fn.text);
    freeBuffer(&card->tel.text);
}

// Appends the card's contact; 1 when it had a name or a number.
int finishCard(const Card *card, Decoder *decoder)
{
    Contact contact = {};
    if (card->n.present)
        valueToField(&card->n, card->modern, true, decoder, contact.name, sizeof contact.name);
    if (contact.name[0] == '\0' && card->fn.present)
        valueToField(&card->fn, card->modern, false, decoder, contact.name, sizeof contact.name);
    if (card->tel.present)
        valueToField(&card->tel, card->modern, false, decoder, contact.number,
                     sizeof contact.number);
    if (contact.name[0] == '\0' && contact.number[0] == '\0')
        return 0;
    return appendContact(contact);
}

} // namespace

int importVCardText(const char *text, size_t length)
{
    Decoder *decoder = (Decoder *)calloc(1, sizeof(Decoder));
    if (decoder == nullptr)
        return 0;
    TextBuffer line = {};
    Card card = {};
    int depth = 0, appended = 0;
    bool agentValueFollows = false; // an empty AGENT value: its card starts on the next line
    size_t position = 0;
    while (nextLogicalLine(text, length, &position, &line)) {
        Property property;
        if (!readProperty(line.data, &property))
            continue;
        bool begin = equalsIgnoringCase(property.name, "BEGIN") && isWord(property.value, "VCARD");
        bool agent = equalsIgnoringCase(property.name, "AGENT");
        // A 2.1 agent starts its card on the AGENT line itself, or on the line after it.
        bool nested = depth > 0 && ((agent && isWord(property.value, "BEGIN:VCARD")) ||
                                    (begin && agentValueFollows));
        agentValueFollows = agent && isWord(property.value, "");
        bool end = equalsIgnoringCase(property.name, "END") && isWord(property.value, "VCARD");
        if (nested) {
            depth++;
        } else if (begin) {
            if (depth > 0)
                appended += finishCard(&card, decoder); // the open card never ended
            clearCard(&card);
            depth = 1;
        } else if (end && depth > 0) {
            if (--depth == 0)
                appended += finishCard(&card, decoder);
        } else if (depth == 1) {
            readCardProperty(&card, &property);
        }
    }
    if (depth > 0)
        appended += finishCard(&card, decoder);
    freeBuffer(&line);
    freeCard(&card);
    freeBuffer(&decoder->bytes);
    freeBuffer(&decoder->literal);
    freeBuffer(&decoder->component);
    free(decoder);
    return appended;
}

int importVCard(const char *path)
{
    TextBuffer file = {};
    int appended = -1;
    if (readWholeFile(path, &file) && normalizeTextFile(&file))
        appended = importVCardText(bufferText(&file), file.length);
    freeBuffer(&file);
    return appended;
}
