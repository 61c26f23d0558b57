// Seeded runs of random commands, answered as a user would, checked after every step against
// a plain model of the list: its contacts, the rows a search shows (decided by the model's own
// small search), which row is selected and focused and which is at the top. By default four
// fixed seeds of 500 steps, the same in every run;
// VOSTRELINA_SEED=N repeats one run (2,000 steps), VOSTRELINA_SEED=time starts a new one, and
// VOSTRELINA_STEPS sets the length. A failure names the seed and the step. The file commands
// go through the system's chooser, in a folder whose name has a full stop;
// VOSTRELINA_NO_CHOOSER=1 leaves out the steps that open it.
#include "tests/ui/ui_harness.h"

#include "bookfile/book_file.h"
#include "common/text.h"
#include "resources/resource.h"
#include "shell/app.h"
#include "shell/list_view.h"
#include "shell/main_window.h"
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
    int id; // which contact it is, for the selection to follow
    // As contactLines() shows a contact.
    std::string line() const { return name + "|" + number + "|" + remark + (checked ? " [x]" : ""); }
};
using Entries = std::vector<Entry>;

enum Format { TEXT, CSV, VCARD, BOOK, VCARD_FOLDER };

// Texts that every format carries unchanged: names and numbers of field bytes only, remarks
// without spaces at their ends, some filling their fields exactly. A contact with nothing in
// the fields a format carries does not come back from it.
const char *const names[] = {"张三", "李四", "王小明", "Li", "Bob", "赵六", "A1", "陈", "欧阳修文Bob", ""};
const char *const numbers[] = {"13800000000", "+86-10-1234", "110", "", "+86(021)5555-123456", "139"};
const char *const remarks[] = {"同事", "", "朋友 老家", "gym, Tue", "备注", "一二三四五六七八九十一二三四五六七八九x"};
// A byte more than each field holds, and what OK says of it.
const char *const overlongTexts[] = {"ab张三李四王", "12345678901234567890",
                                     "一二三四五六七八九十一二三四五六七八九十"};
const char *const overlongWarnings[] = {"姓名太长：最多11个字节。", "号码太长：最多19个字节。",
                                        "备注太长：最多39个字节。"};
const char *const queries[] = {"", "张", "三", "Li", "1", "138", "+86", "小明", "x", "B", "修文",
                               "zs", "xm", "liu", "ou yang", "GYM", "yu"};

// The readings of the ideographs the names above use.
const std::map<std::string, std::vector<std::string>> readingsOf = {
    {"张", {"zhang"}}, {"三", {"san"}},  {"李", {"li"}},  {"四", {"si"}},          {"王", {"wang", "yu"}},
    {"小", {"xiao"}},  {"明", {"ming", "meng"}}, {"赵", {"zhao"}}, {"六", {"liu", "lu"}}, {"陈", {"chen"}},
    {"欧", {"ou"}},    {"阳", {"yang"}}, {"修", {"xiu"}}, {"文", {"wen"}},
};

// The text's characters: a double-byte one whole, any other byte alone.
std::vector<std::string> charactersOf(const std::string &text)
{
    std::vector<std::string> characters;
    for (size_t at = 0; at < text.size(); at += characters.back().size())
        characters.push_back(text.substr(at, (unsigned char)text[at] >= 0x81 ? 2 : 1));
    return characters;
}

std::string lowered(std::string text)
{
    for (char &c : text)
        c = c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
    return text;
}

// Whether the characters from `from` on spell key, each giving a beginning of one of its
// readings (an ASCII letter reads as itself).
bool spells(const std::string &key, const std::vector<std::string> &characters, size_t from)
{
    if (key.empty())
        return true;
    if (from == characters.size())
        return false;
    auto known = readingsOf.find(characters[from]);
    std::vector<std::string> readings = known != readingsOf.end() ? known->second
                                                                  : std::vector<std::string>{lowered(characters[from])};
    for (const std::string &reading : readings)
        for (size_t length = 1; length <= std::min(reading.size(), key.size()); length++)
            if (key.compare(0, length, reading, 0, length) == 0 && spells(key.substr(length), characters, from + 1))
                return true;
    return false;
}

