// migemo_bench.cpp - one filtering pass of an item list with romaji matching:
// 10,000 generated names, half of them Japanese, through C/Migemo as
// migemo.dll builds it with the distribution's cp932 dictionary, the pattern
// builder and the BREGEXP adapter, exactly as the lists run it
// (FilterItemsByText with a WideMatcher, Migemo's answer recalled as the
// launcher recalls it for a term filtered again). Terms "k", "s" and "c"
// (the first key of a search; "c" has the longest expansion of all letters),
// "ka" (a long expression), "kan" and "kensaku".
//
// Ends with two lines per term: the time per pass, the ratio to a plain pass
// over the same names measured in the same run, whether both limits are met
// (3 ms per pass, 20 times the plain pass; not for a single letter, whose
// plain pass is a scan for one byte); then what a key that makes the term new
// costs: the library's expansion of the term plus the pass, its ratio to the
// plain pass, and whether it stays within its limit (a frame for a single
// letter, 3 ms for a longer term); and the same pass over 100,000 names.
// Exit code 1 when a limit is missed. Run: scripts/bench.sh native
#include <benchmark/benchmark.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include <migemo.h>

#include "bench/bench_time.h"
#include "common/fileio.h"
#include "common/itemarray.h"
#include "components/bregexp/bregexp.h"
#include "launcher/lists/listfilter.h"
#include "launcher/migemo/migemopattern.h"

namespace {

const int kNames = 10000;
const int kManyNames = 100000;
const double kLimitMicros = 3000.0;
const double kLimitRatio = 20.0;
const double kFrameMicros = 16700.0;
const char* const kTerms[] = {"k", "ka", "kan", "kensaku", "s", "c"};

struct MigemoBenchData {
    ItemArray items = {};
    ItemArray many = {};
    migemo* m = nullptr;
    BREGEXP* rx = nullptr;
    bool quick = false;  // the last pattern went to the quick matcher
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
    for (int i = 0; i < kManyNames; i++)
        if (!AppendItem(&g.many, MakeName(i % 2 == 0).c_str(), ItemFile)) return false;
    g.m = migemo_open(nullptr);
    const char* files[] = {"migemo-dict", "roma2hira.dat", "hira2kata.dat", "han2zen.dat"};
    for (int id = 1; id <= 4; id++) {
        std::string path = std::string(VORN_MIGEMO_DICT) + "/" + files[id - 1];
        if (!migemo_load(g.m, id, path.c_str()) && id == 1) return false;
    }
    for (const MigemoOperator& op : kMigemoOperators) migemo_set_operator(g.m, op.index, op.text);
    return migemo_is_enable(g.m) != 0;
}

// The matcher as the launcher builds it, with the libraries linked in: the
// library is asked only for a term it has not answered lately.
void* Compile(void*, const char* term) {
    if (const char* known = RecallMigemoAnswer(term)) return BuildBregexpPattern(known, false);
    unsigned char* e = migemo_query(g.m, (const unsigned char*)term);
    KeepMigemoAnswer(term, (const char*)e);
    char* p = BuildBregexpPattern((const char*)e, false);
    migemo_release(g.m, e);
    return p;
}
int Match(void*, void* query, const char* text, int32_t length) {
    char msg[BREGEXP_MESSAGE_SIZE];
    BMatch((const char*)query, text, text + length, &g.rx, msg);
    if (!g.rx) return -1;
    g.quick = BregexpUsesQuickMatcher(g.rx) != 0;
    return BregexpRecordMatched(g.rx);
}
void Release(void*, void* query) {
    MemFree(query);
    BRegfree(g.rx);
    g.rx = nullptr;
}
const WideMatcher kMatcher = {Compile, Match, Release, nullptr};

int32_t MigemoPass(ItemArray* items, const char* term) {
    return FilterItemsByText(items, term, &kMatcher).shown;
}
int32_t PlainPass(ItemArray* items, const char* term) {
    return FilterItemsByText(items, term, nullptr).shown;
}
// What the library's expansion of a new term costs (asked afresh each time).
int32_t Expansion(const char* term) {
    unsigned char* e = migemo_query(g.m, (const unsigned char*)term);
    int32_t n = e ? (int32_t)strlen((const char*)e) : 0;
    migemo_release(g.m, e);
    return n;
}

void BM_MigemoPass(benchmark::State& state, const char* term) {
    if (!Setup()) {
        state.SkipWithError("no Migemo dictionary");
        return;
    }
    int32_t shown = 0;
    for (auto _ : state) benchmark::DoNotOptimize(shown = MigemoPass(&g.items, term));
    state.counters["shown"] = shown;
}
void BM_PlainPass(benchmark::State& state, const char* term) {
    if (!Setup()) return;
    int32_t shown = 0;
    for (auto _ : state) benchmark::DoNotOptimize(shown = PlainPass(&g.items, term));
    state.counters["shown"] = shown;
}
BENCHMARK_CAPTURE(BM_MigemoPass, ka, "ka")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MigemoPass, kensaku, "kensaku")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PlainPass, kensaku, "kensaku")->Unit(benchmark::kMicrosecond);

bool Report(const char* term) {
    int32_t shownMigemo = MigemoPass(&g.items, term);
    int32_t shownPlain = PlainPass(&g.items, term);
    double m = MedianMicros([&] { return MigemoPass(&g.items, term); }, 21);
    double p = MedianMicros([&] { return PlainPass(&g.items, term); }, 21);
    double ratio = m / p;
    bool single = strlen(term) == 1;
    bool passOk = single || (m <= kLimitMicros && ratio <= kLimitRatio);
    double expansion = MedianMicros([&] { return Expansion(term); }, 5);
    double key = expansion + m;
    double keyLimit = single ? kFrameMicros : kLimitMicros;
    bool keyOk = key <= keyLimit;
    MigemoPass(&g.many, term);  // the folded copy of these names, made once
    double many = MedianMicros([&] { return MigemoPass(&g.many, term); }, 5);
    printf("migemo \"%s\": %.0f us/pass, plain %.0f us, ratio %.1f (limits %.0f us and %.0fx: %s; "
           "%s matcher; shown: migemo %d, plain %d, of %d)\n"
           "  a key that makes the term new: expansion %.0f us + pass %.0f us = %.0f us, "
           "ratio %.1f to the plain pass (limit %.0f us: %s); %d names: %.0f us/pass "
           "(a frame: %s)\n",
           term, m, p, ratio, kLimitMicros, kLimitRatio,
           single ? "not for a single letter" : passOk ? "met" : "MISSED",
           g.quick ? "quick" : "regex", shownMigemo, shownPlain, kNames, expansion, m, key,
           key / p, keyLimit, keyOk ? "met" : "MISSED", kManyNames, many,
           many <= kFrameMicros ? "within" : "OVER");
    return passOk && keyOk;
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
    bool ok = true;
    for (const char* term : kTerms) ok = Report(term) && ok;
    benchmark::Shutdown();
    BRegfree(g.rx);
    ForgetMigemoAnswers();
    migemo_close(g.m);
    FreeItems(&g.items);
    FreeItems(&g.many);
    return ok ? 0 : 1;
}
