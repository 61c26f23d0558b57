// Seeded runs of random commands, answered as a user would, checked after every step against
// a plain model of the list. By default four fixed seeds of 500 steps, the same in every run;
// VOSTRELINA_SEED=N repeats one run (2,000 steps), VOSTRELINA_SEED=time starts a new one, and
// VOSTRELINA_STEPS sets the length. A failure names the seed and the step. The file commands
// go through the system's chooser.
#include "tests/ui/ui_harness.h"

#include "resources/resource.h"
#include "shell/list_view.h"
#include "shell/toolbar.h"
#include "store/contact_list.h"
#include "tests/support/temp_dir.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <random>

namespace {

struct Entry {
    std::string name, number, remark;
    bool checked;
    bool operator==(const Entry &other) const
    {
        return name == other.name && number == other.number && remark == other.remark &&
               checked == other.checked;
    }
    bool operator<(const Entry &other) const
    {
        return std::tie(name, number, remark) < std::tie(other.name, other.number, other.remark);
    }
};
using Entries = std::vector<Entry>;

enum class Format { Book, Text, Csv, VCard, VCardFolder };

// A file or folder the run wrote, with what reading it back must append.
struct Written {
    Format format;
    Entries entries;
};

// Texts that every format carries unchanged: names and numbers of field bytes only, remarks
// without spaces at their ends. A contact with nothing in the fields a format carries does not
// come back from it.
const char *const names[] = {"张三", "李四", "王小明", "Li", "Bob", "赵六", "A1", "陈", "欧阳修文", ""};
const char *const numbers[] = {"13800000000", "+86-10-1234", "110", "", "(021)5555", "139"};
const char *const remarks[] = {"同事", "", "朋友 老家", "gym, Tue", "备注"};
const char *const queries[] = {"", "张", "三", "Li", "1", "138", "+86", "小明", "x", "B", "修文",
                               "zs", "xm", "liu", "ou yang", "GYM", "yu"};
// Every reading of the names' ideographs; an ASCII letter reads as itself.
const std::map<std::string, std::vector<std::string>> readings = {
    {"张", {"zhang"}}, {"三", {"san"}}, {"李", {"li"}},   {"四", {"si"}},        {"王", {"wang", "yu"}},
    {"小", {"xiao"}},  {"明", {"ming", "meng"}},          {"赵", {"zhao"}},      {"六", {"liu", "lu"}},
    {"陈", {"chen"}},  {"欧", {"ou"}},  {"阳", {"yang"}}, {"修", {"xiu"}},       {"文", {"wen"}}};

std::string lower(std::string text)
{
    for (char &c : text)
        c = c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
    return text;
}

// A query matches where a character starts, in the name, the number or the remark, ASCII
// letters without regard to case.
bool matchesAtCharacter(const std::string &query, const std::string &text)
{
    if (query.empty())
        return true;
    for (size_t at = 0; at < text.size(); at += (unsigned char)text[at] >= 0x81 ? 2 : 1)
        if (lower(text.substr(at, query.size())) == lower(query))
            return true;
    return false;
}

// True when the characters from the first on spell key, each with a beginning of a reading.
bool spells(const std::vector<std::vector<std::string>> &name, size_t first, const std::string &key)
{
    if (key.empty())
        return true;
    for (const std::string &reading : first < name.size() ? name[first] : std::vector<std::string>())
        for (size_t n = 1; n <= reading.size() && n <= key.size() && key[n - 1] == reading[n - 1]; n++)
            if (spells(name, first + 1, key.substr(n)))
                return true;
    return false;
}

bool spellsInPinyin(const std::string &query, const std::string &name)
{
    std::string key;
    for (char c : lower(query))
        if (c >= 'a' && c <= 'z')
            key += c;
        else if (c != ' ')
            return false;
    std::vector<std::vector<std::string>> spoken;
    for (size_t at = 0; at < name.size(); at += (unsigned char)name[at] >= 0x81 ? 2 : 1) {
        std::string character = name.substr(at, (unsigned char)name[at] >= 0x81 ? 2 : 1);
        bool letter = isalpha((unsigned char)character[0]) && character.size() == 1;
        spoken.push_back(readings.count(character) ? readings.at(character)
                         : letter ? std::vector<std::string>{lower(character)}
                                  : std::vector<std::string>());
    }
    for (size_t first = 0; first < spoken.size(); first++)
        if (!key.empty() && spells(spoken, first, key))
            return true;
    return false;
}

bool shownFor(const Entry &entry, const std::string &query)
{
    return matchesAtCharacter(query, entry.name) || matchesAtCharacter(query, entry.number) ||
           matchesAtCharacter(query, entry.remark) || spellsInPinyin(query, entry.name);
}

Entries readable(const Entries &entries, bool checkedOnly, bool keepRemark)
{
    Entries kept;
    for (Entry entry : entries) {
        if (!keepRemark)
            entry.remark.clear();
        bool empty = entry.name.empty() && entry.number.empty() && entry.remark.empty();
        if (empty || (checkedOnly && !entry.checked))
            continue;
        entry.checked = false;
        kept.push_back(entry);
    }
    return kept;
}

// The records of a book file as they are on disk, read without the program's reader.
Entries bookOnDisk(const std::string &path)
{
    std::string bytes = readFileBytes(path);
    Entries entries;
    for (size_t at = 12; at + 72 <= bytes.size(); at += 72)
        entries.push_back({bytes.substr(at, 12).c_str(), bytes.substr(at + 12, 20).c_str(),
                           bytes.substr(at + 32, 40).c_str(), false});
    return entries;
}

std::string describe(const Entries &entries)
{
    std::string text;
    for (const Entry &e : entries)
        text += e.name + "|" + e.number + "|" + e.remark + (e.checked ? " [x]" : "") + "; ";
    return text;
}

unsigned settingFromEnvironment(const char *name, unsigned fallback)
{
    const char *value = getenv(name);
    return value != nullptr && *value != '\0' ? (unsigned)strtoul(value, nullptr, 10) : fallback;
}

// The seeds to run: fixed ones, the one asked for, or one from the clock.
std::vector<unsigned> chosenSeeds()
{
    const char *asked = getenv("VOSTRELINA_SEED");
    if (asked == nullptr || *asked == '\0')
        return {1, 2, 3, 4};
    return {strcmp(asked, "time") == 0 ? (unsigned)time(nullptr) : (unsigned)strtoul(asked, nullptr, 10)};
}

class ModelChooserTest : public ProgramTest, public ::testing::WithParamInterface<unsigned> {
protected:
    void runSteps();

