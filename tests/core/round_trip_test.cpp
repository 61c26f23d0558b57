// Random contacts through every format the program writes and reads back: each comes back
// byte for byte, as far as the format carries it. VOSTRELINA_SEED repeats a run.
#include "common/text.h"
#include "interchange/vcard_format.h"
#include "store/contact_list.h"
#include "tests/support/contacts.h"
#include "tests/support/file_formats.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using Fields = std::array<std::string, 3>; // name, number, remark
using Book = std::vector<Fields>;

// Bytes that readers and writers treat specially; ideographs whose trail byte is '\' or '|';
// what a Chinese input method types between words: full-width punctuation and the ideographic
// space.
const char asciiPieces[] = "aZ07+-()#*.\\\",;=|:' ";
const char *const trickyIdeographs[] = {"乗", "運", "誠", "錦", "謀", "亅", "億",
                                        "，", "；", "、", "：", "　"};
const char *const blanks[] = {" ", "　"};
// Common ideographs whose GBK bytes are also a valid two-byte UTF-8 sequence.
const char *const utf8LookingIdeographs[] = {"郑", "强", "谢", "叶", "魏", "姚", "卢"};
const char halfCharacter = '\xD5'; // a lead byte with nothing after it

// Any ideograph of GBK: GB2312's two levels, and the extension's parts 3 and 4.
std::string anyIdeograph(std::mt19937 &random)
{
    static const struct {
        int firstLead, lastLead, firstTrail, lastTrail;
    } blocks[] = {{0xB0, 0xF7, 0xA1, 0xFE}, {0x81, 0xA0, 0x40, 0xFE}, {0xAA, 0xFD, 0x40, 0xA0}};
    for (;;) {
        const auto &block = blocks[random() % 3];
        int lead = block.firstLead + (int)(random() % (block.lastLead - block.firstLead + 1));
        int trail = block.firstTrail + (int)(random() % (block.lastTrail - block.firstTrail + 1));
        if (trail != 0x7F && !(lead == 0xD7 && trail >= 0xFA))
            return {(char)lead, (char)trail};
    }
}

std::string randomPiece(std::mt19937 &random, size_t room, bool utf8Looking)
{
    if (room < 2 || random() % 2 != 0)
        return std::string(1, asciiPieces[random() % (sizeof asciiPieces - 1)]);
    if (utf8Looking)
        return utf8LookingIdeographs[random() % countOf(utf8LookingIdeographs)];
    return random() % 3 == 0 ? trickyIdeographs[random() % countOf(trickyIdeographs)] : anyIdeograph(random);
}

