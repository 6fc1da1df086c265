// sharednames.h - the names vorn, Optbox and tools.exe find each other by:
// window classes, registered messages, mutexes and window titles. One
// program creates what another looks for, so each name is written once, here.
#pragma once

// vorn's message-only main window: the first start's class, and the class of
// a start with /a (it runs beside the first one and is never handed over to).
static const char VORN_MAIN_CLASS[] = "vorn_class";
static const char VORN_SECOND_CLASS[] = "vorn_fisson";

// Held by a running vorn from start to end: a second start hands over to it,
// Optbox asks it to reload only while it is held.
static const char VORN_INSTANCE_MUTEX[] = "___vorn__te";
// Held by a running Optbox: a second one brings the first forward and ends.
static const char OPTBOX_INSTANCE_MUTEX[] = "___vorn__te_optbox";

// Registered messages. "WM_RELOAD" goes from Optbox to vorn's main window
// (read the data files again); "WM_TOOLSMSG" goes both ways between vorn and
// tools.exe (the tool's window and version, then "done").
static const char RELOAD_MESSAGE_NAME[] = "WM_RELOAD";
static const char TOOLS_MESSAGE_NAME[] = "WM_TOOLSMSG";

// The preview window and its picture view.
static const char PREVIEW_CLASS[] = "vorn_prevwnd";
static const char PREVIEW_PICTURE_CLASS[] = "vorn_prevwnd_pi";

// tools.exe's hidden window, whose handle it sends with "WM_TOOLSMSG".
static const char TOOLS_WINDOW_CLASS[] = "vorn_tools";

// Title of Optbox's settings dialog (a second Optbox finds the first by it).
static const char OPTBOX_DIALOG_TITLE[] = "vornの設定";
