// The vCard reader. A file is taken whole, normalised to bytes with UTF-8 or ANSI text,
// split into lines (CR LF, LF, CR and CR CR LF), unfolded, and read property by property.
// Every BEGIN:VCARD ... END:VCARD is one contact; a card nested inside a card is skipped.
#include "interchange/vcard_format.h"

#include "common/file_io.h"
#include "common/text.h"
#include "common/text_buffer.h"
#include "interchange/text_encoding.h"

#include <cstdlib>
#include <cstring>

namespace {

enum Charset { CHARSET_AUTO, CHARSET_UTF8, CHARSET_ANSI };

// One property line taken apart; the pointers point into the line.
struct Property {
    char *name;  // without group, e.g. "TEL"
    char *value;
    int quotedPrintable;
    Charset charset;
    int cell, pref;
};

// What one card has given so far.
struct Card {
    TextBuffer n, fn, tel;
    int nQuoted, fnQuoted, telQuoted;
    Charset nCharset, fnCharset, telCharset;
    int hasN, hasFn, telRank; // telRank: 0 none, 1 any, 2 PREF, 3 CELL, 4 CELL and PREF
    int modern;               // VERSION 3.0 or 4.0: values are UTF-8
};

enum { NAME_POINTS = 512, COMPONENTS = 3 };

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

// Reads one logical line: folded lines and quoted-printable soft breaks are joined.
bool nextLogicalLine(const char *text, size_t length, size_t *position, TextBuffer *logical)
{
    const char *line;
    size_t lineLength;
    clearBuffer(logical);
    if (!nextLine(text, length, position, &line, &lineLength))
        return false;
    appendBytes(logical, line, lineLength);
    bool quoted = headIsQuotedPrintable(line, lineLength);
    for (;;) {
        size_t saved = *position;
        bool softBreak = quoted && logical->length > 0 && logical->data[logical->length - 1] == '=';
        if (!nextLine(text, length, position, &line, &lineLength))
            break;
        if (softBreak) {
            logical->data[--logical->length] = '\0';
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

void readTypeList(char *list, Property *property)
{
    char *item = list;
    while (item != nullptr) {
        char *comma = strchr(item, ',');
        if (comma != nullptr)
            *comma = '\0';
        if (*item == '"')
            item++;
        size_t length = strlen(item);
        if (length > 0 && item[length - 1] == '"')
            item[length - 1] = '\0';
        if (equalsIgnoringCase(item, "CELL"))
            property->cell = 1;
        if (equalsIgnoringCase(item, "PREF"))
            property->pref = 1;
        item = comma != nullptr ? comma + 1 : nullptr;
    }
}

Charset charsetNamed(const char *name)
{
    if (*name == '"')
        name++;
    if (startsIgnoringCase(name, "UTF-8") || startsIgnoringCase(name, "UTF8"))
        return CHARSET_UTF8;
    if (startsIgnoringCase(name, "GB"))
        return CHARSET_ANSI; // GB2312, GBK, GB18030: the program's own code page
    return CHARSET_AUTO;
}

void readParameter(char *parameter, Property *property)
{
    char *equals = strchr(parameter, '=');
    if (equals == nullptr) {
        if (equalsIgnoringCase(parameter, "QUOTED-PRINTABLE"))
            property->quotedPrintable = 1;
        else
            readTypeList(parameter, property);
        return;
    }
    *equals = '\0';
    char *value = equals + 1;
    if (equalsIgnoringCase(parameter, "ENCODING"))
        property->quotedPrintable = startsIgnoringCase(value, "QUOTED-PRINTABLE");
    else if (equalsIgnoringCase(parameter, "CHARSET"))
        property->charset = charsetNamed(value);
    else if (equalsIgnoringCase(parameter, "TYPE"))
        readTypeList(value, property);
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

// Decodes quoted-printable escapes and vCard backslash escapes of one value component.
void decodeComponent(const char *begin, const char *end, int quotedPrintable, TextBuffer *out)
{
    clearBuffer(out);
    for (const char *c = begin; c < end; c++) {
        char byte = *c;
        if (quotedPrintable && byte == '=' && c + 2 < end && hexValue(c[1]) >= 0 &&
            hexValue(c[2]) >= 0) {
            byte = (char)(hexValue(c[1]) * 16 + hexValue(c[2]));
            c += 2;
        } else if (byte == '\\' && c + 1 < end) {
            char next = c[1];
            if (next == ',' || next == ';' || next == '\\' || next == ':') {
                byte = next;
                c++;
            } else if (next == 'n' || next == 'N') {
                byte = '\n';
                c++;
            }
        }
        appendBytes(out, &byte, 1);
    }
}

// Decodes the bytes of one component into code points (at most room), by its charset.
size_t componentPoints(const TextBuffer *bytes, Charset charset, unsigned long *points,
                       size_t room)
{
    const char *text = bufferText(bytes);
    if (charset == CHARSET_AUTO)
        charset = isUtf8(text, bytes->length) ? CHARSET_UTF8 : CHARSET_ANSI;
    size_t count = 0;
    mbtowc(nullptr, nullptr, 0);
    for (size_t i = 0; i < bytes->length && count < room;) {
        const unsigned char *at = (const unsigned char *)text + i;
        if (charset == CHARSET_UTF8) {
            i += decodeUtf8(at, &points[count++]);
            continue;
        }
        size_t width = isLeadByte(*at) && i + 1 < bytes->length ? 2 : 1;
        wchar_t wide = 0;
        points[count++] = mbtowc(&wide, (const char *)at, width) == (int)width ? (unsigned long)wide
                                                                                : 0xFFFD;
        i += width;
    }
    return count;
}

bool isCjk(unsigned long cp)
{
    return (cp >= 0x1100 && cp <= 0x11FF) || (cp >= 0x3040 && cp <= 0x30FF) ||
           (cp >= 0x3130 && cp <= 0x318F) || (cp >= 0x3400 && cp <= 0x4DBF) ||
           (cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0xAC00 && cp <= 0xD7AF) ||
           (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0x20000 && cp <= 0x3FFFF);
}

// Converts code points to ANSI into a field (see copyField).
void pointsToField(const unsigned long *points, size_t count, char *field, size_t size)
{
    char ansi[NAME_POINTS * 2 + 1];
    size_t length = 0;
    wctomb(nullptr, 0);
    for (size_t i = 0; i < count; i++) {
        char bytes[16];
        int width = ansiCharacter(points[i], bytes);
        if (length + width >= sizeof ansi)
            break;
        memcpy(ansi + length, bytes, width);
        length += width;
    }
    ansi[length] = '\0';
    copyField(field, size, ansi);
}

// The name from N: family, given and middle name, run together for CJK names, otherwise
// given, middle and family name separated by single spaces.
void nameFromN(const Card *card, char *field, size_t size)
{
    const char *value = bufferText(&card->n);
    const char *end = value + card->n.length;
    unsigned long parts[COMPONENTS][NAME_POINTS];
    size_t counts[COMPONENTS] = {};
    TextBuffer bytes = {};
    const char *start = value;
    Charset charset = card->modern && card->nCharset == CHARSET_AUTO ? CHARSET_UTF8 : card->nCharset;
    for (int component = 0; component < COMPONENTS && start <= end; component++) {
        const char *stop = start;
        while (stop < end && *stop != ';') {
            if (*stop == '\\' && stop + 1 < end)
                stop++;
            stop++;
        }
        decodeComponent(start, stop, card->nQuoted, &bytes);
        counts[component] = componentPoints(&bytes, charset, parts[component], NAME_POINTS);
        start = stop + 1;
    }
    freeBuffer(&bytes);
    bool cjk = false;
    for (int component = 0; component < COMPONENTS; component++)
        for (size_t i = 0; i < counts[component]; i++)
            cjk = cjk || isCjk(parts[component][i]);
    static const int cjkOrder[COMPONENTS] = {0, 1, 2}, westernOrder[COMPONENTS] = {1, 2, 0};
    const int *order = cjk ? cjkOrder : westernOrder;
    unsigned long name[NAME_POINTS * COMPONENTS + COMPONENTS];
    size_t length = 0;
    for (int i = 0; i < COMPONENTS; i++) {
        const unsigned long *part = parts[order[i]];
        size_t count = counts[order[i]];
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

// A whole value (FN, TEL) into a field.
void valueToField(const TextBuffer *value, int quoted, Charset charset, int modern, char *field,
                  size_t size)
{
    TextBuffer bytes = {};
    decodeComponent(bufferText(value), bufferText(value) + value->length, quoted, &bytes);
    unsigned long points[NAME_POINTS];
    if (modern && charset == CHARSET_AUTO)
        charset = CHARSET_UTF8;
    size_t count = componentPoints(&bytes, charset, points, NAME_POINTS);
    freeBuffer(&bytes);
    pointsToField(points, count, field, size);
}

void keepValue(TextBuffer *buffer, const Property *property, int *quoted, Charset *charset)
{
    clearBuffer(buffer);
    appendBytes(buffer, property->value, strlen(property->value));
    *quoted = property->quotedPrintable;
    *charset = property->charset;
}

void readCardProperty(Card *card, const Property *property)
{
    if (equalsIgnoringCase(property->name, "VERSION")) {
        card->modern = property->value[0] == '3' || property->value[0] == '4';
    } else if (equalsIgnoringCase(property->name, "N") && !card->hasN) {
        keepValue(&card->n, property, &card->nQuoted, &card->nCharset);
        card->hasN = 1;
    } else if (equalsIgnoringCase(property->name, "FN") && !card->hasFn) {
        keepValue(&card->fn, property, &card->fnQuoted, &card->fnCharset);
        card->hasFn = 1;
    } else if (equalsIgnoringCase(property->name, "TEL")) {
        int rank = property->cell && property->pref ? 4 : property->cell ? 3 : property->pref ? 2 : 1;
        if (rank <= card->telRank)
            return;
        const char *number = property->value;
        if (startsIgnoringCase(number, "TEL:"))
            number += 4;
        Property stripped = *property;
        stripped.value = (char *)number;
        keepValue(&card->tel, &stripped, &card->telQuoted, &card->telCharset);
        card->telRank = rank;
    }
}

void clearCard(Card *card)
{
    TextBuffer n = card->n, fn = card->fn, tel = card->tel;
    clearBuffer(&n);
    clearBuffer(&fn);
    clearBuffer(&tel);
    *card = Card();
    card->n = n;
    card->fn = fn;
    card->tel = tel;
}

// Appends the card's contact; 1 when it had a name or a number.
int finishCard(const Card *card)
{
    Contact contact = {};
    if (card->hasN)
        nameFromN(card, contact.name, sizeof contact.name);
    if (contact.name[0] == '\0' && card->hasFn)
        valueToField(&card->fn, card->fnQuoted, card->fnCharset, card->modern, contact.name,
                     sizeof contact.name);
    if (card->telRank > 0)
        valueToField(&card->tel, card->telQuoted, card->telCharset, card->modern, contact.number,
                     sizeof contact.number);
    if (contact.name[0] == '\0' && contact.number[0] == '\0')
        return 0;
    return appendContact(contact);
}

} // namespace

int importVCardText(const char *text, size_t length)
{
    selectAnsiLocale();
    TextBuffer line = {};
    Card card = {};
    int depth = 0, appended = 0;
    size_t position = 0;
    while (nextLogicalLine(text, length, &position, &line)) {
        Property property;
        if (line.data == nullptr || !readProperty(line.data, &property))
            continue;
        // A 2.1 agent may start its card on the AGENT line itself.
        bool begin = (equalsIgnoringCase(property.name, "BEGIN") &&
                      equalsIgnoringCase(property.value, "VCARD")) ||
                     (equalsIgnoringCase(property.name, "AGENT") &&
                      equalsIgnoringCase(property.value, "BEGIN:VCARD"));
        bool end = equalsIgnoringCase(property.name, "END") && equalsIgnoringCase(property.value, "VCARD");
        if (begin) {
            if (depth++ == 0)
                clearCard(&card);
        } else if (end && depth > 0) {
            if (--depth == 0)
                appended += finishCard(&card);
        } else if (depth == 1) {
            readCardProperty(&card, &property);
        }
    }
    if (depth > 0)
        appended += finishCard(&card);
    freeBuffer(&line);
    freeBuffer(&card.n);
    freeBuffer(&card.fn);
    freeBuffer(&card.tel);
    return appended;
}

int importVCard(const char *path)
{
    TextBuffer file = {};
    int appended = 0;
    if (readWholeFile(path, &file) && normalizeTextFile(&file))
        appended = importVCardText(bufferText(&file), file.length);
    freeBuffer(&file);
    return appended;
}
