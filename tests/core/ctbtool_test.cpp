// ctbtool as a user runs it: output in UTF-8, exit codes that scripts can act on.
#include "tools/ctbtool.h"

#include "bookfile/book_file.h"
#include "common/text.h"
#include "store/contact_list.h"
#include "tests/support/contacts.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

struct ToolRun {
    int code;
    std::string out;
    std::string err;
};

static std::string drain(FILE *stream)
{
    std::string text;
    rewind(stream);
    int c;
    while ((c = fgetc(stream)) != EOF)
        text += (char)c;
    fclose(stream);
    return text;
}

static ToolRun runTool(std::vector<std::string> args)
{
    args.insert(args.begin(), "ctbtool");
    std::vector<char *> argv;
    for (std::string &arg : args)
        argv.push_back(&arg[0]);
    FILE *out = tmpfile();
    FILE *err = tmpfile();
    ToolRun run;
    run.code = runCtbtool((int)argv.size(), argv.data(), out, err);
    run.out = drain(out);
    run.err = drain(err);
    return run;
}

class CtbtoolTest : public ::testing::Test {
protected:
    // Saves contacts ({name, number, remark} each) as book.ctb and leaves the list empty.
    std::string saveContacts(std::initializer_list<std::array<const char *, 3>> contacts)
    {
        clearContacts();
        for (const auto &contact : contacts)
            addContact(contact[0], contact[1], contact[2]);
        std::string book = dir.path("book.ctb");
        EXPECT_EQ(1, saveBook(book.c_str()));
        clearContacts();
        return book;
    }
    TempDir dir;
};

TEST_F(CtbtoolTest, DumpPrintsOneUtf8LinePerContact)
{
    std::string book = saveContacts({{"张三", "13800000000", "同事"}, {"Li Lei", "", ""}});

    ToolRun run = runTool({"dump", book});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_EQ("\xE5\xBC\xA0\xE4\xB8\x89\t13800000000\t\xE5\x90\x8C\xE4\xBA\x8B\nLi Lei\t\t\n",
              run.out);
    EXPECT_EQ(0, contactCount) << "the tool leaves no contacts behind";
}

// What the readers make of files as phones, mail programs and people write them, and of
// every odd form they take: the sample files in tests/data, each dumped as dumps.txt says (a
// line "== FILE" starts the lines the tool prints for that file).
TEST(CtbtoolDumps, EverySampleFileReadsAsItsDumpSays)
{
    std::string dumps = readFileBytes(std::string(TEST_DATA_DIR) + "/dumps.txt");
    ASSERT_EQ(0u, dumps.find("== "));
    for (size_t at = 0; at < dumps.size();) {
        size_t nameEnd = dumps.find('\n', at);
        size_t next = std::min(dumps.find("\n== ", nameEnd), dumps.size() - 1) + 1;
        std::string file = dumps.substr(at + 3, nameEnd - at - 3);
        ToolRun run = runTool({"dump", std::string(TEST_DATA_DIR) + "/" + file});
        EXPECT_EQ(dumps.substr(nameEnd + 1, next - nameEnd - 1), run.out) << file;
        at = next;
    }
}

TEST_F(CtbtoolTest, FindPrintsWhatTheQuickSearchShows)
{
    std::string book = saveContacts({{"张三", "13800000000", ""},
                                     {"aaab", "1110", ""},
                                     {"Bob", "555", "张三的朋友"},
                                     {"?", "-1", ""}});
    struct {
        const char *query;
        const char *lines;
    } cases[] = {
        {"\xE5\xBC\xA0", "\xE5\xBC\xA0\xE4\xB8\x89\t13800000000\t\nBob\t555\t"
                         "\xE5\xBC\xA0\xE4\xB8\x89\xE7\x9A\x84\xE6\x9C\x8B\xE5\x8F\x8B\n"}, // 张, in UTF-8
        {"zs", "\xE5\xBC\xA0\xE4\xB8\x89\t13800000000\t\n"},                  // pinyin
        {"aab", "aaab\t1110\t\n"},
        {"1", "\xE5\xBC\xA0\xE4\xB8\x89\t13800000000\t\naaab\t1110\t\n?\t-1\t\n"},
        {"", "\xE5\xBC\xA0\xE4\xB8\x89\t13800000000\t\naaab\t1110\t\nBob\t555\t"
             "\xE5\xBC\xA0\xE4\xB8\x89\xE7\x9A\x84\xE6\x9C\x8B\xE5\x8F\x8B\n?\t-1\t\n"},
        {"Bob555", ""},
        {"\xF0\x9F\x98\x80", ""}, // an emoji the code page lacks matches nothing
        {"\xED\x95\x9C", ""},     // so does Hangul
        {"?", "?\t-1\t\n"},
        {"-1", "?\t-1\t\n"},      // after "--"
    };
    for (const auto &c : cases) {
        ToolRun run = runTool({"find", "--", c.query, book});
        EXPECT_EQ(0, run.code) << c.query;
        EXPECT_EQ(c.lines, run.out) << c.query;
    }
}

