// startup.h - the steps of the program entry that act on the process state:
// applying the command line, StartDir, the captured target program, and the
// message loop.
#pragma once
#include "cmdline.h"

// Flags, position overrides, InitialText, ArgPrefix and /d= of a parsed line.
void ApplyCommandLine(const CommandLine* line);
// /d=: the folder becomes the current directory and StartDir (without a
// trailing separator); when it cannot be entered StartDir takes its default.
void ApplyStartDir(const char* folder);
// StartDir = the drive (or folder) of the program's own file.
void SetDefaultStartDir(void);
// TargetProgram = the executable of the foreground window's process (/f);
// nothing is stored when it cannot be found.
void CaptureTargetProgram(void);
// Runs the message loop until the quit message; returns its exit code.
int RunMessageLoop(void);