// What the search shows, by brute force over the model: the query in a field from a
// character's start on (ASCII letters in any case), or spelled in pinyin by the name.
bool shownFor(const Entry &entry, const std::string &typed)
{
    std::vector<std::string> query = charactersOf(lowered(typed));
    for (const std::string *field : {&entry.name, &entry.number, &entry.remark}) {
        std::vector<std::string> text = charactersOf(lowered(*field));
        for (size_t at = 0; at + query.size() <= text.size(); at++)
            if (std::equal(query.begin(), query.end(), text.begin() + at))
                return true;
    }
    std::string key;
    for (char c : lowered(typed))
        if (c != ' ')
            key += c;
    bool letters = !key.empty() && std::all_of(key.begin(), key.end(), [](char c) { return c >= 'a' && c <= 'z'; });
    std::vector<std::string> name = charactersOf(entry.name);
    for (size_t from = 0; letters && from < name.size(); from++)
        if (spells(key, name, from))
            return true;
    return false;
}

// What reading a file written from entries gives back; a card needs a name or a number.
Entries readable(Entries entries, bool checkedOnly, bool keepRemark, bool cards = false)
{
    Entries kept;
    for (Entry &entry : entries) {
        entry.remark = keepRemark ? entry.remark : "";
        if ((checkedOnly && !entry.checked) || (entry.name + entry.number + (cards ? "" : entry.remark)).empty())
            continue;
        entry.checked = false;
        kept.push_back(entry);
    }
    return kept;
}

// A text line as the reader splits it: the line's blanks at both ends dropped, then name and
// number, each ended by a run of spaces or by a comma with spaces around it; the rest is the
// remark; each cut to its field. (Names and numbers here hold no separator.)
Entry splitTextLine(std::string line)
{
    auto cut = [](const std::string &text, size_t size) {
        char field[REMARK_SIZE];
        copyText(field, size, text.c_str());
        return std::string(field);
    };
    auto trim = [](std::string text) {
        text.erase(0, text.find_first_not_of(' '));
        text.erase(text.find_last_not_of(' ') + 1);
        return text;
    };
    std::string fields[2];
    line = trim(line);
    for (std::string &field : fields) {
        size_t end = std::min(line.find(' '), line.find(','));
        field = line.substr(0, end);
        line = end == std::string::npos ? "" : trim(line.substr(end));
        if (!line.empty() && line[0] == ',' && end != std::string::npos)
            line = trim(line.substr(1));
    }
    return {cut(fields[0], NAME_SIZE), cut(fields[1], NUMBER_SIZE), cut(line, REMARK_SIZE), false, 0};
}

// What a text file written from entries with separator gives back: with spaces, an empty
// name or number is no field at all.
Entries textReadBack(const Entries &entries, bool checkedOnly, char separator)
{
    Entries kept;
    for (const Entry &entry : readable(entries, checkedOnly, true))
        kept.push_back(splitTextLine(entry.name + separator + entry.number + separator + entry.remark));
    return kept;
}

// The records of a book file as they are on disk, read without the program's reader.
std::vector<std::string> bookOnDisk(const std::string &path)
{
    std::string bytes = readFileBytes(path);
    std::vector<std::string> lines;
    for (size_t at = 12; at + 72 <= bytes.size(); at += 72)
        lines.push_back(Entry{bytes.substr(at, 12).c_str(), bytes.substr(at + 12, 20).c_str(),
                              bytes.substr(at + 32, 40).c_str(), false, 0}.line());
    return lines;
}

std::vector<std::string> lines(const Entries &entries)
{
    std::vector<std::string> all;
    for (const Entry &entry : entries)
        all.push_back(entry.line());
    return all;
}

// The seeds to run: fixed ones, the one asked for, or one from the clock.
std::vector<unsigned> chosenSeeds()
{
    const char *asked = getenv("VOSTRELINA_SEED");
    if (asked == nullptr || *asked == '\0')
        return {1, 2, 3, 4};
    return {strcmp(asked, "time") == 0 ? (unsigned)time(nullptr) : (unsigned)strtoul(asked, nullptr, 10)};
}

class ModelRunTest : public ProgramTest, public ::testing::WithParamInterface<unsigned> {
protected:
    std::mt19937 random;
    Entries model;
    std::string boxQuery;   // the search box's text
    std::string shownQuery; // the query the rows were last filled with
    int selectedId = -1, focusedId = -1; // the contacts of the selected and the focused row
    int hiddenId = -1;                   // the contact selected until a search hid it
    int top = 0;                         // the row at the top of the list
    int page = 0;                        // how many rows the list shows whole
    int nextId = 1;
    std::string currentPath;
    std::map<std::string, std::pair<Format, Entries>> written; // a file, and what it gives back
    int fileNumber = 0;
    TempDir dir;

