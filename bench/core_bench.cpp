// Native benchmarks of the readers and writers and of the quick search, on the files
// bench/make_files.py writes into the folder named by VOSTRELINA_BENCH_DATA. Each reader (the
// one the tests use for its format) runs next to its floor: reading the same file's bytes
// and nothing else.
#include "bookfile/book_file.h"
#include "common/file_io.h"
#include "common/text_buffer.h"
#include "interchange/text_encoding.h"
#include "store/contact_list.h"
#include "store/quick_search.h"
#include "tests/support/file_formats.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

static std::string dataPath(const std::string &name)
{
    const char *folder = getenv("VOSTRELINA_BENCH_DATA");
    return std::string(folder != nullptr ? folder : ".") + "/" + name;
}

static std::string bookPath(int64_t count)
{
    return dataPath("book_" + std::to_string(count) + ".ctb");
}

// Reads path once per iteration with the reader of its format (a CSV file with the columns
// its writer gives it), the list emptied outside the timing; reports the contacts read per
// second.
static void timeReader(benchmark::State &state, const std::string &path)
{
    selectAnsiLocale();
    const FileFormat *format = findFormat(path.c_str(), exchangeFormats, exchangeFormatCount);
    for (const FileFormat *candidate : writtenFormats())
        if (findFormat(path.c_str(), &candidate, 1) != nullptr)
            format = candidate;
    int64_t contacts = 0;
    for (auto _ : state) {
        state.PauseTiming();
        clearContacts();
        state.ResumeTiming();
        if (readBack(format, path.c_str()) < 0)
            state.SkipWithError(("cannot read " + path).c_str());
        contacts = contactCount;
    }
    state.counters["contacts"] = (double)contacts;
    state.SetItemsProcessed(state.iterations() * contacts);
    clearContacts();
}

static void floorOf(benchmark::State &state, const std::string &path)
{
    for (auto _ : state) {
        TextBuffer bytes = {};
        if (readWholeFile(path.c_str(), &bytes) != WHOLE_FILE_READ)
            state.SkipWithError(("cannot read " + path).c_str());
        benchmark::DoNotOptimize(bytes.data);
        freeBuffer(&bytes);
    }
}

static void LoadBook(benchmark::State &state)
{
    timeReader(state, bookPath(state.range(0)));
}
BENCHMARK(LoadBook)->Arg(512)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

static void LoadBookFloor(benchmark::State &state)
{
    floorOf(state, bookPath(state.range(0)));
}
BENCHMARK(LoadBookFloor)->Arg(512)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

static void SaveBook(benchmark::State &state)
{
    clearContacts();
    loadBook(bookPath(state.range(0)).c_str());
    std::string path = dataPath("saved.ctb");
    for (auto _ : state)
        if (!saveBook(path.c_str()))
            state.SkipWithError("cannot save");
    remove(path.c_str());
    clearContacts();
}
BENCHMARK(SaveBook)->Arg(512)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

static void Import(benchmark::State &state, const char *file)
{
    timeReader(state, dataPath(file));
}
static void ImportFloor(benchmark::State &state, const char *file)
{
    floorOf(state, dataPath(file));
}
BENCHMARK_CAPTURE(Import, vcard, "cards_10000.vcf")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ImportFloor, vcard, "cards_10000.vcf")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Import, text, "lines_100000.txt")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ImportFloor, text, "lines_100000.txt")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Import, csv, "lines_100000.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ImportFloor, csv, "lines_100000.csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Import, xlsx, "lines_100000.xlsx")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ImportFloor, xlsx, "lines_100000.xlsx")->Unit(benchmark::kMillisecond);

// One keystroke's matching: every contact of a 10,000-contact book against the query.
static void MatchQuery(benchmark::State &state)
{
    clearContacts();
    loadBook(bookPath(10000).c_str());
    static const char *const queries[] = {"138", "\xCD\xF5", "zs", "zhangwei"}; // 王, pinyin
    SearchQuery query;
    prepareQuery(&query, queries[state.range(0)]);
    for (auto _ : state) {
        int shown = 0;
        for (const Contact *c = firstContact; c != nullptr; c = c->next)
            shown += contactMatchesQuery(c, &query) ? 1 : 0;
        benchmark::DoNotOptimize(shown);
    }
    state.SetItemsProcessed(state.iterations() * contactCount);
    clearContacts();
}
BENCHMARK(MatchQuery)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