TEST_F(CtbtoolTest, RefusedFilesExitWithTheirLoadResult)
{
    std::string book = dir.path("bad.ctb");
    struct {
        std::string bytes;
        int code;
    } cases[] = {
        {"not a book", 2},
        {std::string("\x33\x0A\x03\x00\x01\x00\x00\x00\xFF\xFF\xFF\xFF", 12), 3},
        {std::string("\x33\x0A\x03\x00\x02\x00\x00\x00\x00\x00\x00\x00", 12), 4},
        {std::string("\x33\x0A\x03\x00\x01\x00\x00\x00\x01\x00\x00\x00", 12), 5},
    };
    for (const auto &c : cases) {
        writeFileBytes(book, c.bytes);
        ToolRun run = runTool({"dump", book});
        EXPECT_EQ(c.code, run.code);
        EXPECT_EQ("", run.out);
        // "文件路径：" in UTF-8, then the path and the code in parentheses.
        EXPECT_EQ(0u, run.err.find("\xE6\x96\x87\xE4\xBB\xB6\xE8\xB7\xAF\xE5\xBE\x84\xEF\xBC\x9A" + book))
            << run.err;
        EXPECT_NE(std::string::npos, run.err.find("(" + std::to_string(c.code) + ")"));
    }
}

TEST_F(CtbtoolTest, ConvertsBetweenBooksVCardFilesAndFolders)
{
    std::string book = saveContacts({{"张三", "13800000000", ""}, {"Li Lei", "555", ""}});

    std::string cards = dir.path("phone.vcf");
    EXPECT_EQ(0, runTool({"convert", book, cards}).code);
    std::string expected = "\xE5\xBC\xA0\xE4\xB8\x89\t13800000000\t\nLi Lei\t555\t\n";
    EXPECT_EQ(expected, runTool({"dump", cards}).out);

    std::string again = dir.path("again.ctb");
    EXPECT_EQ(0, runTool({"convert", cards, again}).code);
    EXPECT_EQ(expected, runTool({"dump", again}).out);

    TempDir folder;
    EXPECT_EQ(0, runTool({"convert", book, folder.path("")}).code);
    EXPECT_EQ("Li Lei.vcf 张三.vcf", folder.listing());

    EXPECT_EQ(7, runTool({"convert", book, dir.path("no-folder/x.vcf")}).code);
    const std::string before = readFileBytes(again);
    std::filesystem::create_directory(dir.path("folder.vcf"));
    for (const std::string &input : {dir.path("missing.vcf"), dir.path("missing.txt"),
                                     dir.path("missing.csv"), dir.path("folder.vcf")}) {
        EXPECT_EQ(6, runTool({"convert", input, again}).code) << input;
        EXPECT_EQ(before, readFileBytes(again)) << input << ": nothing is written";
    }
    EXPECT_EQ(1, runTool({"convert", book, dir.path("out.doc")}).code);
}

TEST_F(CtbtoolTest, MissingFileAndWrongUsage)
{
    EXPECT_EQ(6, runTool({"dump", dir.path("missing.ctb")}).code);
    EXPECT_EQ(1, runTool({}).code);
    EXPECT_EQ(1, runTool({"dump"}).code);
    EXPECT_EQ(1, runTool({"find", "x"}).code);
    EXPECT_EQ(1, runTool({"frob", "x.ctb"}).code);
    EXPECT_EQ(1, runTool({"dump", dir.path("notes.doc")}).code);
    ToolRun usage = runTool({"help"});
    EXPECT_NE(std::string::npos, usage.err.find("ctbtool dump"));
}