    int pick(size_t count) { return (int)(random() % count); }
    int either(int menuCommand, int toolbarCommand) { return pick(2) ? menuCommand : toolbarCommand; }
    template <size_t N> std::string pickFrom(const char *const (&pool)[N]) { return pool[pick(N)]; }
    // A new file in a folder whose name has a full stop; length pads the path to that many
    // bytes.
    std::string newPath(const char *extension, size_t length = 0)
    {
        std::string path = dir.path("wang.wei") + "\\通讯录" + std::to_string(++fileNumber);
        size_t bytes = path.size() + strlen(extension);
        return path + std::string(length > bytes ? length - bytes : 0, 'c') + extension;
    }

    // Appends entries read from a file: contacts of their own.
    void append(const Entries &entries)
    {
        for (Entry entry : entries) {
            entry.id = nextId++;
            model.push_back(entry);
        }
    }

    std::vector<int> shownIndexes() const
    {
        std::vector<int> shown;
        for (size_t i = 0; i < model.size(); i++)
            if (shownFor(model[i], shownQuery))
                shown.push_back((int)i);
        return shown;
    }

    int rowOf(int id) const
    {
        std::vector<int> shown = shownIndexes();
        for (size_t row = 0; row < shown.size(); row++)
            if (model[shown[row]].id == id)
                return (int)row;
        return -1;
    }

