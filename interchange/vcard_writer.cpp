// The vCard writer: six lines per card, and a seventh for a remark. The name and the remark
// are standard UTF-8 in quoted-printable form; a number of plain ASCII is written as it is,
// any other number like the name. Backslashes (and in the name ';' and ',') are escaped as
// vCard readers decode them, so every contact reads back as it was written.
#include "interchange/vcard_format.h"

#include "common/file_io.h"
#include "common/memory.h"
#include "common/paths.h"
#include "common/platform.h"
#include "common/text.h"
#include "interchange/text_encoding.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

enum { ENCODED_VALUE_SIZE = 256, UTF8_VALUE_SIZE = 64 };

// A value for a property line: the bytes in escaped get a backslash before them; with
// quotedPrintable every byte that is not printable ASCII, and '=', is written as =XX.
static void encodeValue(const char *text, const char *escaped, bool quotedPrintable, char *out,
                        size_t size)
{
    static const char hex[] = "0123456789ABCDEF";
    size_t length = 0;
    for (const unsigned char *c = (const unsigned char *)text; *c != '\0'; c++) {
        bool backslash = strchr(escaped, *c) != nullptr;
        bool encode = quotedPrintable && (*c < 0x20 || *c >= 0x7F || *c == '=');
        if (length + (encode ? 3 : 1) + (backslash ? 1 : 0) + 1 > size)
            break;
        if (backslash)
            out[length++] = '\\';
        if (encode) {
            out[length++] = '=';
            out[length++] = hex[*c >> 4];
            out[length++] = hex[*c & 0x0F];
        } else {
            out[length++] = (char)*c;
        }
    }
    out[length] = '\0';
}

static bool isPlainAscii(const char *text)
{
    for (const unsigned char *c = (const unsigned char *)text; *c != '\0'; c++)
        if (*c < 0x20 || *c >= 0x7F)
            return false;
    return true;
}

static bool writeText(FILE *file, const char *text)
{
    return writeBytes(file, text, strlen(text));
}

static const char quotedUtf8[] = ";ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:";

// A property line, with the bytes in escaped escaped: plain, or quoted-printable UTF-8.
static bool writeLine(FILE *file, const char *property, const char *ansi, const char *escaped,
                      bool quotedPrintable)
{
    char utf8[UTF8_VALUE_SIZE];
    ansiToUtf8(ansi, utf8, sizeof utf8);
    char value[ENCODED_VALUE_SIZE];
    encodeValue(utf8, escaped, quotedPrintable, value, sizeof value);
    return writeText(file, property) && writeText(file, quotedPrintable ? quotedUtf8 : ":") &&
           writeText(file, value) && writeText(file, "\r\n");
}

// One card; the last line has no line end.
static bool writeCard(FILE *file, const Contact *contact)
{
    return writeText(file, "BEGIN:VCARD\r\nVERSION:2.1\r\n") &&
           writeLine(file, "N", contact->name, "\\;,", true) &&
           writeLine(file, "TEL;CELL", contact->number, "\\", !isPlainAscii(contact->number)) &&
           (contact->remark[0] == '\0' || writeLine(file, "NOTE", contact->remark, "\\", true)) &&
           writeText(file, "X-CLASS:private\r\nEND:VCARD");
}

static bool writeOneCard(FILE *file, const void *contact)
{
    return writeCard(file, (const Contact *)contact);
}

bool exportVCard(const char *path, const Contact *contact)
{
    return writeFileSafely(path, writeOneCard, contact);
}

static bool writeAllCards(FILE *file, const void *)
{
    for (const Contact *contact = firstContact; contact != nullptr; contact = contact->next) {
        if (!writeCard(file, contact))
            return false;
        if (contact->next != nullptr && !writeText(file, "\r\n"))
            return false;
    }
    return true;
}

bool exportVCardList(const char *path)
{
    return writeFileSafely(path, writeAllCards, nullptr);
}

// Windows takes a name as a device when the part before its first dot, trailing spaces and
// dots dropped, is a device's name: "CON.x" and "aux .txt" are the devices themselves.
static bool isReservedDeviceName(const char *name)
{
    char stem[NAME_SIZE + 2];
    size_t length = strcspn(name, ".");
    while (length > 0 && (name[length - 1] == ' ' || name[length - 1] == '.'))
        length--;
    if (length >= sizeof stem)
        return false;
    memcpy(stem, name, length);
    stem[length] = '\0';
    static const char *const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char *device : devices)
        if (equalsIgnoringCase(stem, device))
            return true;
    char port[4] = "";
    copyText(port, sizeof port, stem);
    return length == 4 && (equalsIgnoringCase(port, "COM") || equalsIgnoringCase(port, "LPT")) &&
           stem[3] >= '1' && stem[3] <= '9';
}

