// filter_bench.cpp - refiltering the folder list over 100,000 names.
//
// Measures the folder-list filter with one term and with three terms, and as
// a baseline a plain memmem scan of the same names (lower-cased once before)
// for the same terms. Ends with one line per case giving the ratio
// filter / baseline, timed in the same run.
#define _GNU_SOURCE 1
#include <benchmark/benchmark.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <time.h>
#include <string>
#include <vector>

#include "bench/bench_time.h"
#include "common/strutil.h"
#include "common/itemarray.h"
#include "launcher/lists/listfilter.h"

namespace {

const int kNames = 100000;

struct BenchData {
    ItemArray items = {};
    std::vector<std::string> lowered;  // the names case-folded once
    std::vector<int32_t> rows;         // baseline output
};
BenchData g_data;

// xorshift32: the same names on every platform and run.
uint32_t g_seed = 0x2545F491u;
uint32_t Next() {
    g_seed ^= g_seed << 13;
    g_seed ^= g_seed >> 17;
    g_seed ^= g_seed << 5;
    return g_seed;
}
uint32_t Below(uint32_t n) { return Next() % n; }

const char* const kWords[] = {"report", "data",    "File",  "Setup", "temp",    "Music",
                              "photo",  "backup",  "draft", "notes", "Project", "old",
                              "new",    "final",   "src",   "Test",  "log",     "v2",
                              "copy",   "archive", "Image", "doc"};
const char* const kExts[] = {".txt", ".doc", ".jpg", ".png", ".exe", ".zip", ".csv", ""};

// One double-byte character: hiragana, katakana or a level-1 kanji.
void AppendWide(std::string& s) {
    uint32_t kind = Below(3);
    unsigned char lead, trail;
    if (kind == 0) {
        lead = 0x82;
        trail = (unsigned char)(0x9F + Below(0xF1 - 0x9F + 1));
    } else if (kind == 1) {
        lead = 0x83;
        trail = (unsigned char)(0x40 + Below(0x96 - 0x40 + 1));
        if (trail == 0x7F) trail = 0x80;
    } else {
        lead = (unsigned char)(0x88 + Below(0x98 - 0x88 + 1));
        trail = (unsigned char)(0x40 + Below(0xFC - 0x40 + 1));
        if (trail == 0x7F) trail = 0x80;
        if (lead == 0x88 && trail < 0x9F) trail = 0x9F;
    }
    s += (char)lead;
    s += (char)trail;
}

std::string MakeName() {
    size_t target = 8 + Below(33);  // 8..40 bytes
    bool mixed = Below(10) < 3;     // about a third hold Shift-JIS characters
    std::string s;
    while (s.size() < target) {
        uint32_t pick = Below(10);
        if (mixed && pick < 4) {
            if (s.size() + 2 <= target)
                AppendWide(s);
            else
                s += (char)('a' + Below(26));
        } else if (pick < 8) {
            s += kWords[Below(sizeof kWords / sizeof kWords[0])];
        } else if (pick == 8) {
            s += (char)('0' + Below(10));
        } else {
            s += Below(2) ? '_' : ' ';
        }
    }
    if (s.size() > target) s.resize(target);
    // Never end on half a character.
    size_t j = 0, lastStart = 0;
    while (j < s.size()) {
        lastStart = j;
        j += IsLeadByteSjis((unsigned char)s[j]) && j + 1 < s.size() ? 2 : 1;
    }
    if (!s.empty() && lastStart == s.size() - 1 && IsLeadByteSjis((unsigned char)s.back()))
        s.back() = 'x';
    const char* ext = kExts[Below(sizeof kExts / sizeof kExts[0])];
    if (s.size() + strlen(ext) <= 40) s += ext;
    return s;
}

void Setup() {
    if (g_data.items.items) return;
    for (int i = 0; i < kNames; i++) {
        std::string name = MakeName();
        if (!AppendItem(&g_data.items, name.c_str(), ItemFile)) abort();
        char folded[LIST_ITEM_PATH_SIZE] = "";
        MapCharsSjis(LowerAscii, name.c_str(), folded, -1, sizeof folded);
        g_data.lowered.push_back(folded);
    }
    g_data.rows.resize(kNames);
}

// Terms of a filter text, lower-cased, for the baseline.
std::vector<std::string> BaselineTerms(const char* text) {
    std::vector<std::string> terms;
    std::string t = text;
    for (char& c : t) c = (char)LowerAscii((unsigned char)c);
    size_t pos = 0;
    for (;;) {
        size_t end = t.find(':', pos);
        terms.push_back(t.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
        if (end == std::string::npos) break;
        pos = end + 1;
    }
    return terms;
}

int32_t RunBaseline(const std::vector<std::string>& terms) {
    int32_t next = 0;
    for (int i = 0; i < kNames; i++) {
        const std::string& name = g_data.lowered[i];
        bool all = true;
        for (const std::string& t : terms) {
            if (!memmem(name.data(), name.size(), t.data(), t.size())) {
                all = false;
                break;
            }
        }
        g_data.rows[i] = all ? next++ : -1;
    }
    return next;
}

int32_t RunFilter(const char* text) {
    int32_t shown = 0;
    FilterFolderItems(&g_data.items, text, 0, nullptr, &shown);
    return shown;
}

const char* const kOneTerm = "re";
const char* const kThreeTerms = "re:o:t";

void BM_FolderFilter(benchmark::State& state, const char* text) {
    Setup();
    int32_t shown = 0;
    for (auto _ : state) {
        shown = RunFilter(text);
        benchmark::DoNotOptimize(shown);
    }
    state.counters["shown"] = shown;
    state.counters["names"] = kNames;
}

void BM_Baseline(benchmark::State& state, const char* text) {
    Setup();
    std::vector<std::string> terms = BaselineTerms(text);
    int32_t shown = 0;
    for (auto _ : state) {
        shown = RunBaseline(terms);
        benchmark::DoNotOptimize(shown);
    }
    state.counters["shown"] = shown;
}

void BM_ItemListFilter(benchmark::State& state, const char* text) {
    Setup();
    FilterResult r = {0, 0};
    for (auto _ : state) {
        r = FilterItemsByText(&g_data.items, text, nullptr);
        benchmark::DoNotOptimize(r);
    }
    state.counters["shown"] = r.shown;
}

BENCHMARK_CAPTURE(BM_FolderFilter, one_term, kOneTerm)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Baseline, one_term, kOneTerm)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FolderFilter, three_terms, kThreeTerms)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Baseline, three_terms, kThreeTerms)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ItemListFilter, three_terms, kThreeTerms)->Unit(benchmark::kMillisecond);


// The timing ratio of filter and baseline. The byte scan of the baseline also
// finds terms that straddle two double-byte characters, so it may show a few
// names more than the filter.
bool ReportRatio(const char* label, const char* text) {
    std::vector<std::string> terms = BaselineTerms(text);
    int32_t shownFilter = RunFilter(text);
    int32_t shownBase = RunBaseline(terms);
    double f = MedianMicros([&] { return RunFilter(text); }, 31);
    double b = MedianMicros([&] { return RunBaseline(terms); }, 31);
    printf(
        "%s \"%s\": filter %.0f us/refilter, baseline %.0f us, ratio filter/baseline %.2f "
        "(shown: filter %d, baseline %d, of %d)\n",
        label, text, f, b, f / b, shownFilter, shownBase, kNames);
    return f / b <= 2.0;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    Setup();
    bool ok = ReportRatio("one term", kOneTerm);
    ok = ReportRatio("three terms", kThreeTerms) && ok;
    benchmark::Shutdown();
    FreeItems(&g_data.items);
    return ok ? 0 : 1;
}
