// recorder.cpp - a stand-in program for end-to-end tests: it records how it was
// started and exits 0. No window.
//
// It appends two lines (CR LF) to the record file:
//   its full command line (GetCommandLineA)
//   its current working folder (GetCurrentDirectoryA)
// The record file is named by the environment variable VORN_RECORD_FILE, or is
// "record.txt" beside the executable when that is not set. The file is opened
// for appending with sharing, so several starts in a row add record after record.
#include "record.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RecordStart(); }
