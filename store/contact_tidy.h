// Tidying the whole list: sorting by the pinyin of the names, and removing duplicates.
#pragma once

// Orders the list by the pinyin of the names (Latin names by their letters without regard
// to case, digits before letters), equal names by number; contacts that compare equal keep
// their order. Ticks go with their contacts. 0 when no memory could be had (the list is
// then as it was), 1 otherwise.
int sortContactsByName();

// Contacts with the same name and the same number (spaces, '-', '(' and ')' dropped, a
// leading +86 or 0086 ignored) are one contact: the first in list order stays and takes the
// remark of a later one when its own is empty; a later one with another, non-empty remark
// stays too. Returns how many contacts are duplicates and, when remove is set, removes
// them; -1 when no memory could be had (nothing is removed).
int findDuplicates(bool remove);
