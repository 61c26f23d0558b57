// The quick search compares bytes, but only from the start of a character: a query never
// matches the second byte of one character joined to the first byte of the next, nor an
// ASCII letter that is really the trail byte of a Chinese character. Names are found by
// their pinyin too, as Chinese phones find them.
#include "store/quick_search.h"

#include "common/text.h"
#include "store/pinyin.h"

#include <cstring>

// True when query, character by character, is at the start of text.
static bool startsWithQuery(const char *text, const char *query)
{
    if (lowerAscii(*text) != lowerAscii(*query)) // most places differ at once
        return false;
    while (*query != '\0') {
        size_t width = characterWidth(query);
        if (width == 1 ? lowerAscii(*text) != lowerAscii(*query) : strncmp(text, query, width) != 0)
            return false;
        text += width;
        query += width;
    }
    return true;
}

bool matchesQuery(const char *query, const char *text)
{
    if (*query == '\0')
        return true;
    for (const char *position = text; *position != '\0'; position += characterWidth(position))
        if (startsWithQuery(position, query))
            return true;
    return false;
}

// True when position is where a character of text starts.
static bool startsCharacter(const char *text, const char *position)
{
    while (text < position)
        text += characterWidth(text);
    return text == position;
}

// Where query (length bytes, at least one) first occurs in text, or null; a plain byte
// search, which Wine's C library does slowly.
static const char *findBytes(const char *text, const char *query, size_t length)
{
    for (; *text != '\0'; text++) {
        if (*text != query[0])
            continue;
        size_t same = 1;
        while (same < length && text[same] == query[same]) // stops at the text's end
            same++;
        if (same == length)
            return text;
    }
    return nullptr;
}

// matchesQuery, by a byte search where no letter needs folding (numbers, and Chinese), which
// most searches are.
static bool holdsQuery(const SearchQuery *query, const char *text)
{
    if (query->foldsCase || query->length == 0)
        return matchesQuery(query->text, text);
    for (const char *found = findBytes(text, query->text, query->length); found != nullptr;
         found = findBytes(found + 1, query->text, query->length))
        if (startsCharacter(text, found))
            return true;
    return false;
}

static bool sameLetter(char typed, char spoken)
{
    return typed == spoken || (typed == 'u' && spoken == 'v');
}

// True when key (lower-case letters) is spelled by the characters from at on, each giving a
// beginning of one of its readings; an ASCII letter reads as itself.
static bool spellsFrom(const char *key, const char *at)
{
    if (*key == '\0')
        return true;
    if (*at == '\0')
        return false;
    const char *readings[MAX_PINYIN_READINGS];
    int count = pinyinReadings(at, readings);
    char letter[2] = {lowerAscii(*at), '\0'};
    if (count == 0 && letter[0] >= 'a' && letter[0] <= 'z')
        readings[count++] = letter;
    for (int r = 0; r < count; r++) {
        const char *reading = readings[r];
        size_t same = 0;
        while (reading[same] != '\0' && sameLetter(key[same], reading[same]))
            same++;
        for (size_t length = same; length > 0; length--)
            if (spellsFrom(key + length, at + characterWidth(at)))
                return true;
    }
    return false;
}

// The letters of a query of ASCII letters, spaces and apostrophes, in lower case (none for a
// query of spaces and apostrophes: it spells the beginning of every name); false for any
// other query.
static bool pinyinKey(const char *query, char key[QUERY_SIZE])
{
    size_t length = 0;
    for (; *query != '\0' && length + 1 < QUERY_SIZE; query++) {
        char c = lowerAscii(*query);
        if (c >= 'a' && c <= 'z')
            key[length++] = c;
        else if (c != ' ' && c != '\'')
            return false;
    }
    key[length] = '\0';
    return true;
}

static bool spellsKey(const char *key, const char *name)
{
    for (const char *at = name; *at != '\0'; at += characterWidth(at))
        if (spellsFrom(key, at))
            return true;
    return false;
}

bool contactMatchesQuery(const Contact *contact, const SearchQuery *query)
{
    return holdsQuery(query, contact->name) || holdsQuery(query, contact->number) ||
           holdsQuery(query, contact->remark) ||
           (query->spelled && spellsKey(query->pinyin, contact->name));
}

void prepareQuery(SearchQuery *query, const char *typed)
{
    copyText(query->text, sizeof query->text, typed);
    query->length = strlen(query->text);
    query->spelled = pinyinKey(query->text, query->pinyin);
    if (!query->spelled)
        query->pinyin[0] = '\0';
    query->foldsCase = false;
    for (const char *at = query->text; *at != '\0'; at += characterWidth(at))
        query->foldsCase = query->foldsCase || lowerAscii(*at) != upperAscii(*at);
}
