// Tidying the whole list: sorting by the pinyin of the names, and removing duplicates.
#pragma once

// Orders the list as phone books order names: by their pinyin a syllable at a time (all 陈
// chen before any 程 cheng), a surname by its surname reading (曾 zeng, 单 shan), Latin names
// by their letters without regard to case, digits before letters; equal names by number;
// contacts that compare equal keep their order. Ticks go with their contacts. False when no
// memory could be had (the list is then as it was).
bool sortContactsByName();

// Contacts with the same name and the same number (spaces, '-', '(' and ')' dropped, a
// leading +86 or 0086 ignored) are one contact: the first in list order stays and takes the
// remark of a later one when its own is empty; a later one with another, non-empty remark
// stays too. How many contacts are duplicates; -1 when no memory could be had.
int countDuplicates();
// Removes those duplicates; how many, or -1 when no memory could be had (nothing removed).
int removeDuplicates();
