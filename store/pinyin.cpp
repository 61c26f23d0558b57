// The committed table (scripts/make-pinyin-table) is a bit stream, small in the program; it
// is decoded once, on first use, into arrays that answer each character at once.
#include "store/pinyin.h"

#include "common/text.h"

#include <cstdint>

#include "store/pinyin_table.inc"

enum {
    LEAD_FIRST = 0x81,
    TRAIL_FIRST = 0x40,
    TRAILS_PER_LEAD = 190, // 0x40-0xFE without 0x7F
    SLOT_COUNT = 126 * TRAILS_PER_LEAD,
    COUNT_BITS = 2,
    MORE_COUNT_BITS = 3,
    SYLLABLE_BITS = 9
};

static uint16_t firstReading[SLOT_COUNT + 1]; // slot s has readings firstReading[s] .. [s + 1]
static uint16_t readingSyllable[PINYIN_READING_COUNT];
static const char *syllableText[PINYIN_SYLLABLE_COUNT];
static bool decoded;

struct BitReader {
    const unsigned char *bytes;
    uint32_t position;
};

static unsigned readBits(BitReader *reader, int width)
{
    unsigned value = 0;
    for (int i = 0; i < width; i++, reader->position++) {
        unsigned bit = reader->bytes[reader->position / 8] >> (7 - reader->position % 8) & 1;
        value = value << 1 | bit;
    }
    return value;
}

static void decodeTable()
{
    const char *syllable = pinyinSyllables;
    for (const char *&text : syllableText) {
        text = syllable;
        while (*syllable++ != '\0')
            ;
    }
    BitReader reader = {pinyinReadingBits, 0};
    unsigned reading = 0;
    for (int slot = 0; slot < SLOT_COUNT; slot++) {
        firstReading[slot] = (uint16_t)reading;
        unsigned count = readBits(&reader, COUNT_BITS);
        if (count == 3)
            count += readBits(&reader, MORE_COUNT_BITS);
        for (unsigned i = 0; i < count && reading < PINYIN_READING_COUNT; i++)
            readingSyllable[reading++] = (uint16_t)readBits(&reader, SYLLABLE_BITS);
    }
    firstReading[SLOT_COUNT] = (uint16_t)reading;
    decoded = true;
}

int pinyinReadings(const char *text, const char *readings[MAX_PINYIN_READINGS])
{
    if (characterWidth(text) != 2)
        return 0;
    unsigned char lead = (unsigned char)text[0], trail = (unsigned char)text[1];
    if (lead < LEAD_FIRST || trail < TRAIL_FIRST || trail == 0x7F || trail == 0xFF)
        return 0;
    if (!decoded)
        decodeTable();
    int slot = (lead - LEAD_FIRST) * TRAILS_PER_LEAD + trail - TRAIL_FIRST - (trail > 0x7F ? 1 : 0);
    int count = 0;
    for (unsigned r = firstReading[slot]; r < firstReading[slot + 1] && count < MAX_PINYIN_READINGS; r++)
        readings[count++] = syllableText[readingSyllable[r]];
    return count;
}
