// expected_files.h - the bytes of the data files a first start writes, spelled
// out by hand from the tables of settings keys and bindable commands. Shared by
// the native codec tests and the end-to-end tests of the real program.
#pragma once

// The settings file a first start writes: every key at its default, in file
// order, CR LF line ends.
inline constexpr char kDefaultIni[] =
    "[common]\r\n"
    "hotkey=305\r\n"
    "tray=1\r\n"
    "t_macro=%H:%M:%S\r\n"
    "linemax=25\r\n"
    "listwmax=0\r\n"
    "icon=0\r\n"
    "exemode=1\r\n"
    "migemo=0\r\n"
    "migemomode=0\r\n"
    "migemo_path=\r\n"
    "alpha=100\r\n"
    "[edit]\r\n"
    "x=0\r\n"
    "y=0\r\n"
    "w=70\r\n"
    "ftsize=12\r\n"
    "autoresize=1\r\n"
    "aligns=0\r\n"
    "[regapp]\r\n"
    "showpos=0\r\n"
    "[path]\r\n"
    "fldclass=1\r\n"
    "fldbkcolor=13816530\r\n"
    "fldftcolor=0\r\n"
    "filbkcolor=16777215\r\n"
    "filftcolor=0\r\n"
    "typoctr=1\r\n"
    "inputmode=0\r\n"
    "[exp]\r\n"
    "fldclass=1\r\n"
    "fldbkcolor=13816530\r\n"
    "fldftcolor=0\r\n"
    "filbkcolor=16777215\r\n"
    "filftcolor=0\r\n"
    "[his]\r\n"
    "fldclass=1\r\n"
    "fldbkcolor=13816530\r\n"
    "fldftcolor=0\r\n"
    "filbkcolor=16777215\r\n"
    "filftcolor=0\r\n"
    "size=20\r\n"
    "[def]\r\n"
    "direct=0\r\n"
    "fldclass=1\r\n"
    "fldbkcolor=13816530\r\n"
    "fldftcolor=0\r\n"
    "filbkcolor=16777215\r\n"
    "filftcolor=0\r\n"
    "[fav]\r\n"
    "fldclass=1\r\n"
    "fldbkcolor=13816530\r\n"
    "fldftcolor=0\r\n"
    "filbkcolor=16777215\r\n"
    "filftcolor=0\r\n"
    "[search]\r\n"
    "fldclass=1\r\n"
    "fldbkcolor=13816530\r\n"
    "fldftcolor=0\r\n"
    "filbkcolor=16777215\r\n"
    "filftcolor=0\r\n"
    "subfolder=0\r\n"
    "keep=1\r\n"
    "[prev]\r\n"
    "rsize=2000\r\n"
    "bkcolor=16777215\r\n"
    "ftcolor=0\r\n"
    "width=250\r\n"
    "height=250\r\n"
    "spi_path=\r\n";

// The key-binding file a first start writes: the count, then each command of
// the table in table order with its default key (modifiers 0x100 Alt,
// 0x200 Ctrl, 0x400 Shift, plus the virtual key).
inline constexpr char kDefaultKeymap[] =
    "24\r\n"
    "0,552\r\n"    // Ctrl+Down   0x228
    "1,550\r\n"    // Ctrl+Up     0x226
    "2,589\r\n"    // Ctrl+M      0x24D
    "3,582\r\n"    // Ctrl+F      0x246
    "4,590\r\n"    // Ctrl+N      0x24E
    "5,581\r\n"    // Ctrl+E      0x245
    "6,584\r\n"    // Ctrl+H      0x248
    "7,588\r\n"    // Ctrl+L      0x24C
    "8,596\r\n"    // Ctrl+T      0x254
    "9,520\r\n"    // Ctrl+BS     0x208
    "10,586\r\n"   // Ctrl+J      0x24A
    "11,577\r\n"   // Ctrl+A      0x241
    "12,578\r\n"   // Ctrl+B      0x242
    "13,579\r\n"   // Ctrl+C      0x243
    "14,598\r\n"   // Ctrl+V      0x256
    "15,600\r\n"   // Ctrl+X      0x258
    "16,602\r\n"   // Ctrl+Z      0x25A
    "17,1603\r\n"  // Ctrl+Shift+C 0x643
    "18,1622\r\n"  // Ctrl+Shift+V 0x656
    "19,1624\r\n"  // Ctrl+Shift+X 0x658
    "22,594\r\n"   // Ctrl+R      0x252
    "23,580\r\n"   // Ctrl+D      0x244
    "20,113\r\n"   // F2          0x71
    "21,1051\r\n"; // Shift+Esc   0x41B
