// vCard files: reading what phones and mail programs write (2.1, 3.0, 4.0, many cards per
// file), and writing the cards phones import.
#pragma once

#include "interchange/text_encoding.h"
#include "store/contact_list.h"

#include <cstddef>

// Appends one contact per card of the file that has a name or a number, in the order the
// cards begin; returns how many were appended, or a ReadFailure.
int importVCard(const char *path);
// The same for bytes in memory, prepared by prepareTextFile, which said they are kind.
int importVCardBytes(const char *text, size_t length, TextKind kind);

// Writes one contact as a vCard file. False when it failed.
bool exportVCard(const char *path, const Contact *contact);
// Writes every contact, in list order, into one vCard file. False when it failed.
bool exportVCardList(const char *path);
// Writes every contact into folder as "<name>.vcf", one file each; names that Windows
// forbids are made safe and repeated names numbered. False when the file of any contact
// could not be written; *failures says how many.
bool exportVCardFolder(const char *folder, int *failures);

// The file name (without folder and extension) a contact's name gets in a folder export.
void vcardFileName(const char *name, char *fileName, size_t size);
