// The quick search: which contacts the list shows for what the user typed.
#pragma once

#include "store/contact_list.h"

#include <cstddef>

enum { QUERY_SIZE = 50 }; // at most 49 bytes of query and its terminator

// True when query occurs in text, starting at the beginning of a character, ASCII letters
// compared without regard to case. An empty query matches everything.
bool matchesQuery(const char *query, const char *text);
// A query as the search uses it, prepared once for all the contacts it is matched against.
struct SearchQuery {
    char text[QUERY_SIZE];   // what was typed, cut to 49 bytes on a character boundary
    size_t length;           // of text
    char pinyin[QUERY_SIZE]; // its letters in lower case when it is spelled, else empty
    bool spelled;            // it is only ASCII letters, spaces and apostrophes: names are
                             // spelled for it
    bool foldsCase;          // it holds an ASCII letter, compared without regard to case
};

// Prepares what was typed for the search.
void prepareQuery(SearchQuery *query, const char *typed);
// True when the contact's name, number or remark holds the query, or its name spells it in
// pinyin from any of its characters on: each character, in order, gives its initial or any
// longer beginning of one of its readings ("zs", "zhangs", "zsan" and "sa" all find 张三;
// spaces and apostrophes are ignored); "u" also matches "ü". A query that only grows matches
// no contact the shorter one did not: the search may look only among those.
bool contactMatchesQuery(const Contact *contact, const SearchQuery *query);
