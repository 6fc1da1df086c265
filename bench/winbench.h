// winbench.h - what the Windows benchmarks that drive real programs share:
// a clock, medians, input injected with SendInput (as a person's keys arrive,
// from a second program), starting and ending a program, a fresh folder with
// vorn.exe and its settings, and finding the windows of a process.
//
// Every benchmark times vorn against a bare program doing the same thing in
// the same run and prints the ratio, so the figure means something on any
// machine. They are run by hand (scripts/bench.sh wine), never by the tests.
#pragma once
#include <windows.h>

#include <vector>

// Milliseconds from an arbitrary start (high-resolution counter).
double NowMs(void);
// Median of v (v is sorted); 0 for none.
double MedianOf(std::vector<double>* v);

// Polls pred about every 0.1 ms (yielding the processor) until it holds or ms
// have passed; true when it held.
template <typename Pred>
bool PollUntil(Pred pred, double ms) {
    double start = NowMs();
    for (;;) {
        if (pred()) return true;
        if (NowMs() - start > ms) return pred();
        Sleep(0);
    }
}

// One key press (down and up) of vk into inputs; returns the next index.
int AddKey(INPUT* inputs, int n, WORD vk, bool up);
// Types text (ASCII) as Unicode key presses.
bool TypeAscii(const char* text);
// Presses and releases vk alone.
bool TapVk(WORD vk);
// Alt+vk as one injection: Alt down, vk down, vk up, Alt up.
bool PressAltKey(WORD vk);

// A started program, ended (close asked, then terminated) when it goes.
struct BenchProcess {
    PROCESS_INFORMATION pi = {};
    bool started = false;
    ~BenchProcess() { End(); }
    bool Start(const char* commandLine, const char* dir);
    void End(void);
    DWORD Pid(void) const { return pi.dwProcessId; }
};

// Full path of a file beside the running benchmark.
bool BesideBench(const char* name, char* dst, size_t size);
// Makes a new folder under the temp folder with a copy of vorn.exe (from
// beside the benchmark, or the one VORN_BENCH_EXE names) and data\vorn.ini holding iniText (the settings
// vorn does not find there keep their defaults). Its path into dst.
bool VornFolder(const char* iniText, char* dst, size_t size);
// Removes a folder made by VornFolder with everything in it.
void RemoveVornFolder(const char* folder);

// The first visible top-level window of class cls of process pid (any
// visibility when visibleOnly is false), or null.
HWND WindowOfProcess(DWORD pid, const char* cls, bool visibleOnly);
// True when window is the foreground window and has its thread's focus.
bool InFrontWithFocus(HWND window);
// Makes window the foreground window (of this process); true once it is.
bool BringToFront(HWND window);
// A plain visible window of this process that takes the foreground between
// presses, so every hot key starts from another program in front.
HWND MakeAwayWindow(void);
// How often the window manager has offered the away window the focus.
int AwayFocusOffers(void);
// Brings the away window to the front and waits (at most a second) until the
// window manager has handed it the focus as well since offersBefore, so that
// no late focus change follows and takes the foreground back.
bool WaitAwaySettled(HWND away, int offersBefore);
