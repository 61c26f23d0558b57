// vCard files: reading what phones and mail programs write (2.1, 3.0, 4.0, many cards per
// file), and writing the cards phones import.
#pragma once

#include "store/contact_list.h"

#include <cstddef>

// Appends one contact per card of the file that has a name or a number; returns how many
// were appended, -1 when the file cannot be read.
int importVCard(const char *path);
// Reads vCard text already in memory (after normalizeTextFile); returns contacts appended.
int importVCardText(const char *text, size_t length);

enum { VCARD_WRITE_FAILED = 0, VCARD_WRITTEN = 1, VCARD_NO_CONTACT = 2 };
// Writes one contact as a vCard file.
int exportVCard(const char *path, const Contact *contact);
// Writes every contact, in list order, into one vCard file. 1 written, 0 failed.
int exportVCardList(const char *path);
// Writes every contact into folder as "<name>.vcf", one file each; names that Windows
// forbids are made safe and repeated names numbered. Returns the number of contacts whose
// file could not be written.
int exportVCardFolder(const char *folder);

// The file name (without folder and extension) a contact's name gets in a folder export.
void vcardFileName(const char *name, char *fileName, size_t size);