bool endsWith(const std::string &text, const std::string &end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Empty, exactly full, or any length between; never a blank at either end. Now and then a
// name ends in half a character, as a name cut by another program can.
std::string randomField(std::mt19937 &random, size_t maxBytes, bool utf8Looking, bool mayEndInHalf = false)
{
    size_t kind = random() % 4;
    size_t target = kind == 0 ? 0 : kind == 1 ? maxBytes : 1 + random() % maxBytes;
    std::string text;
    while (text.size() < target)
        text += randomPiece(random, target - text.size(), utf8Looking);
    for (const std::string blank : blanks) {
        while (text.rfind(blank, 0) == 0)
            text.replace(0, blank.size(), "a");
        while (endsWith(text, blank))
            text.replace(text.size() - blank.size(), blank.size(), "a");
    }
    if (mayEndInHalf && !text.empty() && random() % 5 == 0)
        text.back() = halfCharacter; // replaces an ASCII byte or a trail byte
    return text;
}

Book randomBook(std::mt19937 &random, int count, bool utf8Looking)
{
    Book book;
    while ((int)book.size() < count) {
        Fields f = {randomField(random, NAME_SIZE - 1, utf8Looking, true),
                    randomField(random, NUMBER_SIZE - 1, utf8Looking),
                    randomField(random, REMARK_SIZE - 1, utf8Looking)};
        if (!(f[0] + f[1] + f[2]).empty())
            book.push_back(f);
    }
    return book;
}

void fillList(const Book &book)
{
    clearContacts();
    for (const Fields &f : book)
        addContact(f[0].c_str(), f[1].c_str(), f[2].c_str());
}

Book listContents()
{
    Book book;
    for (const Contact *c = firstContact; c != nullptr; c = c->next)
        book.push_back({c->name, c->number, c->remark});
    return book;
}

// Whether the name ends in half a character: a lead byte that no trail byte follows.
bool endsInHalf(const std::string &name)
{
    size_t at = 0;
    while (at < name.size() && at + characterWidth(name.c_str() + at) < name.size())
        at += characterWidth(name.c_str() + at);
    return at < name.size() && characterWidth(name.c_str() + at) == 1 && isLeadByte((unsigned char)name[at]);
}

// What a vCard keeps: the contacts that have a name or a number, through UTF-8, where half a
// character is none.
Book vcardPart(const Book &book)
{
    Book kept;
    for (Fields f : book) {
        if (endsInHalf(f[0]))
            f[0].back() = '?';
        if (!(f[0] + f[1]).empty())
            kept.push_back(f);
    }
    return kept;
}

// Plain text has no quoting: a name or number holding a separator cannot come back.
bool fitsText(const Fields &f)
{
    std::string nameAndNumber = f[0] + "|" + f[1];
    for (const char *separator : {" ", "\\", "\"", ",", ";", ":", "'", "|", "，", "；", "、", "：", "　"})
        if (nameAndNumber.find(separator) != std::string::npos)
            return false;
    return true;
}

unsigned chosenSeed()
{
    const char *seed = getenv("VOSTRELINA_SEED");
    return seed != nullptr ? (unsigned)strtoul(seed, nullptr, 10) : 20261207u;
}

// Writes the book in every format and reads each file back.
void checkRoundTrips(const Book &book, unsigned seed)
{
    TempDir dir;
    Book text;
    std::copy_if(book.begin(), book.end(), std::back_inserter(text), fitsText);
    for (const FileFormat *format : writtenFormats()) {
        std::string path = dir.path(fileNamed("contacts", format));
        const Book &given = format == &textFormat ? text : book;
        Book expected = format == &vcardFormat ? vcardPart(given) : given;
        fillList(given);
        ASSERT_TRUE(writeAll(format, path.c_str())) << format->name;
        clearContacts();
        EXPECT_EQ((int)expected.size(), readBack(format, path.c_str())) << format->name;
        EXPECT_EQ(expected, listContents()) << format->name << ", seed " << seed;
    }

    TempDir cards;
    fillList(book);
    int failures = -1;
    ASSERT_TRUE(exportVCardFolder(cards.path("").c_str(), &failures));
    EXPECT_EQ(0, failures);
    clearContacts();
    std::vector<std::string> files = cards.files();
    for (const std::string &file : files)
        importVCard((cards.path("") + file).c_str());
    Book expected = vcardPart(book), read = listContents();
    std::sort(expected.begin(), expected.end());
    std::sort(read.begin(), read.end());
    EXPECT_EQ(book.size(), files.size()) << "one file per contact, seed " << seed;
    EXPECT_EQ(expected, read) << "vCard folder, seed " << seed;
    clearContacts();
}

} // namespace

// One large book, where the whole file decides its encoding, and small ones of ideographs
// that GBK shares with UTF-8, where a few names must not be taken for another encoding.
TEST(RoundTrip, EveryFormatGivesBackWhatItWasGiven)
{
    unsigned seed = chosenSeed();
    printf("round trip: seed %u\n", seed);
    std::mt19937 random(seed);
    checkRoundTrips(randomBook(random, 300, false), seed);
    for (int i = 0; i < 40; i++)
        checkRoundTrips(randomBook(random, 1 + (int)(random() % 3), true), seed);
}
