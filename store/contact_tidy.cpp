// Both tidy-ups work on an array of the records with a key each, sorted once, so 100,000
// contacts take a blink; the list is relinked or pruned afterwards. The sort compares the
// keys and then the records' places, so it is stable whatever the C library's qsort is
// (Windows' is not).
#include "store/contact_tidy.h"

#include "common/memory.h"
#include "common/text.h"
#include "store/contact_list.h"
#include "store/pinyin.h"

#include <cstdlib>
#include <cstring>

enum { KEY_SIZE = NAME_SIZE * 8 + NUMBER_SIZE + 2 };

// The end of a syllable in a sort key: below every letter and digit, so that syllables
// compare one by one (all 陈 chen before any 程 cheng); the end of the name is lower still.
static const char syllableEnd[] = "\x02", nameEnd[] = "\x01";

// Surnames whose characters are read otherwise in a surname than most often elsewhere, and
// how phone books sort them. No Debian package lists surname readings; these are the
// well-known ones. Two-character surnames come first, so that they are found before their
// first character.
static const struct {
    const char *surname;
    const char *readings[2];
} surnameReadings[] = {
    {"尉迟", {"yu", "chi"}}, {"万俟", {"mo", "qi"}}, {"单于", {"chan", "yu"}},
    {"曾", {"zeng"}},  {"单", {"shan"}}, {"解", {"xie"}},  {"仇", {"qiu"}},  {"区", {"ou"}},
    {"朴", {"piao"}},  {"查", {"zha"}},  {"盖", {"ge"}},   {"覃", {"qin"}},  {"召", {"shao"}},
    {"缪", {"miao"}},  {"翟", {"zhai"}}, {"乐", {"yue"}},  {"员", {"yun"}},  {"种", {"chong"}},
    {"秘", {"bi"}},    {"繁", {"po"}},   {"句", {"gou"}},  {"长", {"chang"}}, {"隗", {"wei"}},
    {"能", {"nai"}},   {"都", {"du"}},   {"祭", {"zhai"}}, {"阚", {"kan"}},  {"薄", {"bo"}},
};

struct KeyedContact {
    char key[KEY_SIZE];
    Contact *contact;
    int order; // place in the list, so that equal keys keep their order
};

static void appendKey(char *key, size_t *length, const char *text)
{
    while (*text != '\0' && *length + 1 < KEY_SIZE)
        key[(*length)++] = *text++;
    key[*length] = '\0';
}

// The name as it sorts: its surname by its surname reading, each other ideograph by its
// first reading, a syllable at a time; a word of ASCII letters (in lower case) and digits (as
// they are, before letters) as one syllable; then the name's own bytes and the number, so
// that only contacts equal in all of them compare equal.
static void sortKey(const Contact *contact, char *key)
{
    size_t length = 0;
    key[0] = '\0';
    const char *at = contact->name;
    for (const auto &surname : surnameReadings) {
        size_t surnameLength = strlen(surname.surname);
        if (strncmp(at, surname.surname, surnameLength) != 0)
            continue;
        for (const char *reading : surname.readings) {
            if (reading != nullptr) {
                appendKey(key, &length, reading);
                appendKey(key, &length, syllableEnd);
            }
        }
        at += surnameLength;
        break;
    }
    bool inWord = false;
    for (; *at != '\0'; at += characterWidth(at)) {
        const char *readings[MAX_PINYIN_READINGS];
        char letter[2] = {lowerAscii(*at), '\0'};
        bool wordCharacter = (letter[0] >= 'a' && letter[0] <= 'z') || (letter[0] >= '0' && letter[0] <= '9');
        if (inWord && !wordCharacter)
            appendKey(key, &length, syllableEnd);
        inWord = wordCharacter;
        if (wordCharacter) {
            appendKey(key, &length, letter);
        } else if (pinyinReadings(at, readings) > 0) {
            appendKey(key, &length, readings[0]);
            appendKey(key, &length, syllableEnd);
        }
    }
    if (inWord)
        appendKey(key, &length, syllableEnd);
    appendKey(key, &length, nameEnd);
    appendKey(key, &length, contact->name);
    appendKey(key, &length, nameEnd);
    appendKey(key, &length, contact->number);
}

// The number as duplicates compare it.
static void plainNumber(const char *number, char *plain, size_t size)
{
    size_t length = 0;
    for (; *number != '\0' && length + 1 < size; number++)
        if (strchr(" -()", *number) == nullptr)
            plain[length++] = *number;
    plain[length] = '\0';
    const char *national = strncmp(plain, "+86", 3) == 0 ? plain + 3
                         : strncmp(plain, "0086", 4) == 0 ? plain + 4 : plain;
    memmove(plain, national, strlen(national) + 1);
}

