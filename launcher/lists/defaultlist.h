// defaultlist.h - the Default list: looking a name typed after ";" up in every
// folder of "data\vorn_d.dat".
#pragma once
#include <windows.h>
#include <stddef.h>

#include "../../common/listfile.h"
#include "../../common/listitem.h"

// The content of "data\vorn_d.dat" beside the program (a heap block the caller
// frees with MemFree), or null when it cannot be read. The file is not created.
char* ReadDefaultFile(void);

// Enter on ";" + name. Reads the list afresh: one hit becomes the edit text,
// several are shown in the item list (kind LK_Default), none changes nothing.
// True when the file was read.
bool LookUpDefault(HWND editBox, const char* name);

// Every change of an edit text that begins with ";": with the def setting
// direct at least 1 and the name after ";" at least that long, the lookup runs;
// when it opened the list, the name (with "*" and "?" turned into the filter's
// ":") becomes the edit text, so further typing narrows the hits.
void LookUpWhileTyping(HWND editBox, const char* text);

// Drops whatever the lookup still holds (called at shutdown).
void FreeDefaultList(void);

// --- the lookup over a file system (no window involved) ----------------------

// Longest search text (root and pattern) a lookup takes.
enum { DEFAULT_SEARCH_MAX = 261 };

// The pattern for name: name + "*" unless it already ends with "*". False (no
// lookup) for an empty name, one that ends with ".", or one that does not fit.
bool DefaultLookupPattern(const char* name, char* pattern, size_t patternSize);

// Counting pass: hits of pattern in roots, in root order, stopping after the
// first root that brings the count above 1. The first hit's full path goes to
// first. Returns the count seen (0, 1 or more).
int32_t CountDefaultHits(const ItemArray* roots, const char* pattern, const ListFileSystem* fs,
                         char* first, size_t firstSize);

// Full pass: every hit of every root appended to hits (a fresh array, root order,
// then the file system's order), typed by attribute. When the array cannot grow,
// the rest of that root is dropped. Returns the number of hits stored.
int32_t CollectDefaultHits(const ItemArray* roots, const char* pattern, const ListFileSystem* fs,
                           ItemArray* hits);