void vcardFileName(const char *name, char *fileName, size_t size)
{
    char safe[NAME_SIZE + 1];
    size_t length = 0;
    for (const char *c = name; *c != '\0' && length + characterWidth(c) < sizeof safe; c++) {
        unsigned char byte = (unsigned char)*c;
        if (characterWidth(c) == 2) {
            safe[length++] = *c++;
            safe[length++] = *c; // a trail byte is never a forbidden character
            continue;
        }
        // Half a character is no character the file system can name.
        bool forbidden = byte < 0x20 || strchr("\\/:*?\"<>|", byte) != nullptr || isLeadByte(byte);
        safe[length++] = forbidden ? '_' : (char)byte;
    }
    while (length > 0 && (safe[length - 1] == '.' || safe[length - 1] == ' '))
        length--;
    safe[length] = '\0';
    if (length == 0 || isReservedDeviceName(safe))
        formatText(fileName, size, "_%s", safe);
    else
        copyText(fileName, size, safe);
}

enum { FILE_NAME_SIZE = NAME_SIZE + 24 };

// The file names one folder export has given, by the key the file system compares them by.
struct UsedName {
    char key[FILE_NAME_SIZE]; // empty while the slot is free
    int nextCopy;             // the number to try first for the next contact of this name
};

struct UsedNames {
    UsedName *slots;
    size_t mask; // slots - 1, a power of two minus one
};

static UsedName *findUsedName(const UsedNames *used, const char *key)
{
    size_t hash = 2166136261u;
    for (const char *c = key; *c != '\0'; c++)
        hash = (hash ^ (unsigned char)*c) * 16777619u;
    for (size_t i = hash & used->mask;; i = (i + 1) & used->mask)
        if (used->slots[i].key[0] == '\0' || strcmp(used->slots[i].key, key) == 0)
            return &used->slots[i];
}

// Takes name when no file of this export has it (as the file system compares names), and
// returns its slot; null when it is taken.
static UsedName *takeName(const UsedNames *used, const char *name)
{
    char key[FILE_NAME_SIZE];
    platformFileNameKey(name, key, sizeof key);
    UsedName *slot = findUsedName(used, key);
    if (slot->key[0] != '\0')
        return nullptr;
    copyText(slot->key, sizeof slot->key, key);
    slot->nextCopy = 2;
    return slot;
}

// The contact's file name: its own, or when another contact of this export already has
// that, "name (2)", "name (3)", ... the first that no file of this export has, numbered
// names included.
static void uniqueFileName(const UsedNames *used, const char *contactName, char *fileName,
                           size_t size)
{
    char base[FILE_NAME_SIZE];
    vcardFileName(contactName, base, sizeof base);
    copyText(fileName, size, base);
    if (takeName(used, base) != nullptr)
        return;
    char key[FILE_NAME_SIZE];
    platformFileNameKey(base, key, sizeof key);
    UsedName *first = findUsedName(used, key);
    for (int copy = first->nextCopy;; copy++) {
        formatText(fileName, size, "%s (%d)", base, copy);
        if (takeName(used, fileName) != nullptr) {
            first->nextCopy = copy + 1;
            return;
        }
    }
}

// Contacts with the same name: "张三.vcf", "张三 (2).vcf", "张三 (3).vcf", ...
bool exportVCardFolder(const char *folder, int *failures)
{
    *failures = 0;
    if (firstContact == nullptr)
        return true;
    size_t slots = 16;
    while (slots < 2 * (size_t)contactCount)
        slots *= 2;
    UsedNames used = {(UsedName *)allocateZeroed(slots, sizeof(UsedName)), slots - 1};
    if (used.slots == nullptr) {
        *failures = contactCount;
        return false;
    }
    for (const Contact *contact = firstContact; contact != nullptr; contact = contact->next) {
        char fileName[FILE_NAME_SIZE];
        uniqueFileName(&used, contact->name, fileName, sizeof fileName);
        char path[PATH_SIZE + FILE_NAME_SIZE + 8];
        size_t length = formatText(path, sizeof path, "%s%s%s.vcf", folder, platformFolderSeparator,
                                   fileName);
        if (length >= PATH_SIZE || !exportVCard(path, contact))
            (*failures)++;
    }
    freeMemory(used.slots);
    return *failures == 0;
}
