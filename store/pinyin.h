// Pinyin readings of the ideographs of GBK, without tones, ü written as v; every reading a
// character has, the most common first.
#pragma once

enum { MAX_PINYIN_READINGS = 10 };

// The readings of the character at text: pointers to syllables such as "zhang", at most
// MAX_PINYIN_READINGS, and how many (0 for anything but a GBK ideograph).
int pinyinReadings(const char *text, const char *readings[MAX_PINYIN_READINGS]);
