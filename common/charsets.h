// The charsets vCard files declare besides UTF-8 and GBK, by the names they use: what the
// system's conversion for each is, and which of its bytes start a double-byte character.
#pragma once

enum CharsetLeads {
    SINGLE_BYTES,    // every character one byte
    SHIFT_JIS_LEADS, // 0x81-0x9F and 0xE0-0xFC start a double-byte character
    HIGH_LEADS       // every byte from 0x81 does
};

struct NamedCharset {
    const char *name;
    unsigned codePage; // the Windows code page
    CharsetLeads leads;
};

// The charset of that name (any case), or null for one the program does not know.
const NamedCharset *findCharset(const char *name);
