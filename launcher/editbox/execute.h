// execute.h - execution of a typed text and the rule applied after a run.
#pragma once

// Opens path through the shell: a folder in its folder window, a program in its
// own folder, any other file with the shell's default verb in its program's
// folder, or handed quoted after the argument prefix to its associated program
// (or, in target-program mode, to the captured program). workDir is used for a folder only (null:
// none). 1 when it was started, 0 when it failed (after a beep). Used by the
// edit box, the list windows and the registered applications.
int Execute(const char* path, const char* workDir);
// Executes a text typed into the edit box (slashes already turned into
// backslashes): Execute(text, none), and on success hides the folder list and
// records the text in History. 1 when it was started, 0 when it failed (the
// text stays in the box).
int ExecuteText(const char* text);
// After a successful run of typed text: hides the box, keeps it or ends the
// program as the settings and the one-shot mode say.
void AfterRun(void);
// Target-program mode lasts one run (or until Esc): the captured program is
// forgotten and the frame goes back to its normal colours.
void EndTargetMode(void);
