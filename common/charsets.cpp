#include "common/charsets.h"

#include "common/text.h"

static const NamedCharset namedCharsets[] = {
    {"BIG5", 950, HIGH_LEADS},           {"BIG-5", 950, HIGH_LEADS},
    {"BIG5-HKSCS", 950, HIGH_LEADS},     {"CP950", 950, HIGH_LEADS},
    {"SHIFT_JIS", 932, SHIFT_JIS_LEADS}, {"SHIFT-JIS", 932, SHIFT_JIS_LEADS},
    {"SJIS", 932, SHIFT_JIS_LEADS},      {"MS_KANJI", 932, SHIFT_JIS_LEADS},
    {"CP932", 932, SHIFT_JIS_LEADS},     {"WINDOWS-31J", 932, SHIFT_JIS_LEADS},
    {"EUC-KR", 949, HIGH_LEADS},         {"KS_C_5601-1987", 949, HIGH_LEADS},
    {"CP949", 949, HIGH_LEADS},          {"WINDOWS-1250", 1250, SINGLE_BYTES},
    {"WINDOWS-1251", 1251, SINGLE_BYTES}, {"CP1251", 1251, SINGLE_BYTES},
    {"WINDOWS-1252", 1252, SINGLE_BYTES}, {"CP1252", 1252, SINGLE_BYTES},
    {"WINDOWS-1253", 1253, SINGLE_BYTES}, {"WINDOWS-1254", 1254, SINGLE_BYTES},
    {"WINDOWS-1257", 1257, SINGLE_BYTES}, {"ISO-8859-1", 28591, SINGLE_BYTES},
    {"LATIN1", 28591, SINGLE_BYTES},     {"ISO-8859-2", 28592, SINGLE_BYTES},
    {"ISO-8859-5", 28595, SINGLE_BYTES}, {"ISO-8859-7", 28597, SINGLE_BYTES},
    {"ISO-8859-15", 28605, SINGLE_BYTES}, {"KOI8-R", 20866, SINGLE_BYTES},
    {"KOI8-U", 21866, SINGLE_BYTES},     {"US-ASCII", 20127, SINGLE_BYTES},
};

const NamedCharset *findCharset(const char *name)
{
    for (const NamedCharset &charset : namedCharsets)
        if (equalsIgnoringCase(name, charset.name))
            return &charset;
    return nullptr;
}
