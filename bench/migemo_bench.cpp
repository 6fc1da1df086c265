// migemo_bench.cpp - one filtering pass of an item list with romaji matching:
// 10,000 generated names, half of them Japanese, through the distribution's
// C/Migemo with its cp932 dictionary, the pattern builder and the BREGEXP
// adapter over Oniguruma, exactly as the lists run it (FilterItemsByText with
// a WideMatcher). Terms "ka" (a long expression) and "kensaku". Ends with one
// line per term: time per pass, the ratio to a plain substring pass over the
// same names, and whether the pass stays within 20 ms (exit code 1 if not).
#include <benchmark/benchmark.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <time.h>

#include <algorithm>
#include <string>
#include <vector>

#include <migemo.h>

#include "bench/bench_time.h"
#include "common/fileio.h"
#include "common/itemarray.h"
#include "components/bregexp/bregexp.h"
#include "launcher/lists/listfilter.h"
#include "launcher/migemo/migemopattern.h"

namespace {

const int kNames = 10000;
const double kLimitMicros = 20000.0;

struct MigemoBenchData {
    ItemArray items = {};
    migemo* m = nullptr;
    BREGEXP* rx = nullptr;
};
MigemoBenchData g;

uint32_t g_seed = 0x9E3779B9u;
uint32_t Next() {
    g_seed ^= g_seed << 13;
    g_seed ^= g_seed >> 17;
    g_seed ^= g_seed << 5;
    return g_seed;
}
uint32_t Below(uint32_t n) { return Next() % n; }

// Japanese words (code page 932 by the compiler's execution character set).
const char* const kJapanese[] = {"検索", "結果", "研究", "会議", "資料", "写真", "カメラ",
                                 "旅行", "計画", "かんたん", "メモ", "報告書", "家計簿",
                                 "設定", "ケンサク", "課題", "株価", "回答", "画像", "音楽"};
const char* const kLatin[] = {"report", "data", "kensaku", "setup", "photo", "backup",
                              "draft", "notes", "project", "kakei", "music", "archive"};
const char* const kExts[] = {".txt", ".doc", ".jpg", ".xls", ""};

std::string MakeName(bool japanese) {
    std::string s;
    int words = 1 + (int)Below(3);
    for (int i = 0; i < words; i++) {
        if (i) s += Below(2) ? "_" : " ";
        if (japanese)
            s += kJapanese[Below(sizeof kJapanese / sizeof kJapanese[0])];
        else
            s += kLatin[Below(sizeof kLatin / sizeof kLatin[0])];
        if (Below(4) == 0) s += (char)('0' + Below(10));
    }
    return s + kExts[Below(sizeof kExts / sizeof kExts[0])];
}

bool Setup() {
    if (g.m) return true;
    for (int i = 0; i < kNames; i++)
        if (!AppendItem(&g.items, MakeName(i % 2 == 0).c_str(), ItemFile)) return false;
    g.m = migemo_open(nullptr);
    const char* files[] = {"migemo-dict", "roma2hira.dat", "hira2kata.dat", "han2zen.dat"};
    for (int id = 1; id <= 4; id++) {
        std::string path = std::string(VORN_MIGEMO_DICT) + "/" + files[id - 1];
        if (!migemo_load(g.m, id, path.c_str()) && id == 1) return false;
    }
    const unsigned char open[] = {MIGEMO_GROUP_OPEN, 0}, close[] = {MIGEMO_GROUP_CLOSE, 0};
    migemo_set_operator(g.m, MIGEMO_OPINDEX_NEST_IN, open);
    migemo_set_operator(g.m, MIGEMO_OPINDEX_NEST_OUT, close);
    return migemo_is_enable(g.m) != 0;
}

// The matcher as the launcher builds it, with the libraries linked in.
void* Compile(void*, const char* term) {
    unsigned char* e = migemo_query(g.m, (const unsigned char*)term);
    char* p = BuildBregexpPattern((const char*)e, false);
    migemo_release(g.m, e);
    return p;
}
int Match(void*, void* query, const char* text) {
    char msg[BREGEXP_MESSAGE_SIZE];
    BMatch((const char*)query, text, text + strlen(text), &g.rx, msg);
    return BregexpRecordMatched(g.rx);
}
void Release(void*, void* query) {
    MemFree(query);
    BRegfree(g.rx);
    g.rx = nullptr;
}
const WideMatcher kMatcher = {Compile, Match, Release, nullptr};

int32_t MigemoPass(const char* term) { return FilterItemsByText(&g.items, term, &kMatcher).shown; }
int32_t PlainPass(const char* term) { return FilterItemsByText(&g.items, term, nullptr).shown; }

void BM_MigemoPass(benchmark::State& state, const char* term) {
    if (!Setup()) {
        state.SkipWithError("no Migemo dictionary");
        return;
    }
    int32_t shown = 0;
    for (auto _ : state) benchmark::DoNotOptimize(shown = MigemoPass(term));
    state.counters["shown"] = shown;
}
void BM_PlainPass(benchmark::State& state, const char* term) {
    if (!Setup()) return;
    int32_t shown = 0;
    for (auto _ : state) benchmark::DoNotOptimize(shown = PlainPass(term));
    state.counters["shown"] = shown;
}
BENCHMARK_CAPTURE(BM_MigemoPass, ka, "ka")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MigemoPass, kensaku, "kensaku")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PlainPass, kensaku, "kensaku")->Unit(benchmark::kMicrosecond);


bool Report(const char* term) {
    int32_t shownMigemo = MigemoPass(term);
    int32_t shownPlain = PlainPass(term);
    double m = MedianMicros([&] { return MigemoPass(term); }, 21);
    double p = MedianMicros([&] { return PlainPass(term); }, 21);
    bool ok = m <= kLimitMicros;
    printf("migemo \"%s\": %.0f us/pass (limit %.0f: %s), plain %.0f us, ratio %.1f "
           "(shown: migemo %d, plain %d, of %d)\n",
           term, m, kLimitMicros, ok ? "met" : "MISSED", p, m / p, shownMigemo, shownPlain, kNames);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (!Setup()) {
        fprintf(stderr, "migemo_bench: the dictionary in %s did not load\n", VORN_MIGEMO_DICT);
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    bool ok = Report("ka");
    ok = Report("kensaku") && ok;
    benchmark::Shutdown();
    BRegfree(g.rx);
    migemo_close(g.m);
    FreeItems(&g.items);
    return ok ? 0 : 1;
}
