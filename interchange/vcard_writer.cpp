// The vCard writer: six lines per card, the name as standard UTF-8 in quoted-printable form
// (every byte that is not printable ASCII, '=' and ';' escaped, so the name stays one
// component), the number as stored.
#include "interchange/vcard_format.h"

#include "common/file_io.h"
#include "common/text.h"
#include "interchange/text_encoding.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

enum { ENCODED_NAME_SIZE = 256, FOLDER_PATH_SIZE = 256 };

static void encodeQuotedPrintable(const char *utf8, char *out, size_t size)
{
    static const char hex[] = "0123456789ABCDEF";
    size_t length = 0;
    for (const unsigned char *c = (const unsigned char *)utf8; *c != '\0'; c++) {
        bool escape = *c < 0x20 || *c >= 0x7F || *c == '=' || *c == ';';
        if (length + (escape ? 3 : 1) + 1 > size)
            break;
        if (escape) {
            out[length++] = '=';
            out[length++] = hex[*c >> 4];
            out[length++] = hex[*c & 0x0F];
        } else {
            out[length++] = (char)*c;
        }
    }
    out[length] = '\0';
}

static int writeText(FILE *file, const char *text)
{
    return writeBytes(file, text, strlen(text));
}

// One card; the last line has no line end.
static int writeCard(FILE *file, const Contact *contact)
{
    char utf8[NAME_SIZE * 3 + 1];
    ansiToUtf8(contact->name, utf8, sizeof utf8);
    char encoded[ENCODED_NAME_SIZE];
    encodeQuotedPrintable(utf8, encoded, sizeof encoded);
    return writeText(file, "BEGIN:VCARD\r\nVERSION:2.1\r\nN;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:") &&
           writeText(file, encoded) && writeText(file, "\r\nTEL;CELL:") &&
           writeText(file, contact->number) &&
           writeText(file, "\r\nX-CLASS:private\r\nEND:VCARD");
}

static int writeOneCard(FILE *file, const void *contact)
{
    return writeCard(file, (const Contact *)contact);
}

int exportVCard(const char *path, const Contact *contact)
{
    if (contact == nullptr)
        return VCARD_NO_CONTACT;
    selectAnsiLocale();
    return writeFileSafely(path, writeOneCard, contact) ? VCARD_WRITTEN : VCARD_WRITE_FAILED;
}

static int writeAllCards(FILE *file, const void *)
{
    for (const Contact *contact = firstContact; contact != nullptr; contact = contact->next) {
        if (!writeCard(file, contact))
            return 0;
        if (contact->next != nullptr && !writeText(file, "\r\n"))
            return 0;
    }
    return 1;
}

int exportVCardList(const char *path)
{
    selectAnsiLocale();
    return writeFileSafely(path, writeAllCards, nullptr);
}

static bool isReservedDeviceName(const char *name)
{
    static const char *const devices[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char *device : devices)
        if (equalsIgnoringCase(name, device))
            return true;
    char port[4] = "";
    copyText(port, sizeof port, name);
    return strlen(name) == 4 && (equalsIgnoringCase(port, "COM") || equalsIgnoringCase(port, "LPT")) &&
           name[3] >= '1' && name[3] <= '9';
}

void vcardFileName(const char *name, char *fileName, size_t size)
{
    char safe[NAME_SIZE + 1];
    size_t length = 0;
    for (const char *c = name; *c != '\0' && length + 1 < sizeof safe; c++) {
        unsigned char byte = (unsigned char)*c;
        if (isLeadByte(byte) && c[1] != '\0') {
            safe[length++] = *c++;
            safe[length++] = *c; // a trail byte is never a forbidden character
            continue;
        }
        bool forbidden = byte < 0x20 || strchr("\\/:*?\"<>|", byte) != nullptr;
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

#ifdef _WIN32
static const char folderSeparator[] = "\\";
#else
static const char folderSeparator[] = "/";
#endif

struct FileName {
    char base[NAME_SIZE + 2];
    int order; // the contact's place in the list
    int copy;  // 1 for the first contact with this name, 2 for the second, ...
};

static int compareFileNames(const void *a, const void *b)
{
    const FileName *first = *(FileName *const *)a, *second = *(FileName *const *)b;
    int names = compareIgnoringCase(first->base, second->base);
    return names != 0 ? names : first->order - second->order;
}

// Each contact's file name, in list order, numbered among the contacts with the same name
// in list order; Windows compares file names without regard to case. Null when there is no
// memory for it.
static FileName *numberedFileNames()
{
    size_t count = (size_t)contactCount;
    FileName *names = (FileName *)malloc(count * sizeof *names);
    FileName **sorted = (FileName **)malloc(count * sizeof *sorted);
    if (names == nullptr || sorted == nullptr) {
        free(names);
        free(sorted);
        return nullptr;
    }
    int order = 0;
    for (const Contact *contact = firstContact; contact != nullptr; contact = contact->next) {
        vcardFileName(contact->name, names[order].base, sizeof names[order].base);
        names[order].order = order;
        sorted[order] = &names[order];
        order++;
    }
    qsort(sorted, count, sizeof *sorted, compareFileNames);
    for (size_t i = 0; i < count; i++) {
        bool sameName = i > 0 && equalsIgnoringCase(sorted[i]->base, sorted[i - 1]->base);
        sorted[i]->copy = sameName ? sorted[i - 1]->copy + 1 : 1;
    }
    free(sorted);
    return names;
}

// Contacts with the same name: "张三.vcf", "张三 (2).vcf", "张三 (3).vcf", ...
int exportVCardFolder(const char *folder)
{
    if (firstContact == nullptr)
        return 0;
    FileName *names = numberedFileNames();
    if (names == nullptr)
        return contactCount;
    int failures = 0;
    const FileName *name = names;
    for (const Contact *contact = firstContact; contact != nullptr; contact = contact->next, name++) {
        char path[FOLDER_PATH_SIZE + 32];
        size_t length = name->copy == 1
                            ? formatText(path, sizeof path, "%s%s%s.vcf", folder, folderSeparator,
                                         name->base)
                            : formatText(path, sizeof path, "%s%s%s (%d).vcf", folder,
                                         folderSeparator, name->base, name->copy);
        if (length >= FOLDER_PATH_SIZE || exportVCard(path, contact) != VCARD_WRITTEN)
            failures++;
    }
    free(names);
    return failures;
}