    std::mt19937 random;
    unsigned seed = 0;
    Entries model;
    std::string boxQuery;   // the search box's text
    std::string shownQuery; // the query the rows were last filled with
    std::string currentPath;
    std::map<std::string, Written> written;
    int fileNumber = 0;
    std::string lastStep;
    TempDir dir;

private:
    int pick(size_t count) { return (int)(random() % count); }
    template <size_t N> std::string pickFrom(const char *const (&pool)[N]) { return pool[pick(N)]; }
    Entry randomEntry() { return {pickFrom(names), pickFrom(numbers), pickFrom(remarks), false}; }
    std::string newPath(const char *extension);
    std::vector<int> shownIndexes() const;
    int selectRandomRow();
    const std::string *pickWritten(Format format);
    std::string mismatch();

    void add();
    void edit();
    void remove();
    void removeChecked();
    void tick();
    void search();
    void move();
    void newBook();
    void save(bool as);
    void saveBook() { save(false); }
    void saveBookAs() { save(true); }
    void open();
    void exportText();
    void exportCsv();
    void exportVCard();
    void exportVCardFolder();
    void importFile(Format format);
    void importText() { importFile(Format::Text); }
    void importCsv() { importFile(Format::Csv); }
    void importVCard() { importFile(Format::VCard); }
    void importVCardFolder();
};

std::string ModelChooserTest::newPath(const char *extension)
{
    return dir.path("f" + std::to_string(++fileNumber) + extension);
}

std::vector<int> ModelChooserTest::shownIndexes() const
{
    std::vector<int> shown;
    for (size_t i = 0; i < model.size(); i++)
        if (shownFor(model[i], shownQuery))
            shown.push_back((int)i);
    return shown;
}

// Selects a random row, or none now and then; the row, or -1.
int ModelChooserTest::selectRandomRow()
{
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(listView, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&item);
    size_t rows = shownIndexes().size();
    if (rows == 0 || pick(10) == 0)
        return -1;
    int row = pick(rows);
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(listView, LVM_SETITEMSTATE, row, (LPARAM)&item);
    return row;
}

const std::string *ModelChooserTest::pickWritten(Format format)
{
    std::vector<const std::string *> paths;
    for (const auto &file : written)
        if (file.second.format == format)
            paths.push_back(&file.first);
    return paths.empty() ? nullptr : paths[pick(paths.size())];
}

void ModelChooserTest::add()
{
    Entry entry = randomEntry();
    bool confirm = pick(5) != 0;
    respond(fillContact(entry.name.c_str(), entry.number.c_str(), entry.remark.c_str(),
                        confirm ? IDC_CONTACT_OK : IDC_CONTACT_CANCEL));
    runCommand(pick(2) ? IDM_ITEM_ADD : IDT_ITEM_ADD);
    if (!confirm)
        return;
    model.push_back(entry);
    boxQuery = shownQuery = "";
}

void ModelChooserTest::edit()
{
    std::vector<int> shown = shownIndexes();
    int row = selectRandomRow();
    if (row < 0) {
        runCommand(IDM_ITEM_EDIT);
        return;
    }
    Entry entry = randomEntry();
    bool confirm = pick(5) != 0;
    respond(fillContact(entry.name.c_str(), entry.number.c_str(), entry.remark.c_str(),
                        confirm ? IDC_CONTACT_OK : IDC_CONTACT_CANCEL));
    runCommand(IDT_ITEM_EDIT);
    if (!confirm)
        return;
    entry.checked = model[shown[row]].checked;
    model[shown[row]] = entry;
    boxQuery = shownQuery = "";
}

void ModelChooserTest::remove()
{
    std::vector<int> shown = shownIndexes();
    int row = selectRandomRow();
    if (row < 0) {
        respond(pressButton(IDOK));
        runCommand(IDM_ITEM_DELETE);
        return;
    }
    bool confirm = pick(4) != 0;
    respond(pressButton(confirm ? IDYES : IDNO));
    runCommand(IDT_ITEM_DELETE);
    if (!confirm)
        return;
    model.erase(model.begin() + shown[row]);
    shownQuery = boxQuery;
}

// With nothing ticked, shown or hidden, the user is told so and asked nothing.
void ModelChooserTest::removeChecked()
{
    bool anyTicked = std::any_of(model.begin(), model.end(),
                                 [](const Entry &entry) { return entry.checked; });
    bool confirm = pick(3) != 0;
    respond(pressButton(!anyTicked ? IDOK : confirm ? IDYES : IDNO));
    if (anyTicked && confirm)
        respond(pressButton(IDOK));
    runCommand(IDM_ITEM_DELETE_CHECKED);
    if (!anyTicked || !confirm)
        return;
    model.erase(std::remove_if(model.begin(), model.end(),
                               [](const Entry &entry) { return entry.checked; }),
                model.end());
    shownQuery = boxQuery;
}

void ModelChooserTest::tick()
{
    std::vector<int> shown = shownIndexes();
    if (shown.empty())
        return;
    int row = pick(shown.size());
    bool ticked = pick(3) != 0;
    setRowTicked(row, ticked);
    model[shown[row]].checked = ticked;
}

void ModelChooserTest::search()
{
    boxQuery = shownQuery = pickFrom(queries);
    typeSearch(boxQuery.c_str());
}

// A move works only on the unfiltered list; the first moves nowhere up, the last nowhere down.
void ModelChooserTest::move()
{
    std::vector<int> shown = shownIndexes();
    int row = selectRandomRow();
    bool up = pick(2) != 0;
    runCommand(up ? IDM_ITEM_MOVE_UP : IDT_ITEM_MOVE_DOWN);
    if (row < 0 || !boxQuery.empty())
        return;
    int from = shown[row];
    int to = up ? from - 1 : from + 1;
    if (to >= 0 && to < (int)model.size())
        std::swap(model[from], model[to]);
    shownQuery = "";
}

void ModelChooserTest::newBook()
{
    bool confirm = pick(2) != 0;
    respond(pressButton(confirm ? IDYES : IDNO));
    runCommand(IDT_FILE_NEW);
    if (!confirm)
        return;
    model.clear();
    currentPath = "";
    shownQuery = boxQuery;
}

// Saves, through the chooser when the book has no file yet (typed now and then without its
// extension), now and then over a book saved before, and checks the file's records on disk.
// Over a book, the system asks about a name typed whole (answered Yes: No would keep its
// chooser open), the program about a name its extension completed.
void ModelChooserTest::save(bool as)
{
    std::string path = currentPath;
    if (as || currentPath.empty()) {
        const std::string *existing = pick(4) == 0 ? pickWritten(Format::Book) : nullptr;
        path = existing != nullptr ? *existing : newPath(".ctb");
        bool typeExtension = pick(2) != 0;
        respond(chooseFileNamed(typeExtension ? path : path.substr(0, path.size() - 4)));
        bool replace = existing == nullptr || typeExtension || pick(2) != 0;
        if (existing != nullptr)
            respond(pressButton(replace ? IDYES : IDNO));
        if (!replace)
            return runCommand(as ? IDM_FILE_SAVE_AS : IDT_FILE_SAVE);
    }
    respond(pressButton(IDOK));
    runCommand(as ? IDM_FILE_SAVE_AS : IDT_FILE_SAVE);
    currentPath = path;
    Entries entries = model;
    for (Entry &entry : entries)
        entry.checked = false;
    written[currentPath] = Written{Format::Book, entries};
    EXPECT_EQ(describe(entries), describe(bookOnDisk(currentPath))) << "the file holds the list";
}

// Opens a saved book, or now and then a file of another kind, which is refused and leaves
// the book as it was.
void ModelChooserTest::open()
{
    bool refused = pick(5) == 0;
    const std::string *path = pickWritten(refused ? Format::Text : Format::Book);
    if (path == nullptr)
        return;
    respond(chooseFileNamed(*path));
    if (refused)
        respond(pressButton(IDOK));
    runCommand(IDT_FILE_OPEN);
    if (refused)
        return;
    model = written[*path].entries;
    currentPath = *path;
    shownQuery = "";
}

void ModelChooserTest::exportText()
{
    std::string path = newPath(".txt");
    int separator = pick(2);
    bool header = pick(2) != 0;
    bool checkedOnly = pick(2) != 0;
    respond([path, separator, header, checkedOnly](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_TEXT_SEPARATOR, CB_SETCURSEL, separator, 0);
        CheckDlgButton(dialog, IDC_TEXT_HEADER, header ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, IDC_TEXT_CHECKED_ONLY, checkedOnly ? BST_CHECKED : BST_UNCHECKED);
        SetDlgItemTextA(dialog, IDC_TEXT_PATH, path.c_str());
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    respond(pressButton(IDOK));
    runCommand(IDM_EXPORT_TXT);
    written[path] = Written{Format::Text, readable(model, checkedOnly, true)};
    shownQuery = boxQuery;
}

void ModelChooserTest::exportCsv()
{
    std::string path = newPath(".csv");
    int answer = std::vector<int>{IDYES, IDNO, IDCANCEL}[pick(3)];
    respond(chooseFileNamed(path));
    respond(pressButton(answer));
    if (answer != IDCANCEL)
        respond(pressButton(IDOK));
    runCommand(IDM_EXPORT_CSV);
    if (answer != IDCANCEL)
        written[path] = Written{Format::Csv, readable(model, answer == IDNO, true)};
}

void ModelChooserTest::exportVCard()
{
    if (model.empty()) {
        respond(pressButton(IDOK));
        runCommand(IDM_EXPORT_VCF);
        return;
    }
    std::string path = newPath(".vcf");
    respond(chooseFileNamed(path));
    respond(pressButton(IDOK));
    runCommand(IDM_EXPORT_VCF);
    written[path] = Written{Format::VCard, readable(model, false, false)};
}

void ModelChooserTest::exportVCardFolder()
{
    if (model.empty()) {
        respond(pressButton(IDOK));
        runCommand(IDM_EXPORT_VCF_FOLDER);
        return;
    }
    std::string folder = newPath("");
    CreateDirectoryA(folder.c_str(), nullptr);
    respond(typeFolder(folder));
    respond(pressButton(IDOK));
    runCommand(IDM_EXPORT_VCF_FOLDER);
    written[folder] = Written{Format::VCardFolder, readable(model, false, false)};
}

enum { PROGRESS_EVERY = 250 };

// Imports keep the list short enough to check every row after every step.
enum { IMPORT_LIMIT = 40 };

void ModelChooserTest::importFile(Format format)
{
    const std::string *path = pickWritten(format);
    if (path == nullptr || model.size() > IMPORT_LIMIT)
        return;
    Entries entries = written[*path].entries;
    respond(chooseFileNamed(*path));
    bool confirm = true; // a cancelled column dialog changes nothing, the rows included
    if (format == Format::Csv) {
        bool withRemark = pick(2) != 0;
        confirm = pick(6) != 0;
        respond([withRemark, confirm](HWND dialog) {
            SendDlgItemMessageA(dialog, IDC_CSV_REMARK, CB_SETCURSEL, withRemark ? 3 : 0, 0);
            SendMessageA(dialog, WM_COMMAND, confirm ? IDOK : IDCANCEL, 0);
        });
        entries = confirm ? readable(entries, false, withRemark) : Entries();
    }
    if (confirm && entries.empty())
        respond(pressButton(IDOK)); // 文件中没有找到联系人！
    int commands[] = {IDM_IMPORT_TXT, IDM_IMPORT_CSV, IDM_IMPORT_VCF};
    runCommand(commands[format == Format::Text ? 0 : format == Format::Csv ? 1 : 2]);
    model.insert(model.end(), entries.begin(), entries.end());
    if (confirm)
        shownQuery = "";
}

// The system lists a folder's files in its own order: the appended records must be the
// exported ones in some order, which the model then takes over.
void ModelChooserTest::importVCardFolder()
{
    const std::string *folder = pickWritten(Format::VCardFolder);
    if (folder == nullptr || model.size() > IMPORT_LIMIT)
        return;
    respond(typeFolder(*folder));
    runCommand(IDM_IMPORT_VCF_FOLDER);
    Entries appended;
    size_t index = 0;
    for (const Contact *c = firstContact; c != nullptr; c = c->next, index++)
        if (index >= model.size())
            appended.push_back({c->name, c->number, c->remark, c->checked == 1});
    Entries sorted = appended;
    Entries expected = written[*folder].entries;
    std::sort(sorted.begin(), sorted.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(describe(expected), describe(sorted)) << "the folder's cards in any order";
    model.insert(model.end(), appended.begin(), appended.end());
    shownQuery = "";
}

// The first difference between the program and the model, or nothing.
std::string ModelChooserTest::mismatch()
{
    if (unansweredWindows() != 0)
        return std::to_string(unansweredWindows()) + " expected windows never opened";
    for (const SeenWindow &seen : takeSeen())
        if (!seen.expected)
            return "unexpected window: " + seen.caption + " " + seen.text;
    Entries program;
    for (const Contact *c = firstContact; c != nullptr; c = c->next)
        program.push_back({c->name, c->number, c->remark, c->checked == 1});
    if ((int)program.size() != contactCount)
        return "contactCount " + std::to_string(contactCount) + " but " +
               std::to_string(program.size()) + " records";
    if (!(program == model))
        return "list " + describe(program) + "\nmodel " + describe(model);
    std::vector<std::string> rows;
    size_t index = 0;
    for (const Contact *c = firstContact; c != nullptr; c = c->next, index++) {
        bool shown = shownFor(model[index], shownQuery);
        if ((c->shown == 1) != shown)
            return "shown flag of " + model[index].name;
        if (shown)
            rows.push_back(model[index].name + "|" + model[index].number + "|" +
                           model[index].remark + (model[index].checked ? " [x]" : ""));
    }
    if (listRows() != rows)
        return "rows differ from the list filtered by \"" + shownQuery + "\"";
    if (windowText(searchBox) != boxQuery)
        return "search box holds \"" + windowText(searchBox) + "\"";
    std::string caption = currentPath.empty() ? "新文件" : "\"" + currentPath + "\"";
    if (windowText(window) != "Vostrelina v1.0 - " + caption)
        return "caption " + windowText(window);
    return "";
}

void ModelChooserTest::runSteps()
{
    static const struct {
        const char *name;
        int weight;
        void (ModelChooserTest::*run)();
    } steps[] = {
        {"add", 14, &ModelChooserTest::add},
        {"edit", 6, &ModelChooserTest::edit},
        {"delete", 6, &ModelChooserTest::remove},
        {"delete checked", 2, &ModelChooserTest::removeChecked},
        {"tick", 14, &ModelChooserTest::tick},
        {"search", 12, &ModelChooserTest::search},
        {"move", 8, &ModelChooserTest::move},
        {"new", 1, &ModelChooserTest::newBook},
        {"save", 3, &ModelChooserTest::saveBook},
        {"save as", 1, &ModelChooserTest::saveBookAs},
        {"open", 3, &ModelChooserTest::open},
        {"export text", 2, &ModelChooserTest::exportText},
        {"export csv", 2, &ModelChooserTest::exportCsv},
        {"export vcard", 2, &ModelChooserTest::exportVCard},
        {"export vcard folder", 1, &ModelChooserTest::exportVCardFolder},
        {"import text", 2, &ModelChooserTest::importText},
        {"import csv", 2, &ModelChooserTest::importCsv},
        {"import vcard", 2, &ModelChooserTest::importVCard},
        {"import vcard folder", 1, &ModelChooserTest::importVCardFolder},
    };
    int total = 0;
    for (const auto &step : steps)
        total += step.weight;
    bool asked = getenv("VOSTRELINA_SEED") != nullptr && *getenv("VOSTRELINA_SEED") != '\0';
    unsigned count = settingFromEnvironment("VOSTRELINA_STEPS", asked ? 2000 : 500);
    for (unsigned n = 1; n <= count; n++) {
        int roll = pick(total);
        size_t chosen = 0;
        while (roll >= steps[chosen].weight)
            roll -= steps[chosen++].weight;
        (this->*steps[chosen].run)();
        std::string problem = mismatch();
        ASSERT_EQ("", problem) << "seed " << seed << ", step " << n << " (" << steps[chosen].name
                               << "), after " << lastStep;
        ASSERT_FALSE(HasFailure()) << "seed " << seed << ", step " << n << " ("
                                   << steps[chosen].name << ")";
        lastStep = steps[chosen].name;
        if (n % PROGRESS_EVERY == 0) {
            printf("model run: step %u, %zu contacts\n", n, model.size());
            fflush(stdout);
        }
    }
}

} // namespace

TEST_P(ModelChooserTest, RandomCommandsKeepTheListTheModelPredicts)
{
    seed = GetParam();
    printf("model run: seed %u (VOSTRELINA_SEED=%u repeats it)\n", seed, seed);
    fflush(stdout);
    random.seed(seed);
    runSteps();
}

INSTANTIATE_TEST_SUITE_P(Seeds, ModelChooserTest, ::testing::ValuesIn(chosenSeeds()));
