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

struct FileNameSlot {
    char base[NAME_SIZE + 2];
    int order; // place in the list
};

static int compareFileNameSlots(const void *a, const void *b)
{
    const FileNameSlot *first = (const FileNameSlot *)a, *second = (const FileNameSlot *)b;
    int names = compareIgnoringCase(first->base, second->base);
    return names != 0 ? names : first->order - second->order;
}

// For each contact in list order, which copy of its file name it writes: contacts with the
// same name give "张三.vcf", "张三 (2).vcf", "张三 (3).vcf", ... in list order; Windows
// compares file names without regard to case. Null when there is no memory for it.
static int *fileNameCopies()
{
    size_t count = (size_t)contactCount;
    FileNameSlot *slots = (FileNameSlot *)malloc(count * sizeof *slots);
    int *copies = (int *)malloc(count * sizeof *copies);
    if (slots == nullptr || copies == nullptr) {
        free(slots);
        free(copies);
        return nullptr;
    }
    int order = 0;
    for (const Contact *contact = firstContact; contact != nullptr; contact = contact->next) {
        vcardFileName(contact->name, slots[order].base, sizeof slots[order].base);
        slots[order].order = order;
        order++;
    }
    qsort(slots, count, sizeof *slots, compareFileNameSlots);
    int copy = 0;
    for (size_t i = 0; i < count; i++) {
        bool sameName = i > 0 && equalsIgnoringCase(slots[i].base, slots[i - 1].base);
        copy = sameName ? copy + 1 : 1;
        copies[slots[i].order] = copy;
    }
    free(slots);
    return copies;
}

int exportVCardFolder(const char *folder)
{
    if (firstContact == nullptr)
        return 0;
    int *copies = fileNameCopies();
    if (copies == nullptr)
        return contactCount;
    int failures = 0, order = 0;
    for (const Contact *contact = firstContact; contact != nullptr; contact = contact->next) {
        char base[NAME_SIZE + 2];
        vcardFileName(contact->name, base, sizeof base);
        int copy = copies[order++];
        char path[FOLDER_PATH_SIZE + 32];
        size_t length = copy == 1
                            ? formatText(path, sizeof path, "%s%s%s.vcf", folder, folderSeparator, base)
                            : formatText(path, sizeof path, "%s%s%s (%d).vcf", folder,
                                         folderSeparator, base, copy);
        if (length >= FOLDER_PATH_SIZE || exportVCard(path, contact) != VCARD_WRITTEN)
            failures++;
    }
    free(copies);
    return failures;
}
