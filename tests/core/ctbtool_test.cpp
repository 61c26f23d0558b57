// ctbtool as a user runs it: output in UTF-8, exit codes that scripts can act on.
#include "tools/ctbtool.h"

#include "bookfile/book_file.h"
#include "common/file_io.h"
#include "common/text.h"
#include "store/contact_list.h"
#include "tests/support/contacts.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
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
    for (int c; (c = fgetc(stream)) != EOF;)
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
    // Not tmpfile(): under Wine it now and then gives no file while another test program runs.
    TempDir dir;
    FILE *out = fopen(dir.path("out").c_str(), "w+b");
    FILE *err = fopen(dir.path("err").c_str(), "w+b");
    ToolRun run = {-1, "", ""};
    if (out == nullptr || err == nullptr) {
        ADD_FAILURE() << "no file for the tool's output";
        return run;
    }
    run.code = runCtbtool((int)argv.size(), argv.data(), out, err);
    run.out = drain(out);
    run.err = drain(err);
    return run;
}

// One run of the tool on the sample files, and what it must print.
struct SampleRun {
    std::vector<std::string> arguments;
    std::string expected;
};

// What the readers and the search make of files as phones, mail programs and people write
// them, in every odd form they take, and what the tool says of files it refuses:
// tests/data/dumps.txt holds the tool's runs on the sample files there. A line "== ARGUMENTS"
// (split at spaces, paths from tests/data) starts what the tool must print, its output, then
// after a line "-- errors" its error stream, and "exit N" ends a run that fails.
static std::vector<SampleRun> sampleRuns()
{
    std::string dumps = readFileBytes(std::string(TEST_DATA_DIR) + "/dumps.txt");
    std::vector<SampleRun> runs;
    for (size_t at = dumps.find("== "); at < dumps.size();) {
        size_t argumentsEnd = dumps.find('\n', at);
        size_t next = std::min(dumps.find("\n== ", argumentsEnd), dumps.size() - 1) + 1;
        SampleRun run;
        std::istringstream words(dumps.substr(at + 3, argumentsEnd - at - 3));
        for (std::string word; words >> word;)
            run.arguments.push_back(word);
        run.expected = dumps.substr(argumentsEnd + 1, next - argumentsEnd - 1);
        runs.push_back(run);
        at = next;
    }
    return runs;
}

class CtbtoolDumps : public ::testing::TestWithParam<SampleRun> {};

TEST_P(CtbtoolDumps, PrintsWhatTheSampleSays)
{
    std::filesystem::path started = std::filesystem::current_path();
    std::filesystem::current_path(TEST_DATA_DIR);
    ToolRun run = runTool(GetParam().arguments);
    std::filesystem::current_path(started);
    std::string errors = run.err.empty() ? "" : "-- errors\n" + run.err;
    std::string exit = run.code != 0 ? "exit " + std::to_string(run.code) + "\n" : "";
    EXPECT_EQ(GetParam().expected, run.out + errors + exit);
    EXPECT_EQ(0, contactCount) << "the tool leaves no contacts behind";
    EXPECT_EQ(0, openFileCount()) << "nor any file open";
}

// Each run named by its place and its words: "12_dump_readers_text_commas_txt".
INSTANTIATE_TEST_SUITE_P(Samples, CtbtoolDumps, ::testing::ValuesIn(sampleRuns()),
                         [](const ::testing::TestParamInfo<SampleRun> &sample) {
                             std::string name = std::to_string(sample.index);
                             for (const std::string &word : sample.param.arguments)
                                 for (char c : "_" + word)
                                     name += isalnum((unsigned char)c) ? c : '_';
                             return name;
                         });

TEST(Ctbtool, ConvertsBetweenBooksVCardFilesAndFolders)
{
    TempDir dir;
    std::string phone = std::string(TEST_DATA_DIR) + "/old_phone.vcf";
    std::string expected = runTool({"dump", phone}).out;
    std::string book = dir.path("book.ctb"), cards = dir.path("phone.vcf"), again = dir.path("again.ctb");
    EXPECT_EQ(0, runTool({"convert", phone, book}).code);
    EXPECT_EQ(0, runTool({"convert", book, cards}).code);
    EXPECT_EQ(0, runTool({"convert", cards, again}).code);
    for (const std::string &file : {book, cards, again})
        EXPECT_EQ(expected, runTool({"dump", file}).out) << file;
    TempDir folder;
    EXPECT_EQ(0, runTool({"convert", book, folder.path("")}).code);
    EXPECT_EQ("Ann Secreta.vcf 李四.vcf 赵六.vcf", folder.listing());

    EXPECT_EQ(7, runTool({"convert", book, dir.path("no-folder/x.vcf")}).code);
    const std::string before = readFileBytes(again);
    std::filesystem::create_directory(dir.path("folder.vcf"));
    std::string readers = std::string(TEST_DATA_DIR) + "/readers/";
    const struct {
        std::string input;
        int code;
    } refused[] = {{dir.path("missing.vcf"), 6}, {dir.path("missing.txt"), 6}, {dir.path("missing.csv"), 6},
                   {dir.path("folder.vcf"), 6}, {readers + "csv-a-workbook-renamed.csv", 6},
                   {readers + "vcard-a-card-with-neither-name-nor-number-adds-nothing.vcf", 8}};
    for (const auto &input : refused) {
        EXPECT_EQ(input.code, runTool({"convert", input.input, again}).code) << input.input;
        EXPECT_EQ(before, readFileBytes(again)) << input.input << ": the book is untouched";
    }
    EXPECT_EQ(1, runTool({"convert", book, dir.path("out.doc")}).code);
}
