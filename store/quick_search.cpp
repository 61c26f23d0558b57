// The quick search compares bytes, but only from the start of a character: a query never
// matches the second byte of one character joined to the first byte of the next, nor an
// ASCII letter that is really the trail byte of a Chinese character.
#include "store/quick_search.h"

#include "common/text.h"

#include <cstring>

int matchesQuery(const char *query, const char *text)
{
    size_t queryLength = strlen(query);
    if (queryLength == 0)
        return 1;
    for (const char *position = text; *position != '\0';) {
        if (strncmp(position, query, queryLength) == 0)
            return 1;
        position += characterWidth(position);
    }
    return 0;
}

int contactMatchesQuery(const Contact *contact, const char *query)
{
    return matchesQuery(query, contact->name) || matchesQuery(query, contact->number);
}

void prepareQuery(char query[QUERY_SIZE], const char *typed)
{
    copyText(query, QUERY_SIZE, typed);
}
