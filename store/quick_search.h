// The quick search: which contacts the list shows for what the user typed.
#pragma once

#include "store/contact_list.h"

enum { QUERY_SIZE = 50 }; // at most 49 bytes of query and its terminator

// 1 when query occurs in text, starting at the beginning of a character; 0 otherwise.
// Bytes are compared as they are (case-sensitive); an empty query matches everything.
int matchesQuery(const char *query, const char *text);
// 1 when the contact's name or number holds the query (the remark is not searched).
int contactMatchesQuery(const Contact *contact, const char *query);
// The query as the search uses it: what was typed, cut to 49 bytes on a character boundary.
void prepareQuery(char query[QUERY_SIZE], const char *typed);