static void duplicateKey(const Contact *contact, char *key)
{
    char number[NUMBER_SIZE];
    plainNumber(contact->number, number, sizeof number);
    size_t length = 0;
    key[0] = '\0';
    appendKey(key, &length, contact->name);
    appendKey(key, &length, nameEnd);
    appendKey(key, &length, number);
}

static int compareKeyed(const void *a, const void *b)
{
    const KeyedContact *first = (const KeyedContact *)a, *second = (const KeyedContact *)b;
    int keys = strcmp(first->key, second->key);
    return keys != 0 ? keys : first->order - second->order;
}

// Every record with its key, sorted by key and then list order; null without memory.
static KeyedContact *sortedContacts(void (*makeKey)(const Contact *, char *))
{
    KeyedContact *keyed = (KeyedContact *)allocateMemory(((size_t)contactCount + 1) * sizeof *keyed);
    if (keyed == nullptr)
        return nullptr;
    int order = 0;
    for (Contact *contact = firstContact; contact != nullptr; contact = contact->next, order++) {
        makeKey(contact, keyed[order].key);
        keyed[order].contact = contact;
        keyed[order].order = order;
    }
    qsort(keyed, (size_t)contactCount, sizeof *keyed, compareKeyed);
    return keyed;
}

bool sortContactsByName()
{
    KeyedContact *keyed = sortedContacts(sortKey);
    if (keyed == nullptr)
        return false;
    ContactChain chain = takeContacts();
    for (int i = 0; i < chain.count; i++)
        keyed[i].contact->next = i + 1 < chain.count ? keyed[i + 1].contact : nullptr;
    if (chain.count > 0) {
        chain.first = keyed[0].contact;
        chain.last = keyed[chain.count - 1].contact;
    }
    putBackContacts(chain);
    freeMemory(keyed);
    return true;
}

// Within one group of equal keys, in list order, marks the later contacts that are
// duplicates of the first; the first takes the remark of the first later one that has one
// when its own is empty. Returns how many were marked.
static int markGroup(const KeyedContact *group, int size, bool *duplicate, bool takeRemark)
{
    const char *remark = group[0].contact->remark;
    int duplicates = 0;
    for (int i = 1; i < size; i++) {
        const char *later = group[i].contact->remark;
        if (later[0] != '\0' && remark[0] != '\0' && strcmp(later, remark) != 0)
            continue; // another remark: a contact of its own
        if (remark[0] == '\0')
            remark = later;
        duplicate[group[i].order] = true;
        duplicates++;
    }
    if (takeRemark && remark != group[0].contact->remark)
        copyText(group[0].contact->remark, REMARK_SIZE, remark);
    return duplicates;
}

static void appendToChain(ContactChain *chain, Contact *contact)
{
    contact->next = nullptr;
    if (chain->last == nullptr)
        chain->first = contact;
    else
        chain->last->next = contact;
    chain->last = contact;
    chain->count++;
}

// Frees the marked records, keeping the others in their order.
static void removeMarked(const bool *duplicate)
{
    ContactChain chain = takeContacts();
    ContactChain kept = {}, removed = {};
    int order = 0;
    for (Contact *contact = chain.first; contact != nullptr; order++) {
        Contact *next = contact->next;
        appendToChain(duplicate[order] ? &removed : &kept, contact);
        contact = next;
    }
    freeContacts(removed);
    putBackContacts(kept);
}

// Marks the duplicates; how many, or -1 without memory. With remove, the first of each group
// takes its remark and the marked records are freed.
static int findDuplicates(bool remove)
{
    KeyedContact *keyed = sortedContacts(duplicateKey);
    bool *duplicate = (bool *)allocateZeroed((size_t)contactCount + 1, sizeof(bool));
    if (keyed == nullptr || duplicate == nullptr) {
        freeMemory(keyed);
        freeMemory(duplicate);
        return -1;
    }
    int duplicates = 0;
    for (int start = 0; start < contactCount;) {
        int end = start + 1;
        while (end < contactCount && strcmp(keyed[end].key, keyed[start].key) == 0)
            end++;
        duplicates += markGroup(keyed + start, end - start, duplicate, remove);
        start = end;
    }
    if (remove && duplicates > 0)
        removeMarked(duplicate);
    freeMemory(keyed);
    freeMemory(duplicate);
    return duplicates;
}

int countDuplicates()
{
    return findDuplicates(false);
}

int removeDuplicates()
{
    return findDuplicates(true);
}
