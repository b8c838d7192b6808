#pragma once

#include <QString>

// The folder for the program's temporary files (the table handed to the table report, the picture
// handed to the graph report): a folder of this user's own, readable and writable by the user
// alone, never a shared world-writable one where another user could plant or read a file. It is
// "kestrin" in the user's cache folder, created with owner-only permissions on first use. Empty
// when the system names no such folder; creating a file there then fails.
QString privateTempFolder();