    // What the program does to the selection and the scroll position, as the model sees it.
    void scrollTo(int row) { top = std::max(0, std::min(row, (int)shownIndexes().size() - page)); }
    void scrollIntoView(int row) { scrollTo(row < top ? row : row >= top + page ? row - page + 1 : top); }
    // The rows filled anew: the selected contact stays selected, in view, while it has a row.
    void refill(const std::string &query)
    {
        shownQuery = query;
        hiddenId = -1;
        if (rowOf(selectedId) < 0)
            selectedId = -1;
        focusedId = selectedId;
        scrollTo(top);
        if (selectedId >= 0)
            scrollIntoView(rowOf(selectedId));
    }
    // The rows of a search from the top; the selected contact, or the one a search hid,
    // selected and in view while it matches.
    void showSearch(const std::string &query)
    {
        int wanted = selectedId >= 0 ? selectedId : hiddenId;
        shownQuery = query;
        selectedId = focusedId = rowOf(wanted) >= 0 ? wanted : -1;
        hiddenId = selectedId < 0 ? wanted : -1;
        scrollTo(0);
        if (selectedId >= 0)
            scrollIntoView(rowOf(selectedId));
    }
    void showRow(int row)
    {
        std::vector<int> shown = shownIndexes();
        row = std::min(row, (int)shown.size() - 1);
        selectedId = focusedId = row >= 0 ? model[shown[row]].id : -1;
        if (row < 0)
            scrollTo(0);
        else
            scrollIntoView(row);
    }
    void refillAfterRemoval(const std::string &query, int selectedBefore)
    {
        refill(query);
        if (selectedId < 0 && selectedBefore >= 0 && !shownIndexes().empty())
            showRow(selectedBefore);
    }
    // After the test's own clicks and keys, the selection and the scrolling are the list's.
    void takeListState()
    {
        std::vector<int> shown = shownIndexes();
        int selected = (int)SendMessageA(listView, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
        int focused = (int)SendMessageA(listView, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
        selectedId = selected >= 0 ? model[shown[selected]].id : -1;
        focusedId = focused >= 0 ? model[shown[focused]].id : -1;
        top = (int)SendMessageA(listView, LVM_GETTOPINDEX, 0, 0);
    }

    // Selects a random row, or none now and then, and now and then focuses another row: the
    // commands act on the selected one. The row, or -1.
    int selectRandomRow()
    {
        size_t rows = shownIndexes().size();
        int row = rows == 0 || pick(10) == 0 ? -1 : pick(rows);
        selectAndFocus(row, row >= 0 && pick(4) == 0 ? pick(rows) : row);
        takeListState();
        return row;
    }

    const std::string *pickWritten(Format format)
    {
        std::vector<const std::string *> paths;
        for (const auto &file : written)
            if (file.second.first == format)
                paths.push_back(&file.first);
        return paths.empty() ? nullptr : paths[pick(paths.size())];
    }

    // Adds a contact, or edits the selected one (nothing opens without a selection); the
    // search box is emptied (the rows start at the top again) and the contact shown.
    void stepAddOrEdit()
    {
        bool editing = pick(3) == 0;
        std::vector<int> shown = shownIndexes();
        int row = editing ? selectRandomRow() : -1;
        if (editing && row < 0)
            return runCommand(either(IDM_ITEM_EDIT, IDT_ITEM_EDIT));
        Entry entry = {pickFrom(names), pickFrom(numbers), pickFrom(remarks), editing && model[shown[row]].checked,
                       editing ? model[shown[row]].id : nextId++};
        bool confirm = pick(5) != 0;
        int overlong = pick(8) == 0 ? pick(3) : -1; // a field given more than it holds first
        respond([=](HWND dialog) {
            SendMessageA(dialog, WM_COMMAND, IDOK, 0);
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            EXPECT_TRUE(IsWindowVisible(dialog)) << "Enter and Escape leave the dialog open";
            if (overlong >= 0) {
                HWND box = GetDlgItem(dialog, IDC_CONTACT_NAME + overlong); // name, number, remark
                SetWindowTextA(box, overlongTexts[overlong]);
                SendMessageA(dialog, WM_COMMAND, IDC_CONTACT_OK, 0); // the warning is answered
                EXPECT_EQ(overlongTexts[overlong], windowText(box)) << "nothing is cut";
                EXPECT_FALSE(IsWindowEnabled(mainWindow)) << "the warning leaves the window locked";
            }
            fillContact(entry.name.c_str(), entry.number.c_str(), entry.remark.c_str(),
                        confirm ? IDC_CONTACT_OK : IDC_CONTACT_CANCEL)(dialog);
        });
        if (overlong >= 0)
            respond(answer(IDOK, editing ? "编辑" : "添加", overlongWarnings[overlong]));
        runCommand(editing ? either(IDM_ITEM_EDIT, IDT_ITEM_EDIT) : either(IDM_ITEM_ADD, IDT_ITEM_ADD));
        if (!confirm)
            return;
        (editing ? model[shown[row]] : (model.emplace_back(), model.back())) = entry;
        if (!boxQuery.empty()) {
            boxQuery = "";
            hiddenId = editing ? hiddenId : -1; // a contact added changes the list
            showSearch("");
        }
        refill("");
        showRow(rowOf(entry.id));
    }

    // After a delete the row that took the contact's place is selected.
    void stepDelete()
    {
        std::vector<int> shown = shownIndexes();
        int row = selectRandomRow();
        if (row < 0) {
            respond(answer(IDOK, "注意", "请选择一项！"));
            return runCommand(either(IDM_ITEM_DELETE, IDT_ITEM_DELETE));
        }
        bool confirm = pick(4) != 0;
        respond(answer(confirm ? IDYES : IDNO, "删除",
                       "你选择删除项目：\n姓名：" + model[shown[row]].name + "\n点击“是”确认删除。"));
        runCommand(either(IDM_ITEM_DELETE, IDT_ITEM_DELETE));
        if (confirm) {
            model.erase(model.begin() + shown[row]);
            refillAfterRemoval(boxQuery, row);
        }
    }

    // With nothing ticked, shown or hidden, the user is told so and asked nothing.
    void stepDeleteChecked()
    {
        auto ticked = [](const Entry &entry) { return entry.checked; };
        bool confirm = pick(3) != 0;
        if (std::none_of(model.begin(), model.end(), ticked)) {
            respond(answer(IDOK, "删除", "没有选中的联系人！"));
            return runCommand(either(IDM_ITEM_DELETE_CHECKED, IDT_ITEM_DELETE_CHECKED));
        }
        respond(answer(confirm ? IDYES : IDNO, "删除", "删除所有选中条目，点击“是”确认删除操作。"));
        if (confirm)
            respond(answer(IDOK, "删除", "选中项已经删除完毕！"));
        runCommand(either(IDM_ITEM_DELETE_CHECKED, IDT_ITEM_DELETE_CHECKED));
        if (confirm) {
            refill(boxQuery);
            int row = rowOf(selectedId);
            model.erase(std::remove_if(model.begin(), model.end(), ticked), model.end());
            refillAfterRemoval(boxQuery, row);
        }
    }

    // A click on a row's box, or Space, ticks or clears the contact of its row (Space's the
    // focused row, now and then not the selected one), also under a search, where a row's
    // index is not its contact's place; a click on its text does not.
    void stepTick()
    {
        std::vector<int> shown = shownIndexes();
        if (shown.empty())
            return;
        int row = pick(shown.size());
        int way = pick(4);
        if (way == 0) {
            clickRow(row, LVHT_ONITEMLABEL);
        } else if (way == 1) {
            selectAndFocus(pick(3) == 0 ? pick(shown.size()) : row, row);
            SendMessageA(listView, WM_KEYDOWN, VK_SPACE, 0);
        } else {
            clickRow(row, LVHT_ONITEMSTATEICON);
        }
        if (way != 0)
            model[shown[row]].checked = !model[shown[row]].checked;
        takeListState();
    }

    // The rows start at the top again; the selected contact stays selected, in view, while it
    // matches, and comes back when a later search shows it again.
    void stepSearch()
    {
        boxQuery = pickFrom(queries);
        SetWindowTextA(searchBox, boxQuery.c_str()); // the box reports it as typing
        showSearch(boxQuery);
    }

    // A move works only on the unfiltered list; the first moves nowhere up, the last nowhere
    // down. The selection goes with the contact.
    void stepMove()
    {
        std::vector<int> shown = shownIndexes();
        int row = selectRandomRow();
        bool up = pick(2) != 0;
        runCommand(up ? either(IDM_ITEM_MOVE_UP, IDT_ITEM_MOVE_UP) : either(IDM_ITEM_MOVE_DOWN, IDT_ITEM_MOVE_DOWN));
        if (row < 0 || !boxQuery.empty())
            return;
        int to = std::max(0, std::min((int)model.size() - 1, shown[row] + (up ? -1 : 1)));
        std::swap(model[shown[row]], model[to]);
        refill("");
        showRow(to);
    }

    void stepNew()
    {
        bool confirm = pick(2) != 0;
        respond(answer(confirm ? IDYES : IDNO, "新建", "新建文件将会清除为保存的数据，继续请点击“是”"));
        runCommand(either(IDM_FILE_NEW, IDT_FILE_NEW));
        if (confirm) {
            model.clear();
            currentPath = "";
            refill(boxQuery);
            showRow(-1);
        }
    }

    // Saves, through the chooser when the book has no file yet or for Save As (cancelled now and
    // then, given a path longer than the program keeps, typed without its extension, over a
    // book saved before), and checks the file's records on disk. Over a book, the system asks
    // about a name typed whole (answered Yes: No would keep its chooser open), the program
    // about a name its extension completed. Now and then another program holds the file: the
    // save fails and the book keeps its file and the file its records.
    void stepSave()
    {
        bool as = pick(4) == 0;
        int command = as ? IDM_FILE_SAVE_AS : either(IDM_FILE_SAVE, IDT_FILE_SAVE);
        const char *title = as ? "另存为..." : "新建文件";
        std::string path = currentPath;
        if (as || currentPath.empty()) {
            int choice = pick(10);
            std::string folder = dir.path("wang.wei\\");
            if (choice <= 1) { // 258 bytes, or 252 that the extension takes past 255
                std::string tooLong = pick(2) ? folder + std::string(254 - folder.size(), 'a') + ".ctb"
                                              : folder + std::string(252 - folder.size(), 'b');
                respond(choice == 0 ? pressButton(IDCANCEL) : chooseFileNamed(tooLong));
                if (choice == 1)
                    respond(answer(IDOK, title, "路径太长！"));
                return runCommand(command);
            }
            const std::string *existing = pick(4) == 0 ? pickWritten(BOOK) : nullptr;
            path = existing != nullptr ? *existing : newPath(".ctb", pick(8) == 0 ? 255 : 0);
            bool typeExtension = pick(2) != 0;
            respond(chooseFileNamed(typeExtension ? path : path.substr(0, path.size() - 4)));
            bool replace = existing == nullptr || typeExtension || pick(2) != 0;
            if (existing != nullptr)
                respond(typeExtension ? pressButton(IDYES)
                                      : answer(replace ? IDYES : IDNO, title, "文件已存在，是否替换？"));
            if (!replace)
                return runCommand(command);
        }
        if (written.count(path) != 0 && pick(6) == 0) {
            HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            respond(answer(IDOK, "保存", "文件保存失败！\n请检查您的路径名是否正确或者磁盘空间是否充足。\n\n" + path));
            runCommand(command);
            CloseHandle(held);
            EXPECT_EQ(lines(written[path].second), bookOnDisk(path)) << "a failed save keeps the file";
            return;
        }
        respond(answer(IDOK, "保存", "文件保存！"));
        runCommand(command);
        currentPath = path;
        Entries saved = model;
        for (Entry &entry : saved)
            entry.checked = false;
        written[path] = {BOOK, saved};
        EXPECT_EQ(lines(saved), bookOnDisk(path)) << "the file holds the list";
    }

    // Opens a saved book, or now and then one the program refuses, which leaves the book as it
    // was; cancelled now and then.
    void stepOpen()
    {
        static const std::string refused[] = {
            "garbage file", std::string("\x33\x0A\x03\x00\x01\x00\x00\x00\xFF\xFF\xFF\xFF", 12),
            std::string("\x33\x0A\x03\x00\x09\x00\x00\x00\x00\x00\x00\x00", 12),
            std::string("\x33\x0A\x03\x00\x01\x00\x00\x00\x02\x00\x00\x00", 12) + std::string(72, 'a')};
        const std::string *path = pickWritten(BOOK);
        if (path == nullptr || pick(8) == 0) {
            respond(pressButton(IDCANCEL));
            return runCommand(either(IDM_FILE_OPEN, IDT_FILE_OPEN));
        }
        if (pick(5) == 0) {
            int kind = pick(4);
            std::string bad = newPath(".ctb");
            writeFileBytes(bad, refused[kind]);
            char message[1024];
            formatLoadMessage(message, sizeof message, (LoadResult)(LOAD_BAD_MAGIC + kind), bad.c_str());
            respond(chooseFileNamed(bad));
            respond(answer(IDOK, "错误", message));
            hiddenId = -1; // the book was put aside while the file was read, and back
            return runCommand(either(IDM_FILE_OPEN, IDT_FILE_OPEN));
        }
        respond(chooseFileNamed(*path));
        runCommand(either(IDM_FILE_OPEN, IDT_FILE_OPEN));
        model.clear();
        append(written[*path].second);
        currentPath = *path;
        refill("");
        showRow(-1);
    }

    // The dialog stays open, the window behind it locked, for a better path than an empty
    // one, one longer than the program keeps or a file the user will not replace.
    void stepExportText()
    {
        const char *caption = "生成*.txt文件";
        const std::string *existing = pickWritten(TEXT);
        bool replacing = existing != nullptr && pick(3) == 0;
        std::string path = replacing ? *existing : newPath(".txt");
        std::vector<std::string> typed; // refused paths first, then the one written
        std::vector<Responder> answers; // to each refusal, then to the question to replace
        if (pick(5) == 0) {
            bool empty = pick(2) != 0;
            typed.push_back(empty ? "" : newPath(".txt", 300));
            answers.push_back(empty ? answer(IDOK, "警告", "生成TXT文件失败！\n请检查您的路径名是否正确或者内存是否充足。")
                                    : answer(IDOK, caption, "路径太长！"));
        }
        typed.push_back(path);
        if (replacing) { // the user keeps the file once, then replaces it
            typed.push_back(path);
            answers.push_back(answer(IDNO, caption, "文件已存在，是否替换？"));
            answers.push_back(answer(IDYES, caption, "文件已存在，是否替换？"));
        }
        int separator = pick(2);
        bool header = pick(2) != 0;
        bool checkedOnly = pick(2) != 0;
        respond([=](HWND dialog) {
            EXPECT_EQ(1, SendDlgItemMessageA(dialog, IDC_TEXT_SEPARATOR, CB_GETCURSEL, 0, 0)) << "a comma";
            SendDlgItemMessageA(dialog, IDC_TEXT_SEPARATOR, CB_SETCURSEL, separator, 0);
            CheckDlgButton(dialog, IDC_TEXT_HEADER, header ? BST_CHECKED : BST_UNCHECKED);
            CheckDlgButton(dialog, IDC_TEXT_CHECKED_ONLY, checkedOnly ? BST_CHECKED : BST_UNCHECKED);
            for (const std::string &attempt : typed) {
                SetDlgItemTextA(dialog, IDC_TEXT_PATH, attempt.c_str());
                SendMessageA(dialog, WM_COMMAND, IDOK, 0); // a refusal is answered meanwhile
                bool refused = &attempt != &typed.back();
                EXPECT_TRUE(!refused || (IsWindowVisible(dialog) && !IsWindowEnabled(mainWindow))) << attempt;
            }
        });
        for (const Responder &reply : answers)
            respond(reply);
        respond(answer(IDOK, "生成txt", "生成TXT文件到目录：\n" + path));
        runCommand(IDM_EXPORT_TXT);
        std::string headerLine = separator ? "姓名,号码,备注\r\n" : "姓名 号码 备注\r\n";
        EXPECT_EQ(header, readFileBytes(path).rfind(headerLine, 0) == 0) << "the chosen separator";
        written[path] = {TEXT, textReadBack(model, checkedOnly, separator ? ',' : ' ')};
        refill(boxQuery);
    }

    void stepExportCsv()
    {
        std::string path = newPath(".csv");
        int button = std::vector<int>{IDYES, IDNO, IDCANCEL}[pick(3)];
        respond(chooseFileNamed(path));
        respond(answer(button, "生成CSV", "请选择输出的项目：\n点击“是”输出所有项，“否”输出选中项"));
        if (button != IDCANCEL)
            respond(answer(IDOK, "CSV", "生成CSV文件成功！"));
        runCommand(IDM_EXPORT_CSV);
        if (button != IDCANCEL)
            written[path] = {CSV, readable(model, button == IDNO, true)};
        EXPECT_EQ(button != IDCANCEL, GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            << "a cancelled export writes nothing";
    }

    // One file of every contact, or a folder of a file each.
    void stepExportVCard()
    {
        bool folder = pick(3) == 0;
        int command = folder ? IDM_EXPORT_VCF_FOLDER : IDM_EXPORT_VCF;
        if (model.empty()) {
            respond(answer(IDOK, "生成vcf文件", "没有通讯录成员！"));
            return runCommand(command);
        }
        std::string path = newPath(folder ? "" : ".vcf");
        bool missing = folder && pick(5) == 0; // no folder there: no file can be written
        if (folder && !missing)
            CreateDirectoryA(path.c_str(), nullptr);
        respond(folder ? typeFolder(path) : chooseFileNamed(path));
        respond(answer(IDOK, "生成vcf", missing ? "生成vcf文件执行完毕，但有" + std::to_string(model.size()) +
                                                      "个联系人的文件无法生成！"
                                                : "生成vcf文件执行完毕！"));
        runCommand(command);
        if (folder && !missing) // a card in a file of another kind is no card to import
            writeFileBytes(path + "\\notes.txt", "BEGIN:VCARD\r\nN:;Stray;;;\r\nEND:VCARD\r\n");
        if (!missing)
            written[path] = {folder ? VCARD_FOLDER : VCARD, readable(model, false, true, true)};
    }

    // Imports keep the list short enough to check every row after every step.
    enum { IMPORT_LIMIT = 40 };

    void stepImport()
    {
        Format format = Format(pick(3));
        const std::string *path = pickWritten(format);
        if (path == nullptr || model.size() > IMPORT_LIMIT)
            return;
        Entries entries = written[*path].second;
        respond(chooseFileNamed(*path));
        bool confirm = true; // a cancelled column dialog changes nothing, the rows included
        if (format == CSV) {
            bool withRemark = pick(2) != 0;
            confirm = pick(6) != 0;
            respond([withRemark, confirm](HWND dialog) {
                SendDlgItemMessageA(dialog, IDC_CSV_REMARK, CB_SETCURSEL, withRemark ? 3 : 0, 0);
                SendMessageA(dialog, WM_COMMAND, confirm ? IDOK : IDCANCEL, 0);
            });
            entries = confirm ? readable(entries, false, withRemark) : Entries();
        }
        const char *captions[] = {"导入txt", "导入CSV文件", "导入vcf"};
        if (confirm && entries.empty())
            respond(answer(IDOK, captions[format], "文件中没有找到联系人！"));
        runCommand(std::vector<int>{IDM_IMPORT_TXT, IDM_IMPORT_CSV, IDM_IMPORT_VCF}[format]);
        if (!confirm)
            return;
        size_t before = model.size();
        append(entries);
        refill(""); // every contact, whatever the search box holds; the first new one in view
        if (!entries.empty())
            showRow((int)before);
    }

    // The system lists a folder's files in its own order: the appended records must be the
    // exported ones in some order, which the model then takes over. Now and then the folder
    // holds nothing to import, and the user is told why.
    void stepImportFolder()
    {
        const std::string *folder = pickWritten(VCARD_FOLDER);
        if (folder == nullptr || model.size() > IMPORT_LIMIT || pick(4) == 0) {
            int kind = pick(3); // a folder that is not there, a file, a folder without cards
            const std::string *file = pickWritten(TEXT);
            std::string named = kind == 1 && file != nullptr ? *file : newPath("");
            if (kind == 2)
                CreateDirectoryA(named.c_str(), nullptr);
            respond(typeFolder(named));
            respond(answer(IDOK, "批量导入vcf", kind == 2 ? "文件夹中没有vcf文件！" : "路径不存在！"));
            runCommand(IDM_IMPORT_VCF_FOLDER);
            refill("");
            return;
        }
        respond(typeFolder(*folder));
        runCommand(IDM_IMPORT_VCF_FOLDER);
        size_t before = model.size(), index = 0;
        for (const Contact *c = firstContact; c != nullptr; c = c->next, index++)
            if (index >= before)
                model.push_back({c->name, c->number, c->remark, c->checked == 1, nextId++});
        std::vector<std::string> appended = lines(Entries(model.begin() + before, model.end()));
        std::vector<std::string> expected = lines(written[*folder].second);
        std::sort(appended.begin(), appended.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, appended) << "the folder's cards in any order";
        refill("");
        if (model.size() > before)
            showRow((int)before);
    }

    // The first difference between the program and the model, or nothing.
    std::string mismatch()
    {
        if (contactLines() != lines(model) || contactCount != (int)model.size())
            return "list " + ::testing::PrintToString(contactLines()) + " of " +
                   std::to_string(contactCount) + "\nmodel " + ::testing::PrintToString(lines(model));
        std::vector<std::string> rows;
        size_t index = 0;
        for (const Contact *c = firstContact; c != nullptr; c = c->next, index++) {
            bool shown = shownFor(model[index], shownQuery);
            if ((c->shown == 1) != shown)
                return "shown flag of " + model[index].line() + " for \"" + shownQuery + "\"";
            if (shown)
                rows.push_back(model[index].line());
        }
        if (listRows() != rows)
            return "rows differ from the list filtered by \"" + shownQuery + "\"";
        if (windowText(searchBox) != boxQuery)
            return "search box holds \"" + windowText(searchBox) + "\"";
        int selected = (int)SendMessageA(listView, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
        int focused = (int)SendMessageA(listView, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
        if (selected != rowOf(selectedId) || focused != rowOf(focusedId))
            return "selected row " + std::to_string(selected) + ", focused " + std::to_string(focused) +
                   "; the model's " + std::to_string(rowOf(selectedId)) + ", " + std::to_string(rowOf(focusedId));
        int listTop = (int)SendMessageA(listView, LVM_GETTOPINDEX, 0, 0);
        if (listTop != top)
            return "top row " + std::to_string(listTop) + ", the model's " + std::to_string(top);
        std::string caption = currentPath.empty() ? "新文件" : "\"" + currentPath + "\"";
        if (windowText(window) != "Vostrelina v1.0 - " + caption)
            return "caption " + windowText(window);
        return "";
    }

    void runSteps(unsigned count)
    {
        static const struct {
            const char *name;
            int weight;
            bool chooser; // opens the system's file chooser
            void (ModelRunTest::*run)();
        } steps[] = {
            {"add or edit", 20, false, &ModelRunTest::stepAddOrEdit},
            {"delete", 6, false, &ModelRunTest::stepDelete},
            {"delete checked", 2, false, &ModelRunTest::stepDeleteChecked},
            {"tick", 14, false, &ModelRunTest::stepTick},
            {"search", 12, false, &ModelRunTest::stepSearch},
            {"move", 8, false, &ModelRunTest::stepMove},
            {"new", 1, false, &ModelRunTest::stepNew},
            {"save", 4, true, &ModelRunTest::stepSave},
            {"open", 3, true, &ModelRunTest::stepOpen},
            {"export text", 2, false, &ModelRunTest::stepExportText},
            {"export csv", 2, true, &ModelRunTest::stepExportCsv},
            {"export vcard", 3, true, &ModelRunTest::stepExportVCard},
            {"import", 6, true, &ModelRunTest::stepImport},
            {"import vcard folder", 1, false, &ModelRunTest::stepImportFolder},
        };
        // Where the system's chooser never appears (32-bit Wine under emulation), the run
        // keeps to the commands without it.
        bool chooser = getenv("VOSTRELINA_NO_CHOOSER") == nullptr;
        int weights[countOf(steps)], total = 0;
        for (size_t i = 0; i < countOf(steps); i++)
            total += weights[i] = chooser || !steps[i].chooser ? steps[i].weight : 0;
        const char *last = "nothing";
        for (unsigned n = 1; n <= count; n++) {
            int roll = pick(total);
            size_t chosen = 0;
            while (roll >= weights[chosen])
                roll -= weights[chosen++];
            (this->*steps[chosen].run)();
            ASSERT_EQ("", mismatch()) << "seed " << GetParam() << ", step " << n << " ("
                                      << steps[chosen].name << "), after " << last;
            ASSERT_FALSE(HasFailure()) << "seed " << GetParam() << ", step " << n << " ("
                                       << steps[chosen].name << ")";
            last = steps[chosen].name;
        }
    }
};

} // namespace

TEST_P(ModelRunTest, RandomCommandsKeepTheListTheModelPredicts)
{
    printf("model run: seed %u (VOSTRELINA_SEED=%u repeats it)\n", GetParam(), GetParam());
    fflush(stdout);
    random.seed(GetParam());
    page = (int)SendMessageA(listView, LVM_GETCOUNTPERPAGE, 0, 0);
    CreateDirectoryA(dir.path("wang.wei").c_str(), nullptr);
    const char *steps = getenv("VOSTRELINA_STEPS");
    runSteps(steps != nullptr && *steps != '\0' ? (unsigned)atoi(steps)
             : chosenSeeds().size() == 1 ? 2000 : 500);
}

INSTANTIATE_TEST_SUITE_P(Seeds, ModelRunTest, ::testing::ValuesIn(chosenSeeds()));
